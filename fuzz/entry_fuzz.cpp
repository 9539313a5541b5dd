// libFuzzer target: the input reader and number entry, fed any bytes from memory.
//
// The input is read with read_number() until it reports the end.  Alongside,
// a reference reader written from the input rules (CR bytes dropped, 0x1A
// ends the input, tokens split at the whitespace bytes 0x09 to 0x0D and 0x20,
// a NUL byte ends a token and is consumed with it) finds the same tokens in
// the raw bytes, and converts each by the number rule.  Every call must
// return 1, 0 or END_OF_INPUT; each number read must be the reference's; and
// the input must end exactly after the reference's last token, which also
// bounds the loop by the input's length.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "entry.h"
#include "game_io.h"
#include "hitblow.h"
#include "memory_platform.h"

namespace {

// The reference reader's view of the input: the bytes left after CR bytes are
// dropped and everything from the first 0x1A on is cut off.
unsigned char clean[1 << 20];
size_t clean_len;

bool is_space(unsigned char c)
{
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// The number rule over token[0, length): an optional sign, then the leading
// digits modulo 2^32; accepted when the first byte is a digit or the value is not 0.
int32_t convert(const unsigned char *token, size_t length, int32_t *value)
{
    size_t i = length > 0 && (token[0] == '+' || token[0] == '-') ? 1 : 0;
    uint32_t magnitude = 0;
    for (; i < length && token[i] >= '0' && token[i] <= '9'; i++)
        magnitude = magnitude * 10u + (token[i] - '0');
    *value = static_cast<int32_t>(length > 0 && token[0] == '-' ? 0u - magnitude : magnitude);
    return (length > 0 && token[0] >= '0' && token[0] <= '9') || *value != 0 ? 1 : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > sizeof clean)
        return -1; // not added to the corpus
    clean_len = 0;
    for (size_t i = 0; i < size && data[i] != 0x1A; i++)
        if (data[i] != '\r')
            clean[clean_len++] = data[i];

    // The input is handed out in reads of 1 to 8 bytes, chosen by its length,
    // so that tokens span refills of the input buffer.
    memory_streams = {reinterpret_cast<const char *>(data), size, size % 8 + 1, 0, nullptr, 0, true, false};
    io_open();

    size_t pos = 0;
    for (size_t calls = 0;; calls++) {
        check(calls <= size); // every token takes at least one byte
        int32_t value = 12345;
        int32_t result = read_number(&value);
        check(result == 1 || result == 0 || result == END_OF_INPUT);

        while (pos < clean_len && is_space(clean[pos]))
            pos++;
        if (pos == clean_len) {
            check(result == END_OF_INPUT && value == 0);
            break;
        }
        check(result != END_OF_INPUT);
        size_t start = pos;
        while (pos < clean_len && !is_space(clean[pos]) && clean[pos] != '\0')
            pos++;
        int32_t expected = 54321;
        int32_t expected_result = convert(clean + start, pos - start, &expected);
        if (pos < clean_len && clean[pos] == '\0')
            pos++;
        check(result == expected_result && value == expected);
    }
    // Once ended, the input stays ended.
    int32_t value = 1;
    check(read_number(&value) == END_OF_INPUT && value == 0);
    return 0;
}
