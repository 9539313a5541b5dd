// hitblow: a console game of Hit & Blow.  Takes no arguments; exits 0 when the player quits.

#include "game_io.h"
#include "session.h"

int main()
{
    io_open();
    return io_close(play_session());
}
