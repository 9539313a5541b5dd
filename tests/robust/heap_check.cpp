// The game with every heap allocation of the process counted: it fails when play allocates anything.
//
// The game's main() with the fixed clock, and malloc and its kin replaced by
// counting wrappers of glibc's own, so that the C and C++ runtimes' own
// allocations count too.  After play it writes "allocations during play: N"
// on standard error, and exits 1 where N is not 0.  glibc only.

#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "game_io.h"
#include "session.h"

// glibc's own allocator has reserved names, and the replacements keep their
// own parameter names rather than the C library's.
// NOLINTBEGIN(bugprone-reserved-identifier, readability-inconsistent-declaration-parameter-name)
extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *ptr, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
void __libc_free(void *ptr);

namespace {
unsigned long allocations = 0;
}

void *malloc(size_t size)
{
    allocations++;
    return __libc_malloc(size);
}

void *calloc(size_t count, size_t size)
{
    allocations++;
    return __libc_calloc(count, size);
}

void *realloc(void *ptr, size_t size)
{
    allocations++;
    return __libc_realloc(ptr, size);
}

void *memalign(size_t alignment, size_t size)
{
    allocations++;
    return __libc_memalign(alignment, size);
}

void *aligned_alloc(size_t alignment, size_t size)
{
    allocations++;
    return __libc_memalign(alignment, size);
}

int posix_memalign(void **ptr, size_t alignment, size_t size)
{
    allocations++;
    *ptr = __libc_memalign(alignment, size);
    return *ptr == nullptr ? 12 /* ENOMEM */ : 0;
}

void free(void *ptr)
{
    __libc_free(ptr);
}
}
// NOLINTEND(bugprone-reserved-identifier, readability-inconsistent-declaration-parameter-name)

int main()
{
    // Proves that the counting versions are the ones in use: a build where the
    // C library's malloc won would count nothing and pass for the wrong reason.
    unsigned long before_probe = allocations;
    void *volatile probe = std::malloc(16);
    std::free(probe);
    if (allocations != before_probe + 1) {
        std::fprintf(stderr, "heap_check: the allocation counter does not see malloc\n");
        return 2;
    }

    io_open();
    unsigned long before = allocations;
    int status = play_session(); // from the first menu to the farewell line
    unsigned long during = allocations - before;
    status = io_close(status);
    std::fprintf(stderr, "allocations during play: %lu\n", during);
    return during == 0 ? status : 1;
}
