// Game turns: the answer generator, guess entry, judgement, the history listing and the answer.

#include "turns.h"

#include "clock.h"
#include "contract.h"
#include "entry.h"
#include "game_io.h"
#include "text/messages.h"

namespace {

uint32_t rand_state = 0;

// True when any two of the first `count` digits are equal.
bool has_repeat(const int32_t *digits, int32_t count)
{
    for (int32_t i = 0; i < count; i++) {
        for (int32_t j = i + 1; j < count; j++) {
            if (digits[i] == digits[j])
                return true;
        }
    }
    return false;
}

} // namespace

void seed_random(uint32_t seed)
{
    rand_state = seed;
    draw_random();
}

int32_t draw_random()
{
    rand_state = rand_state * RAND_A + RAND_C;
    return static_cast<int32_t>((rand_state >> 16) & 0x7FFFu);
}

void draw_answer(int32_t *answer, int32_t digit_count)
{
    HITBLOW_REQUIRE(digit_count >= 1 && digit_count <= MAX_DIGITS); // else no row is ever without a repeat
    do {
        for (int32_t i = 0; i < digit_count; i++)
            answer[i] = draw_random() % 10;
    } while (has_repeat(answer, digit_count));
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
