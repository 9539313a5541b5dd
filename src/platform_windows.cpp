// The byte layer's platform for Windows: the standard handles, CR LF line ends, and the console's
// wide-character interface.
//
// Input and output go straight through ReadFile and WriteFile, which pass
// bytes unchanged; the C runtime's text mode would add and drop bytes by
// rules of its own.  Standard output is a terminal only when it is a real
// console (GetConsoleMode), which is then written with WriteConsoleW, so that
// the texts read right whatever the console's code page is.  Win32 errors are
// told as the errno values that name them.

#include "platform.h"

#include <cerrno>
#include <cstddef>

#include <windows.h>

namespace {

// The console that standard output is, or INVALID_HANDLE_VALUE.
HANDLE console = INVALID_HANDLE_VALUE;

int error_number(DWORD error)
{
    switch (error) {
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:            // the reader closed the pipe (Windows)
    case ERROR_PIPE_NOT_CONNECTED: // the same, as Wine tells it
        return EPIPE;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_INVALID_HANDLE: // the program was started without the stream
        return EBADF;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    default:
        return EIO;
    }
}

} // namespace

OutputKind platform_open()
{
    // Only a console is a terminal; the NUL device is none, though the C
    // runtime's _isatty() says it is a character device.
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode;
    if (out != INVALID_HANDLE_VALUE && GetConsoleMode(out, &mode))
        console = out;
    return {console != INVALID_HANDLE_VALUE, true};
}

ptrdiff_t platform_read(unsigned char *buf, size_t size)
{
    DWORD got = 0;
    if (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buf, static_cast<DWORD>(size), &got, nullptr))
        return static_cast<ptrdiff_t>(got);
    DWORD error = GetLastError();
    if (error == ERROR_BROKEN_PIPE) // the writing end of a pipe closed: the end of input
        return 0;
    return -error_number(error);
}

ptrdiff_t platform_write(const char *buf, size_t size)
{
    DWORD put = 0;
    if (WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), buf, static_cast<DWORD>(size), &put, nullptr))
        return static_cast<ptrdiff_t>(put);
    return -error_number(GetLastError());
}

int platform_show(const char *text, size_t size)
{
    wchar_t wide[MAX_TEXT_SIZE];
    wchar_t lines[2 * MAX_TEXT_SIZE];
    int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text, static_cast<int>(size), wide,
                                static_cast<int>(MAX_TEXT_SIZE));
    if (n <= 0)
        return 0;
    DWORD count = 0;
    for (int i = 0; i < n; i++) {
        if (wide[i] == L'\n')
            lines[count++] = L'\r';
        lines[count++] = wide[i];
    }
    DWORD written = 0;
    if (!WriteConsoleW(console, lines, count, &written, nullptr))
        return -error_number(GetLastError());
    return written == count ? 1 : -EIO;
}
