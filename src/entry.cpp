// Number entry and level selection: every number the player types, and the level menu.

#include "entry.h"

#include "hitblow.h"
#include "game_io.h"
#include "text/messages.h"

#include <iterator>

namespace {

bool is_digit(int c)
{
    return c >= '0' && c <= '9';
}

// Whitespace, which stands between tokens: 0x09 to 0x0D and the space.
bool is_space(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The line that names each level before its settings, indexed by level code.
constexpr Message LEVEL_SUMMARIES[] = {
    MSG_SUMMARY_PRACTICE, MSG_SUMMARY_EASY,    MSG_SUMMARY_NORMAL,
    MSG_SUMMARY_HARD,     MSG_SUMMARY_LUNATIC, MSG_SUMMARY_EXTRA,
};
static_assert(std::size(LEVEL_SUMMARIES) == std::size(LEVEL_RULES));

// Prints the menu and reads entries until one names a level that may be
// played now.  Returns that level, or LEVEL_QUIT at end of input.
int32_t ask_level(bool extra_open)
{
    for (;;) {
        say(MSG_MENU_TITLE, LEVEL_QUIT);
        say(MSG_MENU_PRACTICE, LEVEL_PRACTICE);
        say(MSG_MENU_EASY, LEVEL_EASY);
        say(MSG_MENU_NORMAL, LEVEL_NORMAL);
        say(MSG_MENU_HARD, LEVEL_HARD);
        if (extra_open)
            say(MSG_MENU_EXTRA, LEVEL_EXTRA);
        say(MSG_NEWLINE);
        say(MSG_LEVEL_PROMPT);

        int32_t level = 0;
        int32_t ok = read_number(&level);
        if (ok == END_OF_INPUT)
            return LEVEL_QUIT;
        if (ok == 1 &&
            ((level >= LEVEL_QUIT && level <= LEVEL_LUNATIC) || (level == LEVEL_EXTRA && extra_open)))
            return level;
        say(MSG_LEVEL_ERROR);
    }
}

// Asks one practice question until the answer is a number from 1 to `max`.
// Returns that number, or END_OF_INPUT.
int32_t ask_setting(const Message &question, int32_t max)
{
    for (;;) {
        say(question, max);
        int32_t value = 0;
        int32_t ok = read_number(&value);
        if (ok == END_OF_INPUT)
            return END_OF_INPUT;
        if (ok == 1 && value >= 1 && value <= max)
            return value;
        say(MSG_RANGE_ERROR, max);
    }
}

} // namespace

int32_t read_number(int32_t *value)
{
    int c = io_getc();
    while (is_space(c))
        c = io_getc();
    if (c == END_OF_INPUT) {
        *value = 0;
        return END_OF_INPUT;
    }
    // The token runs to whitespace, a NUL (taken with it) or the end of input.
    int first = c;
    if (c == '+' || c == '-')
        c = io_getc();
    uint32_t magnitude = 0; // the leading digits, modulo 2^32
    for (; is_digit(c); c = io_getc())
        magnitude = magnitude * 10u + static_cast<uint32_t>(c - '0');
    while (c != END_OF_INPUT && c != '\0' && !is_space(c))
        c = io_getc();
    *value = static_cast<int32_t>(first == '-' ? 0u - magnitude : magnitude);
    return is_digit(first) || *value != 0 ? 1 : 0;
}

int32_t select_level(int32_t *digit_count, int32_t *turn_limit, int32_t clear_count)
{
    int32_t level = ask_level(extra_unlocked(clear_count));
    if (level == LEVEL_QUIT) {
        *digit_count = -1;
        *turn_limit = -1;
        return LEVEL_QUIT;
    }
    if (level == LEVEL_PRACTICE) {
        *digit_count = ask_setting(MSG_ASK_DIGITS, MAX_DIGITS);
        *turn_limit = *digit_count == END_OF_INPUT ? END_OF_INPUT : ask_setting(MSG_ASK_TURNS, MAX_TURNS);
        if (*turn_limit == END_OF_INPUT) {
            *digit_count = -1;
            *turn_limit = -1;
            return LEVEL_QUIT;
        }
    } else {
        *digit_count = LEVEL_RULES[level].digit_count;
        *turn_limit = LEVEL_RULES[level].turn_limit;
    }
    say(LEVEL_SUMMARIES[level]);
    say(MSG_DIGIT_COUNT, *digit_count);
    say(MSG_TURN_LIMIT, *turn_limit);
    say(MSG_SETTINGS_DONE);
    return level;
}
