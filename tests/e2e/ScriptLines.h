// Reading the line-oriented scripts that the end-to-end programs take: one command per line,
// words split by blanks, double-quoted words may hold blanks and the escapes \n, \" and \\;
// any other backslash is itself, so that Windows paths read as written. '#' starts a comment
// outside quotes.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zenthar::e2e {

struct ScriptLine {
    int number = 0;
    std::vector<std::string> words;
};

inline std::vector<std::string> SplitWords(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size() || line[i] == '#') break;
        std::string word;
        if (line[i] == '"') {
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                const char next = i + 1 < line.size() ? line[i + 1] : '\0';
                if (line[i] == '\\' && (next == 'n' || next == '"' || next == '\\')) {
                    ++i;
                    word += next == 'n' ? '\n' : next;
                } else {
                    word += line[i];
                }
            }
            ++i;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
        }
        words.push_back(word);
    }
    return words;
}

inline bool ReadScript(const char* path, std::vector<ScriptLine>& lines)
{
    FILE* in = std::fopen(path, "rb");
    if (!in) return false;
    std::string current;
    int number = 0;
    int c;
    auto flush = [&]() {
        ++number;
        ScriptLine line{number, SplitWords(current)};
        if (!line.words.empty()) lines.push_back(line);
        current.clear();
    };
    while ((c = std::fgetc(in)) != EOF) {
        if (c == '\n') flush();
        else current += static_cast<char>(c);
    }
    if (!current.empty()) flush();
    std::fclose(in);
    return true;
}

// The text as a script would spell it, for transcripts.
inline std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (c == '"' || c == '\\') out += std::string("\\") + c;
        else out += c;
    }
    return out + "\"";
}

}  // namespace zenthar::e2e
