// The platform contract: what the installer relies on from each Windows call, checked through
// platform::Platform alone, so that the same tests hold the simulated machine and the real
// Windows backend to the same behaviour.
//
// Where Wine (our stand-in for Windows) is known to behave otherwise, a test names the
// departure with WineDeparts("..."); under Wine it then checks what Wine actually does, and
// the run ends with the list of departures it met.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Constants.h"
#include "platform/Platform.h"

namespace zenthar::contract {

// The installer's path fields are this long, terminating zero included.
inline constexpr platform::Dword kPathLength = 260;

// The platform under test, fresh for each test where the implementation allows it (the
// simulated machine is; Windows is the one machine there is). Defined once per implementation.
std::shared_ptr<platform::Platform> MakePlatform();

// Departures met so far in this run, in the order first met.
const std::vector<std::string>& WineDepartures();

class ContractTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    platform::Platform& P() { return *platform; }

    // True when running under Wine; records the departure the first time it is met.
    bool WineDeparts(const std::string& departure);
    bool UnderWine() const { return underWine; }

    // A directory of this test's own (created on first use), without a trailing backslash.
    const std::string& Scratch();
    // HKEY_CURRENT_USER\<OwnKeyPath()>: a registry key of this test's own.
    std::string OwnKeyPath() const;

    // Files made and read through CreateFileA, WriteFile and ReadFile.
    void WriteFileText(const std::string& path, const std::string& text);
    std::string ReadFileText(const std::string& path);

    // Windows paths: `directory` + "\" + `name`.
    static std::string Join(const std::string& directory, const std::string& name);
    // The zero-terminated text at the start of `buffer`.
    static std::string Text(const char* buffer) { return buffer ? std::string(buffer) : std::string(); }
    static bool EndsWithNoCase(const std::string& text, const std::string& tail);

private:
    std::shared_ptr<platform::Platform> platform;
    bool underWine = false;
    std::string scratch;
    std::string savedDirectory;
};

}  // namespace zenthar::contract
