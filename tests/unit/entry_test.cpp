// Tests of the number-entry rule and the level menu.

#include <gtest/gtest.h>

#include <string>

#include "entry.h"
#include "hitblow.h"
#include "memory_io.h"

namespace {

struct NumberCase {
    std::string token;
    int32_t value;
    int32_t accepted;
    const char *why;
};

const NumberCase NUMBER_CASES[] = {
    {"0", 0, 1, "a lone zero: first byte is a digit"},
    {"-0", 0, 0, "value 0 behind a sign is refused"},
    {"+0", 0, 0, "value 0 behind a sign is refused"},
    {"-1", -1, 1, "negative values are accepted"},
    {"+7", 7, 1, "a plus sign"},
    {"2abc", 2, 1, "digits up to the first non-digit"},
    {"007", 7, 1, "leading zeros"},
    {"1.5", 1, 1, "stops at the point"},
    {"abc", 0, 0, "letters"},
    {"-", 0, 0, "a lone sign"},
    {"--5", 0, 0, "a second sign is not a digit"},
    {"a5", 0, 0, "digits after a letter are not read"},
    {"x-1", 0, 0, "a sign after a letter"},
    {"4294967297", 1, 1, "2^32 + 1 wraps to 1"},
    {"4294967296", 0, 1, "2^32 wraps to 0, still accepted: first byte is a digit"},
    {"-4294967296", 0, 0, "wraps to 0 behind a sign: refused"},
    {"2147483648", INT32_MIN, 1, "2^31 wraps to the most negative value"},
    {"-2147483648", INT32_MIN, 1, "the most negative value"},
    {"-2147483649", INT32_MAX, 1, "one below wraps to the most positive"},
    {"1234567890123456789012345678901234567890", -834729262, 1, "40 digits, converted whole"},
    {"\x82\x4f", 0, 0, "full-width digit zero in Shift-JIS is not a digit"},
    {"\x81\x40", 0, 0, "full-width space is a token, not whitespace"},
    {"5\x82\x4f", 5, 1, "an ASCII digit before a full-width one"},
};

TEST(ReadNumber, FollowsTheNumberRule)
{
    for (const NumberCase &c : NUMBER_CASES) {
        MemoryIo io(c.token);
        int32_t value = 12345;
        int32_t accepted = read_number(&value);
        EXPECT_EQ(value, c.value) << c.why;
        EXPECT_EQ(accepted, c.accepted) << c.why;
    }
}

std::string menu(bool extra)
{
    return sjis("難易度を選択してください。-1で終了\npractice:0 easy:1 normal:2 hard:3 ") +
           (extra ? "extra:5 " : "") + "\n" + sjis("難易度:");
}

struct LevelCase {
    std::string input;
    int32_t clear_count;
    int32_t level;
    int32_t digit_count;
    int32_t turn_limit;
    int32_t menus; // how many times the whole menu is shown
    const char *why;
};

const LevelCase LEVEL_CASES[] = {
    {"1", 0, LEVEL_EASY, 3, 10, 1, "easy"},
    {"2", 0, LEVEL_NORMAL, 4, 10, 1, "normal"},
    {"3", 0, LEVEL_HARD, 4, 8, 1, "hard"},
    {"4", 0, LEVEL_LUNATIC, 5, 8, 1, "lunatic is accepted though never listed"},
    {"5 1", 0, LEVEL_EASY, 3, 10, 2, "extra is refused while locked"},
    {"5", 1, LEVEL_EXTRA, 6, 13, 1, "extra once unlocked"},
    {"5", 11, LEVEL_EXTRA, 6, 13, 1, "unlocked whenever the count modulo 10 is 1"},
    {"5 2", 10, LEVEL_NORMAL, 4, 10, 2, "locked when the count modulo 10 is not 1"},
    {"-1", 0, LEVEL_QUIT, -1, -1, 1, "the quit code"},
    {"", 0, LEVEL_QUIT, -1, -1, 1, "end of input quits"},
    {"x -0 +0 6 -2 3", 0, LEVEL_HARD, 4, 8, 6, "every refusal shows the whole menu again"},
    {"0 3 5", 0, LEVEL_PRACTICE, 3, 5, 1, "practice answers on one line"},
    {"0 0 11 q 10 17 0 16", 0, LEVEL_PRACTICE, 10, 16, 1, "practice bounds"},
    {"0 3", 0, LEVEL_QUIT, -1, -1, 1, "end of input at the turn question quits"},
};

int count_of(const std::string &text, const std::string &part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        n++;
    return n;
}

TEST(SelectLevel, AcceptsTheLevelsOfTheMenu)
{
    for (const LevelCase &c : LEVEL_CASES) {
        MemoryIo io(c.input);
        int32_t digit_count = 0;
        int32_t turn_limit = 0;
        EXPECT_EQ(select_level(&digit_count, &turn_limit, c.clear_count), c.level) << c.why;
        EXPECT_EQ(digit_count, c.digit_count) << c.why;
        EXPECT_EQ(turn_limit, c.turn_limit) << c.why;
        bool extra = c.clear_count % 10 == 1;
        EXPECT_EQ(count_of(io.output(), menu(extra)), c.menus) << c.why;
        EXPECT_EQ(count_of(io.output(), sjis("その難易度は出来ません。もう一度数字を入力してください。\n")),
                  c.menus - 1)
            << c.why;
    }
}

TEST(SelectLevel, PrintsTheSettingsSummary)
{
    MemoryIo io("0 0 11 3 17 5");
    int32_t digit_count = 0;
    int32_t turn_limit = 0;
    select_level(&digit_count, &turn_limit, 0);
    std::string ask_digits = sjis("何桁で遊びますか(最大10桁):");
    std::string ask_turns = sjis("何回まで入力できるようにしますか(最大16回):");
    EXPECT_EQ(io.output(),
              menu(false) + ask_digits + sjis("1～10の間でお願いします。\n") + ask_digits +
                  sjis("1～10の間でお願いします。\n") + ask_digits + ask_turns +
                  sjis("1～16の間でお願いします。\n") + ask_turns +
                  sjis("難易度  :practice\n桁数    :3\n制限回数:5\n以上の設定でゲームを始めます。\n"));
}

} // namespace
