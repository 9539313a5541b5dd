// Number entry and level selection: every number the player types, and the level menu.

#include "entry.h"

#include "hitblow.h"
#include "game_io.h"
#include "text/messages.h"

#include <iterator>

namespace {

// The number rule, fed a token one run of bytes at a time, so that a token
// of any length is converted whole without being stored.
struct NumberScan {
    int32_t first;      // the token's first byte, or -1 before it
    bool negative;      // a leading '-' was seen
    bool in_digits;     // still inside the leading digit run
    uint32_t magnitude; // the digits so far, modulo 2^32
};

constexpr NumberScan SCAN_START = {-1, false, true, 0};

bool is_digit(int32_t c)
{
    return c >= '0' && c <= '9';
}

// Feeds the bytes [at, end) of a token, which follow those fed before, to the scan.
void scan_run(NumberScan *scan, const unsigned char *at, const unsigned char *end)
{
    if (at == end)
        return;
    if (scan->first < 0) {
        scan->first = *at;
        if (*at == '+' || *at == '-')
            scan->negative = *at++ == '-';
    }
    if (!scan->in_digits)
        return;
    for (; at < end; at++) {
        uint32_t digit = static_cast<uint32_t>(*at) - '0';
        if (digit > 9) {
            scan->in_digits = false;
            return;
        }
        scan->magnitude = scan->magnitude * 10u + digit;
    }
}

int32_t scan_result(const NumberScan *scan, int32_t *value)
{
    uint32_t bits = scan->negative ? 0u - scan->magnitude : scan->magnitude;
    *value = static_cast<int32_t>(bits);
    return is_digit(scan->first) || *value != 0 ? 1 : 0;
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

int32_t parse_number(const char *token, size_t length, int32_t *value)
{
    NumberScan scan = SCAN_START;
    const auto *bytes = reinterpret_cast<const unsigned char *>(token);
    scan_run(&scan, bytes, bytes + length);
    return scan_result(&scan, value);
}

namespace {

// Converts a token of which `run` is the first run, feeding the rest to the
// scan where the token goes on past the input buffer.  Out of line, so that
// read_number() saves no registers in the usual case.
[[gnu::noinline]] int32_t read_token(TokenRun run, int32_t *value)
{
    NumberScan scan = SCAN_START;
    scan_run(&scan, run.bytes, run.bytes + run.size);
    while (run.found == TOKEN_PART) {
        run = io_token_rest();
        scan_run(&scan, run.bytes, run.bytes + run.size);
    }
    return scan_result(&scan, value);
}

} // namespace

int32_t read_number(int32_t *value)
{
    TokenRun run = io_token();
    // A lone digit, the answer to nearly every question, is its own value.
    if (run.size == 1 && run.found == TOKEN_WHOLE && is_digit(run.bytes[0])) {
        *value = run.bytes[0] - '0';
        return 1;
    }
    if (run.found == TOKEN_NONE) {
        *value = 0;
        return END_OF_INPUT;
    }
    return read_token(run, value);
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
