// Game turns: the answer generator, guess entry, judgement, the history listing and the answer.

#include "turns.h"

#include "clock.h"
#include "contract.h"
#include "entry.h"
#include "game_io.h"
#include "text/messages.h"

#include <array>
#include <cstddef>

namespace {

uint32_t rand_state = 0;

// RAND_JUMPS[k] is the step taken k times at once, again a map s -> a * s + c,
// worked out while compiling.
struct Jump {
    uint32_t a;
    uint32_t c;
};
constexpr auto RAND_JUMPS = [] {
    std::array<Jump, MAX_DIGITS> jumps{};
    jumps[0] = {1u, 0u};
    for (size_t k = 1; k < jumps.size(); k++)
        jumps[k] = {RAND_A * jumps[k - 1].a, RAND_A * jumps[k - 1].c + RAND_C};
    return jumps;
}();

// Steps `state` on and returns the draw: its bits 16 to 30.
inline int32_t next_draw(uint32_t &state)
{
    state = state * RAND_A + RAND_C;
    return static_cast<int32_t>((state >> 16) & 0x7FFFu);
}

} // namespace

void seed_random(uint32_t seed)
{
    rand_state = seed;
    draw_random();
}

int32_t draw_random()
{
    return next_draw(rand_state);
}

// A row is given up at its first repeated digit, the generator jumped over
// the draws the whole row would have made, which leaves both as drawing it
// whole would; the row that has none is drawn again to be stored.
void draw_answer(int32_t *answer, int32_t digit_count)
{
    HITBLOW_REQUIRE(digit_count >= 1 && digit_count <= MAX_DIGITS); // else no row is ever without a repeat
    uint32_t state = rand_state;
    for (;;) {
        uint32_t row_start = state;
        uint32_t seen = 0; // bit d is set once the digit d is in the row
        int32_t left = digit_count;
        for (; left > 0; left--) {
            uint32_t bit = 1u << (next_draw(state) % 10);
            if (seen & bit)
                break;
            seen |= bit;
        }
        if (left == 0) {
            for (int32_t i = 0; i < digit_count; i++)
                answer[i] = next_draw(row_start) % 10;
            rand_state = state;
            return;
        }
        const Jump &skip = RAND_JUMPS[static_cast<size_t>(left - 1)];
        state = skip.a * state + skip.c;
    }
}

int32_t make_answer(int32_t *answer, int32_t digit_count)
{
    seed_random(static_cast<uint32_t>(clock_seconds()));
    draw_answer(answer, digit_count);
    return 0;
}

int32_t input_guess(int32_t *guess, int32_t digit_count)
{
    say(MSG_ENTER_DIGITS, digit_count);
    for (int32_t i = 0; i < digit_count;) {
        say(MSG_DIGIT_PROMPT, i + 1);
        int32_t ok = read_number(&guess[i]);
        if (ok == END_OF_INPUT)
            return END_OF_INPUT;
        if (ok == 1 && guess[i] >= 0 && guess[i] <= 9)
            i++;
        else
            say(MSG_DIGIT_ERROR);
    }
    return 0;
}

int32_t judge_guess(const int32_t *guess, const int32_t *answer, int32_t digit_count, TurnRecord *record)
{
    HITBLOW_REQUIRE(digit_count >= 1 && digit_count <= MAX_DIGITS);
    for (int32_t i = 0; i < digit_count; i++)
        HITBLOW_REQUIRE(guess[i] >= 0 && guess[i] <= 9 && answer[i] >= 0 && answer[i] <= 9);
    int32_t hit = 0;
    int32_t blow = 0;
    for (int32_t i = 0; i < digit_count; i++) {
        for (int32_t j = 0; j < digit_count; j++) {
            if (guess[i] == answer[j]) {
                if (i == j)
                    hit++;
                else
                    blow++;
            }
        }
    }
    say(MSG_HIT, hit);
    say(MSG_BLOW, blow);
    for (int32_t i = 0; i < digit_count; i++)
        record->digits[i] = guess[i];
    record->hit = hit;
    record->blow = blow;
    return hit == digit_count ? 1 : 0;
}

int32_t show_history(const TurnRecord *history, int32_t count, int32_t digit_count)
{
    HITBLOW_REQUIRE(count >= 0 && count <= MAX_TURNS);
    for (int32_t k = 0; k < count; k++)
        say_turn(k + 1, history[k].digits, digit_count, history[k].hit, history[k].blow);
    return 0;
}

int32_t show_answer(const int32_t *answer, int32_t digit_count)
{
    say_answer(answer, digit_count);
    return 0;
}
