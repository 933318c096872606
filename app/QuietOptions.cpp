#include "app/QuietOptions.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "connection/IpAddressDialog.h"
#include "connection/NetworkPort.h"
#include "core/CommandLine.h"
#include "core/FixedText.h"
#include "install/NameTables.h"

namespace zenthar {

namespace {


struct ExitCodeText {
    ExitCode code;
    const char* meaning;
};

constexpr ExitCodeText kExitCodes[] = {
    {ExitCode::Installed, "installed (or everything chosen existed already)"},
    {ExitCode::BadArguments, "bad arguments"},
    {ExitCode::WindowsNotSupported, "Windows version not supported"},
    {ExitCode::SpoolerNotAvailable, "spooler not available"},
    {ExitCode::UsbPrinterNotFound, "USB printer not found"},
    {ExitCode::NetworkPortNotWritten, "network port could not be written"},
    {ExitCode::DriverNotRegistered, "driver registration failed"},
    {ExitCode::PrinterNotCreated, "printer creation failed"},
    {ExitCode::OtherFailure, "another failure, named in the log"},
    {ExitCode::NotAsAsked, "not as the options ask (/check), each difference named in the log"},
};

// A whole decimal number of at most nine digits; nullopt for anything else.
std::optional<int> WholeNumber(std::string_view text)
{
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string ModelList()
{
    std::string list;
    for (int i = 0; i < kModelCount; ++i) list += (i ? ", " : "") + InQuotes(kModelTable[i]);
    return list;
}

std::string InterfaceList()
{
    std::string list;
    for (int i = 0; i < kInterfaceCount; ++i) list += std::string(i ? ", " : "") + InterfaceWord(static_cast<PrinterInterface>(i));
    return list;
}

}  // namespace

std::string InQuotes(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

const char* ExitCodeMeaning(ExitCode code, bool check)
{
    if (check && code == ExitCode::Installed) return "as the options ask";
    for (const ExitCodeText& each : kExitCodes)
        if (each.code == code) return each.meaning;
    return "";
}

bool AsksUsage(const std::vector<std::string>& arguments)
{
    return arguments.size() == 1 && OptionName(arguments[0]) == "?";
}

std::string UsageText()
{
    // One option a line, without columns: a message box sets it in a proportional font and
    // wraps long lines, where padding only scatters the words.
    std::string text =
        "Usage: zenthar.exe /quiet WHAT [WHERE] [/codepage N] [/default] [/check] [/log PATH]\n"
        "Installs without windows; options are case-insensitive and start with / or -.\n"
        "WHAT:\n"
        "/model NAME: one of " + ModelList() + "; may be given more than once\n"
        "/clones N: N numbered printers \"NORVA Orbix #1\" and up, N from 1 to 200\n"
        "WHERE (default: usb):\n"
        "/interface KIND: one of " + InterfaceList() + "\n"
        "/port NAME: for serial, bluetooth and parallel, a port such as COM3: or LPT1: "
        "(default: the first port the interface dialog shows)\n"
        "/address A.B.C.D: for ethernet and wifi (required there)\n"
        "/codepage N: the printer's code page (default 1252), one of";
    for (const CodePageEntry& entry : CodePageTable) text += " " + std::to_string(entry.codePage);
    text += "\n"
            "/default: make the last printer chosen the default printer of the user the program runs as, "
            "whether installed now or there already\n"
            "/check: change nothing; exit code 0 when the machine is as the other options ask, 9 when not\n"
            "/log PATH: write each step, message and the result to PATH\n"
            "Exit codes:\n";
    for (const ExitCodeText& each : kExitCodes)
        text += std::to_string(static_cast<int>(each.code)) + ": " + each.meaning + "\n";
    return text;
}

ReadOptions ReadQuietOptions(const std::vector<std::string>& arguments)
{
    ReadOptions read;
    QuietOptions& options = read.options;
    std::vector<std::string> seen;
    const auto fail = [&read](std::string why) {
        if (read.error.empty()) read.error = std::move(why);
    };

    const auto takesValue = [](const std::string& name) {
        return name == "model" || name == "clones" || name == "interface" || name == "port" || name == "address" ||
               name == "codepage" || name == "log";
    };
    const auto known = [&](const std::string& name) {
        return takesValue(name) || name == "quiet" || name == "default" || name == "check";
    };

    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string& word = arguments[at];
        const std::string name = OptionName(word);
        if (name.empty()) {
            fail("not an option: " + InQuotes(word));
            continue;
        }
        if (!known(name)) {
            fail("unknown option: " + word);
            continue;
        }
        if (name != "model") {
            for (const std::string& earlier : seen)
                if (earlier == name) fail("given twice: /" + name);
            seen.push_back(name);
        }
        if (!takesValue(name)) {
            if (name == "default") options.makeDefault = true;
            if (name == "check") options.check = true;
            continue;
        }
        // An option where the value should be means the value was left out.
        if (at + 1 >= arguments.size() || known(OptionName(arguments[at + 1]))) {
            fail("/" + name + " needs a value");
            continue;
        }
        const std::string& value = arguments[++at];

        if (name == "model") {
            int row = -1;
            for (int i = 0; i < kModelCount; ++i)
                if (SameWordNoCase(value, kModelTable[i])) row = i;
            if (row < 0) {
                fail("not a model: " + InQuotes(value) + " (one of " + ModelList() + ")");
            } else {
                options.modelRows.push_back(row);
            }
        } else if (name == "clones") {
            const auto clones = WholeNumber(value);
            if (!clones || *clones < 1 || *clones > kCloneCount) {
                fail("/clones takes a number from 1 to 200, not " + InQuotes(value));
            } else {
                options.clones = *clones;
            }
        } else if (name == "interface") {
            const auto chosen = InterfaceOfWord(value);
            if (!chosen) {
                fail("not an interface: " + InQuotes(value) + " (one of " + InterfaceList() + ")");
            } else {
                options.printerInterface = *chosen;
            }
        } else if (name == "port") {
            options.port = value;
        } else if (name == "address") {
            const std::uint32_t address = ParseDottedAddress(value.c_str());
            if (address == kNoAddress && value != "255.255.255.255") {
                fail("not an address A.B.C.D: " + InQuotes(value));
            } else {
                char text[kAddressTextSize];
                FormatText(text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF,
                           address & 0xFF);
                options.address = std::string(TextOf(text));
            }
        } else if (name == "codepage") {
            const auto number = WholeNumber(value);
            const int index = number ? CodePageIndexOf(static_cast<std::uint32_t>(*number)) : -1;
            if (index < 0) {
                fail("not a code page of the table: " + InQuotes(value));
            } else {
                options.codePageIndex = index;
            }
        } else {
            options.logPath = value;
        }
    }

    if (options.modelRows.empty() && options.clones == 0) fail("nothing to install: give /model or /clones");
    if (!options.modelRows.empty() && options.clones != 0) fail("/model and /clones cannot go together");
    const std::string interfaceName = InterfaceWord(options.printerInterface);
    if (!options.port.empty() && !ListsSpoolerPorts(options.printerInterface))
        fail("/port is for serial, bluetooth and parallel, not " + interfaceName);
    if (!options.address.empty() && !NeedsAddress(options.printerInterface))
        fail("/address is for ethernet and wifi, not " + interfaceName);
    if (options.address.empty() && NeedsAddress(options.printerInterface)) fail(interfaceName + " needs /address");
    return read;
}

}  // namespace zenthar
