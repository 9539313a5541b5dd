// The one place where bytes enter and leave the game: tokens in, message texts out.
// (Not named io.h: that would hide the Windows C runtime's own <io.h>.)
#pragma once

#include <cstddef>
#include <cstdint>

// Prepares the standard streams: input is read as raw bytes; output is written
// unbuffered to a terminal (in the terminal's own encoding) and in blocks of
// OUT_BUF_SIZE bytes to a file or pipe.  Call once, before anything else here.
void io_open();

// Writes out whatever is still buffered.  Returns `status` when every byte of
// the run reached standard output, else prints one line on standard error and
// returns 1.  Call once, last.
int io_close(int status);

// Makes the game read `input` and write into `output` instead of the standard
// streams, for tests and fuzzing.  Line ends stay LF and nothing is converted;
// output past `output_size` bytes is dropped.  Replaces any earlier setup.
void io_open_memory(const char *input, size_t input_size, char *output, size_t output_size);

// Returns how many bytes the game has written into the memory output so far.
size_t io_memory_length();

// Skips whitespace (the bytes 0x09 to 0x0D and 0x20).  Returns 1 when a token
// starts at the next byte, 0 when the input has ended.  Carriage returns never
// reach the caller, and a 0x1A byte ends the input.
int io_start_token();

// Returns the next byte of the current token, 0 to 255, or -1 when the token
// has ended.  A whitespace byte that ends the token stays unread, so the next
// token starts there; a NUL byte that ends it is consumed with it.
int io_token_byte();

// Writes a message text.  The text is Shift-JIS bytes; a "%d" in it is
// replaced by `number` in decimal.  A failed write ends the program with
// status 1 after one line on standard error.
void say(const char *text, int32_t number = 0);
