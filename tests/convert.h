// Test helper: text converted between encodings, so that expectations read as the player sees them.
#pragma once

#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

// `text` converted from the encoding `from` to `to`, as iconv names them; throws where it does not convert.
inline std::string convert(const std::string &text, const char *from, const char *to)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("no conversion to ") + to);
    std::string out(4 * text.size() + 16, '\0');
    char *in = const_cast<char *>(text.data());
    size_t in_left = text.size();
    char *next = out.data();
    size_t out_left = out.size();
    size_t done = iconv(cd, &in, &in_left, &next, &out_left);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1))
        throw std::runtime_error(std::string("cannot convert to ") + to + ": " + text);
    out.resize(out.size() - out_left);
    return out;
}
#endif

// `utf8` in code page 932, the game's own encoding: sjis("1～10") is "1\x81\x60" "10".
inline std::string sjis(const std::string &utf8)
{
#ifdef _WIN32
    std::wstring wide(utf8.size(), L'\0');
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                wide.data(), static_cast<int>(wide.size()));
    std::string out(2 * utf8.size(), '\0');
    int length = WideCharToMultiByte(932, 0, wide.data(), n, out.data(), static_cast<int>(out.size()),
                                     nullptr, nullptr);
    if (length <= 0 && !utf8.empty())
        throw std::runtime_error("not code page 932: " + utf8);
    out.resize(static_cast<size_t>(length));
    return out;
#else
    return convert(utf8, "UTF-8", "CP932");
#endif
}
