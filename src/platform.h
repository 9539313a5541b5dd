// What the byte layer needs of the system it runs on; each platform has one source file that provides it.
#pragma once

#include <cstddef>

// The longest text, its number filled in, that the byte layer hands to platform_show().
constexpr size_t MAX_TEXT_SIZE = 128;

// How standard output is to be written.
struct OutputKind {
    bool terminal; // a terminal: every text goes out at once, through platform_show()
    bool crlf;     // every line feed goes out as CR LF
};

// Prepares standard input and output to pass bytes unchanged, and tells how
// standard output is to be written.  Called once, before the others.
OutputKind platform_open();

// Reads up to `size` bytes of standard input into `buf`.  Returns how many it
// read, 0 at the end of input, or a negative error number (-EINTR, or -EAGAIN
// once a stream that was not ready is: try again).
ptrdiff_t platform_read(unsigned char *buf, size_t size);

// Writes up to `size` bytes, at least one, of `buf` to standard output.
// Returns how many it wrote, or a negative error number (-EINTR or -EAGAIN,
// as for platform_read(): try again).
ptrdiff_t platform_write(const char *buf, size_t size);

// Shows one text on the terminal in the terminal's own encoding: `text` is
// Shift-JIS bytes with LF line ends, at most MAX_TEXT_SIZE of them.  Returns
// 1 when it is shown; 0 when it is not, nothing having been written, because
// the terminal takes the bytes as they are or the text does not convert (the
// caller then writes the bytes itself); or a negative error number when
// writing to the terminal failed.
int platform_show(const char *text, size_t size);
