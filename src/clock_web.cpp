// The calendar clock that seeds each answer, in the browser: the page's (see platform_web.cpp).

#include "clock.h"

// The page's clock, in whole seconds since 1970-01-01 00:00 UTC.
extern "C" __attribute__((import_module("page"), import_name("clock"))) double page_clock();

int64_t clock_seconds()
{
    return static_cast<int64_t>(page_clock());
}
