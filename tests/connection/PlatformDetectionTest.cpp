#include <gtest/gtest.h>

#include "connection/PlatformDetection.h"
#include "tests/common/MachineFixture.h"

namespace zenthar::testing {
namespace {

struct Detected {
    OsFamily family;
    Processor processor;
};

Detected Detect(const sim::MachineProfile& profile, InstallSession session = {})
{
    sim::SimMachine machine(profile);
    DetectPlatform(machine.platform(), session);
    return {session.osFamily, session.processor};
}

TEST(DetectPlatform, KnowsEveryFamily)
{
    struct Case {
        sim::MachineProfile profile;
        OsFamily family;
        Processor processor;
    };
    const Case cases[] = {
        {sim::Profiles::Windows95(), OsFamily::Win95, Processor::X86},
        {sim::Profiles::Windows98(), OsFamily::Win98, Processor::X86},
        {sim::Profiles::WindowsMe(), OsFamily::WinMe, Processor::X86},
        {sim::Profiles::NT351(), OsFamily::NT3, Processor::X86},
        {sim::Profiles::NT4(), OsFamily::NT4, Processor::X86},
        {sim::Profiles::Windows2000(), OsFamily::Win2000, Processor::X86},
        {sim::Profiles::WindowsXP(), OsFamily::WinXP, Processor::X86},
        {sim::Profiles::WindowsXPx64(), OsFamily::WinXP, Processor::X64},
        {sim::Profiles::Windows2003(), OsFamily::Win2003, Processor::X86},
        {sim::Profiles::Windows2003R2(), OsFamily::Win2003, Processor::X86},
        {sim::Profiles::WindowsVista(), OsFamily::WinVista, Processor::X86},
        {sim::Profiles::Windows2008(), OsFamily::Win2008, Processor::X86},
        {sim::Profiles::Windows2008Itanium(), OsFamily::Win2008, Processor::Itanium},
        {sim::Profiles::Windows7(), OsFamily::Win7, Processor::X86},
        {sim::Profiles::Windows7x64(), OsFamily::Win7, Processor::X64},
        {sim::Profiles::Windows2008R2(), OsFamily::Win2008, Processor::X64},
        {sim::Profiles::Windows8x64(), OsFamily::Win8, Processor::X64},
        {sim::Profiles::Windows10x64(), OsFamily::Win8, Processor::X64},
        {sim::Profiles::Windows10x86(), OsFamily::Win8, Processor::X86},
    };
    for (const auto& c : cases) {
        const auto detected = Detect(c.profile);
        EXPECT_EQ(detected.family, c.family) << c.profile.name;
        EXPECT_EQ(detected.processor, c.processor) << c.profile.name;
    }
}

TEST(DetectPlatform, Nt52WorkstationOnAmd64IsXpUnlessStorageServerOrR2)
{
    auto profile = sim::Profiles::WindowsXPx64();
    EXPECT_EQ(Detect(profile).family, OsFamily::WinXP);
    profile.suiteMask = 0x2000;
    EXPECT_EQ(Detect(profile).family, OsFamily::Win2003);
    profile = sim::Profiles::WindowsXPx64();
    profile.serverR2Metric = 1;
    EXPECT_EQ(Detect(profile).family, OsFamily::Win2003);
    profile = sim::Profiles::WindowsXPx64();
    profile.productType = 3;
    EXPECT_EQ(Detect(profile).family, OsFamily::Win2003);
}

TEST(DetectPlatform, UnknownVersionsLeaveTheFamilyAsItWas)
{
    auto profile = sim::Profiles::Windows98();
    profile.minorVersion = 3;
    EXPECT_EQ(Detect(profile).family, OsFamily::None);
    InstallSession earlier;
    earlier.osFamily = OsFamily::WinXP;
    EXPECT_EQ(Detect(profile, earlier).family, OsFamily::WinXP);

    profile = sim::Profiles::Windows2003();
    profile.minorVersion = 3;
    EXPECT_EQ(Detect(profile, earlier).family, OsFamily::WinXP);
}

TEST(DetectPlatform, TheBasicVersionRecordIsTheFallbackAndItsMissingFieldsReadZero)
{
    // A server that refuses the extended record reads as a workstation-less 6.1: product type 0.
    auto profile = sim::Profiles::Windows2008R2();
    profile.refusesExtendedVersionInfo = true;
    EXPECT_EQ(Detect(profile).family, OsFamily::Win2008);
    profile = sim::Profiles::Windows7();
    profile.refusesExtendedVersionInfo = true;
    EXPECT_EQ(Detect(profile).family, OsFamily::Win2008);
}

TEST(DetectPlatform, AFailedVersionQueryChangesNothing)
{
    sim::SimMachine machine(sim::Profiles::Windows10x64());
    machine.FailAlways("GetVersionExA", 87);
    InstallSession session;
    session.processor = static_cast<Processor>(7);
    DetectPlatform(machine.platform(), session);
    EXPECT_EQ(session.osFamily, OsFamily::None);
    EXPECT_EQ(session.processor, static_cast<Processor>(7));
}

TEST(DetectPlatform, WithoutTheNativeCallA32BitProgramSeesItsOwnProcessor)
{
    auto profile = sim::Profiles::Windows7x64();
    profile.hasGetNativeSystemInfo = false;
    EXPECT_EQ(Detect(profile).processor, Processor::X86);
}

TEST(ClassifyPort, ByTheFirstCharacters)
{
    EXPECT_EQ(ClassifyPort("COM10:"), PortKind::Com);
    EXPECT_EQ(ClassifyPort("LPT1:"), PortKind::Lpt);
    EXPECT_EQ(ClassifyPort("USB"), PortKind::Usb);
    EXPECT_EQ(ClassifyPort("USB001"), PortKind::Usb);
    EXPECT_EQ(ClassifyPort("TCP/IP"), PortKind::TcpIp);
    EXPECT_EQ(ClassifyPort("TCP/"), PortKind::Com);
    EXPECT_EQ(ClassifyPort("com1:"), PortKind::Com);
    EXPECT_EQ(ClassifyPort("lpt1:"), PortKind::Com);
    EXPECT_EQ(ClassifyPort(""), PortKind::Com);
    EXPECT_EQ(ClassifyPort("FILE:"), PortKind::Com);
}

}  // namespace
}  // namespace zenthar::testing
