// A simulated machine and a headless screen for the connection tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/InstallSession.h"
#include "platform/sim/SimMachine.h"
#include "ui/headless/HeadlessBackend.h"

namespace zenthar::testing {

class ConnectionTest : public ::testing::Test {
protected:
    explicit ConnectionTest(sim::MachineProfile profile = sim::Profiles::Windows10x64()) : machine(std::move(profile))
    {
        ui::UseBackend(&screen);
    }
    ~ConnectionTest() override { ui::UseBackend(nullptr); }
    void TearDown() override
    {
        EXPECT_TRUE(machine.Misuses().empty()) << ::testing::PrintToString(machine.Misuses());
        EXPECT_TRUE(screen.Errors().empty()) << ::testing::PrintToString(screen.Errors());
    }

    std::vector<std::string> Messages() const
    {
        std::vector<std::string> lines;
        for (const auto& event : screen.Transcript())
            if (event.kind == ui::headless::Event::Kind::MessageBox) lines.push_back(event.Describe());
        return lines;
    }

    sim::SimMachine machine;
    ui::headless::HeadlessBackend screen;
    InstallSession session;
};

}  // namespace zenthar::testing
