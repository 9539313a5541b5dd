// The byte layer's portable core: bytes in by the input rules, message texts out in blocks.
//
// Output is the messages' Shift-JIS bytes.  To a terminal each text goes out
// at once, shown in the terminal's encoding where the platform can; to a
// file or pipe the bytes go out in blocks of exactly OUT_BUF_SIZE bytes, the
// last one shorter.  Line ends are CR LF where the platform asks for them
// (Windows).  The platform (platform.h, one source file each, chosen when the
// game is built) reads and writes.

#include "game_io.h"
#include "contract.h"
#include "hitblow.h"
#include "platform.h"
#include "text/messages.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t IN_BUF_SIZE = 4096; // bytes asked of standard input at once
constexpr size_t OUT_BUF_SIZE = 512; // output block size for a file or pipe

// Input: the bytes io_in has not yet taken stand in in_buf.
unsigned char in_buf[IN_BUF_SIZE];
bool in_ended = false;

// Output: out_buf[0, out_len) is waiting to be written.  Each text is put
// together after it, and a block is written as soon as it is full, so there
// is room past one for a text, doubled by CR LF line ends.
char out_buf[OUT_BUF_SIZE + 2 * MAX_TEXT_SIZE];
size_t out_len = 0;
OutputKind out_kind = {false, false};

// Ends the program after a failed read or write, with one line on standard
// error the way Unix tools report it.  (No printf: it would be a quarter of
// the browser's download.)
[[noreturn]] void fail(const char *what, int error)
{
    std::fputs("hitblow: cannot ", stderr);
    std::fputs(what, stderr);
    std::fputs(": ", stderr);
    std::fputs(std::strerror(error), stderr);
    std::fputs("\n", stderr);
    std::exit(1);
}

// True for the platform's word to call again: the call was interrupted, or
// found a stream that was not ready and waited until it is.
bool try_again(ptrdiff_t n)
{
    return n == -EINTR || n == -EAGAIN;
}

// Writes all `size` bytes to standard output, in as many calls as it takes.
void write_all(const char *bytes, size_t size)
{
    while (size > 0) {
        ptrdiff_t n = platform_write(bytes, size);
        if (try_again(n))
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

// Writes `number` in decimal at `at`, and returns the end.
char *put_decimal(char *at, int32_t number)
{
    uint32_t magnitude = number < 0 ? 0u - static_cast<uint32_t>(number) : static_cast<uint32_t>(number);
    if (number < 0)
        *at++ = '-';
    char *end = at + 1;
    for (uint32_t rest = magnitude; rest >= 10; rest /= 10)
        end++;
    for (char *digit = end; digit != at; magnitude /= 10)
        *--digit = static_cast<char>('0' + magnitude % 10);
    return end;
}

// Writes `message` at `at`, with `number` in decimal in place of its "%d",
// and returns the end.  Inline, as is send(): where the message is known
// when compiling (say_turn(), and say() in a build optimised across files),
// its copies are then of a size known too, and take no call.
inline char *put_message(char *at, const Message &message, int32_t number)
{
    auto length = static_cast<size_t>(message.length);
    if (message.number_at < 0) {
        std::memcpy(at, message.bytes, length);
        return at + length;
    }
    auto head = static_cast<size_t>(message.number_at);
    std::memcpy(at, message.bytes, head);
    at = put_decimal(at + head, number);
    std::memcpy(at, message.bytes + head + 2, length - head - 2);
    return at + length - head - 2;
}

// Writes the first `digit_count` digits of a row at `at`, each the one byte
// that "%d" makes of a digit, and returns the end.
char *put_digits(char *at, const int32_t *digits, int32_t digit_count)
{
    for (int32_t i = 0; i < digit_count; i++) {
        HITBLOW_REQUIRE(digits[i] >= 0 && digits[i] <= 9);
        *at++ = static_cast<char>('0' + digits[i]);
    }
    return at;
}

// Turns each line feed of text[0, end) into CR LF where the platform asks
// for them, and returns the new end.
char *with_line_ends(char *text, char *end)
{
    for (char *lf = text;
         out_kind.crlf && (lf = static_cast<char *>(std::memchr(lf, '\n', static_cast<size_t>(end - lf))));
         lf += 2) {
        std::memmove(lf + 1, lf, static_cast<size_t>(end - lf));
        *lf = '\r';
        end++;
    }
    return end;
}

// Sends out the text just put together after what is buffered, up to `end`:
// at once to a terminal; to a file or pipe, in the block it fills.
inline void send(char *end)
{
    char *text = out_buf + out_len;
    HITBLOW_REQUIRE(end - text <= static_cast<ptrdiff_t>(MAX_TEXT_SIZE));
    if (out_kind.terminal) {
        // Nothing is left buffered for a terminal, so the text stands alone.
        int shown = platform_show(text, static_cast<size_t>(end - text));
        if (shown < 0)
            fail("write to standard output", -shown);
        if (shown == 0)
            write_all(text, static_cast<size_t>(with_line_ends(text, end) - text));
        return;
    }
    out_len = static_cast<size_t>(with_line_ends(text, end) - out_buf);
    if (out_len >= OUT_BUF_SIZE) {
        write_all(out_buf, OUT_BUF_SIZE);
        out_len -= OUT_BUF_SIZE;
        std::memmove(out_buf, out_buf + OUT_BUF_SIZE, out_len);
    }
}

} // namespace

InputBuffer io_in = {in_buf, in_buf};

int io_fill()
{
    // Reads on, in a loop, past reads that keep nothing.
    size_t kept = 0;
    while (kept == 0 && !in_ended) {
        ptrdiff_t n = platform_read(in_buf, IN_BUF_SIZE);
        if (try_again(n))
            continue;
        if (n < 0) {
            flush_output();
            fail("read standard input", static_cast<int>(-n));
        }
        unsigned char *end = std::find(in_buf, in_buf + n, 0x1A);
        in_ended = n == 0 || end != in_buf + n;
        kept = static_cast<size_t>(std::remove(in_buf, end, '\r') - in_buf);
    }
    io_in = {in_buf, in_buf + kept};
    return kept > 0 ? *io_in.at++ : END_OF_INPUT;
}

void io_open()
{
    out_kind = platform_open();
    out_len = 0;
    io_in = {in_buf, in_buf};
    in_ended = false;
}

int io_close(int status)
{
    flush_output();
    return status;
}

void say(const Message &message, int32_t number)
{
    send(put_message(out_buf + out_len, message, number));
}

void say_turn(int32_t turn, const int32_t *digits, int32_t digit_count, int32_t hit, int32_t blow)
{
    HITBLOW_REQUIRE(digit_count >= 0 && digit_count <= MAX_DIGITS);
    char *at = put_message(out_buf + out_len, MSG_TURN_NUMBER, turn);
    at = put_digits(at, digits, digit_count);
    at = put_message(at, MSG_SPACE, 0);
    at = put_message(at, MSG_HISTORY_HIT, hit);
    at = put_message(at, MSG_HISTORY_BLOW, blow);
    send(put_message(at, MSG_NEWLINE, 0));
}

void say_answer(const int32_t *digits, int32_t digit_count)
{
    HITBLOW_REQUIRE(digit_count >= 0 && digit_count <= MAX_DIGITS);
    char *at = put_message(out_buf + out_len, MSG_ANSWER_HEAD, 0);
    at = put_digits(at, digits, digit_count);
    send(put_message(at, MSG_ANSWER_TAIL, 0));
}
