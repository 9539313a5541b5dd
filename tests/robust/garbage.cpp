// Writes one generated garbage input for the game to standard output, the same bytes for the same seed.
//
// usage: garbage SEED
//
// The seed picks the kind and all of it: random bytes, the game's own
// alphabet, tokens of megabytes, long whitespace, dialogues with NUL and 0x1A
// bytes dropped in or cut off anywhere.  No input quits on purpose.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// splitmix64: a small generator whose sequence is the same on every platform.
uint64_t state;

uint64_t next()
{
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

// Returns a number from 0 to n - 1.
uint64_t below(uint64_t n)
{
    return next() % n;
}

void put(int c)
{
    std::putchar(c);
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

void random_bytes(uint64_t size)
{
    for (uint64_t i = 0; i < size; i++)
        put(static_cast<int>(below(256)));
}

void game_bytes(uint64_t size)
{
    for (uint64_t i = 0; i < size; i++)
        put(game_byte());
}

// A token of `size` bytes, all digits, all one letter, or all high bytes.
void huge_token(uint64_t size)
{
    uint64_t style = below(4);
    for (uint64_t i = 0; i < size; i++) {
        if (style == 0)
            put(static_cast<int>('0' + below(10)));
        else if (style == 1)
            put('7');
        else if (style == 2)
            put('a');
        else
            put(i % 2 == 0 ? 0x82 : 0x4F); // full-width digit zero, over and over
    }
}

void whitespace(uint64_t size)
{
    static const char spaces[] = " \t\n\v\f\r";
    for (uint64_t i = 0; i < size; i++)
        put(spaces[below(sizeof spaces - 1)]);
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

// Writes a dialogue, dropping NUL and 0x1A bytes into it, or cutting it off.
void mangled_dialogue(bool cut)
{
    uint64_t repeats = 1 + below(50);
    for (uint64_t r = 0; r < repeats; r++) {
        const char *text = DIALOGUES[below(sizeof DIALOGUES / sizeof DIALOGUES[0])];
        size_t len = std::strlen(text);
        size_t stop = cut && r + 1 == repeats ? static_cast<size_t>(below(len + 1)) : len;
        for (size_t i = 0; i < stop; i++) {
            if (!cut && below(30) == 0)
                put(below(4) == 0 ? 0x1A : '\0');
            put(text[i]);
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
    switch (seed % 8) {
    case 0:
        random_bytes(below(1 << 16));
        break;
    case 1:
        game_bytes(below(1 << 16));
        break;
    case 2:
        // A token of megabytes, between pieces of a dialogue.
        game_bytes(below(64));
        huge_token((1 + below(4)) << 20);
        game_bytes(below(1024));
        break;
    case 3:
        // A long run of whitespace, then perhaps a few more entries.
        whitespace((1 + below(4)) << 20);
        game_bytes(below(64));
        break;
    case 4:
        mangled_dialogue(false);
        break;
    case 5:
        mangled_dialogue(true);
        break;
    case 6:
        // Many tokens of every length up to a few kilobytes.
        for (uint64_t n = below(200); n > 0; n--) {
            huge_token(below(8) != 0 ? 1 + below(24) : below(4096));
            whitespace(1 + below(3));
        }
        break;
    default:
        // A dialogue, then random bytes.
        mangled_dialogue(false);
        random_bytes(below(4096));
        break;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
