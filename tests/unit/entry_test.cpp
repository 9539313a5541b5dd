// Tests of the level menu.

#include <gtest/gtest.h>

#include <string>

#include "entry.h"
#include "hitblow.h"
#include "memory_io.h"

namespace {

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

} // namespace
