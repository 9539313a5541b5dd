// The byte layer's platform for the browser: the game's streams are the page's transcript (web/runs.js).
//
// Built with Emscripten and -sASYNCIFY, so that a read can wait for the
// player's Enter without holding up the page.  This is the whole contract
// between the game and the page, which web/runs.js keeps: the page gives the
// module a `page` object, where
//   read(size)   resolves to a Uint8Array of at most `size` bytes of what the
//                player has handed over, UTF-8 as a UTF-8 terminal sends
//                it, waiting for a line when there is none; no bytes at the
//                end of input;
//   show(bytes)  puts one of the game's texts on the page: Shift-JIS bytes
//                (code page 932) with LF line ends, which the page decodes;
//   clock()      returns the calendar time in whole seconds since 1970
//                (src/clock_web.cpp), which the page may give again as it
//                gave it before, to play a run again after a reload.
// Standard output is always that page, which takes care of line ends.

#include "platform.h"

#include <emscripten.h>

namespace {

// Waits for input and copies at most `size` bytes of it to `buf`; returns
// how many, 0 at the end of input.
EM_ASYNC_JS(int, page_read, (unsigned char *buf, int size), {
    const bytes = await Module.page.read(size);
    HEAPU8.set(bytes, buf);
    return bytes.length;
});

// Puts text[0, size) on the screen.
EM_JS(void, page_show, (const char *text, int size), { Module.page.show(HEAPU8.slice(text, text + size)); });

} // namespace

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
