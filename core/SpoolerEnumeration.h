// The spooler's size-then-fetch enumerations (printers, monitors, ports): a first call with
// no buffer learns the size, a second fills a buffer of that size. The records are read only
// as far as the buffer holds them, whatever count the spooler claims.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "core/Failure.h"
#include "platform/Constants.h"
#include "platform/Platform.h"

namespace zenthar {

// Whether the fetching call is made when there is nothing to fetch into (the size was 0 or
// the buffer could not be had); the monitor check makes it, to learn the spooler's answer.
enum class EmptyFetch { Skip, Make };

// One enumeration of records of type `Record`. `call(buffer, bufferSize, &needed, &returned)`
// makes one call of it: Size first, then Fetch.
template <typename Record>
class Enumeration {
public:
    template <typename EnumCall>
    platform::Call<bool> Size(EnumCall call)
    {
        platform::Dword returned = 0;
        return call(nullptr, 0, &needed, &returned);
    }

    // The fetching call, into a buffer of the size learnt. Not made (false) when there is
    // nothing to fetch into, unless `emptyFetch` asks for it.
    template <typename EnumCall>
    platform::Call<bool> Fetch(EnumCall call, EmptyFetch emptyFetch = EmptyFetch::Skip)
    {
        if (needed > 0) buffer.reset(new (std::nothrow) std::uint8_t[needed]());
        if (!buffer && emptyFetch == EmptyFetch::Skip) return {};
        const platform::Dword size = buffer ? needed : 0;
        platform::Dword returned = 0;
        fetched = call(buffer.get(), size, &needed, &returned);
        const platform::Dword fits = size / sizeof(Record);
        count = returned < fits ? returned : fits;
        return fetched;
    }

    // The enumeration read whole: the size, then the records. A spooler with nothing to list
    // answers the sizing call without a size, and no fetch is made. A failure names `callName`
    // with the error of the call that failed; a fetch that gives none had no buffer.
    template <typename EnumCall>
    Status Read(EnumCall call, const char* callName)
    {
        const auto sized = Size(call);
        if (!sized.value && sized.error != platform::ERROR_INSUFFICIENT_BUFFER) return Failure{callName, sized.error};
        if (needed == 0) return Done{};
        const auto read = Fetch(call);
        if (!read.value) return FailedCall(callName, read.error, platform::ERROR_NOT_ENOUGH_MEMORY);
        return Done{};
    }

    platform::Dword Needed() const { return needed; }

    std::span<const Record> Records() const
    {
        if (!buffer || !fetched.value) return {};
        return {reinterpret_cast<const Record*>(buffer.get()), count};
    }

private:
    platform::Dword needed = 0;
    platform::Call<bool> fetched{};
    std::unique_ptr<std::uint8_t[]> buffer;
    platform::Dword count = 0;
};

// One port as EnumPortsA (level 2) lists it.
struct ListedPort {
    std::string name;
    std::string monitor;  // "" when the spooler names none
};

// The spooler's ports, read whole; none when they cannot be read.
std::vector<ListedPort> ListPorts(platform::Platform& platform);

// A printer's level-2 record, with the strings it points into.
class PrinterRecord {
public:
    // The record's strings point into its own buffer: a copy would point into the original's.
    PrinterRecord() = default;
    PrinterRecord(const PrinterRecord&) = delete;
    PrinterRecord& operator=(const PrinterRecord&) = delete;
    PrinterRecord(PrinterRecord&&) = default;
    PrinterRecord& operator=(PrinterRecord&&) = default;

    const platform::PrinterInfo2A& Info() const { return info; }
    platform::PrinterInfo2A& Info() { return info; }

private:
    friend Result<PrinterRecord> ReadPrinterRecord(platform::Spooler& spooler, platform::Handle printer);
    std::vector<std::uint8_t> buffer;
    platform::PrinterInfo2A info{};
};

// GetPrinterA level 2 on an open printer: the size, then the record; a failure names
// GetPrinterA.
Result<PrinterRecord> ReadPrinterRecord(platform::Spooler& spooler, platform::Handle printer);

}  // namespace zenthar
