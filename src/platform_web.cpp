// The byte layer's platform for the browser: the game's streams are the terminal on the page (web/runs.js).
//
// Built with Emscripten and -sASYNCIFY, so that a read can wait for the
// player's Enter without holding up the page.  The page gives the module a
// `terminal` object: read(size) resolves to the bytes of what the player has
// typed (none at the end of input), and show(bytes) puts one text on the
// screen, decoded from code page 932.  Standard output is always that
// terminal, and the terminal takes care of line ends.

#include "platform.h"

#include <emscripten.h>

namespace {

// Waits for input and copies at most `size` bytes of it to `buf`; returns
// how many, 0 at the end of input.
EM_ASYNC_JS(int, page_read, (unsigned char *buf, int size), {
    const bytes = await Module.terminal.read(size);
    HEAPU8.set(bytes, buf);
    return bytes.length;
});

// Puts text[0, size) on the screen.
EM_JS(void, page_show, (const char *text, int size),
      { Module.terminal.show(HEAPU8.slice(text, text + size)); });

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
