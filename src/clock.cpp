// The calendar clock that seeds each game's answer.

#include "clock.h"

#include <ctime>

int64_t clock_seconds()
{
    return static_cast<int64_t>(std::time(nullptr));
}
