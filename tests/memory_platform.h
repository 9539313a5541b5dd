// Test platform: the game's standard streams in memory, linked into test, fuzz and benchmark builds in place
// of a real one.
#pragma once

#include <cerrno>
#include <cstddef>

// What the next io_open() reads and where it writes.  Input comes
// `read_chunk` bytes at a time at most (0: no limit), then ends, or fails
// with `read_error`; output goes into `output`, `write_chunk` bytes a call at
// most (0: no limit), and a write that finds `output_size` bytes written
// fails with `full_error` (0: takes nothing).  `terminal` sends each text at
// once (shown as it is), `crlf` asks for CR LF, and `retry_error` (EINTR: an
// interrupted call, EAGAIN: a stream not ready) fails every other call once.
struct MemoryStreams {
    const char *input = "";
    size_t input_size = 0;
    size_t read_chunk = 0;
    int read_error = 0;
    char *output = nullptr;
    size_t output_size = 0;
    bool terminal = true;
    bool crlf = false;
    size_t write_chunk = 0;
    int full_error = ENOSPC;
    int retry_error = 0;
};
extern MemoryStreams memory_streams;

// What the game has done with the streams since io_open().
struct MemoryCounts {
    size_t input_taken;      // bytes handed out to the game
    size_t output_length;    // bytes written into memory_streams.output
    size_t writes;           // calls that wrote them
    size_t largest_write;    // the most bytes one of them wrote
    size_t first_ragged_end; // where the first write asked to end off a 512-byte boundary (0: none did)
};
extern MemoryCounts memory_counts;
