// The byte layer's portable core: tokens in by the input rules, message texts out in blocks.
//
// Input is read as raw bytes: carriage returns are dropped and a 0x1A byte
// ends the input.  Output is the messages' Shift-JIS bytes.  To a terminal
// each text goes out at once, shown in the terminal's encoding where the
// platform can; to a file or pipe the bytes go out in blocks of exactly
// OUT_BUF_SIZE bytes, the last one shorter, unchanged but for line ends,
// which are CR LF where the platform asks for them (Windows).  The platform
// (platform.h, one source file each, chosen when the game is built) reads
// and writes.

#include "game_io.h"
#include "contract.h"
#include "hitblow.h"
#include "platform.h"
#include "text/messages.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t IN_BUF_SIZE = 4096; // bytes taken from standard input at once
constexpr size_t OUT_BUF_SIZE = 512; // output block size for a file or pipe
constexpr size_t NUMBER_SIZE = 11;   // the longest number: -2147483648
constexpr size_t SHORT_TEXT = 16;    // the room copied for a short text

// Input: what was read, with room for the NUL after it (io_in, below, says
// how much of it is not yet taken).
unsigned char in_buf[IN_BUF_SIZE + 1];
bool in_ended = false;

// Output: out_buf[0, out_len) is formatted but not yet written.  Each text is
// formatted straight into it, after what is there; the room past one block
// takes the longest text with every byte doubled by CR LF line ends, and what
// put_message() copies beyond the end of a text, so a text is never split.
constexpr size_t OUT_ROOM = 2 * MAX_TEXT_SIZE;
static_assert(2 * (MESSAGE_SIZE + NUMBER_SIZE) <= OUT_ROOM && MESSAGE_SIZE + NUMBER_SIZE <= MAX_TEXT_SIZE);
// The longest line that say_turn() puts together, every number at its
// longest; say_answer()'s is shorter.  Its last text may copy up to
// MESSAGE_SIZE + NUMBER_SIZE bytes past where that text starts.
constexpr size_t TURN_LINE_SIZE = MSG_TURN_NUMBER.length + NUMBER_SIZE + MAX_DIGITS + MSG_SPACE.length +
                                  MSG_HISTORY_HIT.length + NUMBER_SIZE + MSG_HISTORY_BLOW.length +
                                  NUMBER_SIZE + MSG_NEWLINE.length;
static_assert(2 * TURN_LINE_SIZE <= OUT_ROOM && TURN_LINE_SIZE + MESSAGE_SIZE + NUMBER_SIZE <= OUT_ROOM &&
              TURN_LINE_SIZE <= MAX_TEXT_SIZE);
char out_buf[OUT_BUF_SIZE + OUT_ROOM];
size_t out_len = 0;
OutputKind out_kind = {false, false};
// Neither to a terminal nor with CR LF, so that texts only join the block:
// the case of nearly every text in a file, tested once for each.
bool out_plain = true;

// Ends the program after a failed read or write, with one line on standard
// error the way Unix tools report it: the game must not go on talking to a
// player it cannot hear or who cannot see it, nor exit as if all was well.
// The line is put together with fputs: the game needs no printf, which would
// be a quarter of the browser's download.
[[noreturn]] void fail(const char *what, int error)
{
    std::fputs("hitblow: cannot ", stderr);
    std::fputs(what, stderr);
    std::fputs(": ", stderr);
    std::fputs(std::strerror(error), stderr);
    std::fputs("\n", stderr);
    std::exit(1);
}

// Writes all `size` bytes to standard output; a failure ends the program.
void write_all(const char *bytes, size_t size)
{
    while (size > 0) {
        ptrdiff_t n = platform_write(bytes, size);
        if (n == -EINTR)
            continue;
        if (n <= 0)
            fail("write to standard output", n < 0 ? static_cast<int>(-n) : EIO);
        bytes += n;
        size -= static_cast<size_t>(n);
    }
}

void flush_output()
{
    size_t size = out_len;
    out_len = 0; // nothing is written twice, even when writing fails
    write_all(out_buf, size);
}

// Writes out the first block of the buffer, and moves what follows it to the
// start.  It and send_text() are kept out of line: inlined, their calls would
// make say() save registers for every text, not just for the few that need them.
[[gnu::noinline]] void write_block()
{
    write_all(out_buf, OUT_BUF_SIZE);
    out_len -= OUT_BUF_SIZE;
    std::memmove(out_buf, out_buf + OUT_BUF_SIZE, out_len);
}

// Returns how many bytes `number` takes in decimal.
size_t decimal_width(int32_t number)
{
    uint32_t magnitude = number < 0 ? 0u - static_cast<uint32_t>(number) : static_cast<uint32_t>(number);
    size_t width = number < 0 ? 2 : 1;
    for (; magnitude >= 10; magnitude /= 10)
        width++;
    return width;
}

// Writes `number` in decimal into the `width` bytes at `at`.
void put_decimal(char *at, size_t width, int32_t number)
{
    uint32_t magnitude = number < 0 ? 0u - static_cast<uint32_t>(number) : static_cast<uint32_t>(number);
    if (number < 0)
        *at = '-';
    char *digit = at + width;
    do {
        *--digit = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
}

// Writes `message` at `at`, with `number` in place of its "%d", and returns
// its length: at most MAX_TEXT_SIZE bytes.  ROOM bytes, at least as many as
// the text has, are copied at once, and the part after "%d" is moved along to
// make way for the number: no copy needs to measure what it copies, and bytes
// past the end of the text go along and are left behind, unused.
template <size_t ROOM> size_t put_message(char *at, const Message &message, int32_t number)
{
    static_assert(ROOM <= MESSAGE_SIZE);
    std::memcpy(at, message.bytes, ROOM);
    auto length = static_cast<size_t>(message.length);
    if (message.number_at < 0)
        return length;
    char *place = at + message.number_at;
    size_t width = decimal_width(number);
    char rest[ROOM];
    std::memcpy(rest, place + 2, ROOM);
    std::memcpy(place + width, rest, ROOM);
    put_decimal(place, width, number);
    return length - 2 + width;
}

// Turns every line feed of text[0, size) into CR LF, in place, and returns
// the new size; there must be room for `size` more bytes.
size_t put_crlf(char *text, size_t size)
{
    char *end = text + size;
    for (char *lf = text; (lf = static_cast<char *>(std::memchr(lf, '\n', static_cast<size_t>(end - lf))));
         lf += 2) {
        std::memmove(lf + 1, lf, static_cast<size_t>(end - lf));
        *lf = '\r';
        end++;
    }
    return static_cast<size_t>(end - text);
}

// Drops every carriage return from bytes[0, size), moving the runs between
// them together, and returns the new size.
size_t drop_carriage_returns(unsigned char *bytes, size_t size)
{
    size_t kept = 0;
    for (size_t run = 0; run < size;) {
        auto *cr = static_cast<unsigned char *>(std::memchr(bytes + run, '\r', size - run));
        size_t end = cr != nullptr ? static_cast<size_t>(cr - bytes) : size;
        std::memmove(bytes + kept, bytes + run, end - run);
        kept += end - run;
        run = end + 1;
    }
    return kept;
}

// Sends out a text just formatted at out_buf + out_len, to a terminal or
// with CR LF line ends: the two cases that say() leaves to this.
[[gnu::noinline]] void send_text(char *text, size_t size)
{
    if (out_kind.terminal) {
        // Nothing is ever left buffered for a terminal, so the text stands at
        // the start of the buffer, with room to grow.
        int shown = platform_show(text, size);
        if (shown < 0)
            fail("write to standard output", -shown);
        if (shown == 0)
            write_all(text, out_kind.crlf ? put_crlf(text, size) : size);
        return;
    }
    out_len += put_crlf(text, size);
    if (out_len >= OUT_BUF_SIZE)
        write_block();
}

// Refills the input buffer with the next bytes that count: carriage returns
// are dropped, and a 0x1A byte ends the input for good.  Returns false at the
// end of input; a failed read ends the program.
bool fill_input()
{
    size_t in_len = 0;
    while (in_len == 0 && !in_ended) {
        ptrdiff_t n = platform_read(in_buf, IN_BUF_SIZE);
        if (n == -EINTR)
            continue;
        if (n < 0) {
            flush_output();
            fail("read standard input", static_cast<int>(-n));
        }
        auto size = static_cast<size_t>(n);
        auto *sub = static_cast<unsigned char *>(std::memchr(in_buf, 0x1A, size));
        if (sub != nullptr)
            size = static_cast<size_t>(sub - in_buf);
        in_ended = n == 0 || sub != nullptr;
        in_len = drop_carriage_returns(in_buf, size);
    }
    in_buf[in_len] = '\0';
    io_in = {in_buf, in_buf + in_len};
    return in_len > 0;
}

// Writes `message` at `at`, with `number` in place of its "%d", and returns
// its length.  Most texts are short, and a short room is copied the fastest.
size_t put_text(char *at, const Message &message, int32_t number)
{
    return static_cast<size_t>(message.length) <= SHORT_TEXT ? put_message<SHORT_TEXT>(at, message, number)
                                                             : put_message<MESSAGE_SIZE>(at, message, number);
}

// Writes the first `digit_count` digits of a row at `at`, run together, and
// returns how many bytes that is.  Each digit is 0 to 9, so each is the one
// byte that "%d" would make of it.
size_t put_digits(char *at, const int32_t *digits, int32_t digit_count)
{
    for (int32_t i = 0; i < digit_count; i++) {
        HITBLOW_REQUIRE(digits[i] >= 0 && digits[i] <= 9); // one byte each
        at[i] = static_cast<char>('0' + digits[i]);
    }
    return static_cast<size_t>(digit_count);
}

// Sends out the `size` bytes just formatted at out_buf + out_len: they join
// the block for a file or pipe, and go out at once to a terminal.
void send(char *text, size_t size)
{
    if (!out_plain) {
        send_text(text, size);
        return;
    }
    out_len += size;
    if (out_len >= OUT_BUF_SIZE)
        write_block();
}

} // namespace

InputBytes io_in = {in_buf, in_buf};

void io_open()
{
    out_kind = platform_open();
    out_plain = !out_kind.terminal && !out_kind.crlf;
    in_buf[0] = '\0';
    io_in = {in_buf, in_buf};
    in_ended = false;
    out_len = 0;
}

int io_close(int status)
{
    flush_output();
    return status;
}

TokenRun io_token_at_end(const unsigned char *start, const unsigned char *at)
{
    io_in.at = at;
    if (start != at)
        return {start, static_cast<uint32_t>(at - start), TOKEN_PART};
    // Only whitespace was left: read on until a token starts, in a loop, for
    // the browser build keeps little room for the calls under a waiting read.
    do {
        if (!fill_input())
            return {in_buf, 0, TOKEN_NONE};
        while (IO_CLASS[*io_in.at] == IO_SPACE)
            io_in.at++;
    } while (io_in.at == io_in.end);
    return io_token();
}

TokenRun io_token_rest()
{
    if (io_in.at == io_in.end && !fill_input())
        return {in_buf, 0, TOKEN_WHOLE};
    const unsigned char *start = io_in.at;
    const unsigned char *at = start;
    while (IO_CLASS[*at] == IO_TOKEN_BYTE)
        at++;
    io_in.at = at == io_in.end ? at : at + (IO_CLASS[*at] >> 1);
    return {start, static_cast<uint32_t>(at - start), at == io_in.end ? TOKEN_PART : TOKEN_WHOLE};
}

void say(const Message &message, int32_t number)
{
    char *text = out_buf + out_len;
    send(text, put_text(text, message, number));
}

void say_turn(int32_t turn, const int32_t *digits, int32_t digit_count, int32_t hit, int32_t blow)
{
    HITBLOW_REQUIRE(digit_count >= 0 && digit_count <= MAX_DIGITS); // the room TURN_LINE_SIZE keeps for them
    // Every text of the line is short, and each is known here, so the copies
    // of its room can be made as if of constants.
    static_assert(MSG_TURN_NUMBER.length <= SHORT_TEXT && MSG_SPACE.length <= SHORT_TEXT &&
                  MSG_HISTORY_HIT.length <= SHORT_TEXT && MSG_HISTORY_BLOW.length <= SHORT_TEXT &&
                  MSG_NEWLINE.length <= SHORT_TEXT);
    char *text = out_buf + out_len;
    char *at = text;
    at += put_message<SHORT_TEXT>(at, MSG_TURN_NUMBER, turn);
    at += put_digits(at, digits, digit_count);
    at += put_message<SHORT_TEXT>(at, MSG_SPACE, 0);
    at += put_message<SHORT_TEXT>(at, MSG_HISTORY_HIT, hit);
    at += put_message<SHORT_TEXT>(at, MSG_HISTORY_BLOW, blow);
    at += put_message<SHORT_TEXT>(at, MSG_NEWLINE, 0);
    send(text, static_cast<size_t>(at - text));
}

void say_answer(const int32_t *digits, int32_t digit_count)
{
    HITBLOW_REQUIRE(digit_count >= 0 && digit_count <= MAX_DIGITS); // the room of one text
    char *text = out_buf + out_len;
    char *at = text;
    at += put_text(at, MSG_ANSWER_HEAD, 0);
    at += put_digits(at, digits, digit_count);
    at += put_text(at, MSG_ANSWER_TAIL, 0);
    send(text, static_cast<size_t>(at - text));
}
