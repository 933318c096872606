// Fixed-size, zero-terminated text fields.
//
// The installer keeps its names, paths and messages in fields of fixed sizes (32 bytes for
// port names, 128 for messages, 260 for paths, 1024 for registry paths) and clears each field
// before filling it. Every fill here is bounded by the field; none can overrun it.
#pragma once

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace zenthar {

template <std::size_t N>
void ClearText(char (&field)[N])
{
    std::memset(field, 0, N);
}

// Clears the field and copies as much of `text` as fits, leaving room for the terminating
// zero. Returns false when the text had to be cut.
template <std::size_t N>
bool CopyText(char (&field)[N], std::string_view text)
{
    static_assert(N > 0);
    ClearText(field);
    const std::size_t length = text.size() < N ? text.size() : N - 1;
    if (length > 0) std::memcpy(field, text.data(), length);
    return length == text.size();
}

// Clears the field and formats into it, cut to the field. Returns false when the result did
// not fit (or the format failed): callers that must not use a cut text (paths, key names)
// check it.
template <std::size_t N, class... Args>
bool FormatText(char (&field)[N], const char* format, Args... args)
{
    ClearText(field);
    int written;
    if constexpr (sizeof...(Args) == 0) {
        written = std::snprintf(field, N, "%s", format);
    } else {
        written = std::snprintf(field, N, format, args...);
    }
    return written >= 0 && static_cast<std::size_t>(written) < N;
}

// As FormatText, but a result that does not fit leaves the field empty, so that a path or key
// that was cut can never name the wrong file.
template <std::size_t N, class... Args>
bool FormatWhole(char (&field)[N], const char* format, Args... args)
{
    if (FormatText(field, format, args...)) return true;
    ClearText(field);
    return false;
}

// Texts of the fields as views, for comparisons.
template <std::size_t N>
std::string_view TextOf(const char (&field)[N])
{
    return std::string_view(field, strnlen(field, N));
}

// Whether two texts are the same without regard to case, as Windows compares the names of
// printers, drivers and ports, and as option values are compared.
inline bool SameWordNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A name in double quotes, as the logs and the usage show names.
inline std::string InQuotes(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

}  // namespace zenthar
