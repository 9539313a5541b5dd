// The byte layer's platform for Linux and other POSIX systems: file descriptors 0 and 1, and iconv for a
// terminal.
//
// Standard output is a terminal when isatty() says so.  A terminal shows the
// texts in the encoding of the player's locale: unchanged for a Shift-JIS
// locale, converted from code page 932 with iconv for any other set that can
// hold them (UTF-8, EUC-JP, ...), and in UTF-8 where the locale names no
// such set.

#include "platform.h"
#include "text/messages.h"

#include <cerrno>
#include <cstddef>

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <poll.h>
#include <unistd.h>

namespace {

// A text in any display encoding: a byte of Shift-JIS takes at most 4 there.
constexpr size_t DISPLAY_SIZE = 4 * MAX_TEXT_SIZE;

// The conversion from code page 932 to the terminal's encoding, or none when
// the terminal takes Shift-JIS as it is or standard output is no terminal.
iconv_t display = reinterpret_cast<iconv_t>(-1);

bool display_active()
{
    return display != reinterpret_cast<iconv_t>(-1);
}

// Compares two character-set names, ignoring case, '-' and '_'.
bool same_charset(const char *a, const char *b)
{
    for (;;) {
        while (*a == '-' || *a == '_')
            a++;
        while (*b == '-' || *b == '_')
            b++;
        if (*a == '\0' || *b == '\0')
            return *a == *b;
        char ca = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 'a' + 'A') : *a;
        char cb = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 'a' + 'A') : *b;
        if (ca != cb)
            return false;
        a++;
        b++;
    }
}

bool names_one_of(const char *name, const char *const *list)
{
    for (; *list != nullptr; list++)
        if (same_charset(name, *list))
            return true;
    return false;
}

// Converts `size` bytes of `text` into `converted`, which holds DISPLAY_SIZE
// bytes.  Returns the converted length, or -1 when the text does not convert.
ptrdiff_t display_convert(const char *text, size_t size, char *converted)
{
    char *in = const_cast<char *>(text);
    size_t in_left = size;
    char *out = converted;
    size_t out_left = DISPLAY_SIZE;
    iconv(display, nullptr, nullptr, nullptr, nullptr);
    if (iconv(display, &in, &in_left, &out, &out_left) == static_cast<size_t>(-1) ||
        iconv(display, nullptr, nullptr, &out, &out_left) == static_cast<size_t>(-1))
        return -1;
    return out - converted;
}

// True when the display encoding holds the texts: kanji, kana and the
// full-width tilde, tried on two texts that have them all.
bool display_holds_texts()
{
    char converted[DISPLAY_SIZE];
    return display_convert(MSG_MENU_TITLE.bytes, static_cast<size_t>(MSG_MENU_TITLE.length), converted) >=
               0 &&
           display_convert(MSG_RANGE_ERROR.bytes, static_cast<size_t>(MSG_RANGE_ERROR.length), converted) >=
               0;
}

// Chooses the display encoding from the player's locale.  This is the only
// place the program looks at its environment (LC_ALL, LC_CTYPE, LANG, through
// setlocale), and it does so only when standard output is a terminal.
void display_open()
{
    static const char *const shift_jis[] = {"SHIFT_JIS",  "SJIS",    "CP932",  "WINDOWS-31J", "MS_KANJI",
                                            "CSSHIFTJIS", "IBM-943", "IBM943", nullptr};
    setlocale(LC_CTYPE, "");
    const char *charset = nl_langinfo(CODESET);
    if (charset == nullptr)
        charset = "";
    if (names_one_of(charset, shift_jis))
        return;
    // Another set that holds the texts (UTF-8, EUC-JP, ...) gets them converted
    // from code page 932: glibc's CP932 maps 0x81 0x60 to the full-width tilde
    // U+FF5E, as the texts mean it.  A locale that names no such set (C, POSIX,
    // plain ASCII, or one without Japanese such as Latin-1) gets UTF-8, which
    // is what nearly every terminal speaks.
    if (*charset != '\0') {
        display = iconv_open(charset, "CP932");
        if (display_active() && display_holds_texts())
            return;
        if (display_active())
            iconv_close(display);
    }
    display = iconv_open("UTF-8", "CP932");
}

// What a read() or write() on `fd` that returned `n` tells the byte layer.
// A stream can be non-blocking (a flag of the open stream, which the game
// may inherit): one that is not ready is waited on with poll() until it is
// ready for `events`, and then -EAGAIN says to call again.
ptrdiff_t outcome(ssize_t n, int fd, short events)
{
    if (n >= 0)
        return n;
    if (errno != EAGAIN && errno != EWOULDBLOCK)
        return -errno;
    pollfd stream = {fd, events, 0};
    return poll(&stream, 1, -1) < 0 && errno != EINTR ? -errno : -EAGAIN;
}

} // namespace

OutputKind platform_open()
{
    bool terminal = isatty(1) != 0;
    if (terminal)
        display_open();
    return {terminal, false};
}

ptrdiff_t platform_read(unsigned char *buf, size_t size)
{
    return outcome(read(0, buf, size), 0, POLLIN);
}

ptrdiff_t platform_write(const char *buf, size_t size)
{
    return outcome(write(1, buf, size), 1, POLLOUT);
}

int platform_show(const char *text, size_t size)
{
    char converted[DISPLAY_SIZE];
    ptrdiff_t length = display_active() ? display_convert(text, size, converted) : -1;
    if (length < 0)
        return 0;
    for (const char *next = converted; length > 0;) {
        ptrdiff_t n = outcome(write(1, next, static_cast<size_t>(length)), 1, POLLOUT);
        if (n == -EINTR || n == -EAGAIN)
            continue;
        if (n <= 0)
            return n < 0 ? static_cast<int>(n) : -EIO;
        next += n;
        length -= n;
    }
    return 1;
}
