// Test platform: the game's standard streams in memory, linked into test, fuzz and benchmark builds in place
// of a real one.
#pragma once

#include <cstddef>

// What the next io_open() reads and where it writes.  Input comes
// `read_chunk` bytes at a time at most (0: no limit), then ends, or fails
// with `read_error`; output goes into `output`, a write past `output_size`
// failing with ENOSPC.  `terminal` sends each text at once (shown as it
// is), `crlf` asks for CR LF, and `interrupt` has every call fail once with EINTR.
struct MemoryStreams {
    const char *input = "";
    size_t input_size = 0;
    size_t read_chunk = 0;
    int read_error = 0;
    char *output = nullptr;
    size_t output_size = 0;
    bool terminal = true;
    bool crlf = false;
    bool interrupt = false;
};
extern MemoryStreams memory_streams;

// What the game has done with the streams since io_open().
struct MemoryCounts {
    size_t input_taken;   // bytes handed out to the game
    size_t output_length; // bytes written into memory_streams.output
    size_t writes;        // calls that wrote them
    size_t largest_write; // the most bytes one of them wrote
};
extern MemoryCounts memory_counts;
