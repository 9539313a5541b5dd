// The player's code breaker: keeps every answer consistent with the replies so
// far and picks the next guess so that the largest group of answers that could
// give the same reply is as small as can be found within a fixed amount of work.
//
// The choice depends only on the candidates left, so it is the same in the
// player's test and in breaker_check, which plays it against every answer:
// every answer is won by turn 6 at easy (3 digits, 10 turns), 7 at normal (4,
// 10), 7 at hard (4, 8), 8 at lunatic (5, 8) and 9 at extra (6, 13).  Lunatic
// has no turn to spare, so run breaker_check on every level after any change.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace breaker {

struct Code {
    std::array<uint8_t, 6> digit{}; // the first `length` are used, all different
    uint16_t mask = 0;              // bit d is set when digit d is used

    std::string text(int length) const
    {
        std::string s;
        for (int i = 0; i < length; i++)
            s += static_cast<char>('0' + digit[static_cast<size_t>(i)]);
        return s;
    }
};

// The reply to `guess` when the answer is `answer`, as hits * 8 + blows.
inline int reply(const Code &guess, const Code &answer, int length)
{
    int hits = 0;
    for (int i = 0; i < length; i++)
        hits += guess.digit[static_cast<size_t>(i)] == answer.digit[static_cast<size_t>(i)];
    int common = std::popcount(static_cast<unsigned>(guess.mask & answer.mask));
    return hits * 8 + (common - hits);
}

inline int make_reply(int hits, int blows)
{
    return hits * 8 + blows;
}

// Every code of `length` different digits, in increasing order.
inline std::vector<Code> all_codes(int length)
{
    std::vector<Code> codes;
    Code code;
    auto extend = [&](auto &self, int pos) -> void {
        if (pos == length) {
            codes.push_back(code);
            return;
        }
        for (uint8_t d = 0; d < 10; d++) {
            if (code.mask & (1u << d))
                continue;
            code.digit[static_cast<size_t>(pos)] = d;
            code.mask = static_cast<uint16_t>(code.mask | (1u << d));
            self(self, pos + 1);
            code.mask = static_cast<uint16_t>(code.mask & ~(1u << d));
        }
    };
    extend(extend, 0);
    return codes;
}

// Reply evaluations allowed for one guess: a few tens of milliseconds.
constexpr size_t WORK = 6'000'000;
// At most this many candidates are used to weigh a guess.
constexpr size_t SAMPLE = 2'000;

// Picks the next guess given the candidates left (in the order of `all`).
inline Code choose_guess(const std::vector<Code> &candidates, const std::vector<Code> &all, int length)
{
    if (candidates.size() == all.size() || candidates.size() <= 2)
        return candidates.front();

    // Weigh guesses on an even sample of the candidates...
    size_t step = (candidates.size() + SAMPLE - 1) / SAMPLE;
    std::vector<Code> sample;
    for (size_t i = 0; i < candidates.size(); i += step)
        sample.push_back(candidates[i]);

    // ...trying the candidates themselves first, then an even spread of all codes.
    size_t room = std::max<size_t>(WORK / sample.size(), 1);
    std::vector<std::pair<Code, bool>> pool;
    size_t cand_step = (candidates.size() + room - 1) / room;
    for (size_t i = 0; i < candidates.size(); i += cand_step)
        pool.push_back({candidates[i], true});
    if (room > pool.size()) {
        size_t all_step = (all.size() + (room - pool.size()) - 1) / (room - pool.size());
        for (size_t i = 0; i < all.size(); i += all_step)
            pool.push_back({all[i], false});
    }

    Code best = candidates.front();
    uint64_t best_key = UINT64_MAX;
    for (const auto &[guess, consistent] : pool) {
        std::array<uint32_t, 64> count{};
        for (const Code &answer : sample)
            count[static_cast<size_t>(reply(guess, answer, length))]++;
        uint64_t largest = 0;
        uint64_t squares = 0;
        for (uint32_t c : count) {
            largest = std::max<uint64_t>(largest, c);
            squares += uint64_t{c} * c;
        }
        // Smallest largest group first, then the smallest spread, then a guess that may win.
        uint64_t key = (largest << 40) | (squares << 1) | (consistent ? 0 : 1);
        if (key < best_key) {
            best_key = key;
            best = guess;
        }
    }
    return best;
}

// Keeps the candidates that would have given `got` to `guess`.
inline std::vector<Code> filter(const std::vector<Code> &candidates, const Code &guess, int got, int length)
{
    std::vector<Code> kept;
    for (const Code &c : candidates)
        if (reply(guess, c, length) == got)
            kept.push_back(c);
    return kept;
}

} // namespace breaker
