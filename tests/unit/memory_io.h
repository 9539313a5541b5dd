// Test helpers: game routines run on an in-memory input, and Japanese expectations as the game's Shift-JIS
// bytes.
#pragma once

#include <string>

#include "convert.h"
#include "game_io.h"
#include "memory_platform.h"
#include "session.h"

class MemoryIo {
  public:
    // Opens the game's streams on `input`, with the other settings of
    // `streams` (memory_platform.h; as to a terminal unless it says not) and
    // room for `room` bytes of output.
    explicit MemoryIo(const std::string &input, MemoryStreams streams = {}, size_t room = sizeof output_)
        : input_(input)
    {
        streams.input = input_.data();
        streams.input_size = input_.size();
        streams.output = output_;
        streams.output_size = room;
        memory_streams = streams;
        io_open();
    }

    // Everything written since the streams were opened, as bytes.
    std::string output() const { return std::string(output_, memory_counts.output_length); }

    // Plays a whole session on the input, and returns everything written.
    std::string play()
    {
        io_close(play_session());
        return output();
    }

  private:
    std::string input_;
    char output_[1 << 16];
};
