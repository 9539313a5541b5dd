// The one place where bytes enter and leave the game: tokens in, message texts out.
//
// Input is read as raw bytes on every platform: carriage returns are dropped
// and a 0x1A byte ends the input.  Output is the messages' Shift-JIS bytes,
// written unchanged to a file or pipe (with CR LF line ends on Windows) and
// converted to the terminal's own encoding when standard output is a terminal.

#include "game_io.h"
#include "text/messages.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>
#endif

namespace {

constexpr size_t IN_BUF_SIZE = 4096;              // bytes taken from standard input at once
constexpr size_t OUT_BUF_SIZE = 512;              // output block size for a file or pipe
constexpr size_t MESSAGE_SIZE = 128;              // the longest text with its number filled in
constexpr size_t DISPLAY_SIZE = 4 * MESSAGE_SIZE; // that text in any display encoding

#ifdef _WIN32
constexpr bool CRLF_LINE_ENDS = true;
#else
constexpr bool CRLF_LINE_ENDS = false;
#endif

// Input state.  `in_data` points either into in_buf or at the caller's memory.
unsigned char in_buf[IN_BUF_SIZE];
const unsigned char *in_data = in_buf;
size_t in_pos = 0;
size_t in_len = 0;
bool in_ended = false;
bool in_from_memory = false;

// Output state.  message_line holds one text with its number filled in; it
// lives here rather than on the stack only because GCC's may-be-uninitialized
// check cannot see that say() fills it before passing it on.
char message_line[MESSAGE_SIZE];
char out_buf[OUT_BUF_SIZE + 1]; // one spare byte for the CR of a CR LF pair
size_t out_len = 0;
bool out_unbuffered = false;
char *mem_out = nullptr;
size_t mem_out_size = 0;
size_t mem_out_len = 0;

// Ends the program after a failed write of standard output, with one line on
// standard error the way Unix tools report it: the game must not go on talking
// to a player who cannot see it, nor exit as if all was well.
[[noreturn]] void fail_write(int error)
{
    std::fprintf(stderr, "hitblow: cannot write to standard output: %s\n", std::strerror(error));
    std::exit(1);
}

// read_some() reads up to `size` bytes of standard input and returns how many
// it read, 0 at end of input, or -1 with errno set.  write_some() writes up to
// `size` bytes of standard output and returns how many it wrote, or -1 with
// errno set.
#ifdef _WIN32
// Windows: straight through the standard handles, which pass bytes unchanged;
// the C runtime's text mode would add and drop bytes by rules of its own.
// Win32 errors are told as the errno values that name them.
using ssize_type = int;
ssize_type read_some(unsigned char *buf, size_t size)
{
    DWORD got = 0;
    if (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buf, static_cast<DWORD>(size), &got, nullptr))
        return static_cast<ssize_type>(got);
    if (GetLastError() == ERROR_BROKEN_PIPE) // the writing end of a pipe closed
        return 0;
    errno = EIO;
    return -1;
}
ssize_type write_some(const char *buf, size_t size)
{
    DWORD put = 0;
    if (WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), buf, static_cast<DWORD>(size), &put, nullptr))
        return static_cast<ssize_type>(put);
    switch (GetLastError()) {
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:            // the reader closed the pipe (Windows)
    case ERROR_PIPE_NOT_CONNECTED: // the same, as Wine tells it
        errno = EPIPE;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        errno = ENOSPC;
        break;
    case ERROR_INVALID_HANDLE: // the program was started without standard output
        errno = EBADF;
        break;
    default:
        errno = EIO;
        break;
    }
    return -1;
}
#else
using ssize_type = ssize_t;
ssize_type read_some(unsigned char *buf, size_t size)
{
    return read(0, buf, size);
}
ssize_type write_some(const char *buf, size_t size)
{
    return write(1, buf, size);
}
#endif

// Writes all `size` bytes to standard output.  Returns 0, or the error number
// of the first write that failed.
int write_all(const char *buf, size_t size)
{
    while (size > 0) {
        ssize_type n = write_some(buf, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        buf += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

// Sends the buffered bytes out; a failure ends the program.
void flush_output()
{
    if (out_len == 0)
        return;
    int error = write_all(out_buf, out_len);
    out_len = 0;
    if (error != 0)
        fail_write(error);
}

// Appends bytes to the output block, flushing each time it fills.
void buffer_bytes(const char *bytes, size_t size)
{
    for (size_t i = 0; i < size; i++) {
        if (CRLF_LINE_ENDS && bytes[i] == '\n')
            out_buf[out_len++] = '\r';
        out_buf[out_len++] = bytes[i];
        if (out_len >= OUT_BUF_SIZE)
            flush_output();
    }
}

// The display side: how a terminal is written to.  display_open() decides it
// once; display_write() writes one formatted text and returns false when it
// could not, so that the caller writes the original bytes instead.
#ifdef _WIN32

HANDLE console = INVALID_HANDLE_VALUE;

void display_open()
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode;
    if (out != INVALID_HANDLE_VALUE && GetConsoleMode(out, &mode))
        console = out;
}

bool display_active()
{
    return console != INVALID_HANDLE_VALUE;
}

// Writes through the console's wide-character interface, so that the text
// reads right whatever the console's code page is; the code page is left alone.
bool display_write(const char *text, size_t size)
{
    wchar_t wide[DISPLAY_SIZE];
    wchar_t lines[2 * DISPLAY_SIZE];
    int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text, static_cast<int>(size), wide,
                                static_cast<int>(DISPLAY_SIZE));
    if (n <= 0 && size > 0)
        return false;
    DWORD count = 0;
    for (int i = 0; i < n; i++) {
        if (wide[i] == L'\n')
            lines[count++] = L'\r';
        lines[count++] = wide[i];
    }
    DWORD written = 0;
    return WriteConsoleW(console, lines, count, &written, nullptr) && written == count;
}

#else

// The conversion from code page 932 to the terminal's encoding, or none when
// the terminal takes Shift-JIS as it is.
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
    return display_convert(MSG_MENU_TITLE, sizeof MSG_MENU_TITLE - 1, converted) >= 0 &&
           display_convert(MSG_RANGE_ERROR, sizeof MSG_RANGE_ERROR - 1, converted) >= 0;
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

bool display_write(const char *text, size_t size)
{
    char converted[DISPLAY_SIZE];
    ptrdiff_t length = display_convert(text, size, converted);
    if (length < 0)
        return false;
    int error = write_all(converted, static_cast<size_t>(length));
    if (error != 0)
        fail_write(error);
    return true;
}

#endif

// Refills the input buffer.  Returns false, and marks the input ended, at end
// of file or on a read error; nothing is read after that.
bool fill_input()
{
    if (in_ended || in_from_memory) {
        in_ended = true;
        return false;
    }
    for (;;) {
        ssize_type n = read_some(in_buf, IN_BUF_SIZE);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            in_ended = true;
            return false;
        }
        in_pos = 0;
        in_len = static_cast<size_t>(n);
        return true;
    }
}

// Returns the next input byte without taking it, or -1 at end of input.
// Carriage returns are taken and skipped here; 0x1A ends the input for good.
int peek_byte()
{
    for (;;) {
        if (in_ended)
            return -1;
        if (in_pos == in_len && !fill_input())
            return -1;
        unsigned char c = in_data[in_pos];
        if (c == '\r') {
            in_pos++;
            continue;
        }
        if (c == 0x1A) {
            in_ended = true;
            return -1;
        }
        return c;
    }
}

bool is_space(int c)
{
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

// Writes `number` in decimal into `buf`, which holds at least 11 bytes.
// Returns the count of bytes written.
size_t format_int(char *buf, int32_t number)
{
    char digits[10];
    size_t count = 0;
    uint32_t magnitude = number < 0 ? 0u - static_cast<uint32_t>(number) : static_cast<uint32_t>(number);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    size_t len = 0;
    if (number < 0)
        buf[len++] = '-';
    while (count > 0)
        buf[len++] = digits[--count];
    return len;
}

} // namespace

void io_open()
{
#ifdef _WIN32
    // Only a console is written unbuffered; the NUL device is no console,
    // though the C runtime's _isatty() says it is a character device.
    display_open();
    out_unbuffered = display_active();
#else
    out_unbuffered = isatty(1) != 0;
    if (out_unbuffered)
        display_open();
#endif
}

int io_close(int status)
{
    if (in_from_memory)
        return status;
    flush_output();
    return status;
}

void io_open_memory(const char *input, size_t input_size, char *output, size_t output_size)
{
    in_data = reinterpret_cast<const unsigned char *>(input);
    in_pos = 0;
    in_len = input_size;
    in_ended = false;
    in_from_memory = true;
    mem_out = output;
    mem_out_size = output_size;
    mem_out_len = 0;
}

size_t io_memory_length()
{
    return mem_out_len;
}

int io_start_token()
{
    int c;
    while ((c = peek_byte()) != -1 && is_space(c))
        in_pos++;
    return c != -1;
}

int io_token_byte()
{
    int c = peek_byte();
    if (c == -1 || is_space(c))
        return -1;
    in_pos++;
    return c == '\0' ? -1 : c;
}

void say(const char *text, int32_t number)
{
    char *line = message_line;
    size_t len = 0;
    for (const char *p = text; *p != '\0' && len + 11 < MESSAGE_SIZE; p++) {
        if (p[0] == '%' && p[1] == 'd') {
            len += format_int(line + len, number);
            p++;
        } else {
            line[len++] = *p;
        }
    }

    if (in_from_memory) {
        size_t room = mem_out_size - mem_out_len;
        size_t n = len < room ? len : room;
        std::memcpy(mem_out + mem_out_len, line, n);
        mem_out_len += n;
        return;
    }
    if (display_active() && display_write(line, len))
        return;
    buffer_bytes(line, len);
    if (out_unbuffered)
        flush_output();
}
