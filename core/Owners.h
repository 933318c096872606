// Owners of what the platform opens: each closes its handle or key once, with the platform's
// own closing call, when it goes out of scope or earlier through Close(), which gives that
// call's answer. They are made only for what was opened, so the calls made are exactly the
// opening and closing pairs a careful caller would write, in reverse order of opening.
//
// An owner moves (the one moved from is left empty and closes nothing) and can Release() its
// handle to a caller that keeps it beyond the owner, such as a channel whose worker thread
// shares it. The opening helpers below return an owner with the call's answer, so no caller
// writes a closing call by hand.
#pragma once

#include <utility>

#include "core/Failure.h"
#include "platform/Platform.h"

namespace zenthar {

template <typename Family, typename Value, auto CloseCall>
class Owner {
public:
    Owner() = default;
    Owner(Family& family, Value value) : family(&family), value(value), open(true) {}
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    Owner(Owner&& other) noexcept : family(other.family), value(other.value), open(std::exchange(other.open, false)) {}
    Owner& operator=(Owner&& other) noexcept
    {
        if (this != &other) {
            if (open) (family->*CloseCall)(value);
            family = other.family;
            value = other.value;
            open = std::exchange(other.open, false);
        }
        return *this;
    }
    ~Owner()
    {
        if (open) (family->*CloseCall)(value);
    }

    bool IsOpen() const { return open; }
    Value Get() const { return value; }

    // Closes now and gives the closing call's answer; an empty owner makes no call.
    auto Close()
    {
        using Answer = decltype((family->*CloseCall)(value));
        if (!std::exchange(open, false)) return Answer{};
        return (family->*CloseCall)(value);
    }

    // Hands the handle over; from here on the caller closes it.
    Value Release()
    {
        open = false;
        return value;
    }

private:
    Family* family = nullptr;
    Value value{};
    bool open = false;
};

using KeyOwner = Owner<platform::Registry, platform::RegKey, &platform::Registry::RegCloseKey>;
using PrinterOwner = Owner<platform::Spooler, platform::Handle, &platform::Spooler::ClosePrinter>;
using ServiceOwner = Owner<platform::Services, platform::Handle, &platform::Services::CloseServiceHandle>;
using HandleOwner = Owner<platform::Kernel, platform::Handle, &platform::Kernel::CloseHandle>;
using ModuleOwner = Owner<platform::Modules, platform::ModuleHandle, &platform::Modules::FreeLibrary>;

// The opening helpers give the owner, or the call that failed with its error number (a
// registry call's status, otherwise the thread's last error).
inline Result<KeyOwner> OpenKey(platform::Registry& registry, platform::RegKey root, const char* path,
                                platform::Dword access)
{
    platform::RegKey key = 0;
    const auto opened = registry.RegOpenKeyExA(root, path, 0, access, &key);
    if (opened.value != 0) return Failure{"RegOpenKeyExA", static_cast<platform::Dword>(opened.value)};
    return KeyOwner(registry, key);
}

inline Result<PrinterOwner> OpenPrinter(platform::Spooler& spooler, const char* name,
                                        const platform::PrinterDefaultsA* defaults)
{
    platform::Handle printer = platform::kNoHandle;
    const auto opened = spooler.OpenPrinterA(name, &printer, defaults);
    if (!opened.value) return Failure{"OpenPrinterA", opened.error};
    return PrinterOwner(spooler, printer);
}

// For calls that answer with a handle, 0 or (CreateFileA) kInvalidHandle meaning failure;
// `callName` names the call in the failure.
inline Result<HandleOwner> OwnHandle(platform::Kernel& kernel, const char* callName,
                                     const platform::Call<platform::Handle>& call)
{
    if (call.value == platform::kNoHandle || call.value == platform::kInvalidHandle)
        return Failure{callName, call.error};
    return HandleOwner(kernel, call.value);
}

namespace detail {

// For calls that answer with what they opened, or 0.
template <typename OwnerType, typename Family, typename Value>
Result<OwnerType> OwnUnlessZero(Family& family, const char* callName, const platform::Call<Value>& call)
{
    if (call.value == 0) return Failure{callName, call.error};
    return OwnerType(family, call.value);
}

}  // namespace detail

// For AddPrinterA, which answers with the new printer open, or 0.
inline Result<PrinterOwner> OwnPrinter(platform::Spooler& spooler, const platform::Call<platform::Handle>& call)
{
    return detail::OwnUnlessZero<PrinterOwner>(spooler, "AddPrinterA", call);
}

inline Result<ServiceOwner> OwnService(platform::Services& services, const char* callName,
                                       const platform::Call<platform::Handle>& call)
{
    return detail::OwnUnlessZero<ServiceOwner>(services, callName, call);
}

// The owner of what was opened, or an empty one: for a handle the caller can do without.
template <typename OwnerType>
OwnerType OwnerOrNone(Result<OwnerType>&& opened)
{
    if (!opened) return OwnerType();
    return std::move(*opened);
}

}  // namespace zenthar
