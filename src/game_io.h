// The game's view of its byte streams: bytes in, message texts out.
// (Not named io.h: that would hide the Windows C runtime's own <io.h>.)
//
// A failed read of standard input (other than its end) or a failed write of
// standard output ends the program: what is buffered is written if it can
// be, then one line on standard error names the program and the reason, and
// the exit status is 1.  No call here returns an error.
#pragma once

#include <cstdint>

#include "hitblow.h"

struct Message;

// Prepares the standard streams, with nothing read or buffered yet: input is
// read as raw bytes; output is written at once to a terminal, in the
// terminal's own encoding, and in blocks of 512 bytes to a file or pipe.
void io_open();

// Writes out whatever is still buffered and returns `status`.
int io_close(int status);

// The input buffer: the bytes from `at` to `end` are read and not yet taken.
struct InputBuffer {
    const unsigned char *at;
    const unsigned char *end;
};
extern InputBuffer io_in;

// Refills the input buffer and takes its first byte, as io_getc() does.
int io_fill();

// Returns the next byte of standard input, 0 to 255, or END_OF_INPUT at its
// end and ever after.  Carriage returns are dropped, and a 0x1A byte ends the input.
inline int io_getc()
{
    return io_in.at < io_in.end ? *io_in.at++ : io_fill();
}

// Writes a message text, with `number` in decimal in place of its "%d".
void say(const Message &message, int32_t number = 0);

// Writes one line of the turn listing as one text: MSG_TURN_NUMBER with
// `turn`, the first `digit_count` (0 to MAX_DIGITS) of `digits`, each 0 to 9,
// as MSG_ONE_DIGIT writes it, MSG_SPACE, MSG_HISTORY_HIT with `hit`,
// MSG_HISTORY_BLOW with `blow`, and MSG_NEWLINE.
void say_turn(int32_t turn, const int32_t *digits, int32_t digit_count, int32_t hit, int32_t blow);

// Writes the answer line as one text: MSG_ANSWER_HEAD, the first
// `digit_count` (0 to MAX_DIGITS) digits as say_turn() writes them, and MSG_ANSWER_TAIL.
void say_answer(const int32_t *digits, int32_t digit_count);
