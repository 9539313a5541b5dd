// Test helpers: game routines run on an in-memory input, and Japanese expectations as the game's Shift-JIS
// bytes.
#pragma once

#include <stdexcept>
#include <string>

#include "game_io.h"
#include "memory_platform.h"
#include "session.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

class MemoryIo {
  public:
    // Opens the game's streams on `input`, with the other settings of
    // `streams` (memory_platform.h; as to a terminal unless it says not) and
    // room for `room` bytes of output.
    explicit MemoryIo(const std::string &input, MemoryStreams streams = {}, size_t room = sizeof output_)
        : input_(input)
    {
        streams.input = input_.data();
        streams.input_size = input_.size();
        streams.output = output_;
        streams.output_size = room;
        memory_streams = streams;
        io_open();
    }

    // Everything written since the streams were opened, as bytes.
    std::string output() const { return std::string(output_, memory_counts.output_length); }

    // Plays a whole session on the input, and returns everything written.
    std::string play()
    {
        io_close(play_session());
        return output();
    }

  private:
    std::string input_;
    char output_[1 << 16];
};

// `utf8` in code page 932, the game's own encoding, so that an expectation
// reads as the player sees it: sjis("1～10") is "1\x81\x60" "10".
inline std::string sjis(const std::string &utf8)
{
    std::string out(2 * utf8.size(), '\0');
#ifdef _WIN32
    std::wstring wide(utf8.size(), L'\0');
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                wide.data(), static_cast<int>(wide.size()));
    int length = n < 0 ? 0
                       : WideCharToMultiByte(932, 0, wide.data(), n, out.data(), static_cast<int>(out.size()),
                                             nullptr, nullptr);
    if (length <= 0 && !utf8.empty())
        throw std::runtime_error("not code page 932: " + utf8);
    out.resize(static_cast<size_t>(length));
#else
    iconv_t cd = iconv_open("CP932", "UTF-8");
    char *in = const_cast<char *>(utf8.data());
    size_t in_left = utf8.size();
    char *next = out.data();
    size_t out_left = out.size();
    bool done = cd != reinterpret_cast<iconv_t>(-1) && iconv(cd, &in, &in_left, &next, &out_left) == 0;
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
    if (!done)
        throw std::runtime_error("not code page 932: " + utf8);
    out.resize(out.size() - out_left);
#endif
    return out;
}
