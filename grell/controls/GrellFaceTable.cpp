#include "grell/controls/GrellFaceTable.h"

#include "platform/Bytes.h"

namespace vardak::grell {

namespace {

constexpr size_t kIndicesSize = 64;
constexpr size_t kIndicesNew2Size = 72;
constexpr size_t kColorSize = 4;
constexpr int kOldFormFaces = 8;

int32_t readInt(std::span<const uint8_t> data, size_t slot) {
    return static_cast<int32_t>(bytes::le32(data, slot * 4));
}

}  // namespace

std::optional<Face> faceFallback(Face face) {
    switch (face) {
    case Face::Up:
    case Face::Unused8: return std::nullopt;
    case Face::Disabled:
    case Face::MouseOver:
    case Face::Unused5: return Face::Up;
    case Face::Pressed:
    case Face::HeldDown:
    case Face::DropDown:
    case Face::DisabledPressed: return Face::HeldDown;
    }
    return std::nullopt;
}

bool readFaceIndices(FaceTable& table, std::span<const uint8_t> data) {
    if (data.size() != kIndicesSize) return false;
    for (int face = 0; face < kOldFormFaces; ++face) {
        table.faces[static_cast<size_t>(face)] = {readInt(data, static_cast<size_t>(2 * face)),
                                                  readInt(data, static_cast<size_t>(2 * face + 1))};
    }
    return true;
}

bool readFaceIndicesNew(FaceTable& table, std::span<const uint8_t> data) {
    if (data.size() != kIndicesSize) return false;
    for (int face = 0; face < kOldFormFaces; ++face) {
        table.faces[static_cast<size_t>(face)] = {readInt(data, static_cast<size_t>(face)),
                                                  readInt(data, static_cast<size_t>(kOldFormFaces + face))};
    }
    return true;
}

bool readFaceIndicesNew2(FaceTable& table, std::span<const uint8_t> data) {
    if (data.size() != kIndicesNew2Size) return false;
    for (int face = 0; face < kFaceCount; ++face) {
        const size_t listSlot = static_cast<size_t>(kFaceCount + (kFaceCount - 1 - face));
        table.faces[static_cast<size_t>(face)] = {readInt(data, listSlot), readInt(data, static_cast<size_t>(face))};
    }
    return true;
}

bool readFaceTransparentColor(FaceTable& table, std::span<const uint8_t> data) {
    if (data.size() != kColorSize) return false;
    table.transparentColor = static_cast<uint32_t>(readInt(data, 0));
    return true;
}

}  // namespace vardak::grell
