// Plays the player's code breaker against every possible answer of one level
// and prints how many answers it wins on each turn.  Exits 1 when some answer
// needs more than the level's turns.
//
// usage: breaker_check LEVEL
// LEVEL is a level's code as typed at the menu, 1 (easy) to 5 (extra); its
// digits and turns are the game's own.  The test suite runs it up to lunatic
// (4); extra takes minutes and is run by hand after a change to breaker.h.

#include <cstdio>
#include <cstdlib>
#include <future>
#include <map>

#include "breaker.h"
#include "hitblow.h"

namespace {

using breaker::Code;

// Wins every answer in `candidates`, the guesses so far being `turn` - 1;
// counts the answers won at each turn into `wins`.
void play_all(const std::vector<Code> &candidates, const std::vector<Code> &all, int length, int turn,
              std::map<int, size_t> &wins)
{
    Code guess = breaker::choose_guess(candidates, all, length);
    std::map<int, std::vector<Code>> classes;
    for (const Code &answer : candidates)
        classes[breaker::reply(guess, answer, length)].push_back(answer);
    for (const auto &[got, rest] : classes) {
        if (got == breaker::make_reply(length, 0))
            wins[turn] += rest.size();
        else if (turn > 20)
            wins[99] += rest.size(); // a breaker that makes no progress
        else
            play_all(rest, all, length, turn + 1, wins);
    }
}

} // namespace

int main(int argc, char **argv)
{
    int level = argc == 2 ? std::atoi(argv[1]) : 0;
    if (level < LEVEL_EASY || level > LEVEL_EXTRA) {
        std::fprintf(stderr, "usage: breaker_check LEVEL (%d to %d)\n", LEVEL_EASY, LEVEL_EXTRA);
        return 2;
    }
    int length = LEVEL_RULES[level].digit_count;
    int turns = LEVEL_RULES[level].turn_limit;
    std::vector<Code> all = breaker::all_codes(length);

    // The first guess splits the answers; each class is played on its own thread.
    Code first = breaker::choose_guess(all, all, length);
    std::map<int, std::vector<Code>> classes;
    for (const Code &answer : all)
        classes[breaker::reply(first, answer, length)].push_back(answer);
    std::vector<std::future<std::map<int, size_t>>> parts;
    std::map<int, size_t> wins;
    for (auto &[got, rest] : classes) {
        if (got == breaker::make_reply(length, 0)) {
            wins[1] += rest.size();
            continue;
        }
        parts.push_back(std::async(std::launch::async, [&all, length, &rest = rest] {
            std::map<int, size_t> w;
            play_all(rest, all, length, 2, w);
            return w;
        }));
    }
    for (auto &part : parts)
        for (auto [turn, count] : part.get())
            wins[turn] += count;

    int worst = 0;
    for (auto [turn, count] : wins) {
        std::printf("turn %2d: %zu answers\n", turn, count);
        worst = turn;
    }
    std::printf("%zu answers of %d digits, all won by turn %d (limit %d)\n", all.size(), length, worst,
                turns);
    return worst <= turns ? 0 : 1;
}
