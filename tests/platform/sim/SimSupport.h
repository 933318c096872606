// Helpers shared by the simulated machine's tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Constants.h"
#include "platform/sim/SimMachine.h"

namespace zenthar::sim::test {

using namespace zenthar::platform;

// Runs a spooler enumeration the way programs do (size, then fill) and checks that every
// string pointer of the records lies inside the buffer.
template <class Record, class Enumerate>
std::vector<Record> EnumerateAll(Enumerate enumerate, std::vector<std::uint8_t>& buffer)
{
    Dword needed = 0;
    Dword returned = 0;
    auto sizing = enumerate(nullptr, 0, &needed, &returned);
    if (needed == 0) return {};
    EXPECT_FALSE(sizing.value);
    EXPECT_EQ(sizing.error, ERROR_INSUFFICIENT_BUFFER);
    buffer.assign(needed, 0xCD);
    auto filled = enumerate(buffer.data(), needed, &needed, &returned);
    EXPECT_TRUE(filled.value);
    std::vector<Record> records(returned);
    for (Dword i = 0; i < returned; ++i) std::memcpy(&records[i], buffer.data() + i * sizeof(Record), sizeof(Record));
    return records;
}

inline bool InBuffer(const char* text, const std::vector<std::uint8_t>& buffer)
{
    const auto* at = reinterpret_cast<const std::uint8_t*>(text);
    return text == nullptr || (at >= buffer.data() && at < buffer.data() + buffer.size());
}

inline std::vector<std::uint8_t> Sz(const std::string& text)
{
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

}  // namespace zenthar::sim::test
