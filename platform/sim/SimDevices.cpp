// The USB printer: its state, the handles CreateFileA opens (on it, and on ordinary files), their
// reads and writes, and the device setup calls that find it.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "platform/sim/SimBackends.h"

namespace zenthar::sim::detail {

namespace {

constexpr Dword TRUNCATE_EXISTING = 5;
constexpr Dword FILE_SHARE_READ = 0x1;
constexpr Dword FILE_SHARE_WRITE = 0x2;
constexpr Dword PURGE_TXABORT = 0x1;
constexpr Dword PURGE_RXABORT = 0x2;
constexpr Dword PURGE_RXCLEAR = 0x8;
constexpr UintPtr kStatusPending = 0x103;

bool IsDevicePath(const char* path)
{
    const std::string text(path);
    if (text.rfind("\\\\?\\", 0) != 0 && text.rfind("\\\\.\\", 0) != 0) return false;
    return !(text.size() >= 6 && text[5] == ':');  // "\\?\C:\..." is an ordinary file
}

// Whether two opens of the same object can coexist under their sharing modes.
bool SharingAllows(Dword existingAccess, Dword existingShare, Dword access, Dword share)
{
    auto needs = [](Dword a) {
        return ((a & GENERIC_READ) ? FILE_SHARE_READ : 0u) | ((a & GENERIC_WRITE) ? FILE_SHARE_WRITE : 0u);
    };
    return (needs(access) & ~existingShare) == 0 && (needs(existingAccess) & ~share) == 0;
}

void SignalEvent(Core& core, Handle event)
{
    if (HandleEntry* entry = core.FindHandle(event, {HandleKind::Event})) {
        entry->event->signalled = true;
        core.Changed();
    }
}

void ResetEventOf(Core& core, Overlapped* overlapped)
{
    if (!overlapped) return;
    if (HandleEntry* entry = core.FindHandle(overlapped->hEvent, {HandleKind::Event})) entry->event->signalled = false;
}

void CompleteAtOnce(Core& core, Overlapped* overlapped, Dword count)
{
    if (!overlapped) return;
    overlapped->Internal = 0;
    overlapped->InternalHigh = count;
    SignalEvent(core, overlapped->hEvent);
}

bool DeviceAlive(const HandleEntry& entry)
{
    return entry.device->present && entry.generation == entry.device->generation;
}

}  // namespace

// ---- The devices' state -------------------------------------------------------------------------

std::shared_ptr<UsbDevice> DeviceState::FindDevice(std::string_view path) const
{
    for (const auto& device : devices)
        if (SameText(device->path, path)) return device;
    return nullptr;
}

bool DeviceState::CountAttempt(UsbDevice& device)
{
    if (device.present) return true;
    if (device.attemptsBeforeBack == kNeverBack) return false;
    if (device.attemptsBeforeBack == 0) {
        device.present = true;
        return true;
    }
    --device.attemptsBeforeBack;
    return false;
}

void DeviceState::CompleteIo(HandleEntry& entry, PendingIo& io, Dword result)
{
    io.done = true;
    io.result = result;
    if (result == 0) {
        if (io.isWrite) {
            io.transferred = static_cast<Dword>(io.bytes.size());
            entry.device->writes.push_back(io.bytes);
        } else {
            auto& readable = entry.device->readable;
            const std::size_t count = std::min<std::size_t>(io.readSize, readable.size());
            for (std::size_t i = 0; i < count; ++i) {
                io.readBuffer[i] = readable.front();
                readable.pop_front();
            }
            io.transferred = static_cast<Dword>(count);
        }
    }
    if (io.overlapped) {
        io.overlapped->Internal = result;
        io.overlapped->InternalHigh = io.transferred;
        if (HandleEntry* event = core.FindHandle(io.overlapped->hEvent, {HandleKind::Event}))
            event->event->signalled = true;
    }
    core.Changed();
}

void DeviceState::SettleIo()
{
    for (auto& [handle, entry] : core.handles) {
        if (entry.kind != HandleKind::Device) continue;
        for (auto& io : entry.pending) {
            if (io->done) continue;
            if (io->isWrite && io->completesAt != kNeverTime && io->completesAt <= core.Now())
                CompleteIo(entry, *io, 0);
            if (!io->isWrite && !entry.device->readable.empty()) CompleteIo(entry, *io, 0);
        }
        std::erase_if(entry.pending, [](const std::shared_ptr<PendingIo>& io) { return io->done; });
    }
}

// ---- CreateFileA and its I/O ----------------------------------------------------------------

Call<Handle> SimDeviceIo::CreateFileA(const char* path, Dword access, Dword shareMode, const void*,
                                      Dword creationDisposition, Dword flags, Handle)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("CreateFileA")) return Failed(kInvalidHandle, *fault);
    if (!path) return Failed(kInvalidHandle, ERROR_INVALID_PARAMETER);
    if (IsDevicePath(path)) return OpenDevice(path, access, shareMode, flags);

    const std::string asked = Upper(core.Redirected(core.Absolute(path)));
    // Folders on the way are always followed; the last part only unless the caller asks for
    // the reparse point itself.
    const std::string resolved = core.Resolved(asked, (flags & FILE_FLAG_OPEN_REPARSE_POINT) == 0);
    if (resolved.empty()) return Failed(kInvalidHandle, kErrorCantResolveFilename);
    const std::string given = core.Redirected(core.Absolute(path));
    const FsEntry* named = core.FindEntry(resolved);
    const FsEntry* folder = core.FindEntry(Core::ParentKey(resolved));
    // Spelled as the disk spells it, the new last part as the caller did.
    std::string absolute = given;
    if (named) absolute = named->path;
    else if (resolved != asked && folder) absolute = folder->path + given.substr(given.rfind('\\'));
    // A hard link's contents are those of the file it is another name of.
    const std::string key = core.DataKey(resolved);
    const std::string parent = Core::ParentKey(key);
    if (parent.empty() || !core.IsDirectory(parent)) return Failed(kInvalidHandle, ERROR_PATH_NOT_FOUND);
    FsEntry* entry = core.FindEntry(key);
    if (entry && entry->directory) return Failed(kInvalidHandle, ERROR_ACCESS_DENIED);
    for (const auto& [handle, open] : core.handles)
        if (open.kind == HandleKind::File && open.fileKey == key &&
            !SharingAllows(open.access, open.share, access, shareMode))
            return Failed(kInvalidHandle, kErrorSharingViolation);
    Dword error = 0;
    switch (creationDisposition) {
    case CREATE_NEW:
        if (entry) return Failed(kInvalidHandle, ERROR_FILE_EXISTS);
        break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
        if (entry) error = ERROR_ALREADY_EXISTS;
        if (entry && creationDisposition == CREATE_ALWAYS) entry->bytes.clear();
        break;
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
        if (!entry) return Failed(kInvalidHandle, ERROR_FILE_NOT_FOUND);
        if (creationDisposition == TRUNCATE_EXISTING) entry->bytes.clear();
        break;
    default: return Failed(kInvalidHandle, ERROR_INVALID_PARAMETER);
    }
    if (!entry) core.files[key] = FsEntry{absolute, false, {}};
    HandleEntry open;
    open.kind = HandleKind::File;
    open.fileKey = key;
    open.access = access;
    open.share = shareMode;
    open.overlappedIo = (flags & FILE_FLAG_OVERLAPPED) != 0;
    open.name = absolute;
    return {core.NewHandle(std::move(open)), error};
}

Call<Handle> SimDeviceIo::OpenDevice(const std::string& path, Dword access, Dword shareMode, Dword flags)
{
    std::shared_ptr<UsbDevice> device;
    for (const auto& candidate : core.devices) {
        // The interface itself, or a file inside it such as "\USB0/4".
        if (SameText(path, candidate->path) || StartsWithText(path, candidate->path + "\\")) device = candidate;
    }
    if (!device || !core.CountAttempt(*device)) return Failed(kInvalidHandle, ERROR_FILE_NOT_FOUND);
    for (const auto& [handle, open] : core.handles) {
        if (open.kind == HandleKind::Device && open.device == device && DeviceAlive(open) &&
            !SharingAllows(open.access, open.share, access, shareMode))
            return Failed(kInvalidHandle, kErrorSharingViolation);
    }
    HandleEntry open;
    open.kind = HandleKind::Device;
    open.device = device;
    open.generation = device->generation;
    open.access = access;
    open.share = shareMode;
    open.overlappedIo = (flags & FILE_FLAG_OVERLAPPED) != 0;
    return Ok(core.NewHandle(std::move(open)));
}

Call<bool> SimDeviceIo::WriteFile(Handle file, const void* buffer, Dword bytesToWrite, Dword* bytesWritten,
                                  Overlapped* overlapped)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("WriteFile")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(file, {HandleKind::File, HandleKind::Device});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    if (bytesWritten) *bytesWritten = 0;
    if (!(entry->access & GENERIC_WRITE)) return Failed(false, ERROR_ACCESS_DENIED);
    if (!buffer && bytesToWrite > 0) return Failed(false, kErrorNoAccess);
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (entry->kind == HandleKind::Device)
        return DeviceWrite(*entry, bytes, bytesToWrite, bytesWritten, overlapped, lock);

    FsEntry* target = core.FindEntry(entry->fileKey);
    if (!target) return Failed(false, ERROR_FILE_NOT_FOUND);
    std::uint64_t at = entry->position;
    if (entry->overlappedIo && overlapped) at = (std::uint64_t{overlapped->OffsetHigh} << 32) | overlapped->Offset;
    if (target->bytes.size() < at + bytesToWrite) target->bytes.resize(at + bytesToWrite);
    if (bytesToWrite) std::memcpy(target->bytes.data() + at, bytes, bytesToWrite);
    entry->position = at + bytesToWrite;
    if (bytesWritten) *bytesWritten = bytesToWrite;
    CompleteAtOnce(core, overlapped, bytesToWrite);
    return Ok(true);
}

Call<bool> SimDeviceIo::DeviceWrite(HandleEntry& entry, const std::uint8_t* bytes, Dword count, Dword* written,
                                    Overlapped* overlapped, std::unique_lock<std::mutex>& lock)
{
    UsbDevice& device = *entry.device;
    ++device.writeAttempts;
    if (!DeviceAlive(entry)) return Failed(false, ERROR_DEVICE_NOT_CONNECTED);
    if (entry.overlappedIo && !overlapped) return Failed(false, ERROR_INVALID_PARAMETER);
    UsbWriteBehaviour behaviour = device.behaviour;
    if (!device.queued.empty()) {
        behaviour = device.queued.front();
        device.queued.pop_front();
    }
    std::vector<std::uint8_t> data(bytes, bytes + count);
    switch (behaviour.mode) {
    case UsbWriteBehaviour::Mode::Accept:
        device.writes.push_back(std::move(data));
        if (written) *written = count;
        CompleteAtOnce(core, overlapped, count);
        return Ok(true);
    case UsbWriteBehaviour::Mode::Fail: return Failed(false, behaviour.error);
    case UsbWriteBehaviour::Mode::Pending: break;
    }
    auto io = std::make_shared<PendingIo>();
    io->overlapped = entry.overlappedIo ? overlapped : nullptr;
    io->isWrite = true;
    io->bytes = std::move(data);
    io->completesAt = behaviour.completesAfter == UsbWriteBehaviour::kNever ? kNeverTime
                                                                            : core.Now() + behaviour.completesAfter;
    entry.pending.push_back(io);
    if (entry.overlappedIo) {
        overlapped->Internal = kStatusPending;
        overlapped->InternalHigh = 0;
        ResetEventOf(core, overlapped);
        return Failed(false, ERROR_IO_PENDING);
    }
    // A synchronous handle waits for its request.
    if (io->completesAt != kNeverTime) core.AdvanceClock(io->completesAt - core.Now());
    if (!core.WaitUntil(
            lock, kNeverTime, [&] { return io->done; }, "WriteFile"))
        return Failed(false, ERROR_GEN_FAILURE);
    if (io->result) return Failed(false, io->result);
    if (written) *written = io->transferred;
    return Ok(true);
}

Call<bool> SimDeviceIo::ReadFile(Handle file, void* buffer, Dword bytesToRead, Dword* bytesRead, Overlapped* overlapped)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("ReadFile")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(file, {HandleKind::File, HandleKind::Device});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    if (bytesRead) *bytesRead = 0;
    if (!(entry->access & GENERIC_READ)) return Failed(false, ERROR_ACCESS_DENIED);
    if (!buffer && bytesToRead > 0) return Failed(false, kErrorNoAccess);
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    if (entry->kind == HandleKind::Device) return DeviceRead(*entry, bytes, bytesToRead, bytesRead, overlapped, lock);

    const FsEntry* source = core.FindEntry(entry->fileKey);
    if (!source) return Failed(false, ERROR_FILE_NOT_FOUND);
    std::uint64_t at = entry->position;
    if (entry->overlappedIo && overlapped) at = (std::uint64_t{overlapped->OffsetHigh} << 32) | overlapped->Offset;
    const std::uint64_t available = source->bytes.size() > at ? source->bytes.size() - at : 0;
    const Dword count = static_cast<Dword>(std::min<std::uint64_t>(available, bytesToRead));
    if (count) std::memcpy(bytes, source->bytes.data() + at, count);
    entry->position = at + count;
    if (bytesRead) *bytesRead = count;
    CompleteAtOnce(core, overlapped, count);
    return Ok(true);
}

Call<bool> SimDeviceIo::DeviceRead(HandleEntry& entry, std::uint8_t* buffer, Dword count, Dword* read,
                                   Overlapped* overlapped, std::unique_lock<std::mutex>& lock)
{
    UsbDevice& device = *entry.device;
    if (!DeviceAlive(entry)) return Failed(false, ERROR_DEVICE_NOT_CONNECTED);
    if (entry.overlappedIo && !overlapped) return Failed(false, ERROR_INVALID_PARAMETER);
    if (!device.readable.empty() || count == 0) {
        const Dword taken = static_cast<Dword>(std::min<std::size_t>(count, device.readable.size()));
        for (Dword i = 0; i < taken; ++i) {
            buffer[i] = device.readable.front();
            device.readable.pop_front();
        }
        if (read) *read = taken;
        CompleteAtOnce(core, overlapped, taken);
        return Ok(true);
    }
    auto io = std::make_shared<PendingIo>();
    io->overlapped = entry.overlappedIo ? overlapped : nullptr;
    io->isWrite = false;
    io->readBuffer = buffer;
    io->readSize = count;
    io->completesAt = kNeverTime;
    entry.pending.push_back(io);
    if (entry.overlappedIo) {
        overlapped->Internal = kStatusPending;
        overlapped->InternalHigh = 0;
        ResetEventOf(core, overlapped);
        return Failed(false, ERROR_IO_PENDING);
    }
    if (!core.WaitUntil(
            lock, kNeverTime, [&] { return io->done; }, "ReadFile"))
        return Failed(false, ERROR_GEN_FAILURE);
    if (io->result) return Failed(false, io->result);
    if (read) *read = io->transferred;
    return Ok(true);
}

Call<bool> SimDeviceIo::GetOverlappedResult(Handle file, Overlapped* overlapped, Dword* bytesTransferred, bool wait)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetOverlappedResult")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(file, {HandleKind::File, HandleKind::Device});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    if (!overlapped || !bytesTransferred) return Failed(false, ERROR_INVALID_PARAMETER);
    core.SettleIo();
    std::shared_ptr<PendingIo> io;
    for (const auto& pending : entry->pending)
        if (pending->overlapped == overlapped && !pending->done) io = pending;
    if (!io) {
        // Finished (or never started): the record holds the outcome.
        if (overlapped->Internal == kStatusPending) return Failed(false, ERROR_IO_INCOMPLETE);
        *bytesTransferred = static_cast<Dword>(overlapped->InternalHigh);
        if (overlapped->Internal != 0) return Failed(false, static_cast<Dword>(overlapped->Internal));
        return Ok(true);
    }
    if (!wait) return Failed(false, ERROR_IO_INCOMPLETE);
    if (io->completesAt != kNeverTime && io->completesAt > core.Now()) core.AdvanceClock(io->completesAt - core.Now());
    if (!core.WaitUntil(
            lock, kNeverTime, [&] { return io->done; }, "GetOverlappedResult"))
        return Failed(false, ERROR_IO_INCOMPLETE);
    *bytesTransferred = io->transferred;
    if (io->result) return Failed(false, io->result);
    return Ok(true);
}

Call<bool> SimDeviceIo::CancelIo(Handle file)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("CancelIo")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(file, {HandleKind::File, HandleKind::Device});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    for (auto& io : entry->pending)
        if (!io->done) core.CompleteIo(*entry, *io, ERROR_OPERATION_ABORTED);
    entry->pending.clear();
    return Ok(true);
}

Call<bool> SimDeviceIo::ClearCommError(Handle file, Dword* errors, ComStat* status)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("ClearCommError")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(file, {HandleKind::File, HandleKind::Device});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    if (entry->kind != HandleKind::Device || !entry->device->commSupported) return Failed(false, kErrorInvalidFunction);
    if (!DeviceAlive(*entry)) return Failed(false, ERROR_DEVICE_NOT_CONNECTED);
    if (errors) *errors = 0;
    if (status) *status = ComStat{0, static_cast<Dword>(entry->device->readable.size()), 0};
    return Ok(true);
}

Call<bool> SimDeviceIo::PurgeComm(Handle file, Dword flags)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("PurgeComm")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(file, {HandleKind::File, HandleKind::Device});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    if (entry->kind != HandleKind::Device || !entry->device->commSupported) return Failed(false, kErrorInvalidFunction);
    for (auto& io : entry->pending) {
        const bool abort = io->isWrite ? (flags & PURGE_TXABORT) : (flags & PURGE_RXABORT);
        if (abort && !io->done) core.CompleteIo(*entry, *io, ERROR_OPERATION_ABORTED);
    }
    std::erase_if(entry->pending, [](const std::shared_ptr<PendingIo>& io) { return io->done; });
    if (flags & PURGE_RXCLEAR) entry->device->readable.clear();
    return Ok(true);
}

Call<bool> SimDeviceIo::GetFileInformationByHandle(Handle file, ByHandleFileInformation* information)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetFileInformationByHandle")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(file, {HandleKind::File, HandleKind::Device});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    if (entry->kind != HandleKind::File) return Failed(false, kErrorInvalidFunction);
    if (!information) return Failed(false, kErrorNoAccess);
    const FsEntry* data = core.FindEntry(entry->fileKey);
    if (!data) return Failed(false, ERROR_FILE_NOT_FOUND);
    // The name it was opened by: a reparse point opened as itself is one.
    const FsEntry* named = core.FindEntry(Upper(entry->name));
    *information = ByHandleFileInformation{};
    information->dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    if (named && !named->reparseTarget.empty()) information->dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    information->nFileSizeLow = static_cast<Dword>(data->bytes.size());
    information->nFileSizeHigh = static_cast<Dword>(static_cast<std::uint64_t>(data->bytes.size()) >> 32);
    information->nNumberOfLinks = core.LinkCount(entry->fileKey);
    return Ok(true);
}

Call<bool> SimDeviceIo::SetEndOfFile(Handle file)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("SetEndOfFile")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(file, {HandleKind::File, HandleKind::Device});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    if (entry->kind != HandleKind::File) return Failed(false, kErrorInvalidFunction);
    if (!(entry->access & GENERIC_WRITE)) return Failed(false, ERROR_ACCESS_DENIED);
    FsEntry* data = core.FindEntry(entry->fileKey);
    if (!data) return Failed(false, ERROR_FILE_NOT_FOUND);
    data->bytes.resize(static_cast<std::size_t>(entry->position));
    return Ok(true);
}

Call<Dword> SimDeviceIo::InvokeGetFinalPathNameByHandleA(ProcAddress function, Handle file, char* buffer, Dword size,
                                                         Dword)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetFinalPathNameByHandleA")) return Failed(Dword{0}, *fault);
    if (!core.CheckProc(function, Export::GetFinalPathNameByHandleA, "GetFinalPathNameByHandleA"))
        return Failed(Dword{0}, ERROR_INVALID_PARAMETER);
    HandleEntry* entry = core.FindHandle(file, {HandleKind::File, HandleKind::Device});
    if (!entry) return Failed(Dword{0}, ERROR_INVALID_HANDLE);
    if (entry->kind != HandleKind::File) return Failed(Dword{0}, kErrorInvalidFunction);
    const std::string path = "\\\\?\\" + entry->name;
    // The length without the zero when it fits, else the size needed with it.
    if (!buffer || size <= path.size()) return Ok(static_cast<Dword>(path.size() + 1));
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return Ok(static_cast<Dword>(path.size()));
}

// ---- Device setup -------------------------------------------------------------------------------

namespace {

constexpr Dword DIGCF_ALLCLASSES = 0x4;
constexpr Dword SPINT_ACTIVE = 0x1;

bool SameGuid(const Guid& a, const Guid& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::equal(std::begin(a.Data4), std::end(a.Data4), std::begin(b.Data4));
}

}  // namespace

Call<Handle> SimDeviceSetup::InvokeSetupDiGetClassDevsA(ProcAddress function, const Guid* classGuid, const char*,
                                                        Handle, Dword flags)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("SetupDiGetClassDevsA")) return Failed(kInvalidHandle, *fault);
    if (!core.CheckProc(function, Export::SetupDiGetClassDevsA, "SetupDiGetClassDevsA"))
        return Failed(kInvalidHandle, ERROR_INVALID_PARAMETER);
    if (!classGuid && !(flags & DIGCF_ALLCLASSES)) return Failed(kInvalidHandle, ERROR_INVALID_PARAMETER);
    HandleEntry entry;
    entry.kind = HandleKind::DeviceInfoSet;
    // Without DIGCF_DEVICEINTERFACE the GUID names a setup class, and printers' interfaces are
    // not in it.
    const bool wanted = (flags & DIGCF_DEVICEINTERFACE) &&
                        ((flags & DIGCF_ALLCLASSES) || SameGuid(*classGuid, kUsbPrintInterfaceClass));
    if (wanted) {
        for (const auto& device : core.devices) {
            if ((flags & DIGCF_PRESENT) && !core.CountAttempt(*device)) continue;
            entry.devicePaths.push_back(device->path);
        }
    }
    return Ok(core.NewHandle(std::move(entry)));
}

Call<bool> SimDeviceSetup::InvokeSetupDiEnumDeviceInterfaces(ProcAddress function, Handle deviceInfoSet, void*,
                                                             const Guid* classGuid, Dword memberIndex,
                                                             SpDeviceInterfaceData* interfaceData)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("SetupDiEnumDeviceInterfaces")) return Failed(false, *fault);
    if (!core.CheckProc(function, Export::SetupDiEnumDeviceInterfaces, "SetupDiEnumDeviceInterfaces"))
        return Failed(false, ERROR_INVALID_PARAMETER);
    HandleEntry* set = core.FindHandle(deviceInfoSet, {HandleKind::DeviceInfoSet});
    if (!set) return Failed(false, ERROR_INVALID_HANDLE);
    if (!classGuid || !interfaceData) return Failed(false, ERROR_INVALID_PARAMETER);
    if (interfaceData->cbSize != sizeof(SpDeviceInterfaceData)) return Failed(false, kErrorInvalidUserBuffer);
    if (!SameGuid(*classGuid, kUsbPrintInterfaceClass) || memberIndex >= set->devicePaths.size())
        return Failed(false, ERROR_NO_MORE_ITEMS);
    interfaceData->InterfaceClassGuid = *classGuid;
    interfaceData->Flags = SPINT_ACTIVE;
    interfaceData->Reserved = UintPtr{memberIndex} + 1;
    return Ok(true);
}

Call<bool> SimDeviceSetup::InvokeSetupDiGetDeviceInterfaceDetailA(ProcAddress function, Handle deviceInfoSet,
                                                                  SpDeviceInterfaceData* interfaceData,
                                                                  SpDeviceInterfaceDetailDataA* detail,
                                                                  Dword detailSize, Dword* requiredSize, void*)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("SetupDiGetDeviceInterfaceDetailA")) return Failed(false, *fault);
    if (!core.CheckProc(function, Export::SetupDiGetDeviceInterfaceDetailA, "SetupDiGetDeviceInterfaceDetailA"))
        return Failed(false, ERROR_INVALID_PARAMETER);
    HandleEntry* set = core.FindHandle(deviceInfoSet, {HandleKind::DeviceInfoSet});
    if (!set) return Failed(false, ERROR_INVALID_HANDLE);
    if (!interfaceData) return Failed(false, ERROR_INVALID_PARAMETER);
    if (interfaceData->cbSize != sizeof(SpDeviceInterfaceData)) return Failed(false, kErrorInvalidUserBuffer);
    const UintPtr member = interfaceData->Reserved;
    if (member == 0 || member > set->devicePaths.size()) return Failed(false, ERROR_INVALID_PARAMETER);
    const std::string& path = set->devicePaths[member - 1];
    const std::size_t offset = offsetof(SpDeviceInterfaceDetailDataA, DevicePath);
    const Dword needed = static_cast<Dword>(offset + path.size() + 1);
    if (requiredSize) *requiredSize = needed;
    if (!detail) return Failed(false, detailSize ? kErrorInvalidUserBuffer : ERROR_INSUFFICIENT_BUFFER);
    if (detailSize < kDeviceInterfaceDetailFixedSize || detail->cbSize != kDeviceInterfaceDetailFixedSize)
        return Failed(false, kErrorInvalidUserBuffer);
    if (detailSize < needed) return Failed(false, ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(reinterpret_cast<char*>(detail) + offset, path.c_str(), path.size() + 1);
    return Ok(true);
}

Call<bool> SimDeviceSetup::InvokeSetupDiDestroyDeviceInfoList(ProcAddress function, Handle deviceInfoSet)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("SetupDiDestroyDeviceInfoList")) return Failed(false, *fault);
    if (!core.CheckProc(function, Export::SetupDiDestroyDeviceInfoList, "SetupDiDestroyDeviceInfoList"))
        return Failed(false, ERROR_INVALID_PARAMETER);
    if (!core.FindHandle(deviceInfoSet, {HandleKind::DeviceInfoSet})) return Failed(false, ERROR_INVALID_HANDLE);
    core.CloseHandleEntry(deviceInfoSet);
    return Ok(true);
}

}  // namespace zenthar::sim::detail
