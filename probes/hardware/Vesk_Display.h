// The display probe: the display adapter (name, chip and DAC types, video memory)
// from what its driver left in the registry, the video BIOS texts, the screen's
// resolution, colour depth, aspect and font resolution, its technology, five sets
// of drawing capabilities and the display modes the driver offers.
//
// The adapter is located once, when the probe is created: the first device of the
// display class whose driver key is the class's "0000" instance. The rest is read
// again by every GetInfo.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "framework/Sets.h"
#include "platform/Platform.h"

namespace vardak::probes {

// ---------------------------------------------------------------- capability sets

// A set of the members of one capability enumeration.
template <class Member>
using TCapabilitySet = TSet<Member>;

enum class TCurveCap : uint8_t {
    ccCircles, ccPieWedges, ccChords, ccEllipses, ccWideBorders, ccStyledBorders,
    ccWideStyledBorders, ccInteriors, ccRoundedRects,
};
enum class TLineCap : uint8_t {
    lcPolylines, lcMarkers, lcMultipleMarkers, lcWideLines, lcStyledLines, lcWideStyledLines,
    lcInteriors,
};
enum class TPolygonCap : uint8_t {
    pcAltFillPolygons, pcRectangles, pcWindingFillPolygons, pcSingleScanlines, pcWideBorders,
    pcStyledBorders, pcWideStyledBorders, pcInteriors,
};
enum class TRasterCap : uint8_t {
    rcRequiresBanding, rcTranserBitmaps, rcBitmaps64K, rcSetGetDIBits, rcSetDIBitsToDevice,
    rcFloodfills, rcWindows2xFeatures, rcPaletteBased, rcScaling, rcStretchBlt, rcStretchDIBits,
};
enum class TTextCap : uint8_t {
    tcCharOutPrec, tcStrokeOutPrec, tcStrokeClipPrec, tcCharRotation90, tcCharRotationAny,
    tcScaleIndependent, tcDoubledCharScaling, tcIntMultiScaling, tcAnyMultiExactScaling,
    tcDoubleWeightChars, tcItalics, tcUnderlines, tcStrikeouts, tcRasterFonts, tcVectorFonts,
    tcNoScrollUsingBlts,
};

using TCurveCaps = TCapabilitySet<TCurveCap>;
using TLineCaps = TCapabilitySet<TLineCap>;
using TPolygonCaps = TCapabilitySet<TPolygonCap>;
using TRasterCaps = TCapabilitySet<TRasterCap>;
using TTextCaps = TCapabilitySet<TTextCap>;

// One member of a capability set: the platform's capability bit that sets it, its
// name and its key in the report. A table lists the members in member order.
template <class Member>
struct CapabilityBit {
    Member member;
    uint32_t platformBit;
    std::string_view memberName;
    std::string_view reportKey;
};

std::span<const CapabilityBit<TCurveCap>> curveCapabilityBits();
std::span<const CapabilityBit<TLineCap>> lineCapabilityBits();
std::span<const CapabilityBit<TPolygonCap>> polygonCapabilityBits();
std::span<const CapabilityBit<TRasterCap>> rasterCapabilityBits();
std::span<const CapabilityBit<TTextCap>> textCapabilityBits();

// The sets a device-capability word stands for.
TCurveCaps CurveCapsOf(uint32_t word);
TLineCaps LineCapsOf(uint32_t word);
TPolygonCaps PolygonCapsOf(uint32_t word);
TRasterCaps RasterCapsOf(uint32_t word);
TTextCaps TextCapsOf(uint32_t word);

// The technology text of a device-technology code, "" for a code without one.
std::string_view TechnologyText(int32_t code);

// ---------------------------------------------------------------- the probe

class TDisplay : public TPersistent {
public:
    // Locates the adapter through a devices probe refreshed for the purpose; needs
    // the shared routines started.
    explicit TDisplay(platform::Platform& platform);
    ~TDisplay() override;

    std::string_view className() const override { return "TDisplay"; }
    void publishProperties(PropertyTable& table) const override;

    // Refreshes everything but the adapter's identity. Needs the shared routines.
    void GetInfo();
    // Appends "[Display]", "[Video Modes]" and the five capability sections.
    void Report(TStrings& report) const;

    const std::string& Adapter() const { return adapter_; }
    const std::string& DAC() const { return dac_; }
    const std::string& Chipset() const { return chipset_; }
    int32_t Memory() const { return memory_; }
    int32_t HorzRes() const { return horzRes_; }
    int32_t VertRes() const { return vertRes_; }
    int32_t ColorDepth() const { return colorDepth_; }
    const std::string& BIOSVersion() const { return biosVersion_; }
    const std::string& BIOSDate() const { return biosDate_; }
    const std::string& Technology() const { return technology_; }
    int32_t PixelWidth() const { return pixelWidth_; }
    int32_t PixelHeight() const { return pixelHeight_; }
    int32_t PixelDiagonal() const { return pixelDiagonal_; }
    TRasterCaps RasterCaps() const { return rasterCaps_; }
    TCurveCaps CurveCaps() const { return curveCaps_; }
    TLineCaps LineCaps() const { return lineCaps_; }
    TPolygonCaps PolygonCaps() const { return polygonCaps_; }
    TTextCaps TextCaps() const { return textCaps_; }
    const TStrings& Modes() const { return modes_; }
    uint32_t FontResolution() const { return fontResolution_; }

    // Unpublished: the screen's size in millimetres and the adapter's device record.
    int32_t physicalWidth() const { return physicalWidth_; }
    int32_t physicalHeight() const { return physicalHeight_; }
    const std::string& driverKey() const { return driver_; }
    const std::string& service() const { return service_; }
    const std::string& deviceParam() const { return deviceParam_; }

private:
    void locateAdapter();
    void readAdapterDetails();
    void readNTAdapterDetails();
    void read9xAdapterDetails();
    void readVideoBIOS();
    void readScreen();
    void readModes();

    platform::Platform& platform_;

    std::string adapter_;
    std::string driver_;
    std::string service_;
    std::string deviceParam_;

    std::string dac_;
    std::string chipset_;
    int32_t memory_ = 0;
    int32_t horzRes_ = 0;
    int32_t vertRes_ = 0;
    int32_t colorDepth_ = 0;
    std::string biosVersion_;
    std::string biosDate_;
    std::string technology_;
    int32_t pixelWidth_ = 0;
    int32_t pixelHeight_ = 0;
    int32_t pixelDiagonal_ = 0;
    int32_t physicalWidth_ = 0;
    int32_t physicalHeight_ = 0;
    TRasterCaps rasterCaps_;
    TCurveCaps curveCaps_;
    TLineCaps lineCaps_;
    TPolygonCaps polygonCaps_;
    TTextCaps textCaps_;
    TStringList modes_;
    uint32_t fontResolution_ = 0;
};

}  // namespace vardak::probes
