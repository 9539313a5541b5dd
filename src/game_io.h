// The game's view of its byte streams: tokens in, message texts out.
// (Not named io.h: that would hide the Windows C runtime's own <io.h>.)
#pragma once

#include <cstdint>

struct Message;

// Prepares the standard streams: input is read as raw bytes; output is written
// at once to a terminal, in the terminal's own encoding, and in blocks of 512
// bytes to a file or pipe.  Call once, before anything else here.
void io_open();

// Writes out whatever is still buffered and returns `status`.  Call once, last.
int io_close(int status);

// Skips whitespace (the bytes 0x09 to 0x0D and 0x20).  Returns 1 when a token
// starts at the next byte, 0 when the input has ended.  Carriage returns never
// reach the caller, and a 0x1A byte ends the input.
int io_start_token();

// Returns the next byte of the current token, 0 to 255, or -1 when the token
// has ended.  A whitespace byte that ends the token stays unread, so the next
// token starts there; a NUL byte that ends it is consumed with it.
int io_token_byte();

// Writes a message text, with `number` in decimal in place of its "%d".
void say(const Message &message, int32_t number = 0);

// Writes one line of the turn listing, as these says would one after another,
// in one go: MSG_TURN_NUMBER with `turn`, MSG_ONE_DIGIT with each of the
// first `digit_count` (at most MAX_DIGITS) of `digits`, each 0 to 9,
// MSG_SPACE, MSG_HISTORY_HIT with `hit`, MSG_HISTORY_BLOW with `blow`, and
// MSG_NEWLINE.  To a terminal the line is one write.
void say_turn(int32_t turn, const int32_t *digits, int32_t digit_count, int32_t hit, int32_t blow);

// Writes the answer line in one go: MSG_ANSWER_HEAD, the first `digit_count`
// digits as say_turn() writes them, and MSG_ANSWER_TAIL.
void say_answer(const int32_t *digits, int32_t digit_count);

// A failed read of standard input (other than its end) or a failed write of
// standard output ends the program: what is buffered is written if it can
// be, then one line on standard error names the program and the reason, and
// the exit status is 1.
