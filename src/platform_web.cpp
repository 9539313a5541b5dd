// The byte layer's platform for the browser: the game's streams are the page's transcript (web/runs.js).
//
// Built as WebAssembly with Asyncify, so that a read can wait for the
// player's Enter without holding up the page (web/game.js runs it).  This is
// the whole contract between the game and the page, which web/runs.js keeps:
// the wasm imports, from its module "page",
//   read(buf, size)   waits for what the player has handed over, UTF-8 as a
//                     UTF-8 terminal sends it, a line when there is none, and
//                     puts at most `size` bytes of it at `buf`; returns how
//                     many, 0 at the end of input;
//   show(text, size)  puts one of the game's texts on the page: Shift-JIS
//                     bytes (code page 932) with LF line ends, which the page
//                     decodes;
//   clock()           returns the calendar time in whole seconds since 1970
//                     (src/clock_web.cpp), which the page may give again as
//                     it gave it before, to play a run again after a reload.
// Standard output is always that page, which takes care of line ends.

#include "platform.h"

extern "C" {
__attribute__((import_module("page"), import_name("read"))) int page_read(unsigned char *buf, int size);
__attribute__((import_module("page"), import_name("show"))) void page_show(const char *text, int size);
}

OutputKind platform_open()
{
    return {true, false};
}

ptrdiff_t platform_read(unsigned char *buf, size_t size)
{
    return page_read(buf, static_cast<int>(size));
}

ptrdiff_t platform_write(const char *buf, size_t size)
{
    page_show(buf, static_cast<int>(size));
    return static_cast<ptrdiff_t>(size);
}

int platform_show(const char *text, size_t size)
{
    page_show(text, static_cast<int>(size));
    return 1;
}
