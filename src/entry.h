// Number entry and level selection: every number the player types, and the level menu.
#pragma once

#include <cstdint>

// Reads one whitespace-separated token from standard input and converts it
// whole by the game's number rule: an optional '+' or '-', then decimal digits
// up to the first byte that is not one, accumulated modulo 2^32 (so an
// over-long digit string wraps) and negated for '-'.  Stores the value through
// `value` and returns 1 when the token is acceptable (its first byte is a
// digit, or its value is not 0), else 0; or END_OF_INPUT (storing 0) when the
// input has ended before a token.
int32_t read_number(int32_t *value);

// Shows the level menu until an acceptable level is typed, asks the practice
// questions where the level is practice, and prints the settings of the coming
// game.  Stores the digit count and turn limit of the level (both -1 for the
// quit code) and returns the level code.  The extra level is offered only where
// extra_unlocked(clear_count).  End of input returns LEVEL_QUIT.
int32_t select_level(int32_t *digit_count, int32_t *turn_limit, int32_t clear_count);
