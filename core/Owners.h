// Owners of what the platform opens: each closes its handle or key once, with the platform's
// own closing call, when it goes out of scope or earlier through Close(), which gives that
// call's answer. They are made only for what was opened, so the calls made are exactly the
// opening and closing pairs a careful caller would write, in reverse order of opening.
#pragma once

#include "platform/Platform.h"

namespace zenthar {

template <typename Family, typename Value, auto CloseCall>
class Owner {
public:
    Owner(Family& family, Value value) : family(family), value(value) {}
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    ~Owner()
    {
        if (open) (family.*CloseCall)(value);
    }

    Value Get() const { return value; }

    auto Close()
    {
        open = false;
        return (family.*CloseCall)(value);
    }

private:
    Family& family;
    Value value;
    bool open = true;
};

using KeyOwner = Owner<platform::Registry, platform::RegKey, &platform::Registry::RegCloseKey>;
using PrinterOwner = Owner<platform::Spooler, platform::Handle, &platform::Spooler::ClosePrinter>;
using ServiceOwner = Owner<platform::Services, platform::Handle, &platform::Services::CloseServiceHandle>;
using HandleOwner = Owner<platform::Kernel, platform::Handle, &platform::Kernel::CloseHandle>;

}  // namespace zenthar
