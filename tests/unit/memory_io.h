// Test helper: runs game routines on an in-memory input and returns what they printed.
#pragma once

#include <string>

#include "game_io.h"

class MemoryIo {
  public:
    // Points the game's input at `input` and empties the captured output.
    explicit MemoryIo(const std::string &input) : input_(input)
    {
        io_open_memory(input_.data(), input_.size(), output_, sizeof output_);
    }

    // Everything printed since the constructor, as bytes.
    std::string output() const { return std::string(output_, io_memory_length()); }

  private:
    std::string input_;
    char output_[1 << 16];
};
