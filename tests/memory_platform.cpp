// Test platform: the game's standard streams in memory, as tests, fuzzers and benchmarks set them.

#include "memory_platform.h"

#include "platform.h"

#include <cerrno>
#include <cstring>

MemoryStreams memory_streams;
MemoryCounts memory_counts;

namespace {

// With memory_streams.interrupt, returns true on every other call.
bool interrupted()
{
    static bool last = false;
    last = memory_streams.interrupt && !last;
    return last;
}

} // namespace

OutputKind platform_open()
{
    memory_counts = {0, 0, 0, 0};
    return {memory_streams.terminal, memory_streams.crlf};
}

ptrdiff_t platform_read(unsigned char *buf, size_t size)
{
    if (interrupted())
        return -EINTR;
    size_t left = memory_streams.input_size - memory_counts.input_taken;
    if (left == 0)
        return -memory_streams.read_error;
    size_t n = left < size ? left : size;
    if (memory_streams.read_chunk != 0 && n > memory_streams.read_chunk)
        n = memory_streams.read_chunk;
    std::memcpy(buf, memory_streams.input + memory_counts.input_taken, n);
    memory_counts.input_taken += n;
    return static_cast<ptrdiff_t>(n);
}

ptrdiff_t platform_write(const char *buf, size_t size)
{
    if (interrupted())
        return -EINTR;
    if (size > memory_streams.output_size - memory_counts.output_length)
        return -ENOSPC;
    std::memcpy(memory_streams.output + memory_counts.output_length, buf, size);
    memory_counts.output_length += size;
    memory_counts.writes++;
    if (size > memory_counts.largest_write)
        memory_counts.largest_write = size;
    return static_cast<ptrdiff_t>(size);
}

int platform_show(const char *, size_t)
{
    return 0;
}
