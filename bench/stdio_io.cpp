// The game's input and output done the plain C stdio way, for comparing speed with the byte layer.
//
// It implements game_io.h with getchar(), ungetc() and printf() on a stdout
// fully buffered in 512-byte blocks, as a straightforward C program of the
// same dialogue would.  Linked with the game's own routines it makes
// hitblow-stdio, which prints the same bytes as the game (on POSIX, to a file
// or pipe) and which bench/session.sh times beside it.  Not for play: there
// is no terminal conversion.

#include <cstdio>
#include <cstdlib>

#include "game_io.h"
#include "text/messages.h"

namespace {

char out_block[512];
bool in_ended = false;

// Returns the next byte with CR bytes dropped and 0x1A ending the input, or EOF.
int next_byte()
{
    if (in_ended)
        return EOF;
    int c;
    while ((c = std::getchar()) == '\r')
        ;
    if (c == EOF || c == 0x1A) {
        in_ended = true;
        return EOF;
    }
    return c;
}

bool is_space(int c)
{
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

} // namespace

void io_open()
{
    std::setvbuf(stdout, out_block, _IOFBF, sizeof out_block);
}

int io_close(int status)
{
    if (std::fflush(stdout) != 0) {
        std::perror("hitblow: cannot write to standard output");
        return 1;
    }
    return status;
}

namespace {

// A token's bytes as getchar() gives them, a buffer at a time.
unsigned char token_buf[64];

TokenRun take_run()
{
    uint32_t n = 0;
    int32_t found = TOKEN_WHOLE;
    for (;;) {
        if (n == sizeof token_buf) {
            found = TOKEN_PART;
            break;
        }
        int c = next_byte();
        if (c == EOF || c == '\0')
            break;
        if (is_space(c)) {
            std::ungetc(c, stdin);
            break;
        }
        token_buf[n++] = static_cast<unsigned char>(c);
    }
    return {token_buf, n, found};
}

} // namespace

// The buffer stays empty, so that every token is read here, by getchar().
const unsigned char no_input[1] = {'\0'};
InputBytes io_in = {no_input, no_input};

TokenRun io_token_at_end(const unsigned char *, const unsigned char *)
{
    int c;
    while ((c = next_byte()) != EOF && is_space(c))
        ;
    if (c == EOF)
        return {token_buf, 0, TOKEN_NONE};
    std::ungetc(c, stdin);
    return take_run();
}

TokenRun io_token_rest()
{
    return take_run();
}

void say(const Message &message, int32_t number)
{
    std::printf(message.bytes, number);
}

void say_turn(int32_t turn, const int32_t *digits, int32_t digit_count, int32_t hit, int32_t blow)
{
    std::printf(MSG_TURN_NUMBER.bytes, turn);
    for (int32_t i = 0; i < digit_count; i++)
        std::printf(MSG_ONE_DIGIT.bytes, digits[i]);
    std::printf(MSG_SPACE.bytes);
    std::printf(MSG_HISTORY_HIT.bytes, hit);
    std::printf(MSG_HISTORY_BLOW.bytes, blow);
    std::printf(MSG_NEWLINE.bytes);
}

void say_answer(const int32_t *digits, int32_t digit_count)
{
    std::printf(MSG_ANSWER_HEAD.bytes);
    for (int32_t i = 0; i < digit_count; i++)
        std::printf(MSG_ONE_DIGIT.bytes, digits[i]);
    std::printf(MSG_ANSWER_TAIL.bytes);
}
