#include "probes/hardware/Vesk_Display.h"

#include <array>
#include <optional>
#include <vector>

#include "framework/Exception.h"
#include "framework/Registry.h"
#include "platform/Bytes.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/VersionResource.h"
#include "probes/core/Vesk_Common.h"
#include "probes/hardware/Vesk_Devices.h"

namespace vardak::probes {

using platform::DeviceCapability;

// ---------------------------------------------------------------- capability tables

namespace {

constexpr CapabilityBit<TCurveCap> kCurveBits[] = {
    {TCurveCap::ccCircles, 0x1, "ccCircles", "Circles"},
    {TCurveCap::ccPieWedges, 0x2, "ccPieWedges", "Pie Wedges"},
    {TCurveCap::ccChords, 0x4, "ccChords", "Chords"},
    {TCurveCap::ccEllipses, 0x8, "ccEllipses", "Ellipses"},
    {TCurveCap::ccWideBorders, 0x10, "ccWideBorders", "Wide Borders"},
    {TCurveCap::ccStyledBorders, 0x20, "ccStyledBorders", "Styled Borders"},
    {TCurveCap::ccWideStyledBorders, 0x40, "ccWideStyledBorders", "Wide and Styled Borders"},
    {TCurveCap::ccInteriors, 0x80, "ccInteriors", "Interiors"},
    {TCurveCap::ccRoundedRects, 0x100, "ccRoundedRects", "Rounded Rectangles"},
};

constexpr CapabilityBit<TLineCap> kLineBits[] = {
    {TLineCap::lcPolylines, 0x2, "lcPolylines", "Polylines"},
    {TLineCap::lcMarkers, 0x4, "lcMarkers", "Markers"},
    {TLineCap::lcMultipleMarkers, 0x8, "lcMultipleMarkers", "Multiple Markers"},
    {TLineCap::lcWideLines, 0x10, "lcWideLines", "Wide Lines"},
    {TLineCap::lcStyledLines, 0x20, "lcStyledLines", "Styled Lines"},
    {TLineCap::lcWideStyledLines, 0x40, "lcWideStyledLines", "Wide and Styled Lines"},
    {TLineCap::lcInteriors, 0x80, "lcInteriors", "Interiors"},
};

constexpr CapabilityBit<TPolygonCap> kPolygonBits[] = {
    {TPolygonCap::pcAltFillPolygons, 0x1, "pcAltFillPolygons", "Alternate Fill Polygons"},
    {TPolygonCap::pcRectangles, 0x2, "pcRectangles", "Rectangles"},
    {TPolygonCap::pcWindingFillPolygons, 0x4, "pcWindingFillPolygons", "Winding Fill Polygons"},
    {TPolygonCap::pcSingleScanlines, 0x8, "pcSingleScanlines", "Single Scanlines"},
    {TPolygonCap::pcWideBorders, 0x10, "pcWideBorders", "Wide Borders"},
    {TPolygonCap::pcStyledBorders, 0x20, "pcStyledBorders", "Styled Borders"},
    {TPolygonCap::pcWideStyledBorders, 0x40, "pcWideStyledBorders", "Wide and Styled Borders"},
    {TPolygonCap::pcInteriors, 0x80, "pcInteriors", "Interiors"},
};

constexpr CapabilityBit<TRasterCap> kRasterBits[] = {
    {TRasterCap::rcRequiresBanding, 0x2, "rcRequiresBanding", "Requires Banding"},
    {TRasterCap::rcTranserBitmaps, 0x1, "rcTranserBitmaps", "Can Transer Bitmaps"},
    {TRasterCap::rcBitmaps64K, 0x8, "rcBitmaps64K", "Supports Bitmaps > 64K"},
    {TRasterCap::rcSetGetDIBits, 0x80, "rcSetGetDIBits", "Supports SetDIBits and GetDIBits"},
    {TRasterCap::rcSetDIBitsToDevice, 0x200, "rcSetDIBitsToDevice", "Supports SetDIBitsToDevice"},
    {TRasterCap::rcFloodfills, 0x1000, "rcFloodfills", "Can Perform Floodfills"},
    {TRasterCap::rcWindows2xFeatures, 0x10, "rcWindows2xFeatures", "Supports Windows 2.0 Features"},
    {TRasterCap::rcPaletteBased, 0x100, "rcPaletteBased", "Palette Based"},
    {TRasterCap::rcScaling, 0x4, "rcScaling", "Scaling"},
    {TRasterCap::rcStretchBlt, 0x800, "rcStretchBlt", "Supports StretchBlt"},
    {TRasterCap::rcStretchDIBits, 0x2000, "rcStretchDIBits", "Supports StretchDIBits"},
};

constexpr CapabilityBit<TTextCap> kTextBits[] = {
    {TTextCap::tcCharOutPrec, 0x1, "tcCharOutPrec", "Capable of Character Output Precision"},
    {TTextCap::tcStrokeOutPrec, 0x2, "tcStrokeOutPrec", "Capable of Stroke Output Precision"},
    {TTextCap::tcStrokeClipPrec, 0x4, "tcStrokeClipPrec", "Capable of Stroke Clip Precision"},
    {TTextCap::tcCharRotation90, 0x8, "tcCharRotation90", "Supports 90 Degree Character Rotation"},
    {TTextCap::tcCharRotationAny, 0x10, "tcCharRotationAny", "Supports Character Rotation to Any Angle"},
    {TTextCap::tcScaleIndependent, 0x20, "tcScaleIndependent", "X And Y Scale Independent"},
    {TTextCap::tcDoubledCharScaling, 0x40, "tcDoubledCharScaling", "Supports Doubled Character Scaling"},
    {TTextCap::tcIntMultiScaling, 0x80, "tcIntMultiScaling", "Supports Integer Multiples Only When Scaling"},
    {TTextCap::tcAnyMultiExactScaling, 0x100, "tcAnyMultiExactScaling",
     "Supports Any Multiples For Exact Character Scaling"},
    {TTextCap::tcDoubleWeightChars, 0x200, "tcDoubleWeightChars", "Supports Double Weight Characters"},
    {TTextCap::tcItalics, 0x400, "tcItalics", "Supports Italics"},
    {TTextCap::tcUnderlines, 0x800, "tcUnderlines", "Supports Underlines"},
    {TTextCap::tcStrikeouts, 0x1000, "tcStrikeouts", "Supports Strikeouts"},
    {TTextCap::tcRasterFonts, 0x2000, "tcRasterFonts", "Supports Raster Fonts"},
    {TTextCap::tcVectorFonts, 0x4000, "tcVectorFonts", "Supports Vector Fonts"},
    {TTextCap::tcNoScrollUsingBlts, 0x10000, "tcNoScrollUsingBlts", "Cannot Scroll Using Blts"},
};

template <class Member>
TCapabilitySet<Member> capabilitiesOf(uint32_t word, std::span<const CapabilityBit<Member>> table) {
    TCapabilitySet<Member> set;
    for (const CapabilityBit<Member>& bit : table) {
        if ((word & bit.platformBit) != 0) {
            set.include(bit.member);
        }
    }
    return set;
}

// The member names of a table, in member order, for the published set value.
template <class Member, size_t Count>
constexpr std::array<std::string_view, Count> memberNames(const CapabilityBit<Member> (&table)[Count]) {
    std::array<std::string_view, Count> names{};
    for (const CapabilityBit<Member>& bit : table) {
        names[static_cast<size_t>(bit.member)] = bit.memberName;
    }
    return names;
}

constexpr auto kCurveNames = memberNames(kCurveBits);
constexpr auto kLineNames = memberNames(kLineBits);
constexpr auto kPolygonNames = memberNames(kPolygonBits);
constexpr auto kRasterNames = memberNames(kRasterBits);
constexpr auto kTextNames = memberNames(kTextBits);

template <class Member>
void addCapabilitySection(TStrings& report, std::string_view section, TCapabilitySet<Member> set,
                          std::span<const CapabilityBit<Member>> table) {
    addReportSection(report, section);
    for (const CapabilityBit<Member>& bit : table) {
        addReportEntry(report, bit.reportKey, set.contains(bit.member));
    }
}

constexpr std::string_view kTechnologyTexts[] = {
    "Vector Plotter", "Raster Display", "Raster Printer", "Raster Camera",
    "Character Stream", "Metafile", "Display File",
};

// ---------------------------------------------------------------- registry reading

constexpr std::string_view kNTVideoKey = "\\SYSTEM\\CurrentControlSet\\Control\\Video\\%s\\0000";
constexpr std::string_view kNTServiceDeviceKey = "\\SYSTEM\\CurrentControlSet\\Services\\%s\\Device0";
constexpr std::string_view k9xDriverInfoKey = "\\System\\CurrentControlSet\\Services\\Class\\%s\\INFO";
constexpr size_t kWideTextBufferSize = 255;
constexpr size_t kMemorySizeBytes = 4;
constexpr size_t kBiosVersionBufferSize = 1024;

// A value read as binary data, at most `longest` bytes of it: any kind but text
// (the memory size is binary data or a DWORD, depending on the driver).
std::optional<std::vector<uint8_t>> readBinary(const TRegistry& key, std::string_view name, size_t longest) {
    const std::optional<platform::ValueType> type = key.valueType(name);
    if (!type || *type == platform::ValueType::String || *type == platform::ValueType::ExpandString) {
        return std::nullopt;
    }
    return key.readBytes(name, longest);
}

}  // namespace

std::span<const CapabilityBit<TCurveCap>> curveCapabilityBits() { return kCurveBits; }
std::span<const CapabilityBit<TLineCap>> lineCapabilityBits() { return kLineBits; }
std::span<const CapabilityBit<TPolygonCap>> polygonCapabilityBits() { return kPolygonBits; }
std::span<const CapabilityBit<TRasterCap>> rasterCapabilityBits() { return kRasterBits; }
std::span<const CapabilityBit<TTextCap>> textCapabilityBits() { return kTextBits; }

TCurveCaps CurveCapsOf(uint32_t word) { return capabilitiesOf(word, curveCapabilityBits()); }
TLineCaps LineCapsOf(uint32_t word) { return capabilitiesOf(word, lineCapabilityBits()); }
TPolygonCaps PolygonCapsOf(uint32_t word) { return capabilitiesOf(word, polygonCapabilityBits()); }
TRasterCaps RasterCapsOf(uint32_t word) { return capabilitiesOf(word, rasterCapabilityBits()); }
TTextCaps TextCapsOf(uint32_t word) { return capabilitiesOf(word, textCapabilityBits()); }

std::string_view TechnologyText(int32_t code) {
    if (code < 0 || static_cast<size_t>(code) >= std::size(kTechnologyTexts)) {
        return {};
    }
    return kTechnologyTexts[code];
}

// ---------------------------------------------------------------- the probe

TDisplay::TDisplay(platform::Platform& platform) : platform_(platform) {
    locateAdapter();
}

TDisplay::~TDisplay() = default;

void TDisplay::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("Adapter", adapter_)
        .string("DAC", dac_)
        .string("Chipset", chipset_)
        .integer("Memory", memory_)
        .integer("HorzRes", horzRes_)
        .integer("VertRes", vertRes_)
        .integer("ColorDepth", colorDepth_)
        .string("BIOSVersion", biosVersion_)
        .string("BIOSDate", biosDate_)
        .string("Technology", technology_)
        .integer("PixelWidth", pixelWidth_)
        .integer("PixelHeight", pixelHeight_)
        .integer("PixelDiagonal", pixelDiagonal_)
        .set("RasterCaps", "TRasterCaps", kRasterNames, rasterCaps_.bits)
        .set("CurveCaps", "TCurveCaps", kCurveNames, curveCaps_.bits)
        .set("LineCaps", "TLineCaps", kLineNames, lineCaps_.bits)
        .set("PolygonCaps", "TPolygonCaps", kPolygonNames, polygonCaps_.bits)
        .set("TextCaps", "TTextCaps", kTextNames, textCaps_.bits)
        .object("Modes", &modes_)
        .cardinal("FontResolution", fontResolution_);
}

// The first display-class device of the class's "0000" driver instance, in the
// devices probe's order. A devices refresh that fails part-way leaves the devices
// it read so far to search: the probe's creation does not fail with it.
void TDisplay::locateAdapter() {
    TDevices devices(platform_);
    try {
        devices.GetInfo();
    } catch (const Exception&) {
    }
    for (int index = 0; index < devices.Count(); ++index) {
        const TDevice* device = devices.Device(index);
        if (device == nullptr || device->DeviceClass != device_class::kDisplay ||
            device->Driver.find("0000") == std::string::npos) {
            continue;
        }
        adapter_ = device->FriendlyName.empty() ? device->Description : device->FriendlyName;
        service_ = device->Service;
        driver_ = device->Driver;
        deviceParam_ = device->DeviceParam;
        return;
    }
}

void TDisplay::GetInfo() {
    readAdapterDetails();
    readVideoBIOS();
    readScreen();
    readModes();
}

void TDisplay::readAdapterDetails() {
    dac_.clear();
    chipset_.clear();
    memory_ = 0;
    if (IsNTLine(platform_)) {
        readNTAdapterDetails();
    } else {
        read9xAdapterDetails();
    }
}

void TDisplay::readNTAdapterDetails() {
    // Without a located adapter the paths would name no adapter's key at all.
    if (deviceParam_.empty() && service_.empty()) {
        return;
    }
    TRegistry key(platform_.registry(), platform::RootKey::LocalMachine);
    const std::string path = deviceParam_.empty() ? Format(kNTServiceDeviceKey, {service_})
                                                  : Format(kNTVideoKey, {deviceParam_});
    if (!key.openKeyReadOnly(path)) {
        return;
    }
    if (const auto dac = readBinary(key, "HardwareInformation.DacType", kWideTextBufferSize)) {
        dac_ = AnsiFromUtf16(*dac);
    }
    if (const auto chip = readBinary(key, "HardwareInformation.ChipType", kWideTextBufferSize)) {
        chipset_ = AnsiFromUtf16(*chip);
    }
    if (const auto size = readBinary(key, "HardwareInformation.MemorySize", kMemorySizeBytes)) {
        memory_ = static_cast<int32_t>(bytes::littleEndian(*size, 0, size->size()).value_or(0));
    }
}

void TDisplay::read9xAdapterDetails() {
    if (driver_.empty()) {
        return;
    }
    TRegistry key(platform_.registry(), platform::RootKey::LocalMachine);
    if (!key.openKeyReadOnly(Format(k9xDriverInfoKey, {driver_}))) {
        return;
    }
    dac_ = key.readText("DacType").value_or("");
    chipset_ = key.readText("ChipType").value_or("");
    memory_ = static_cast<int32_t>(key.readDWord("VideoMemory").value_or(0));
}

void TDisplay::readVideoBIOS() {
    biosVersion_.clear();
    biosDate_.clear();
    TRegistry key(platform_.registry(), platform::RootKey::LocalMachine);
    if (!key.openKeyReadOnly(kHardwareDescriptionKey)) {
        return;
    }
    if (const auto version = readBinary(key, "VideoBiosVersion", kBiosVersionBufferSize)) {
        biosVersion_ = JoinMultiString(*version);
    }
    biosDate_ = key.readText("VideoBiosDate").value_or("");
}

void TDisplay::readScreen() {
    const std::unique_ptr<platform::DeviceContext> screen = platform_.display().screenContext();
    const auto capability = [&screen](DeviceCapability index) {
        return screen ? screen->capability(index) : 0;
    };
    fontResolution_ = static_cast<uint32_t>(capability(DeviceCapability::LogPixelsY));
    horzRes_ = capability(DeviceCapability::HorzRes);
    vertRes_ = capability(DeviceCapability::VertRes);
    colorDepth_ = capability(DeviceCapability::BitsPixel);
    if (screen) {
        const std::string_view technology = TechnologyText(capability(DeviceCapability::Technology));
        if (!technology.empty()) {
            technology_ = std::string(technology);
        }
    }
    physicalWidth_ = capability(DeviceCapability::HorzSize);
    physicalHeight_ = capability(DeviceCapability::VertSize);
    pixelWidth_ = capability(DeviceCapability::AspectX);
    pixelHeight_ = capability(DeviceCapability::AspectY);
    pixelDiagonal_ = capability(DeviceCapability::AspectXY);

    const auto word = [&capability](DeviceCapability index) { return static_cast<uint32_t>(capability(index)); };
    rasterCaps_ = RasterCapsOf(word(DeviceCapability::RasterCaps));
    curveCaps_ = CurveCapsOf(word(DeviceCapability::CurveCaps));
    lineCaps_ = LineCapsOf(word(DeviceCapability::LineCaps));
    polygonCaps_ = PolygonCapsOf(word(DeviceCapability::PolygonalCaps));
    textCaps_ = TextCapsOf(word(DeviceCapability::TextCaps));
}

void TDisplay::readModes() {
    modes_.clear();
    platform::Display& display = platform_.display();
    for (uint32_t number = 0;; ++number) {
        const std::optional<platform::DisplayMode> mode = display.displayMode(number);
        if (!mode) {
            break;
        }
        modes_.add(Format("%d x %d - %d bit", {mode->width, mode->height, mode->bitsPerPixel}));
    }
}

void TDisplay::Report(TStrings& report) const {
    addReportSection(report, "Display");
    addReportEntry(report, "Adapter", adapter_);
    addReportEntry(report, "Chipset", chipset_);
    addReportEntry(report, "DAC", dac_);
    addReportEntry(report, "Memory", memory_);
    addReportEntry(report, "BIOSVersion", biosVersion_);
    addReportEntry(report, "BIOSDate", biosDate_);
    addReportEntry(report, "Technology", technology_);
    addReportEntry(report, "HorzRes", horzRes_);
    addReportEntry(report, "VertRes", vertRes_);
    addReportEntry(report, "ColorDepth", colorDepth_);
    addReportEntry(report, "PixelWidth", pixelWidth_);
    addReportEntry(report, "PixelHeight", pixelHeight_);
    addReportEntry(report, "PixelDiag", pixelDiagonal_);
    addReportEntry(report, "FontRes", fontResolution_);

    addReportSection(report, "Video Modes");
    AddListToReport(modes_, "Count", "Mode", report);

    addCapabilitySection(report, "Curve Capabilities", curveCaps_, curveCapabilityBits());
    addCapabilitySection(report, "Line Capabilities", lineCaps_, lineCapabilityBits());
    addCapabilitySection(report, "Polygonal Capabilities", polygonCaps_, polygonCapabilityBits());
    addCapabilitySection(report, "Raster Capabilities", rasterCaps_, rasterCapabilityBits());
    addCapabilitySection(report, "Text Capabilities", textCaps_, textCapabilityBits());
}

}  // namespace vardak::probes
