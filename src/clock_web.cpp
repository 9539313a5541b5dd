// The calendar clock that seeds each answer, in the browser: the page's (see platform_web.cpp).

#include "clock.h"

#include <emscripten.h>

namespace {

// The page's clock, in whole seconds since 1970-01-01 00:00 UTC.
EM_JS(double, page_clock, (), { return Module.page.clock(); });

} // namespace

int64_t clock_seconds()
{
    return static_cast<int64_t>(page_clock());
}
