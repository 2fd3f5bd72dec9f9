// The face table of the image buttons: fallbacks and the streamed forms.
#include <gtest/gtest.h>

#include <vector>

#include "grell/controls/GrellFaceTable.h"

namespace vardak::grell {
namespace {

std::vector<uint8_t> ints(const std::vector<int32_t>& numbers) {
    std::vector<uint8_t> bytes;
    for (int32_t number : numbers) {
        const auto value = static_cast<uint32_t>(number);
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
    }
    return bytes;
}

TEST(FaceFallbackTest, FallbacksAsTheStatesNeedThem) {
    EXPECT_EQ(faceFallback(Face::Up), std::nullopt);
    EXPECT_EQ(faceFallback(Face::Disabled), Face::Up);
    EXPECT_EQ(faceFallback(Face::MouseOver), Face::Up);
    EXPECT_EQ(faceFallback(Face::Pressed), Face::HeldDown);
    EXPECT_EQ(faceFallback(Face::HeldDown), Face::HeldDown);
    EXPECT_EQ(faceFallback(Face::Unused5), Face::Up);
    EXPECT_EQ(faceFallback(Face::DropDown), Face::HeldDown);
    EXPECT_EQ(faceFallback(Face::DisabledPressed), Face::HeldDown);
    EXPECT_EQ(faceFallback(Face::Unused8), std::nullopt);
}

TEST(ChooseFaceTest, MissingPictureFallsBackOnceOrNotAtAll) {
    FaceTable table;
    table[Face::DisabledPressed].listIndex = 7;
    table[Face::HeldDown].listIndex = 4;
    table[Face::Up].listIndex = 0;
    auto validBelow = [](int limit) { return [limit](int list, int) { return list >= 0 && list < limit; }; };
    EXPECT_EQ(chooseFace(table, Face::DisabledPressed, validBelow(10)), Face::DisabledPressed);
    EXPECT_EQ(chooseFace(table, Face::DisabledPressed, validBelow(7)), Face::HeldDown);
    EXPECT_EQ(chooseFace(table, Face::DisabledPressed, validBelow(4)), std::nullopt);
    EXPECT_EQ(chooseFace(table, Face::Up, validBelow(0)), std::nullopt);
}

TEST(FaceStreamTest, SeventyTwoByteFormKeepsListIndicesInReverseFaceOrder) {
    // Faces 3 and 4 show item 1, all others item 0; image indices are 20 + face.
    FaceTable table;
    ASSERT_TRUE(readFaceIndicesNew2(table, ints({20, 21, 22, 23, 24, 25, 26, 27, 28, 0, 0, 0, 0, 1, 1, 0, 0, 0})));
    for (int face = 0; face < kFaceCount; ++face) {
        const int32_t list = face == 3 || face == 4 ? 1 : 0;
        EXPECT_EQ(table.faces[static_cast<size_t>(face)], (FacePicture{list, 20 + face})) << "face " << face;
    }
}

TEST(FaceStreamTest, SeventyTwoByteFormOfTheUdskrivButton) {
    // Image indices 0; list indices for faces 8..0: 0 0 0 0 7 7 7 0 6.
    FaceTable table;
    ASSERT_TRUE(readFaceIndicesNew2(table, ints({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 7, 7, 0, 6})));
    EXPECT_EQ(table[Face::Up].listIndex, 6);
    EXPECT_EQ(table[Face::Disabled].listIndex, 0);
    EXPECT_EQ(table[Face::MouseOver].listIndex, 7);
    EXPECT_EQ(table[Face::Pressed].listIndex, 7);
    EXPECT_EQ(table[Face::HeldDown].listIndex, 7);
    EXPECT_EQ(table[Face::Unused8].listIndex, 0);
}

TEST(FaceStreamTest, PairForm) {
    FaceTable table;
    std::vector<int32_t> pairs;
    for (int face = 0; face < 8; ++face) {
        pairs.push_back(face + 100);
        pairs.push_back(face + 200);
    }
    ASSERT_TRUE(readFaceIndices(table, ints(pairs)));
    EXPECT_EQ(table[Face::Up], (FacePicture{100, 200}));
    EXPECT_EQ(table[Face::DisabledPressed], (FacePicture{107, 207}));
    EXPECT_EQ(table[Face::Unused8], (FacePicture{0, 0})) << "face 8 is not in the old forms";
}

TEST(FaceStreamTest, ListsThenImagesForm) {
    FaceTable table;
    std::vector<int32_t> numbers;
    for (int face = 0; face < 8; ++face) numbers.push_back(face + 100);
    for (int face = 0; face < 8; ++face) numbers.push_back(face + 200);
    ASSERT_TRUE(readFaceIndicesNew(table, ints(numbers)));
    EXPECT_EQ(table[Face::Pressed], (FacePicture{103, 203}));
}

TEST(FaceStreamTest, WrongSizesLeaveTheTableAlone) {
    FaceTable table;
    table[Face::Up].listIndex = 5;
    const FaceTable before = table;
    EXPECT_FALSE(readFaceIndicesNew2(table, std::vector<uint8_t>(71, 1)));
    EXPECT_FALSE(readFaceIndicesNew2(table, std::vector<uint8_t>(73, 1)));
    EXPECT_FALSE(readFaceIndices(table, std::vector<uint8_t>(72, 1)));
    EXPECT_FALSE(readFaceIndicesNew(table, std::vector<uint8_t>(8, 1)));
    EXPECT_FALSE(readFaceTransparentColor(table, std::vector<uint8_t>(3, 1)));
    EXPECT_EQ(table, before);
}

TEST(FaceStreamTest, TransparentColourIsLittleEndian) {
    FaceTable table;
    EXPECT_EQ(table.transparentColor, 0xFFFFFFu);
    ASSERT_TRUE(readFaceTransparentColor(table, std::vector<uint8_t>{0x88, 0x7F, 0x50, 0x00}));
    EXPECT_EQ(table.transparentColor, 0x507F88u);
}

}  // namespace
}  // namespace vardak::grell
