// Tests of the byte layer at its edges: how input splits into tokens, how output goes out in blocks, and
// failed reads and writes.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "entry.h"
#include "game_io.h"
#include "hitblow.h"
#include "memory_io.h"
#include "memory_platform.h"
#include "session.h"
#include "text/messages.h"

namespace {

using namespace std::string_literals;

// What read_number() returns, one token after another, for a whole input: "value:flag" per token, then "end".
std::string tokens_of(const std::string &input, size_t chunk)
{
    MemoryIo io(input, {.read_chunk = chunk});
    std::string results;
    for (int i = 0; i < 10; i++) {
        int32_t value = 99;
        int32_t flag = read_number(&value);
        if (flag == END_OF_INPUT)
            return results + (value == 0 ? "end" : "end with a value");
        results += std::to_string(value) + ":" + std::to_string(flag) + " ";
    }
    return results + "...";
}

struct TokenCase {
    std::string input;
    std::string results;
    const char *why;
};

const TokenCase TOKEN_CASES[] = {
    {"1 2\t3\n", "1:1 2:1 3:1 end", "whitespace between tokens"},
    {"  \v\f 12 ", "12:1 end", "every whitespace byte is skipped"},
    {"1\r\n2\r\n", "1:1 2:1 end", "carriage returns are dropped"},
    {"1\r2", "12:1 end", "a carriage return inside a token vanishes"},
    {"\r\r\r", "end", "only carriage returns"},
    {"1\0002"s, "1:1 2:1 end", "a NUL ends a token and is consumed"},
    {"\0005"s, "0:0 5:1 end", "a NUL where a token starts is one empty token"},
    {"\0\0"s, "0:0 0:0 end", "each NUL is its own empty token"},
    {"3\0324", "3:1 end", "0x1A ends the input"},
    {"\x1a", "end", "0x1A at once"},
    {"7 8\r\x1a\r9", "7:1 8:1 end", "0x1A after a carriage return"},
    {"", "end", "no input at all"},
    {"   ", "end", "only whitespace"},
    {"7", "7:1 end", "a last token without a line end"},
    {" 7\0008 9 "s, "7:1 8:1 9:1 end", "a one-byte token that a NUL ends"},
    {" \x80 5", "0:0 5:1 end", "a one-byte token that is no digit"},
    {"\x81@9", "0:0 end", "a full-width space (0x81 0x40) does not split a token"},
    {std::string(100000, '9') + " 4", "-1:1 4:1 end", "a huge token is read whole, across many refills"},
    // The number rule, token by token.
    {"0", "0:1 end", "a lone zero: first byte is a digit"},
    {"-0", "0:0 end", "value 0 behind a sign is refused"},
    {"+0", "0:0 end", "value 0 behind a sign is refused"},
    {"-1", "-1:1 end", "negative values are accepted"},
    {"+7", "7:1 end", "a plus sign"},
    {"2abc", "2:1 end", "digits up to the first non-digit"},
    {"007", "7:1 end", "leading zeros"},
    {"1.5", "1:1 end", "stops at the point"},
    {"abc", "0:0 end", "letters"},
    {"-", "0:0 end", "a lone sign"},
    {"--5", "0:0 end", "a second sign is not a digit"},
    {"a5", "0:0 end", "digits after a letter are not read"},
    {"x-1", "0:0 end", "a sign after a letter"},
    {"4294967297", "1:1 end", "2^32 + 1 wraps to 1"},
    {"4294967296", "0:1 end", "2^32 wraps to 0, still accepted: first byte is a digit"},
    {"-4294967296", "0:0 end", "wraps to 0 behind a sign: refused"},
    {"2147483648", "-2147483648:1 end", "2^31 wraps to the most negative value"},
    {"-2147483648", "-2147483648:1 end", "the most negative value"},
    {"-2147483649", "2147483647:1 end", "one below wraps to the most positive"},
    {"1234567890123456789012345678901234567890", "-834729262:1 end", "40 digits, converted whole"},
    {"\x82\x4f", "0:0 end", "full-width digit zero in Shift-JIS is not a digit"},
    {"\x81\x40", "0:0 end", "full-width space is a token, not whitespace"},
    {"5\x82\x4f", "5:1 end", "an ASCII digit before a full-width one"},
};

// Every case is read whole, and again with reads of 1, 2 and 3 bytes, so
// that tokens, CR and 0x1A bytes fall across refills of the input buffer.
TEST(Tokens, SplitTheInputWhateverTheReads)
{
    for (const TokenCase &c : TOKEN_CASES)
        for (size_t chunk : {0, 1, 2, 3})
            EXPECT_EQ(tokens_of(c.input, chunk), c.results) << c.why << ", reads of " << chunk;
}

// Each byte between two digits: 0x09 to 0x0D and 0x20 split them, CR vanishes, NUL ends the first token,
// 0x1A ends the input, and every other byte is part of one token that reads as 1.
TEST(Tokens, TheWhitespaceSetExactly)
{
    for (int b = 0; b < 256; b++) {
        std::string expected = "1:1 end";
        if ((b >= 0x09 && b <= 0x0D) || b == ' ' || b == '\0')
            expected = "1:1 2:1 end";
        if (b == '\r')
            expected = "12:1 end";
        if (b == 0x1A)
            expected = "1:1 end";
        if (b >= '0' && b <= '9')
            expected = "1" + std::string(1, static_cast<char>(b)) + "2:1 end";
        EXPECT_EQ(tokens_of("1"s + static_cast<char>(b) + "2", 0), expected) << "byte " << b;
    }
}

TEST(Tokens, EndOfInputIsForGood)
{
    MemoryIo io("1\x1a"
                "2 3 4");
    int32_t value = 0;
    EXPECT_EQ(read_number(&value), 1);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(read_number(&value), END_OF_INPUT);
}

// A session of several kilobytes of output: a refused level, a won easy
// game, a lost practice game of 10 digits and 16 turns, then quit.
const std::string SESSION = "9 1 1 2 3 0 5 9 0 10 16 " + [] {
    std::string turns;
    for (int i = 0; i < 16; i++)
        turns += "0 1 2 3 4 5 6 7 8 8\n";
    return turns;
}() + "-1\n";

// Plays `input` on `streams`, with room for `room` bytes of output, and
// returns what was written.
std::string play(MemoryStreams streams, const std::string &input = SESSION, size_t room = 1 << 16)
{
    return MemoryIo(input, streams, room).play();
}

// However the platform takes the bytes (a few a call, after interrupted calls, after waiting on a stream
// not ready), each goes out once and in order, to a terminal or a file; a file gets blocks of exactly 512,
// the last one shorter.
TEST(Output, EveryByteOnceWhateverTheCalls)
{
    std::string screen = play({.terminal = true});
    ASSERT_GT(screen.size(), 5000u);
    ASSERT_NE(screen.size() % 512, 0u);
    for (size_t chunk : {0, 1, 100, 511, 512, 513})
        for (int retry : {0, EINTR, EAGAIN})
            for (bool terminal : {false, true}) {
                std::string out = play({.terminal = terminal, .write_chunk = chunk, .retry_error = retry});
                SCOPED_TRACE("chunk " + std::to_string(chunk) + ", retry " + std::to_string(retry));
                EXPECT_EQ(out, screen);
                if (terminal)
                    continue;
                // Each call asks for the rest of its block, and only the last block is short.
                EXPECT_EQ(memory_counts.first_ragged_end, screen.size());
                EXPECT_EQ(memory_counts.largest_write, chunk == 0 || chunk > 512 ? 512 : chunk);
            }
}

TEST(Output, TerminalGetsEachTextInOneWrite)
{
    MemoryIo io("");
    say(MSG_LEVEL_ERROR);
    say(MSG_HIT, 3);
    EXPECT_EQ(memory_counts.writes, 2u);
    EXPECT_EQ(memory_counts.largest_write, 57u);
    EXPECT_EQ(io.output(), sjis("その難易度は出来ません。もう一度数字を入力してください。\nHIT  :3\n"));
}

// A whole line is exactly what its texts say one after another, in every output mode, in one write to a
// terminal.
struct LineCase {
    int32_t turn;
    std::vector<int32_t> digits;
    int32_t hit;
    int32_t blow;
};

const LineCase LINE_CASES[] = {
    {1, {0, 1, 2}, 1, 0}, {16, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, 10, 0},
    {7, {5}, 0, 0},       {INT32_MIN, {0, 0, 9, 9, 0, 0, 9, 9, 0, 0}, INT32_MAX, INT32_MIN},
    {0, {}, -1, 100},
};

TEST(Output, WholeLinesAreTheirTextsSaidInTurn)
{
    for (const LineCase &c : LINE_CASES) {
        auto n = static_cast<int32_t>(c.digits.size());
        for (MemoryStreams streams : {MemoryStreams{.terminal = true}, MemoryStreams{.terminal = false},
                                      MemoryStreams{.terminal = true, .crlf = true}}) {
            // What `write` writes, and in how many writes before the streams close.
            auto written = [&](auto write) {
                MemoryIo io("", streams);
                write();
                size_t writes = memory_counts.writes;
                io_close(0);
                return std::make_pair(io.output(), writes);
            };
            auto [turn_line, turn_writes] =
                written([&] { say_turn(c.turn, c.digits.data(), n, c.hit, c.blow); });
            auto [turn_says, unused1] = written([&] {
                say(MSG_TURN_NUMBER, c.turn);
                for (int32_t digit : c.digits)
                    say(MSG_ONE_DIGIT, digit);
                say(MSG_SPACE);
                say(MSG_HISTORY_HIT, c.hit);
                say(MSG_HISTORY_BLOW, c.blow);
                say(MSG_NEWLINE);
            });
            auto [answer_line, answer_writes] = written([&] { say_answer(c.digits.data(), n); });
            auto [answer_says, unused2] = written([&] {
                say(MSG_ANSWER_HEAD);
                for (int32_t digit : c.digits)
                    say(MSG_ONE_DIGIT, digit);
                say(MSG_ANSWER_TAIL);
            });
            EXPECT_EQ(turn_line, turn_says) << "turn " << c.turn;
            EXPECT_EQ(answer_line, answer_says) << "turn " << c.turn;
            EXPECT_EQ(turn_writes, streams.terminal ? 1u : 0u) << "turn " << c.turn;
            EXPECT_EQ(answer_writes, streams.terminal ? 1u : 0u) << "turn " << c.turn;
        }
    }
}

// CR LF: every line feed, and nothing else, gets a CR before it, and a file still gets blocks of 512 bytes.
TEST(Output, CrLfLineEnds)
{
    std::string lf = play({.terminal = true});
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? "\r\n"s : std::string(1, c);
    EXPECT_EQ(play({.terminal = true, .crlf = true}), crlf);
    EXPECT_EQ(play({.terminal = false, .crlf = true}), crlf);
    EXPECT_EQ(memory_counts.writes, (crlf.size() + 511) / 512);
    EXPECT_EQ(memory_counts.largest_write, 512u);
}

std::string error_line(const char *what, int error)
{
    return "^hitblow: cannot " + std::string(what) + ": " + std::strerror(error) + "\n$";
}

// A failed read or write, first or after a call to be made again, ends the program with status 1 and one
// line; so does a write that takes nothing, which would otherwise be tried for ever.
TEST(Failures, EndTheProgramWithOneLine)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int retry : {0, EINTR, EAGAIN}) {
        EXPECT_EXIT(play({.read_error = EISDIR, .retry_error = retry}, ""), testing::ExitedWithCode(1),
                    error_line("read standard input", EISDIR));
        EXPECT_EXIT(play({.read_error = EIO, .retry_error = retry}, "1 1 2"), testing::ExitedWithCode(1),
                    error_line("read standard input", EIO));
        for (size_t chunk : {0, 100})
            EXPECT_EXIT(play({.terminal = false, .write_chunk = chunk, .retry_error = retry},
                             "9 9 9 9 9 9 9 9 9 9 9", 1000),
                        testing::ExitedWithCode(1), error_line("write to standard output", ENOSPC));
        EXPECT_EXIT(play({.terminal = true, .full_error = 0, .retry_error = retry}, "1", 10),
                    testing::ExitedWithCode(1), error_line("write to standard output", EIO));
    }
}

} // namespace
