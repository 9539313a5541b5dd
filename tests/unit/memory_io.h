// Test helper: runs game routines on an in-memory input and returns what they printed.
#pragma once

#include <string>

#include "game_io.h"
#include "memory_platform.h"

class MemoryIo {
  public:
    // Points the game's input at `input` and empties the captured output.
    // Output goes out as to a terminal, each text at once, unless `buffered`;
    // `chunk` is the most bytes one read takes (0: no limit).
    explicit MemoryIo(const std::string &input, bool buffered = false, size_t chunk = 0) : input_(input)
    {
        memory_streams = {input_.data(), input_.size(), chunk, 0, output_, sizeof output_, !buffered, false};
        io_open();
    }

    // Everything written since the constructor, as bytes.
    std::string output() const { return std::string(output_, memory_counts.output_length); }

  private:
    std::string input_;
    char output_[1 << 16];
};
