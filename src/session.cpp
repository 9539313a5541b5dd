// The main loop: one game after another until the player quits.

#include "session.h"

#include "entry.h"
#include "hitblow.h"
#include "game_io.h"
#include "text/messages.h"
#include "turns.h"

namespace {

int32_t say_farewell()
{
    say(MSG_FAREWELL);
    return 0;
}

// Prints the win line, and the two unlock lines after the first qualifying win
// of the run, the one that opens extra.  Returns the new clear count.
int32_t celebrate_win(int32_t clear_count)
{
    say(MSG_PLAYER_WINS);
    if (extra_unlocked(clear_count))
        return clear_count;
    say(MSG_TO_ALL_PLAYERS);
    say(MSG_PRAY_EXTRA);
    return clear_count + 1;
}

} // namespace

int32_t play_session()
{
    TurnRecord history[MAX_TURNS];
    Digits guess;
    Digits answer;
    int32_t clear_count = 0;
    int32_t digit_count = 0;
    int32_t turn_limit = 0;
    int32_t level;

    while ((level = select_level(&digit_count, &turn_limit, clear_count)) != LEVEL_QUIT) {
        make_answer(answer, digit_count);
        int32_t solved = 0;
        int32_t turns_used = 0;
        while (turns_used < turn_limit && solved != 1) {
            if (input_guess(guess, digit_count) == END_OF_INPUT)
                return say_farewell();
            solved = judge_guess(guess, answer, digit_count, &history[turns_used]);
            turns_used++;
            if (solved != 1)
                show_history(history, turns_used, digit_count);
        }
        say(MSG_GAME_OVER);
        show_history(history, turns_used, digit_count);
        show_answer(answer, digit_count);
        if (solved == 1 && level >= LEVEL_EASY)
            clear_count = celebrate_win(clear_count);
    }
    return say_farewell();
}
