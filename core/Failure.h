// One way for a step to fail: the call that failed and the error it gave, carried up as a
// value until the one place that tells the user. A step that gives something back gives a
// Result: its value, or that failure; a step that gives nothing back gives a Status.
#pragma once

#include <string>
#include <utility>
#include <variant>

#include "platform/Platform.h"
#include "resources/InstallerWords.h"

namespace zenthar {

struct Failure {
    const char* call = "";  // the Windows function, as the messages name it
    platform::Dword error = 0;
};

// The value of a step that gives nothing back but whether it worked.
struct Done {};

template <typename T>
class [[nodiscard]] Result {
public:
    // Implicit both ways, so that a step returns its value or its failure as it is.
    Result(T value) : held(std::in_place_index<0>, std::move(value)) {}  // NOLINT(google-explicit-constructor)
    Result(Failure failure) : held(std::in_place_index<1>, failure) {}   // NOLINT(google-explicit-constructor)

    explicit operator bool() const { return held.index() == 0; }
    T& operator*() { return std::get<0>(held); }
    const T& operator*() const { return std::get<0>(held); }
    T* operator->() { return &std::get<0>(held); }
    const T* operator->() const { return &std::get<0>(held); }
    // Why the step failed; only for one that did.
    const Failure& Failed() const { return std::get<1>(held); }

private:
    std::variant<T, Failure> held;
};

using Status = Result<Done>;

// A failure told by the call's result: its error, or `fallback` when the call left none.
inline Failure FailedCall(const char* call, platform::Dword error, platform::Dword fallback)
{
    return Failure{call, error != 0 ? error : fallback};
}

// The failure as the log and the summaries name it: "SetDefaultPrinterA failed (error 5)".
inline std::string Describe(const Failure& failure)
{
    return resources::Say(resources::Words::CallFailed, failure.call, failure.error);
}

}  // namespace zenthar

// Passes a step's failure up to the caller, which must return a Result or a Status: one line
// per step, so that a run reads as its list of steps.
#define PASS_UP(step)                                                                                                  \
    do {                                                                                                               \
        if (auto&& passedUp = (step); !passedUp) return passedUp.Failed();                                             \
    } while (false)
