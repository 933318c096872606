#include "SimSupport.h"

namespace zenthar::sim::test {
namespace {

const std::string kPrinter = "\\\\?\\usb#vid_0525&pid_a700#5&1a2b3c&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
const std::string kOther = "\\\\?\\usb#vid_04b8&pid_0202#6&aa&0&2#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

struct SimUsbTest : ::testing::Test {
    SimMachine machine{Profiles::Windows10x64()};
    Platform& p = machine.platform();
    ProcAddress getClassDevs = 0, enumInterfaces = 0, getDetail = 0, destroy = 0;

    void SetUp() override
    {
        auto setup = p.modules.LoadLibraryA("SETUPAPI.DLL");
        getClassDevs = p.modules.GetProcAddress(setup.value, "SetupDiGetClassDevsA").value;
        enumInterfaces = p.modules.GetProcAddress(setup.value, "SetupDiEnumDeviceInterfaces").value;
        getDetail = p.modules.GetProcAddress(setup.value, "SetupDiGetDeviceInterfaceDetailA").value;
        destroy = p.modules.GetProcAddress(setup.value, "SetupDiDestroyDeviceInfoList").value;
    }

    // The present USB printer interfaces, found the way the installer finds them.
    std::vector<std::string> PresentPrinters()
    {
        auto set = p.setup.InvokeSetupDiGetClassDevsA(getClassDevs, &kUsbPrintInterfaceClass, nullptr, kNoHandle,
                                                      DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        EXPECT_NE(set.value, kInvalidHandle);
        std::vector<std::string> paths;
        for (Dword index = 0;; ++index) {
            SpDeviceInterfaceData data{};
            data.cbSize = sizeof data;
            auto found = p.setup.InvokeSetupDiEnumDeviceInterfaces(enumInterfaces, set.value, nullptr,
                                                                   &kUsbPrintInterfaceClass, index, &data);
            if (!found.value) {
                EXPECT_EQ(found.error, ERROR_NO_MORE_ITEMS);
                break;
            }
            Dword required = 0;
            auto sizing = p.setup.InvokeSetupDiGetDeviceInterfaceDetailA(getDetail, set.value, &data, nullptr, 0,
                                                                         &required, nullptr);
            EXPECT_EQ(sizing.error, ERROR_INSUFFICIENT_BUFFER);
            std::vector<std::uint8_t> buffer(required);
            auto* detail = reinterpret_cast<SpDeviceInterfaceDetailDataA*>(buffer.data());
            detail->cbSize = kDeviceInterfaceDetailFixedSize;
            EXPECT_TRUE(p.setup
                            .InvokeSetupDiGetDeviceInterfaceDetailA(getDetail, set.value, &data, detail, required,
                                                                    nullptr, nullptr)
                            .value);
            paths.emplace_back(reinterpret_cast<const char*>(buffer.data()) + 4);
        }
        EXPECT_TRUE(p.setup.InvokeSetupDiDestroyDeviceInfoList(destroy, set.value).value);
        return paths;
    }

    Call<Handle> Open(const std::string& path)
    {
        return p.io.CreateFileA((path + "\\USB0/4").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, kNoHandle);
    }
};

TEST_F(SimUsbTest, EnumerationListsPresentPrintersWithExactDetailSizes)
{
    machine.AddUsbPrinter(kPrinter, 1);
    machine.AddUsbPrinter(kOther, 2);
    EXPECT_EQ(PresentPrinters(), (std::vector<std::string>{kPrinter, kOther}));
    machine.SetUsbPresent(kOther, false);
    EXPECT_EQ(PresentPrinters(), (std::vector<std::string>{kPrinter}));

    auto set = p.setup.InvokeSetupDiGetClassDevsA(getClassDevs, &kUsbPrintInterfaceClass, nullptr, kNoHandle, 0x12);
    SpDeviceInterfaceData data{};
    data.cbSize = 28 + 1;
    EXPECT_EQ(
        p.setup
            .InvokeSetupDiEnumDeviceInterfaces(enumInterfaces, set.value, nullptr, &kUsbPrintInterfaceClass, 0, &data)
            .error,
        kErrorInvalidUserBuffer);
    data.cbSize = sizeof data;
    ASSERT_TRUE(
        p.setup
            .InvokeSetupDiEnumDeviceInterfaces(enumInterfaces, set.value, nullptr, &kUsbPrintInterfaceClass, 0, &data)
            .value);
    Dword required = 0;
    p.setup.InvokeSetupDiGetDeviceInterfaceDetailA(getDetail, set.value, &data, nullptr, 0, &required, nullptr);
    EXPECT_EQ(required, 4 + kPrinter.size() + 1);
    std::vector<std::uint8_t> buffer(required);
    auto* detail = reinterpret_cast<SpDeviceInterfaceDetailDataA*>(buffer.data());
    detail->cbSize = static_cast<Dword>(required);
    EXPECT_EQ(
        p.setup.InvokeSetupDiGetDeviceInterfaceDetailA(getDetail, set.value, &data, detail, required, nullptr, nullptr)
            .error,
        kErrorInvalidUserBuffer);
    p.setup.InvokeSetupDiDestroyDeviceInfoList(destroy, set.value);
    EXPECT_EQ(p.setup.InvokeSetupDiDestroyDeviceInfoList(destroy, set.value).error, ERROR_INVALID_HANDLE);
}

TEST_F(SimUsbTest, DeviceOpensExclusivelyAndItsPortNumberIsInTheRegistry)
{
    machine.AddUsbPrinter(kPrinter, 12);
    auto first = Open(kPrinter);
    ASSERT_NE(first.value, kInvalidHandle);
    EXPECT_EQ(Open(kPrinter).error, kErrorSharingViolation);
    EXPECT_EQ(Open(kOther).error, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(p.kernel.CloseHandle(first.value).value);

    std::string key = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\";
    for (char c : kPrinter) key.push_back(c == '\\' ? '#' : c);
    key += "\\#\\Device Parameters";
    EXPECT_EQ(key, SimMachine::UsbDeviceParametersKey(kPrinter));
    RegKey parameters = 0;
    ASSERT_EQ(p.registry.RegOpenKeyExA(kHkeyLocalMachine, key.c_str(), 0, KEY_READ, &parameters).value, 0);
    Dword port = 0, size = sizeof port;
    EXPECT_EQ(p.registry
                  .RegQueryValueExA(parameters, "Port Number", nullptr, nullptr, reinterpret_cast<std::uint8_t*>(&port),
                                    &size)
                  .value,
              0);
    EXPECT_EQ(port, 12u);
    p.registry.RegCloseKey(parameters);
}

TEST_F(SimUsbTest, EveryWriteRequestIsRecordedWithItsBytes)
{
    machine.AddUsbPrinter(kPrinter);
    auto device = Open(kPrinter);
    auto event = p.kernel.CreateEventA(nullptr, false, false, nullptr);
    std::vector<std::uint8_t> data(150);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
    for (std::size_t at = 0; at < data.size(); at += 64) {
        Overlapped overlapped{};
        overlapped.hEvent = event.value;
        const Dword piece = static_cast<Dword>(std::min<std::size_t>(64, data.size() - at));
        Dword written = 0;
        ASSERT_TRUE(p.io.WriteFile(device.value, data.data() + at, piece, &written, &overlapped).value);
        EXPECT_EQ(written, piece);
        EXPECT_EQ(p.kernel.WaitForSingleObject(event.value, 0).value, WAIT_OBJECT_0) << "the request's event is set";
    }
    const auto writes = machine.UsbWrites(kPrinter);
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0].size(), 64u);
    EXPECT_EQ(writes[1].size(), 64u);
    EXPECT_EQ(writes[2].size(), 22u);
    EXPECT_EQ(writes[2].back(), 149);

    machine.QueueUsbWriteBehaviours(kPrinter, {UsbWriteBehaviour::Fail(ERROR_GEN_FAILURE)});
    Overlapped overlapped{};
    EXPECT_EQ(p.io.WriteFile(device.value, data.data(), 1, nullptr, &overlapped).error, ERROR_GEN_FAILURE);
    EXPECT_TRUE(p.io.WriteFile(device.value, data.data(), 1, nullptr, &overlapped).value) << "the queue is used up";
    EXPECT_EQ(machine.UsbWriteAttempts(kPrinter), 5u);
    EXPECT_EQ(machine.UsbWrites(kPrinter).size(), 4u);
}

TEST_F(SimUsbTest, PendingWritesCompleteOnVirtualTimeOrAreCancelled)
{
    machine.AddUsbPrinter(kPrinter);
    auto device = Open(kPrinter);
    auto event = p.kernel.CreateEventA(nullptr, true, true, nullptr);
    machine.SetUsbWriteBehaviour(kPrinter, UsbWriteBehaviour::Pending(300));
    const std::uint8_t zero = 0;
    Overlapped overlapped{};
    overlapped.hEvent = event.value;
    Dword done = 0;
    auto write = p.io.WriteFile(device.value, &zero, 1, &done, &overlapped);
    EXPECT_FALSE(write.value);
    EXPECT_EQ(write.error, ERROR_IO_PENDING);
    EXPECT_EQ(p.kernel.WaitForSingleObject(event.value, 0).value, WAIT_TIMEOUT) << "a new request clears the event";
    EXPECT_EQ(p.io.GetOverlappedResult(device.value, &overlapped, &done, false).error, ERROR_IO_INCOMPLETE);
    p.clock.Sleep(299);
    EXPECT_EQ(p.io.GetOverlappedResult(device.value, &overlapped, &done, false).error, ERROR_IO_INCOMPLETE);
    p.clock.Sleep(1);
    EXPECT_EQ(p.kernel.WaitForSingleObject(event.value, 0).value, WAIT_OBJECT_0);
    ASSERT_TRUE(p.io.GetOverlappedResult(device.value, &overlapped, &done, false).value);
    EXPECT_EQ(done, 1u);
    EXPECT_EQ(machine.UsbWrites(kPrinter).size(), 1u);

    machine.SetUsbWriteBehaviour(kPrinter, UsbWriteBehaviour::Pending());
    const Dword before = p.clock.GetTickCount();
    EXPECT_EQ(p.io.WriteFile(device.value, &zero, 1, &done, &overlapped).error, ERROR_IO_PENDING);
    p.clock.Sleep(60000);
    EXPECT_EQ(p.io.GetOverlappedResult(device.value, &overlapped, &done, false).error, ERROR_IO_INCOMPLETE);
    EXPECT_TRUE(p.io.CancelIo(device.value).value);
    EXPECT_EQ(p.io.GetOverlappedResult(device.value, &overlapped, &done, false).error, ERROR_OPERATION_ABORTED);
    EXPECT_EQ(machine.UsbWrites(kPrinter).size(), 1u);
    EXPECT_EQ(p.clock.GetTickCount() - before, 60000u);
    EXPECT_EQ(machine.Pauses(), (std::vector<Dword>{299, 1, 60000}));
}

TEST_F(SimUsbTest, UnpluggedPrinterComesBackAfterTheGivenAttempts)
{
    machine.AddUsbPrinter(kPrinter);
    auto old = Open(kPrinter);
    machine.UnplugUsb(kPrinter, 2);
    const std::uint8_t byte = 0;
    Overlapped overlapped{};
    EXPECT_EQ(p.io.WriteFile(old.value, &byte, 1, nullptr, &overlapped).error, ERROR_DEVICE_NOT_CONNECTED);
    EXPECT_TRUE(PresentPrinters().empty());
    EXPECT_EQ(Open(kPrinter).error, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(PresentPrinters(), std::vector<std::string>{kPrinter}) << "the third attempt finds it";
    auto fresh = Open(kPrinter);
    ASSERT_NE(fresh.value, kInvalidHandle) << "the dead handle does not hold the device";
    EXPECT_TRUE(p.io.WriteFile(fresh.value, &byte, 1, nullptr, &overlapped).value);
    EXPECT_EQ(p.io.WriteFile(old.value, &byte, 1, nullptr, &overlapped).error, ERROR_DEVICE_NOT_CONNECTED);
}

TEST_F(SimUsbTest, ReadsAndSerialFunctionsOnAPrinter)
{
    machine.AddUsbPrinter(kPrinter);
    auto device = Open(kPrinter);
    Dword errors = 0;
    ComStat status{};
    EXPECT_EQ(p.io.ClearCommError(device.value, &errors, &status).error, kErrorInvalidFunction);
    EXPECT_EQ(p.io.PurgeComm(device.value, PURGE_ALL).error, kErrorInvalidFunction);

    std::uint8_t buffer[8] = {};
    Overlapped overlapped{};
    Dword read = 0;
    EXPECT_EQ(p.io.ReadFile(device.value, buffer, sizeof buffer, &read, &overlapped).error, ERROR_IO_PENDING);
    machine.QueueUsbRead(kPrinter, {0x10, 0x20, 0x30});
    ASSERT_TRUE(p.io.GetOverlappedResult(device.value, &overlapped, &read, false).value);
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(buffer[2], 0x30);

    machine.SetUsbCommFunctionsSupported(kPrinter, true);
    machine.QueueUsbRead(kPrinter, {1, 2});
    ASSERT_TRUE(p.io.ClearCommError(device.value, &errors, &status).value);
    EXPECT_EQ(status.cbInQue, 2u);
    EXPECT_TRUE(p.io.PurgeComm(device.value, PURGE_ALL).value);
    ASSERT_TRUE(p.io.ClearCommError(device.value, &errors, &status).value);
    EXPECT_EQ(status.cbInQue, 0u);
}

}  // namespace
}  // namespace zenthar::sim::test
