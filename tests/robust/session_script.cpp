// Writes the typed side of a long scripted session for the fixed-clock build: many games at every level.
//
// usage: session_script GAMES [heavy]
//
// The script plays GAMES games, then quits with -1.  It draws the answers as
// the fixed-clock build does, so every game ends where it expects: easy to
// extra, and practice of 1 to 10 digits and 1 to 16 turns, won and lost in
// turn, the first an easy win that unlocks extra, a few refused entries
// among them.  A heavy session plays every game to its last turn, practice
// at 10 digits and 16 turns, so every listing is at its longest.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "hitblow.h"
#include "turns.h"

namespace {

struct Level {
    int32_t code;
    int32_t digit_count;
    int32_t turn_limit;
};

constexpr int32_t KINDS = 6; // the five fixed levels, easy to extra, then practice

Digits answers[MAX_DIGITS + 1]; // answers[n]: the answer of every n-digit game
bool heavy = false;             // every game to its last turn, practice at its largest

// Types one guess: the digits on one line, each its own token.
void type_guess(const int32_t *digits, int32_t digit_count)
{
    for (int32_t i = 0; i < digit_count; i++)
        std::printf(i == 0 ? "%d" : " %d", digits[i]);
    std::printf("\n");
}

// Types a guess that is certainly wrong: every digit moved on by one.
void type_miss(const int32_t *answer, int32_t digit_count)
{
    Digits miss;
    for (int32_t i = 0; i < digit_count; i++)
        miss[i] = (answer[i] + 1) % 10;
    type_guess(miss, digit_count);
}

// Types one whole game, number `game` of the run.
void type_game(int32_t game)
{
    int32_t kind = game % KINDS;
    bool win = (game / KINDS) % 2 == 0;
    Level level;
    if (kind < KINDS - 1) {
        int32_t code = LEVEL_EASY + kind;
        level = {code, LEVEL_RULES[code].digit_count, LEVEL_RULES[code].turn_limit};
        std::printf("%d\n", level.code);
    } else {
        level = heavy ? Level{LEVEL_PRACTICE, MAX_DIGITS, MAX_TURNS}
                      : Level{LEVEL_PRACTICE, game / KINDS % MAX_DIGITS + 1, game / KINDS % MAX_TURNS + 1};
        std::printf("%d %d %d\n", level.code, level.digit_count, level.turn_limit);
    }
    if (game % 7 == 3)
        std::printf("x 10\n"); // two refused entries at the first digit prompt
    const int32_t *answer = answers[level.digit_count];
    int32_t misses = !win ? level.turn_limit : heavy ? level.turn_limit - 1 : (game / 2) % level.turn_limit;
    for (int32_t turn = 0; turn < misses; turn++)
        type_miss(answer, level.digit_count);
    if (win)
        type_guess(answer, level.digit_count);
    if (game % 11 == 5)
        std::printf("-0 abc 6\n"); // three refused entries at the next menu
}

} // namespace

int main(int argc, char **argv)
{
    heavy = argc == 3 && std::strcmp(argv[2], "heavy") == 0;
    if (argc != 2 && !heavy) {
        std::fprintf(stderr, "usage: session_script GAMES [heavy]\n");
        return 2;
    }
    long games = std::strtol(argv[1], nullptr, 10);
    for (int32_t n = 1; n <= MAX_DIGITS; n++)
        make_answer(answers[n], n);
    for (int32_t game = 0; game < games; game++)
        type_game(game);
    std::printf("-1\n");
    return std::fflush(stdout) == 0 ? 0 : 1;
}
