// The game's view of its byte streams: tokens in, message texts out.
// (Not named io.h: that would hide the Windows C runtime's own <io.h>.)
//
// A failed read of standard input (other than its end) or a failed write of
// standard output ends the program: what is buffered is written if it can
// be, then one line on standard error names the program and the reason, and
// the exit status is 1.  No call here returns an error.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct Message;

// Prepares the standard streams: input is read as raw bytes; output is written
// at once to a terminal, in the terminal's own encoding, and in blocks of a
// fixed size (io.cpp's OUT_BUF_SIZE) to a file or pipe.  Call once, before
// anything else here.
void io_open();

// Writes out whatever is still buffered and returns `status`.  Call once, last.
int io_close(int status);

// What io_token() and io_token_rest() found.
enum : int32_t {
    TOKEN_NONE = 0,  // the input ended before a token
    TOKEN_WHOLE = 1, // the run is the whole token, or its last part
    TOKEN_PART = 2,  // the run is part of the token, which goes on: io_token_rest() has more
};

// A run of a token's bytes, where they stand in the input buffer (valid
// until the next call), and what was found.  Small enough to be returned
// in two registers.
struct TokenRun {
    const unsigned char *bytes;
    uint32_t size;
    int32_t found; // TOKEN_NONE, TOKEN_WHOLE or TOKEN_PART
};

// Skips whitespace (0x09 to 0x0D and 0x20), then takes the token that starts
// there, or as much of it as stands in the input buffer.  A whitespace byte
// that ends the token stays unread, so the next token starts there; a NUL
// byte that ends it is taken with it.  Carriage returns never reach the
// caller, and a 0x1A byte ends the input.  Inline (below), for the number
// reader to scan a token with no call at all when the token stands whole in
// the buffer, as it nearly always does.
inline TokenRun io_token();

// Takes the next run of a token that io_token() found to go on past the
// input buffer, as io_token() does: TOKEN_WHOLE, with no bytes, where the
// token ends at once.
TokenRun io_token_rest();

// Writes a message text, with `number` in decimal in place of its "%d".
void say(const Message &message, int32_t number = 0);

// Writes one line of the turn listing, as these says would one after another,
// in one go: MSG_TURN_NUMBER with `turn`, MSG_ONE_DIGIT with each of the
// first `digit_count` (at most MAX_DIGITS) of `digits`, each 0 to 9,
// MSG_SPACE, MSG_HISTORY_HIT with `hit`, MSG_HISTORY_BLOW with `blow`, and
// MSG_NEWLINE.  To a terminal the line is one write.
void say_turn(int32_t turn, const int32_t *digits, int32_t digit_count, int32_t hit, int32_t blow);

// Writes the answer line in one go: MSG_ANSWER_HEAD, the first `digit_count`
// (at most MAX_DIGITS) digits as say_turn() writes them, and MSG_ANSWER_TAIL.
void say_answer(const int32_t *digits, int32_t digit_count);

// ---------------------------------------------------------------------------
// The inline fast path's internals, which only io_token() above needs; the
// game never touches them.
// ---------------------------------------------------------------------------

// The input as the byte layer holds it: the bytes from `at` to `end` are read
// and not yet taken, and a NUL byte stands at `end`, which stops any scan of
// them there.
struct InputBytes {
    const unsigned char *at;
    const unsigned char *end;
};
extern InputBytes io_in;

// What each byte is to the tokenizer: part of a token, whitespace, which
// stands between tokens and ends one, or NUL, which ends a token and is taken
// with it.
enum : unsigned char { IO_TOKEN_BYTE = 0, IO_SPACE = 1, IO_NUL = 2 };
inline constexpr auto IO_CLASS = [] {
    std::array<unsigned char, 256> kind{};
    for (char c : {'\t', '\n', '\v', '\f', '\r', ' '})
        kind[static_cast<unsigned char>(c)] = IO_SPACE;
    kind['\0'] = IO_NUL;
    return kind;
}();

// Where io_token() meets the end of what was read, within a token from
// `start` to `at` or before any: takes the token's first run, or reads on.
TokenRun io_token_at_end(const unsigned char *start, const unsigned char *at);

inline TokenRun io_token()
{
    const unsigned char *at = io_in.at;
    // The usual token, a digit typed as an answer: one byte, between two
    // whitespace bytes.  Each byte read here is before the NUL at the end.
    if (IO_CLASS[at[0]] == IO_SPACE && IO_CLASS[at[1]] == IO_TOKEN_BYTE && IO_CLASS[at[2]] == IO_SPACE) {
        io_in.at = at + 2;
        return {at + 1, 1, TOKEN_WHOLE};
    }
    while (IO_CLASS[*at] == IO_SPACE) // the NUL at the end is no space
        at++;
    const unsigned char *start = at;
    while (IO_CLASS[*at] == IO_TOKEN_BYTE)
        at++;
    if (at == io_in.end)
        return io_token_at_end(start, at);
    io_in.at = at + (IO_CLASS[*at] >> 1); // past a NUL, not past whitespace
    return {start, static_cast<uint32_t>(at - start), TOKEN_WHOLE};
}
