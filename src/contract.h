// Checked preconditions: HITBLOW_REQUIRE, on in the sanitizer and fuzzing builds, off in releases.
#pragma once

// HITBLOW_REQUIRE(condition) states what a routine needs of its caller.  In a
// build with HITBLOW_CHECKS (CMake's HITBLOW_SANITIZE turns it on, for the
// asan and fuzz presets) a call that breaks it ends the program at once, with
// one line on standard error naming the condition, the routine and the place,
// and the abort that sanitizers and fuzzers report.  Elsewhere it is nothing
// at all: the game as shipped checks no more than it did, and carries no
// printf for it.  Every preset builds with NDEBUG, the checking ones too (their
// build type is a release one), so assert() would check nothing anywhere.
#ifdef HITBLOW_CHECKS

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void hitblow_contract_broken(const char *condition, const char *routine, const char *file,
                                                 int line)
{
    std::fprintf(stderr, "hitblow: broken contract: %s, in %s (%s:%d)\n", condition, routine, file, line);
    std::abort();
}

#define HITBLOW_REQUIRE(condition)                                                                           \
    ((condition) ? static_cast<void>(0) : hitblow_contract_broken(#condition, __func__, __FILE__, __LINE__))

#else

#define HITBLOW_REQUIRE(condition) static_cast<void>(0)

#endif
