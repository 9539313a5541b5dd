// The game's input and output done the plain C stdio way, for comparing speed with the byte layer.
//
// It implements game_io.h with getchar() and printf() on a stdout
// fully buffered in 512-byte blocks, as a straightforward C program of the
// same dialogue would.  Linked with the game's own routines it makes
// hitblow-stdio, which prints the same bytes as the game (on POSIX, to a file
// or pipe) and which bench/session.sh times beside it.  Not for play: there
// is no terminal conversion.

#include <cstdio>
#include <cstdlib>

#include "game_io.h"
#include "hitblow.h"
#include "text/messages.h"

namespace {

char out_block[512];
bool in_ended = false;

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

// The buffer stays empty, so that every byte is read by getchar().
InputBuffer io_in = {nullptr, nullptr};

int io_fill()
{
    if (in_ended)
        return END_OF_INPUT;
    int c;
    while ((c = std::getchar()) == '\r')
        ;
    in_ended = c == EOF || c == 0x1A;
    return in_ended ? END_OF_INPUT : c;
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
