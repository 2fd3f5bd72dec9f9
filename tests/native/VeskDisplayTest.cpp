// The display probe on the registries of a Windows XP machine with two adapters, a
// Windows 2000 and a Windows 98 machine (tests/fixtures/display-*.reg), and on a
// scripted screen.
#include "probes/hardware/Vesk_Display.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Vesk_Common.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ProbeTesting.h"

namespace vardak::probes {
namespace {

using platform::DeviceCapability;
using platform::DisplayMode;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakePlatform;
using testing::sectionLines;

constexpr const char* kNvidiaVideoID = "{5D2D8B8C-2F7B-4A37-9A52-1D9E5B6B6C2E}";
constexpr const char* kNvidiaDeviceParameters =
    "[-HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\"
    "VEN_10DE&DEV_0110&SUBSYS_00000000&REV_B2\\4&2d2a3b7a&0&0008\\Device Parameters]\n";

std::vector<std::string> linesOf(const TStrings& list) {
    std::vector<std::string> lines;
    for (int index = 0; index < list.count(); ++index) {
        lines.push_back(list.strings(index));
    }
    return lines;
}

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override { ResetOstrelRoutines(); }
    void TearDown() override { ResetOstrelRoutines(); }

    void poseAsXP(const char* extraRegText = "") {
        machine.systemFake.poseAsWindowsXP();
        machine.loadRegistryFixture("display-xp.reg");
        machine.loadRegistry(std::string("REGEDIT4\n") + extraRegText);
    }
    void poseAs2000() {
        machine.systemFake.poseAsWindows2000();
        machine.loadRegistryFixture("display-2000.reg");
    }
    void poseAs98() {
        machine.systemFake.poseAsWindows98(true);
        machine.loadRegistryFixture("display-98.reg");
    }

    // A probe created and refreshed on the machine as it is now.
    std::unique_ptr<TDisplay> refreshedProbe() { return testing::refreshedProbe<TDisplay>(machine); }

    FakePlatform machine;
};

// ---------------------------------------------------------------- the adapter

TEST_F(DisplayTest, XPTakesTheFirstDisplayDeviceOfTheFirstDriverInstance) {
    poseAsXP();
    const auto display = refreshedProbe();
    // The ATI card comes first below Enum but is driver instance 0001.
    EXPECT_EQ(display->Adapter(), "NVIDIA GeForce2 MX/MX 400");
    EXPECT_EQ(display->driverKey(), "{4D36E968-E325-11CE-BFC1-08002BE10318}\\0000");
    EXPECT_EQ(display->service(), "nv");
    EXPECT_EQ(display->deviceParam(), kNvidiaVideoID);
}

TEST_F(DisplayTest, XPReadsTheHardwareInformationOfTheVideoKeyTheDeviceNames) {
    poseAsXP();
    const auto display = refreshedProbe();
    EXPECT_EQ(display->Chipset(), "GeForce2 MX");
    EXPECT_EQ(display->DAC(), "Integrated RAMDAC");
    EXPECT_EQ(display->Memory(), 32 * 1024 * 1024);
}

TEST_F(DisplayTest, WithoutDeviceParameterTheServicesDevice0KeyIsRead) {
    poseAsXP(kNvidiaDeviceParameters);
    const auto display = refreshedProbe();
    EXPECT_EQ(display->Adapter(), "NVIDIA GeForce2 MX/MX 400");
    EXPECT_EQ(display->deviceParam(), "");
    EXPECT_EQ(display->Chipset(), "GeForce2 MX (first install)");
    EXPECT_EQ(display->DAC(), "Integrated RAMDAC (first install)");
    EXPECT_EQ(display->Memory(), 16 * 1024 * 1024);
}

TEST_F(DisplayTest, Windows2000NamesTheAdapterByItsFriendlyNameAndReadsDevice0) {
    poseAs2000();
    const auto display = refreshedProbe();
    EXPECT_EQ(display->Adapter(), "ATI Rage 128 Pro AGP 4X");
    EXPECT_EQ(display->service(), "ati2mpad");
    // "Device Parameters" holds only a number.
    EXPECT_EQ(display->deviceParam(), "");
    // The chip type's text ends with the value, without a NUL character.
    EXPECT_EQ(display->Chipset(), "Rage 128 Pro");
    EXPECT_EQ(display->DAC(), "Internal DAC(250MHz)");
    EXPECT_EQ(display->Memory(), 32 * 1024 * 1024);
    EXPECT_EQ(display->BIOSVersion(), "113-64401-100");
    EXPECT_EQ(display->BIOSDate(), "01/05/00");
}

TEST_F(DisplayTest, Windows98ReadsTheDriversInfoKey) {
    poseAs98();
    const auto display = refreshedProbe();
    EXPECT_EQ(display->Adapter(), "NVIDIA GeForce2 MX/MX 400");
    EXPECT_EQ(display->driverKey(), "Display\\0000");
    EXPECT_EQ(display->Chipset(), "NVIDIA GeForce2 MX");
    EXPECT_EQ(display->DAC(), "Integrated RAMDAC");
    EXPECT_EQ(display->Memory(), 0x02000000);
    EXPECT_EQ(display->BIOSVersion(), "");
    EXPECT_EQ(display->BIOSDate(), "");
}

TEST_F(DisplayTest, Windows98WithoutInfoKeyLeavesTheDetailsEmpty) {
    poseAs98();
    machine.loadRegistry(
        "REGEDIT4\n[-HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Display\\0000\\INFO]\n");
    const auto display = refreshedProbe();
    EXPECT_EQ(display->Adapter(), "NVIDIA GeForce2 MX/MX 400");
    EXPECT_EQ(display->Chipset(), "");
    EXPECT_EQ(display->DAC(), "");
    EXPECT_EQ(display->Memory(), 0);
}

TEST_F(DisplayTest, WithoutDisplayDeviceNoAdapterKeyIsRead) {
    machine.systemFake.poseAsWindowsXP();
    // The service path without a service name: not an adapter's key.
    machine.loadRegistry(
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\\\Device0]\n"
        "\"HardwareInformation.MemorySize\"=hex:00,00,00,02\n");
    const auto display = refreshedProbe();
    EXPECT_EQ(display->Adapter(), "");
    EXPECT_EQ(display->service(), "");
    EXPECT_EQ(display->driverKey(), "");
    EXPECT_EQ(display->Chipset(), "");
    EXPECT_EQ(display->Memory(), 0);
}

TEST_F(DisplayTest, Windows98WithoutDisplayDeviceReadsNoInfoKey) {
    machine.systemFake.poseAsWindows98();
    // The driver path without a driver key: the class root's own INFO.
    machine.loadRegistry(
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\INFO]\n"
        "\"ChipType\"=\"not an adapter\"\n\"VideoMemory\"=dword:00000010\n");
    const auto display = refreshedProbe();
    EXPECT_EQ(display->Adapter(), "");
    EXPECT_EQ(display->Chipset(), "");
    EXPECT_EQ(display->Memory(), 0);
}

TEST_F(DisplayTest, TheAdapterIsFixedAtCreationAndTheDetailsFollowTheRegistry) {
    poseAsXP();
    const OstrelRoutinesSession session(machine);
    TDisplay display(machine);
    display.GetInfo();
    ASSERT_EQ(display.Chipset(), "GeForce2 MX");
    machine.loadRegistry(
        "REGEDIT4\n[-HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI]\n"
        "[-HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Video]\n");
    display.GetInfo();
    EXPECT_EQ(display.Adapter(), "NVIDIA GeForce2 MX/MX 400");
    EXPECT_EQ(display.deviceParam(), kNvidiaVideoID);
    EXPECT_EQ(display.Chipset(), "");
    EXPECT_EQ(display.DAC(), "");
    EXPECT_EQ(display.Memory(), 0);
}

TEST_F(DisplayTest, OverlongHardwareValuesAreCutAndADWordMemorySizeIsRead) {
    const std::string videoKey = std::string("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Video\\") +
                                 kNvidiaVideoID + "\\0000]\n";
    std::string tooLong = "\"HardwareInformation.ChipType\"=hex:41,00";
    for (int index = 0; index < 127; ++index) {
        tooLong += ",42,00";  // 256 bytes: the last character lies past the 255 read
    }
    poseAsXP((videoKey + tooLong + "\n\"HardwareInformation.MemorySize\"=dword:02000000\n"
                                   "\"HardwareInformation.DacType\"=\"a text, not wide\"\n")
                 .c_str());
    const auto display = refreshedProbe();
    EXPECT_EQ(display->Chipset(), "A" + std::string(126, 'B'));
    EXPECT_EQ(display->Memory(), 0x02000000);
    EXPECT_EQ(display->DAC(), "");
}

TEST_F(DisplayTest, ShortValuesAreReadOnlyAsFarAsTheyGo) {
    const std::string videoKey = std::string("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Video\\") +
                                 kNvidiaVideoID + "\\0000]\n";
    poseAsXP((videoKey + "\"HardwareInformation.ChipType\"=hex:4e,00,56,00,31\n"
                         "\"HardwareInformation.DacType\"=hex:\n"
                         "\"HardwareInformation.MemorySize\"=hex:00,00,40\n")
                 .c_str());
    const auto display = refreshedProbe();
    EXPECT_EQ(display->Chipset(), "NV");
    EXPECT_EQ(display->DAC(), "");
    EXPECT_EQ(display->Memory(), 0x400000);
}

// ---------------------------------------------------------------- video BIOS

TEST_F(DisplayTest, TheVideoBiosVersionJoinsItsTexts) {
    poseAsXP();
    const auto display = refreshedProbe();
    EXPECT_EQ(display->BIOSVersion(), "Version 3.11.01.24.N6NVIDIA GeForce2 MX");
    EXPECT_EQ(display->BIOSDate(), "06/11/01");
}

TEST_F(DisplayTest, AVideoBiosVersionBeyondTheBufferIsCutThere) {
    std::string version = "\"VideoBiosVersion\"=hex:41";
    for (int index = 0; index < 1024; ++index) {
        version += ",42";
    }
    poseAsXP(("[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System]\n" + version + "\n").c_str());
    const auto display = refreshedProbe();
    EXPECT_EQ(display->BIOSVersion(), "A" + std::string(1023, 'B'));
    EXPECT_EQ(display->BIOSDate(), "06/11/01");
}

TEST_F(DisplayTest, AVideoBiosVersionWithoutTerminatorEndsWithItsData) {
    poseAsXP("[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System]\n"
             "\"VideoBiosVersion\"=hex:56,31,00,56,32\n");
    const auto display = refreshedProbe();
    EXPECT_EQ(display->BIOSVersion(), "V1V2");
}

// ---------------------------------------------------------------- capability words

TEST(DisplayCapabilitiesTest, AWordOfZeroGivesEmptySets) {
    EXPECT_TRUE(CurveCapsOf(0).empty());
    EXPECT_TRUE(LineCapsOf(0).empty());
    EXPECT_TRUE(PolygonCapsOf(0).empty());
    EXPECT_TRUE(RasterCapsOf(0).empty());
    EXPECT_TRUE(TextCapsOf(0).empty());
}

TEST(DisplayCapabilitiesTest, AFullWordGivesEveryMember) {
    EXPECT_EQ(CurveCapsOf(0xFFFFFFFF).bits, 0x1FFu);
    EXPECT_EQ(LineCapsOf(0xFFFFFFFF).bits, 0x7Fu);
    EXPECT_EQ(PolygonCapsOf(0xFFFFFFFF).bits, 0xFFu);
    EXPECT_EQ(RasterCapsOf(0xFFFFFFFF).bits, 0x7FFu);
    EXPECT_EQ(TextCapsOf(0xFFFFFFFF).bits, 0xFFFFu);
}

TEST(DisplayCapabilitiesTest, AMixedWordSetsTheMembersOfItsBits) {
    // Transfer, SetDIBits and GetDIBits, SetDIBitsToDevice, StretchBlt, StretchDIBits,
    // and two bits no member stands for (0x4000, 0x8000).
    const TRasterCaps raster = RasterCapsOf(0xEA81);
    TRasterCaps expectedRaster;
    for (TRasterCap member : {TRasterCap::rcTranserBitmaps, TRasterCap::rcSetGetDIBits,
                              TRasterCap::rcSetDIBitsToDevice, TRasterCap::rcStretchBlt,
                              TRasterCap::rcStretchDIBits}) {
        expectedRaster.include(member);
    }
    EXPECT_EQ(raster, expectedRaster);
    EXPECT_FALSE(raster.contains(TRasterCap::rcRequiresBanding));

    const TTextCaps text = TextCapsOf(0x18601);
    EXPECT_TRUE(text.contains(TTextCap::tcCharOutPrec));
    EXPECT_TRUE(text.contains(TTextCap::tcDoubleWeightChars));
    EXPECT_TRUE(text.contains(TTextCap::tcItalics));
    EXPECT_TRUE(text.contains(TTextCap::tcNoScrollUsingBlts));
    EXPECT_EQ(text.bits, 0x8601u);

    // Bit 0 has no line member; polylines are bit 1.
    EXPECT_TRUE(LineCapsOf(0x1).empty());
    EXPECT_EQ(LineCapsOf(0x2).bits, 0x1u);
    EXPECT_EQ(CurveCapsOf(0x101).bits, 0x101u);
    EXPECT_EQ(PolygonCapsOf(0x82).bits, 0x82u);
}

// ---------------------------------------------------------------- the screen

class DisplayScreenTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        poseAsXP();
        auto& screen = machine.displayFake;
        screen.poseAsScreen(1280, 1024, 32);
        screen.capabilities[DeviceCapability::LogPixelsY] = 96;
        screen.capabilities[DeviceCapability::HorzSize] = 338;
        screen.capabilities[DeviceCapability::VertSize] = 270;
        screen.capabilities[DeviceCapability::AspectX] = 36;
        screen.capabilities[DeviceCapability::AspectY] = 36;
        screen.capabilities[DeviceCapability::AspectXY] = 51;
        screen.capabilities[DeviceCapability::CurveCaps] = 0;
        screen.capabilities[DeviceCapability::LineCaps] = 0xFE;
        screen.capabilities[DeviceCapability::PolygonalCaps] = 0xFF;
        screen.capabilities[DeviceCapability::RasterCaps] = 0x7E99;
        screen.capabilities[DeviceCapability::TextCaps] = 0x7807;
        screen.modes = {{640, 480, 8, 60}, {640, 480, 8, 75}, {1024, 768, 16, 60}, {1280, 1024, 32, 60}};
    }
};

TEST_F(DisplayScreenTest, ReadsTheScreenThroughOneContextItReleases) {
    const auto display = refreshedProbe();
    EXPECT_EQ(display->HorzRes(), 1280);
    EXPECT_EQ(display->VertRes(), 1024);
    EXPECT_EQ(display->ColorDepth(), 32);
    EXPECT_EQ(display->FontResolution(), 96u);
    EXPECT_EQ(display->Technology(), "Raster Display");
    EXPECT_EQ(display->physicalWidth(), 338);
    EXPECT_EQ(display->physicalHeight(), 270);
    EXPECT_EQ(display->PixelWidth(), 36);
    EXPECT_EQ(display->PixelHeight(), 36);
    EXPECT_EQ(display->PixelDiagonal(), 51);
    EXPECT_EQ(machine.displayFake.contextsOpened, 1);
    EXPECT_EQ(machine.displayFake.contextsOpen, 0);
}

TEST_F(DisplayScreenTest, EveryTechnologyCodeHasItsTextAndOthersKeepThePreviousOne) {
    const char* const texts[] = {"Vector Plotter", "Raster Display", "Raster Printer", "Raster Camera",
                                 "Character Stream", "Metafile", "Display File"};
    const OstrelRoutinesSession session(machine);
    TDisplay display(machine);
    for (int32_t code = 0; code < 7; ++code) {
        machine.displayFake.capabilities[DeviceCapability::Technology] = code;
        display.GetInfo();
        EXPECT_EQ(display.Technology(), texts[code]) << code;
    }
    machine.displayFake.capabilities[DeviceCapability::Technology] = 7;
    display.GetInfo();
    EXPECT_EQ(display.Technology(), "Display File");
    machine.displayFake.capabilities[DeviceCapability::Technology] = -1;
    display.GetInfo();
    EXPECT_EQ(display.Technology(), "Display File");
}

TEST_F(DisplayScreenTest, CapabilitySetsAreRebuiltByEveryRefresh) {
    const OstrelRoutinesSession session(machine);
    TDisplay display(machine);
    display.GetInfo();
    EXPECT_TRUE(display.CurveCaps().empty());
    EXPECT_EQ(display.LineCaps().bits, 0x7Fu);
    EXPECT_EQ(display.PolygonCaps().bits, 0xFFu);
    machine.displayFake.capabilities[DeviceCapability::LineCaps] = 0;
    machine.displayFake.capabilities[DeviceCapability::CurveCaps] = 0x1FF;
    display.GetInfo();
    EXPECT_TRUE(display.LineCaps().empty());
    EXPECT_EQ(display.CurveCaps().bits, 0x1FFu);
}

TEST_F(DisplayScreenTest, WithoutScreenContextTheScreenValuesAreZero) {
    machine.displayFake.screenAvailable = false;
    const auto display = refreshedProbe();
    EXPECT_EQ(display->HorzRes(), 0);
    EXPECT_EQ(display->ColorDepth(), 0);
    EXPECT_EQ(display->FontResolution(), 0u);
    EXPECT_EQ(display->Technology(), "");
    EXPECT_TRUE(display->TextCaps().empty());
    // The rest of the refresh does not depend on it.
    EXPECT_EQ(display->Chipset(), "GeForce2 MX");
    EXPECT_EQ(display->Modes().count(), 4);
}

TEST_F(DisplayScreenTest, TheModeListKeepsThePlatformsOrderAndRepeats) {
    const auto display = refreshedProbe();
    EXPECT_THAT(linesOf(display->Modes()),
                ElementsAre("640 x 480 - 8 bit", "640 x 480 - 8 bit", "1024 x 768 - 16 bit", "1280 x 1024 - 32 bit"));
    // Asked up to the first mode number without a mode.
    EXPECT_THAT(machine.displayFake.modeQueries, ElementsAre(0u, 1u, 2u, 3u, 4u));
}

TEST_F(DisplayScreenTest, TheModeListIsReplacedByEveryRefresh) {
    const OstrelRoutinesSession session(machine);
    TDisplay display(machine);
    display.GetInfo();
    machine.displayFake.modes = {{800, 600, 24, 0}};
    display.GetInfo();
    EXPECT_THAT(linesOf(display.Modes()), ElementsAre("800 x 600 - 24 bit"));
    machine.displayFake.modes.clear();
    display.GetInfo();
    EXPECT_EQ(display.Modes().count(), 0);
}

// ---------------------------------------------------------------- the report

TEST_F(DisplayScreenTest, ReportsEverySectionInOrder) {
    const auto display = refreshedProbe();
    TStringList report;
    report.add("[Before]");
    display->Report(report);
    const std::vector<std::string> expected = {
        "[Before]",
        "[Display]",
        "Adapter=NVIDIA GeForce2 MX/MX 400",
        "Chipset=GeForce2 MX",
        "DAC=Integrated RAMDAC",
        "Memory=33554432",
        "BIOSVersion=Version 3.11.01.24.N6NVIDIA GeForce2 MX",
        "BIOSDate=06/11/01",
        "Technology=Raster Display",
        "HorzRes=1280",
        "VertRes=1024",
        "ColorDepth=32",
        "PixelWidth=36",
        "PixelHeight=36",
        "PixelDiag=51",
        "FontRes=96",
        "[Video Modes]",
        "Count=4",
        "Mode1=640 x 480 - 8 bit",
        "Mode2=640 x 480 - 8 bit",
        "Mode3=1024 x 768 - 16 bit",
        "Mode4=1280 x 1024 - 32 bit",
        "[Curve Capabilities]",
        "Circles=0",
        "Pie Wedges=0",
        "Chords=0",
        "Ellipses=0",
        "Wide Borders=0",
        "Styled Borders=0",
        "Wide and Styled Borders=0",
        "Interiors=0",
        "Rounded Rectangles=0",
        "[Line Capabilities]",
        "Polylines=1",
        "Markers=1",
        "Multiple Markers=1",
        "Wide Lines=1",
        "Styled Lines=1",
        "Wide and Styled Lines=1",
        "Interiors=1",
        "[Polygonal Capabilities]",
        "Alternate Fill Polygons=1",
        "Rectangles=1",
        "Winding Fill Polygons=1",
        "Single Scanlines=1",
        "Wide Borders=1",
        "Styled Borders=1",
        "Wide and Styled Borders=1",
        "Interiors=1",
        // 0x7E99: transfer, 64K bitmaps, 2.0 features, DIB bits, DIB to device,
        // StretchBlt, flood fills, StretchDIBits (0x400 and 0x4000 have no member).
        "[Raster Capabilities]",
        "Requires Banding=0",
        "Can Transer Bitmaps=1",
        "Supports Bitmaps > 64K=1",
        "Supports SetDIBits and GetDIBits=1",
        "Supports SetDIBitsToDevice=1",
        "Can Perform Floodfills=1",
        "Supports Windows 2.0 Features=1",
        "Palette Based=0",
        "Scaling=0",
        "Supports StretchBlt=1",
        "Supports StretchDIBits=1",
        // 0x7807: character and stroke precision, stroke clipping, strikeouts,
        // raster and vector fonts; underlines (0x800) too.
        "[Text Capabilities]",
        "Capable of Character Output Precision=1",
        "Capable of Stroke Output Precision=1",
        "Capable of Stroke Clip Precision=1",
        "Supports 90 Degree Character Rotation=0",
        "Supports Character Rotation to Any Angle=0",
        "X And Y Scale Independent=0",
        "Supports Doubled Character Scaling=0",
        "Supports Integer Multiples Only When Scaling=0",
        "Supports Any Multiples For Exact Character Scaling=0",
        "Supports Double Weight Characters=0",
        "Supports Italics=0",
        "Supports Underlines=1",
        "Supports Strikeouts=1",
        "Supports Raster Fonts=1",
        "Supports Vector Fonts=1",
        "Cannot Scroll Using Blts=0",
    };
    EXPECT_THAT(linesOf(report), ElementsAreArray(expected));
}

TEST_F(DisplayTest, AnEmptyProbeReportsEmptyValuesAndNoModes) {
    const OstrelRoutinesSession session(machine);
    TDisplay display(machine);
    TStringList report;
    display.Report(report);
    EXPECT_THAT(sectionLines(report, "Video Modes"), ElementsAre("Count=0"));
    EXPECT_EQ(sectionLines(report, "Display").front(), "Adapter=");
    EXPECT_EQ(sectionLines(report, "Curve Capabilities").size(), 9u);
    EXPECT_EQ(sectionLines(report, "Line Capabilities").size(), 7u);
    EXPECT_EQ(sectionLines(report, "Polygonal Capabilities").size(), 8u);
    EXPECT_EQ(sectionLines(report, "Raster Capabilities").size(), 11u);
    EXPECT_EQ(sectionLines(report, "Text Capabilities").size(), 16u);
}

TEST_F(DisplayScreenTest, PublishesItsPropertiesInOrder) {
    const auto display = refreshedProbe();
    const PropertyTable table = display->publishedProperties();
    std::vector<std::string> names;
    for (const PublishedProperty& property : table.properties()) {
        names.push_back(property.name);
    }
    EXPECT_THAT(names, ElementsAre("Adapter", "DAC", "Chipset", "Memory", "HorzRes", "VertRes", "ColorDepth",
                                   "BIOSVersion", "BIOSDate", "Technology", "PixelWidth", "PixelHeight",
                                   "PixelDiagonal", "RasterCaps", "CurveCaps", "LineCaps", "PolygonCaps",
                                   "TextCaps", "Modes", "FontResolution"));
    EXPECT_EQ(table.find("CurveCaps")->text, "[]");
    EXPECT_EQ(table.find("PolygonCaps")->typeName, "TPolygonCaps");
    EXPECT_EQ(table.find("TextCaps")->text,
              "[tcCharOutPrec,tcStrokeOutPrec,tcStrokeClipPrec,tcUnderlines,tcStrikeouts,tcRasterFonts,"
              "tcVectorFonts]");
    EXPECT_EQ(table.find("FontResolution")->text, "96");
}

}  // namespace
}  // namespace vardak::probes
