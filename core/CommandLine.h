// The words of a command line and the options among them, read the way Windows programs read
// them, so that what an administrator quotes in a script arrives as they meant it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zenthar {

// Splits the text after the program's name into arguments as the C runtime does: blanks
// separate, double quotes group (a doubled quote inside quotes is one quote), backslashes
// are literal except before a quote, where each pair gives one backslash and an odd one
// makes the quote literal.
std::vector<std::string> SplitArguments(std::string_view commandLine);

// The name of an option word in lower case: "/Quiet" and "-quiet" both give "quiet". A word
// that does not start with '/' or '-', or is only that character, gives "".
std::string OptionName(std::string_view argument);

// Whether one of the words is the option `name` (lower case), in any of its spellings.
bool HasOption(const std::vector<std::string>& arguments, std::string_view name);

// The word after the first option `name` ("/log PATH" gives PATH); "" when there is none.
std::string OptionValue(const std::vector<std::string>& arguments, std::string_view name);

}  // namespace zenthar
