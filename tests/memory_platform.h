// Test platform: the game's standard streams in memory, linked into test, fuzz and benchmark builds in place
// of a real one.
#pragma once

#include <cstddef>

// What the next io_open() reads and where it writes.  Set the fields, then
// call io_open().  Input is handed out `read_chunk` bytes at a time at most
// (0: all of it at once); once it is used up, reads end the input, or fail
// with `read_error` when that is not 0.  Output goes into `output`; a write
// that does not fit its `output_size` bytes fails with ENOSPC.  `terminal`
// makes every text go out at once, as to a terminal (which shows nothing
// converted, so the bytes arrive as they are); `crlf` asks for CR LF line
// ends.  With `interrupt`, every read and every write is interrupted once
// (fails with EINTR) before it is done.
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
