// The calendar clock that seeds each game's answer, kept apart so a test build can fix it.
#pragma once

#include <cstdint>

// Returns the calendar time in whole seconds since 1970-01-01 00:00 UTC.
int64_t clock_seconds();
