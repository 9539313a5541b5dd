// Game turns: the answer generator, guess entry, judgement, the history listing and the answer.
#pragma once

#include <cstdint>

#include "hitblow.h"

// Sets the generator's state to `seed` and makes one draw whose value is thrown away.
void seed_random(uint32_t seed);

// The generator's step, state -> RAND_A * state + RAND_C (mod 2^32).
constexpr uint32_t RAND_A = 22695477u;
constexpr uint32_t RAND_C = 1u;

// Takes one step and returns the new state's bits 16 to 30: a value from 0
// to 32767.
int32_t draw_random();

// Fills the first `digit_count` (1 to MAX_DIGITS) elements of `answer` with the
// next draws modulo 10, drawing the whole row again until no digit repeats.
// Does not seed.  (The preconditions stated here are checked in the checking
// builds: src/contract.h.)
void draw_answer(int32_t *answer, int32_t digit_count);

// Seeds the generator from the clock and draws the game's answer.  Returns 0.
int32_t make_answer(int32_t *answer, int32_t digit_count);

// Asks for `digit_count` digits, one prompt each, and stores them in `guess`.
// A prompt is asked again until it gets a number from 0 to 9.  Returns 0, or
// END_OF_INPUT when the input ends first.
int32_t input_guess(int32_t *guess, int32_t digit_count);

// Counts the HIT and BLOW of `guess` against `answer` (their first
// `digit_count`, 1 to MAX_DIGITS, digits, each 0 to 9) over every pair of
// positions, prints them, and records the turn in `record`.  Returns 1 when
// every position is a hit, else 0.
int32_t judge_guess(const int32_t *guess, const int32_t *answer, int32_t digit_count, TurnRecord *record);

// Prints the first `count` (0 to MAX_TURNS) records of `history`, one line
// each, with `digit_count` digits.  Returns 0.
int32_t show_history(const TurnRecord *history, int32_t count, int32_t digit_count);

// Prints the answer on one line.  Returns 0.
int32_t show_answer(const int32_t *answer, int32_t digit_count);
