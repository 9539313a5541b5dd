// Game types shared by every routine: level codes, capacities and the turn record.
#pragma once

#include <cstdint>

// Level codes, as typed at the level menu.
enum : int32_t {
    LEVEL_QUIT = -1,
    LEVEL_PRACTICE = 0,
    LEVEL_EASY = 1,
    LEVEL_NORMAL = 2,
    LEVEL_HARD = 3,
    LEVEL_LUNATIC = 4, // accepted, never listed
    LEVEL_EXTRA = 5,   // listed and accepted only once unlocked
};

// The digit count and turn limit of each level, indexed by level code.
// Practice's are asked instead.
struct LevelRule {
    int32_t digit_count;
    int32_t turn_limit;
};
constexpr LevelRule LEVEL_RULES[] = {
    {0, 0},  // practice: asked
    {3, 10}, // easy
    {4, 10}, // normal
    {4, 8},  // hard
    {5, 8},  // lunatic
    {6, 13}, // extra
};

// Whether the level menu offers extra, given the run's clear count, which is
// 0 until its first win at easy or harder and 1 from then on: extra is open
// while the count is 1 modulo 10.
constexpr bool extra_unlocked(int32_t clear_count)
{
    return clear_count % 10 == 1;
}

// The capacities of the game's arrays, and the upper bounds of the practice questions.
constexpr int32_t MAX_DIGITS = 10;
constexpr int32_t MAX_TURNS = 16;

// A row of digits, 0 to 9; only the first digit_count elements are in use.
using Digits = int32_t[MAX_DIGITS];

// One turn of the history: the guess as entered and its HIT and BLOW counts.
struct TurnRecord {
    Digits digits;
    int32_t hit;
    int32_t blow;
};

// Returned by the entry routines when standard input has ended.
constexpr int32_t END_OF_INPUT = -1;
