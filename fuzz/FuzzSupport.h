// What every fuzz target shares: a check that stops the run with the input's story, and the
// headless screen and simulated machine an input runs on.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sim/SimMachine.h"
#include "ui/Ui.h"
#include "ui/headless/HeadlessBackend.h"

namespace zenthar::fuzz {

// A broken promise: libFuzzer keeps the input that caused it.
#define FUZZ_CHECK(condition, what)                                                                                    \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: %s (%s)\n", __FILE__, __LINE__, what, #condition);                            \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

// A fixed-size field that still ends inside its own bytes.
template <std::size_t N>
bool Bounded(const char (&field)[N])
{
    return strnlen(field, N) < N;
}

// An input's world: a fresh machine (nothing of an earlier input survives) and the headless
// screen installed for the time of the input.
struct World {
    explicit World(sim::MachineProfile profile = sim::Profiles::Windows10x64()) : machine(std::move(profile))
    {
        ui::UseBackend(&screen);
    }
    ~World() { ui::UseBackend(nullptr); }
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    std::size_t MessageCount(const std::string& text) const
    {
        std::size_t count = 0;
        for (const auto& event : screen.Transcript())
            count += event.kind == ui::headless::Event::Kind::MessageBox && event.text == text;
        return count;
    }

    sim::SimMachine machine;
    ui::headless::HeadlessBackend screen;
};

// Text as a Windows text field would hold it: up to the first zero byte.
inline std::string AsText(const std::string& bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

}  // namespace zenthar::fuzz
