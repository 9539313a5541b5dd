// The main loop: one game after another until the player quits.
#pragma once

#include <cstdint>

// Plays games from the level menu until the quit code or the end of input,
// then prints the farewell line.  Holds the state of the games (the answer,
// the history, the clear count); the generator's is turns.cpp's.  Returns 0.
int32_t play_session();
