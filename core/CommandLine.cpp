#include "core/CommandLine.h"

#include <cctype>

namespace zenthar {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

std::vector<std::string> SplitArguments(std::string_view commandLine)
{
    std::vector<std::string> arguments;
    std::size_t at = 0;
    const std::size_t end = commandLine.size();
    while (true) {
        while (at < end && IsBlank(commandLine[at])) ++at;
        if (at >= end) break;
        std::string argument;
        bool quoted = false;
        while (at < end && (quoted || !IsBlank(commandLine[at]))) {
            const char c = commandLine[at];
            if (c == '\\') {
                std::size_t slashes = 0;
                while (at < end && commandLine[at] == '\\') ++slashes, ++at;
                if (at < end && commandLine[at] == '"') {
                    argument.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        argument.push_back('"');
                        ++at;
                    }
                } else {
                    argument.append(slashes, '\\');
                }
            } else if (c == '"') {
                if (quoted && at + 1 < end && commandLine[at + 1] == '"') {
                    argument.push_back('"');
                    at += 2;
                } else {
                    quoted = !quoted;
                    ++at;
                }
            } else {
                argument.push_back(c);
                ++at;
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::string OptionName(std::string_view argument)
{
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return {};
    std::string name;
    for (char c : argument.substr(1)) name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return name;
}

bool HasOption(const std::vector<std::string>& arguments, std::string_view name)
{
    for (const std::string& argument : arguments)
        if (OptionName(argument) == name) return true;
    return false;
}

std::string OptionValue(const std::vector<std::string>& arguments, std::string_view name)
{
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i)
        if (OptionName(arguments[i]) == name) return arguments[i + 1];
    return {};
}

}  // namespace zenthar
