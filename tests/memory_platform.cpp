// Test platform: the game's standard streams in memory, as tests, fuzzers and benchmarks set them.

#include "memory_platform.h"

#include "platform.h"

#include <cstring>

MemoryStreams memory_streams;
MemoryCounts memory_counts;

namespace {

// With memory_streams.retry_error, returns true on every other call.
bool retry()
{
    static bool last = false;
    last = memory_streams.retry_error != 0 && !last;
    return last;
}

// At most `limit` of `size` bytes, where `limit` is not 0.
size_t at_most(size_t size, size_t limit)
{
    return limit != 0 && size > limit ? limit : size;
}

} // namespace

OutputKind platform_open()
{
    memory_counts = {0, 0, 0, 0, 0};
    return {memory_streams.terminal, memory_streams.crlf};
}

ptrdiff_t platform_read(unsigned char *buf, size_t size)
{
    if (retry())
        return -memory_streams.retry_error;
    size_t left = memory_streams.input_size - memory_counts.input_taken;
    if (left == 0)
        return -memory_streams.read_error;
    size_t n = at_most(at_most(size, left), memory_streams.read_chunk);
    std::memcpy(buf, memory_streams.input + memory_counts.input_taken, n);
    memory_counts.input_taken += n;
    return static_cast<ptrdiff_t>(n);
}

ptrdiff_t platform_write(const char *buf, size_t size)
{
    if (retry())
        return -memory_streams.retry_error;
    size_t at = memory_counts.output_length;
    if ((at + size) % 512 != 0 && memory_counts.first_ragged_end == 0)
        memory_counts.first_ragged_end = at + size;
    size_t room = memory_streams.output_size - at;
    if (room == 0)
        return -memory_streams.full_error;
    size_t n = at_most(at_most(size, room), memory_streams.write_chunk);
    std::memcpy(memory_streams.output + at, buf, n);
    memory_counts.output_length += n;
    memory_counts.writes++;
    if (n > memory_counts.largest_write)
        memory_counts.largest_write = n;
    return static_cast<ptrdiff_t>(n);
}

int platform_show(const char *, size_t)
{
    return 0;
}
