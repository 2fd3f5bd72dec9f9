// The face table of an image button: which picture of its image list each visual
// state shows, the fallbacks between states, and the table's streamed forms.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vardak::grell {

// Face numbers of an image button.
enum class Face : uint8_t {
    Up = 0,
    Disabled = 1,
    MouseOver = 2,
    Pressed = 3,       // latched toggle
    HeldDown = 4,      // held by the mouse
    Unused5 = 5,
    DropDown = 6,      // drop-down menu open
    DisabledPressed = 7,
    Unused8 = 8,
};

constexpr int kFaceCount = 9;
constexpr uint32_t kDefaultFaceTransparentColor = 0xFFFFFF;

// The face shown instead when a face's picture is missing; nothing for faces
// without fallback (nothing is painted then).
std::optional<Face> faceFallback(Face face);

struct FacePicture {
    int32_t listIndex = 0;
    int32_t imageIndex = 0;
    friend bool operator==(const FacePicture&, const FacePicture&) = default;
};

struct FaceTable {
    std::array<FacePicture, kFaceCount> faces{};
    uint32_t transparentColor = kDefaultFaceTransparentColor;

    FacePicture& operator[](Face face) { return faces[static_cast<size_t>(face)]; }
    const FacePicture& operator[](Face face) const { return faces[static_cast<size_t>(face)]; }
    friend bool operator==(const FaceTable&, const FaceTable&) = default;
};

// The face to paint for `current`: itself when `valid` says its picture is there,
// else its fallback when that one's is; nothing when there is nothing to paint.
template <class IsValid>
std::optional<Face> chooseFace(const FaceTable& table, Face current, IsValid valid) {
    const FacePicture& own = table[current];
    if (valid(own.listIndex, own.imageIndex)) return current;
    const std::optional<Face> fallback = faceFallback(current);
    if (!fallback) return std::nullopt;
    const FacePicture& other = table[*fallback];
    if (valid(other.listIndex, other.imageIndex)) return fallback;
    return std::nullopt;
}

// ---------------------------------------------------------------- streamed forms
// Every number is a 32-bit little-endian signed integer. The readers change the table
// only when the data has exactly the size of its form, and say whether they did.

namespace face_stream {
constexpr std::string_view kButtonFace = "ButtonFace";
constexpr std::string_view kIndices = "ButtonFaceIndices";
constexpr std::string_view kIndicesNew = "ButtonFaceIndicesNew";
constexpr std::string_view kIndicesNew2 = "ButtonFaceIndicesNew2";
constexpr std::string_view kTransCol = "ButtonFaceTransCol";
constexpr std::string_view kTransColNew = "ButtonFaceTransColNew";
}  // namespace face_stream

// "ButtonFaceIndices", 64 bytes: 8 pairs (list index, image index) for faces 0 to 7.
bool readFaceIndices(FaceTable& table, std::span<const uint8_t> data);
// "ButtonFaceIndicesNew", 64 bytes: 8 list indices, then 8 image indices, faces 0 to 7.
bool readFaceIndicesNew(FaceTable& table, std::span<const uint8_t> data);
// "ButtonFaceIndicesNew2", 72 bytes: 9 image indices for faces 0 to 8, then 9 list
// indices for faces 8 down to 0.
bool readFaceIndicesNew2(FaceTable& table, std::span<const uint8_t> data);
// "ButtonFaceTransCol" and "ButtonFaceTransColNew", 4 bytes.
bool readFaceTransparentColor(FaceTable& table, std::span<const uint8_t> data);

}  // namespace vardak::grell
