// Lines of a transcript or a quiet run's log, built from the texts the program shows.
#pragma once

#include <string>

namespace zenthar::testing {

// A message as the transcript and the quiet run's log write it, on one line: its line breaks
// as "\n".
inline std::string OneLine(const std::string& text)
{
    std::string line;
    for (const char c : text) line += c == '\n' ? std::string("\\n") : std::string(1, c);
    return line;
}

// A message box as the transcript records it.
inline std::string MessageLine(const std::string& text, const std::string& caption = "zenthar",
                               const char* icon = "none", const char* owner = "main")
{
    return "message \"" + OneLine(text) + "\" caption \"" + caption + "\" icon " + icon + " owner " + owner;
}

}  // namespace zenthar::testing
