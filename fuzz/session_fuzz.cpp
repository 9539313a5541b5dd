// libFuzzer target: whole dialogues, any bytes typed at the game, played from memory with a fixed clock.
//
// play_session() must come back with 0 whatever the input, and the last thing
// it printed must be the farewell line.  The output buffer is large enough for
// everything the input can make the game print (no input byte makes more than
// a few hundred bytes of output), so a missing farewell is a real finding.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "game_io.h"
#include "memory_platform.h"
#include "session.h"
#include "text/messages.h"

namespace {

// Output allowed per input byte, and for the first menu and the last game.
constexpr size_t OUTPUT_PER_BYTE = 256;
constexpr size_t OUTPUT_BASE = 1 << 16;
constexpr size_t MAX_INPUT = 1 << 14;
char output[MAX_INPUT * OUTPUT_PER_BYTE + OUTPUT_BASE];

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > MAX_INPUT)
        return -1; // not added to the corpus
    size_t room = size * OUTPUT_PER_BYTE + OUTPUT_BASE;
    memory_streams = {reinterpret_cast<const char *>(data), size, 0, 0, output, room, true, false};
    io_open();

    // A write that does not fit ends the program, which the fuzzer reports.
    check(play_session() == 0);

    size_t len = memory_counts.output_length;
    auto farewell = static_cast<size_t>(MSG_FAREWELL.length);
    check(len >= farewell && std::memcmp(output + len - farewell, MSG_FAREWELL.bytes, farewell) == 0);
    return 0;
}
