// Tests of the answer generator, judgement, guess entry and the listings.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "game_io.h"
#include "memory_io.h"
#include "session.h"
#include "turns.h"

namespace {

std::string digits_of(const int32_t *digits, int32_t count)
{
    std::string s;
    for (int32_t i = 0; i < count; i++)
        s += static_cast<char>('0' + digits[i]);
    return s;
}

TEST(Random, SeedZeroVectors)
{
    seed_random(0);
    EXPECT_EQ(draw_random(), 346);
    EXPECT_EQ(draw_random(), 130);
    EXPECT_EQ(draw_random(), 10982);
    EXPECT_EQ(draw_random(), 1090);
}

struct AnswerCase {
    uint32_t seed;
    int32_t digit_count;
    const char *answer;
    int32_t next_draw; // the draw after the answer: shows how many draws it took
};

const AnswerCase ANSWER_CASES[] = {
    {0, 1, "6", 130},
    {0, 3, "602", 1090},                 // first full draw
    {0, 4, "1920", -1},                  // fourth full draw, the first three repeat a digit
    {FIXED_CLOCK_SECONDS, 3, "059", -1}, // the fixed test clock
    {FIXED_CLOCK_SECONDS, 4, "0596", -1},
    {FIXED_CLOCK_SECONDS, 5, "76034", -1},
    {FIXED_CLOCK_SECONDS, 6, "205763", -1},
};

TEST(Answer, FollowsTheRedrawMethod)
{
    for (const AnswerCase &c : ANSWER_CASES) {
        int32_t answer[MAX_DIGITS];
        seed_random(c.seed);
        draw_answer(answer, c.digit_count);
        EXPECT_EQ(digits_of(answer, c.digit_count), c.answer) << c.seed << "/" << c.digit_count;
        if (c.next_draw >= 0) {
            EXPECT_EQ(draw_random(), c.next_draw);
        }
    }
}

struct JudgeCase {
    std::vector<int32_t> answer;
    std::vector<int32_t> guess;
    int32_t hit;
    int32_t blow;
    int32_t solved;
};

const JudgeCase JUDGE_CASES[] = {
    {{1, 2, 3}, {1, 1, 1}, 1, 2, 0},
    {{1, 2, 3}, {3, 1, 2}, 0, 3, 0},
    {{1, 2, 3}, {4, 5, 6}, 0, 0, 0},
    {{1, 2, 3}, {1, 2, 3}, 3, 0, 1},
    {{0, 5, 9}, {5, 0, 9}, 1, 2, 0},
    {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 10, 0, 1},
    {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, 0, 10, 0},
    {{7}, {7}, 1, 0, 1},
    {{7}, {3}, 0, 0, 0},
};

TEST(JudgeGuess, CountsHitAndBlowOverEveryPair)
{
    for (const JudgeCase &c : JUDGE_CASES) {
        MemoryIo io("");
        TurnRecord record{};
        auto n = static_cast<int32_t>(c.answer.size());
        EXPECT_EQ(judge_guess(c.guess.data(), c.answer.data(), n, &record), c.solved);
        EXPECT_EQ(record.hit, c.hit);
        EXPECT_EQ(record.blow, c.blow);
        EXPECT_EQ(digits_of(record.digits, n), digits_of(c.guess.data(), n));
        EXPECT_EQ(io.output(), "HIT  :" + std::to_string(c.hit) + "\nBLOW :" + std::to_string(c.blow) + "\n");
    }
}

TEST(ShowHistory, ListsOneLinePerTurn)
{
    TurnRecord history[MAX_TURNS] = {
        {{1, 2, 3}, 0, 0},
        {{5, 0, 9}, 1, 2},
        {{0, 1, 2}, 1, 0},
    };
    {
        MemoryIo io("");
        EXPECT_EQ(show_history(history, 3, 3), 0);
        EXPECT_EQ(io.output(),
                  sjis("1回目:123 HIT:0 BLOW:0 \n2回目:509 HIT:1 BLOW:2 \n3回目:012 HIT:1 BLOW:0 \n"));
    }
    {
        MemoryIo io("");
        show_history(history, 0, 3);
        EXPECT_EQ(io.output(), "");
    }
}

TEST(PlaySession, EndOfInputAtAnyPromptEndsWithTheFarewell)
{
    // Cut a whole game at every byte: the session must always end tidily.
    const std::string game = "0 3 4 1 2 3 4 5 6 7 8 9 0 1 2 -1\n";
    const std::string farewell = sjis("ゲームを終了します。\n");
    for (size_t cut = 0; cut <= game.size(); cut++) {
        MemoryIo io(game.substr(0, cut));
        EXPECT_EQ(play_session(), 0);
        std::string out = io.output();
        ASSERT_GE(out.size(), farewell.size());
        EXPECT_EQ(out.substr(out.size() - farewell.size()), farewell) << "cut at " << cut;
    }
}

#ifdef HITBLOW_CHECKS
// In a checking build, a call that breaks a routine's contract stops the
// program at once, with one line that names the routine.  (In other builds
// the checks, and so this test, do not exist.)
TEST(Contracts, ABrokenOneStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Digits digits = {0, 5, 9};
    Digits wrong = {0, 10, 9};
    TurnRecord history[MAX_TURNS] = {};
    TurnRecord record{};
    const struct {
        std::function<void()> call;
        const char *routine;
    } cases[] = {
        {[&] { draw_answer(digits, 0); }, "draw_answer"},
        {[&] { make_answer(digits, MAX_DIGITS + 1); }, "draw_answer"},
        {[&] { judge_guess(wrong, digits, 3, &record); }, "judge_guess"},
        {[&] { judge_guess(digits, digits, -1, &record); }, "judge_guess"},
        {[&] { show_history(history, MAX_TURNS + 1, 3); }, "show_history"},
        {[&] { say_turn(1, digits, MAX_DIGITS + 1, 0, 0); }, "say_turn"},
        {[&] { say_answer(digits, -1); }, "say_answer"},
        {[&] { say_answer(wrong, 3); }, "put_digits"},
    };
    for (const auto &c : cases) {
        EXPECT_DEATH(
            {
                MemoryIo io("");
                c.call();
            },
            std::string("hitblow: broken contract: .*, in ") + c.routine + " ")
            << c.routine;
    }
}
#endif

} // namespace
