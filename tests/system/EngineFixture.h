// A simulated machine and a headless user interface for the engine's operations.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "ui/headless/HeadlessBackend.h"

namespace zenthar::testing {

class EngineTest : public ::testing::Test {
protected:
    explicit EngineTest(sim::MachineProfile profile = sim::Profiles::Windows10x64()) : machine(std::move(profile)) {}
    void SetUp() override { ui::UseBackend(&screen); }
    void TearDown() override
    {
        ui::UseBackend(nullptr);
        EXPECT_TRUE(machine.Misuses().empty()) << ::testing::PrintToString(machine.Misuses());
        EXPECT_TRUE(screen.Errors().empty()) << ::testing::PrintToString(screen.Errors());
    }

    platform::Platform& Platform() { return machine.platform(); }

    // The message boxes shown so far, one line each.
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> lines;
        for (const auto& event : screen.Transcript())
            if (event.kind == ui::headless::Event::Kind::MessageBox) lines.push_back(event.Describe());
        return lines;
    }

    sim::SimMachine machine;
    ui::headless::HeadlessBackend screen;
};

}  // namespace zenthar::testing
