// Writes one generated garbage input for the game to standard output, the same bytes for the same seed.
//
// usage: garbage SEED
//
// The seed picks the kind and all of it: random bytes, the game's own
// alphabet, tokens of every length to a few kilobytes, or dialogues with NUL
// and 0x1A bytes dropped in or cut off anywhere, then random bytes.  No input
// quits on purpose.  (Tokens and whitespace of megabytes are
// constant_memory.sh's and the huge_tokens transcript's.)

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// splitmix64: a small generator whose sequence is the same on every platform.
uint64_t state;

// Returns a number from 0 to n - 1.
uint64_t below(uint64_t n)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return (z ^ (z >> 31)) % n;
}

// One byte that the game's reader treats specially, or that a player types.
int game_byte()
{
    static const char alphabet[] = "0123456789012345678901234567890123456789-+-+ \t\n\n\n\v\f\r\r";
    switch (below(40)) {
    case 0:
        return '\0';
    case 1:
        return 0x1A;
    case 2:
        return 0x81; // a Shift-JIS lead byte
    case 3:
        return static_cast<int>(0x40 + below(0xC0)); // a trail byte, or anything high
    default:
        return alphabet[below(sizeof alphabet - 1)];
    }
}

// Plausible sessions, without the final -1.
const char *const DIALOGUES[] = {
    "1\n0 5 9\n",
    "1\n1 2 3\n0 5 9\n2\n0 5 9 6\n5\n2 0 5 7 6 3\n",
    "0 3 5\n1 2 3\n4 5 6\n0 5 9\n0\n10\n1\n",
    "0\n10 16\n0 1 2 3 4 5 6 7 8 9\n9 8 7 6 5 4 3 2 1 0\n",
    "4\n7 6 0 3 4\n3\n1 1 1 1\n2 2 2 2\n",
    "5\nabc\n-0\n+0\n1\n0 5 9\n5\n2 0 5 7 6 3\n",
    "0\n1\n1\n5\n",
};

// Writes dialogues, with NUL and 0x1A bytes dropped in, or the last cut off anywhere.
void mangled_dialogues(bool cut)
{
    for (uint64_t repeats = 1 + below(50); repeats > 0; repeats--) {
        const char *text = DIALOGUES[below(sizeof DIALOGUES / sizeof DIALOGUES[0])];
        size_t len = std::strlen(text);
        size_t stop = cut && repeats == 1 ? static_cast<size_t>(below(len + 1)) : len;
        for (size_t i = 0; i < stop; i++) {
            if (!cut && below(30) == 0)
                std::putchar(below(4) == 0 ? 0x1A : '\0');
            std::putchar(text[i]);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: garbage SEED\n");
        return 2;
    }
    uint64_t seed = std::strtoull(argv[1], nullptr, 10);
    state = seed * 0x2545F4914F6CDD1Du;
    uint64_t kind = seed % 4;
    if (kind == 0) {
        for (uint64_t n = below(1 << 16); n > 0; n--)
            std::putchar(static_cast<int>(below(256)));
    } else if (kind == 1) {
        for (uint64_t n = below(1 << 16); n > 0; n--)
            std::putchar(game_byte());
    } else if (kind == 2) {
        // Tokens of digits, of sevens, of letters or of full-width zeros.
        for (uint64_t n = 1 + below(200); n > 0; n--) {
            const char *style[] = {"0123456789", "7", "a", "\x82\x4f"};
            const char *bytes = style[below(4)];
            size_t width = std::strlen(bytes);
            for (uint64_t size = below(8) != 0 ? 1 + below(24) : below(4096); size > 0; size--)
                std::putchar(bytes[width == 10 ? below(10) : size % width]);
            std::putchar(" \t\n\v\f\r"[below(6)]);
        }
    } else {
        mangled_dialogues(below(2) == 0);
        for (uint64_t n = below(4096); n > 0; n--)
            std::putchar(static_cast<int>(below(256)));
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
