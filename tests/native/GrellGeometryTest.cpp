// Placement geometry of the bitmap-drawing routine, the routine itself and the
// bitmap decoder.
#include <gtest/gtest.h>

#include <vector>

#include "grell/controls/GrellBitmap.h"
#include "grell/controls/GrellGeometry.h"

namespace vardak::grell {
namespace {

const TRect kTarget = TRect::ofSize(10, 20, 100, 50);

uint32_t flagsOf(TGrellBitmapStyle style) {
    return faceDrawFlags(style, true);
}

TEST(FaceDrawFlagsTest, EveryStyleHasItsFlags) {
    EXPECT_EQ(faceDrawFlags(TGrellBitmapStyle::sbNone, false), 0x1000u);
    EXPECT_EQ(faceDrawFlags(TGrellBitmapStyle::sbAutosize, false), 0x1000u);
    EXPECT_EQ(faceDrawFlags(TGrellBitmapStyle::sbCenter, false), 0x1008u);
    EXPECT_EQ(faceDrawFlags(TGrellBitmapStyle::sbStretch, false), 0x1010u);
    EXPECT_EQ(faceDrawFlags(TGrellBitmapStyle::sbTile, false), 0x1020u);
    EXPECT_EQ(faceDrawFlags(TGrellBitmapStyle::sbKeepAspRatio, false), 0x1610u);
    EXPECT_EQ(faceDrawFlags(TGrellBitmapStyle::sbKeepWidth, false), 0x1210u);
    EXPECT_EQ(faceDrawFlags(TGrellBitmapStyle::sbKeepHeight, false), 0x1410u);
    EXPECT_EQ(faceDrawFlags(TGrellBitmapStyle::sbKeepHeight, true), 0x410u);
}

TEST(PlacePictureTest, NoneAndAutosizeSitAtTheTopLeftCorner) {
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbNone), 30, 40, kTarget), TRect::ofSize(10, 20, 30, 40));
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbAutosize), 300, 400, kTarget),
              TRect::ofSize(10, 20, 300, 400));
}

TEST(PlacePictureTest, CenterHalvesTheDifferenceTowardZero) {
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbCenter), 31, 41, kTarget), TRect::ofSize(10 + 34, 20 + 4, 31, 41));
    // A picture larger than the target: -15 / 2 is -7, not -8.
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbCenter), 115, 50, kTarget), TRect::ofSize(10 - 7, 20, 115, 50));
}

TEST(PlacePictureTest, StretchAndTileCoverTheTarget) {
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbStretch), 7, 3, kTarget), kTarget);
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbTile), 7, 3, kTarget), kTarget);
}

TEST(PlacePictureTest, KeepAspectRatioScalesByTheSmallerFactorAndTruncates) {
    // 100 / 30 = 3.33, 50 / 20 = 2.5: scale 2.5 gives 75 x 50.
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbKeepAspRatio), 30, 20, kTarget), TRect::ofSize(10, 20, 75, 50));
    // 100 / 40 = 2.5 and 50 / 7 = 7.1: 2.5 x 7 = 17.5 truncated to 17.
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbKeepAspRatio), 40, 7, kTarget), TRect::ofSize(10, 20, 100, 17));
}

TEST(PlacePictureTest, KeepWidthTakesTheTargetHeight) {
    // width = 50 / 20 * 30 = 75
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbKeepWidth), 30, 20, kTarget), TRect::ofSize(10, 20, 75, 50));
    // 50 / 40 * 3 = 3.75 rounds to 4
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbKeepWidth), 3, 40, kTarget), TRect::ofSize(10, 20, 4, 50));
    // 50 / 20 * 5 = 12.5 rounds to the even 12
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbKeepWidth), 5, 20, kTarget), TRect::ofSize(10, 20, 12, 50));
}

TEST(PlacePictureTest, KeepHeightTakesTheTargetWidth) {
    // height = 100 / 40 * 10 = 25
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbKeepHeight), 40, 10, kTarget), TRect::ofSize(10, 20, 100, 25));
    // 100 / 8 * 1 = 12.5 rounds to 12
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbKeepHeight), 8, 1, kTarget), TRect::ofSize(10, 20, 100, 12));
}

TEST(PlacePictureTest, EmptyPlacementReportsTheWholeTarget) {
    for (auto style : {TGrellBitmapStyle::sbNone, TGrellBitmapStyle::sbCenter, TGrellBitmapStyle::sbKeepAspRatio,
                       TGrellBitmapStyle::sbKeepWidth, TGrellBitmapStyle::sbKeepHeight, TGrellBitmapStyle::sbTile}) {
        EXPECT_EQ(placePicture(flagsOf(style), 0, 10, kTarget), kTarget);
        EXPECT_EQ(placePicture(flagsOf(style), 10, 0, kTarget), kTarget);
    }
    // A keep-aspect placement that truncates to nothing.
    EXPECT_EQ(placePicture(flagsOf(TGrellBitmapStyle::sbKeepAspRatio), 1000, 1, TRect::ofSize(0, 0, 5, 5)),
              TRect::ofSize(0, 0, 5, 5));
}

TEST(TileRectsTest, TilesCoverTheTargetFromItsCorner) {
    const std::vector<TRect> tiles = tileRects(40, 30, kTarget);
    ASSERT_EQ(tiles.size(), 6u);  // 3 columns (100 / 40), 2 rows (50 / 30)
    EXPECT_EQ(tiles.front(), TRect::ofSize(10, 20, 40, 30));
    EXPECT_EQ(tiles.back(), TRect::ofSize(90, 50, 40, 30));
}

TEST(TileRectsTest, EmptyPictureGivesNoTilesInsteadOfLoopingForever) {
    EXPECT_TRUE(tileRects(0, 30, kTarget).empty());
    EXPECT_TRUE(tileRects(40, 0, kTarget).empty());
    EXPECT_TRUE(tileRects(-1, 5, kTarget).empty());
}

// ---------------------------------------------------------------- drawing

Bitmap32 twoColorPicture() {
    // Left column red, right column blue, 2 x 2.
    Bitmap32 picture(2, 2, 0x0000FF);
    picture.setPixel(1, 0, 0xFF0000);
    picture.setPixel(1, 1, 0xFF0000);
    return picture;
}

TEST(DrawBitmapTest, TransparentFlagLeavesOutTheTransparentColour) {
    Bitmap32 canvas(4, 4, 0x00FF00);
    drawBitmap(canvas, canvas.rect(), twoColorPicture(), 0x0000FF, draw_flags::kTransparent);
    EXPECT_EQ(canvas.pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(canvas.pixel(1, 0), 0xFF0000u);
    drawBitmap(canvas, canvas.rect(), twoColorPicture(), 0x0000FF, 0);
    EXPECT_EQ(canvas.pixel(0, 0), 0x0000FFu);
}

TEST(DrawBitmapTest, StretchFillsTheTarget) {
    Bitmap32 canvas(4, 4, 0);
    const TRect covered = drawBitmap(canvas, canvas.rect(), twoColorPicture(), 0, draw_flags::kStretch);
    EXPECT_EQ(covered, canvas.rect());
    EXPECT_EQ(canvas.pixel(1, 3), 0x0000FFu);
    EXPECT_EQ(canvas.pixel(2, 0), 0xFF0000u);
    EXPECT_EQ(canvas.pixel(3, 3), 0xFF0000u);
}

TEST(DrawBitmapTest, TilesAreClippedToTheTarget) {
    Bitmap32 canvas(6, 3, 0);
    drawBitmap(canvas, TRect::ofSize(0, 0, 5, 3), twoColorPicture(), 0, draw_flags::kTile);
    EXPECT_EQ(canvas.pixel(2, 2), 0x0000FFu);
    EXPECT_EQ(canvas.pixel(4, 0), 0x0000FFu);
    EXPECT_EQ(canvas.pixel(5, 0), 0u) << "the tile reaching past the target is clipped";
}

TEST(DrawBitmapTest, DrawingPastTheCanvasIsClipped) {
    Bitmap32 canvas(2, 2, 0);
    drawBitmap(canvas, TRect::ofSize(1, 1, 10, 10), Bitmap32(10, 10, 7), 0, 0);
    EXPECT_EQ(canvas.pixel(1, 1), 7u);
    EXPECT_EQ(canvas.pixel(0, 0), 0u);
}

// ---------------------------------------------------------------- decoding

std::vector<uint8_t> bmpFile(int width, int height, int bits, const std::vector<uint8_t>& pixelBytes,
                             const std::vector<uint8_t>& palette = {}) {
    std::vector<uint8_t> file(54 + palette.size());
    auto put = [&](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) file[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(10, static_cast<uint32_t>(54 + palette.size()), 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, static_cast<uint32_t>(bits), 2);
    put(46, static_cast<uint32_t>(palette.size() / 4), 4);
    std::copy(palette.begin(), palette.end(), file.begin() + 54);
    file.insert(file.end(), pixelBytes.begin(), pixelBytes.end());
    return file;
}

TEST(DecodeBmpTest, TwentyFourBitBottomUpWithPaddedRows) {
    // 2 x 2: bottom row blue, white; top row red, green. Rows pad to 8 bytes.
    const std::vector<uint8_t> pixels{255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    const auto bitmap = decodeBmp(bmpFile(2, 2, 24, pixels));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixel(0, 1), 0xFF0000u);  // blue
    EXPECT_EQ(bitmap->pixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(bitmap->pixel(0, 0), 0x0000FFu);  // red
    EXPECT_EQ(bitmap->pixel(1, 0), 0x00FF00u);  // green
}

TEST(DecodeBmpTest, EightBitWithPalette) {
    const std::vector<uint8_t> palette{0, 0, 0, 0, 0x10, 0x20, 0x30, 0};
    TGrellPalette colours;
    const auto bitmap = decodeBmp(bmpFile(1, 1, 8, {1, 0, 0, 0}, palette), &colours);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixel(0, 0), 0x102030u);
    EXPECT_EQ(colours, (TGrellPalette{0x000000, 0x102030}));
    EXPECT_FALSE(decodeBmp(bmpFile(1, 1, 8, {2, 0, 0, 0}, palette))) << "index past the palette";
}

TEST(DecodeBmpTest, DamagedFilesAreRefused) {
    const std::vector<uint8_t> pixels(16, 0);
    std::vector<uint8_t> truncated = bmpFile(2, 2, 24, pixels);
    truncated.resize(truncated.size() - 1);
    EXPECT_FALSE(decodeBmp(truncated));
    EXPECT_FALSE(decodeBmp(bmpFile(0, 2, 24, pixels)));
    EXPECT_FALSE(decodeBmp(bmpFile(2, 2, 16, pixels)));
    EXPECT_FALSE(decodeBmp(bmpFile(100000, 1, 24, pixels)));
    EXPECT_FALSE(decodeBmp(std::vector<uint8_t>{'B', 'M', 1, 2}));
    EXPECT_FALSE(decodeBmp({}));
}

}  // namespace
}  // namespace vardak::grell
