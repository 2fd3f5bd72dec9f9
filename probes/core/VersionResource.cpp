#include "probes/core/VersionResource.h"

#include "framework/SysUtils.h"
#include "platform/Bytes.h"
#include "probes/core/Format.h"

#include <algorithm>
#include <array>

namespace vardak::probes {
namespace {

constexpr std::string_view kRootKey = "VS_VERSION_INFO";
// Length and value length; the 32-bit layout adds a type word.
constexpr size_t kAnsiHeaderSize = 4;
constexpr size_t kWideHeaderSize = 6;
constexpr uint16_t kTextType = 1;
// Real resources nest four deep (root, StringFileInfo, table, string).
constexpr int kDeepestNesting = 8;
constexpr size_t kFixedFileInfoSize = 13 * 4;

// Characters 0x80..0x9F of Windows-1252 by their Unicode code points; 0 is unused.
constexpr std::array<uint16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

size_t alignedTo4(size_t offset) {
    return (offset + 3) & ~size_t{3};
}

using bytes::le16;
using bytes::le32;

struct KeyText {
    std::string text;
    size_t end = 0;  // the offset after its NUL
};

// A NUL-ended key at `at`, read no further than `limit`; nothing without its NUL.
std::optional<KeyText> readKey(std::span<const uint8_t> bytes, size_t at, size_t limit, bool wide) {
    KeyText key;
    const size_t unitSize = wide ? 2 : 1;
    for (size_t offset = at; offset + unitSize <= limit; offset += unitSize) {
        const uint16_t unit = wide ? le16(bytes, offset) : bytes[offset];
        if (unit == 0) {
            key.end = offset + unitSize;
            return key;
        }
        key.text.push_back(wide ? ansiFromUtf16Unit(unit) : static_cast<char>(unit));
    }
    return std::nullopt;
}

bool startsWithRootKey(std::span<const uint8_t> bytes, size_t at, bool wide) {
    const std::optional<KeyText> key = readKey(bytes, at, bytes.size(), wide);
    return key && key->text == kRootKey;
}

}  // namespace

char ansiFromUtf16Unit(uint16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        return static_cast<char>(unit);
    }
    for (size_t index = 0; index < kCp1252High.size(); ++index) {
        if (kCp1252High[index] != 0 && kCp1252High[index] == unit) {
            return static_cast<char>(0x80 + index);
        }
    }
    return '?';
}

std::string AnsiFromUtf16(std::span<const uint8_t> data) {
    std::string text;
    for (size_t at = 0; at + 2 <= data.size() && le16(data, at) != 0; at += 2) {
        text.push_back(ansiFromUtf16Unit(le16(data, at)));
    }
    return text;
}

std::optional<VersionResource> VersionResource::parse(std::span<const uint8_t> bytes) {
    std::optional<Layout> layout;
    if (bytes.size() >= kWideHeaderSize && startsWithRootKey(bytes, kWideHeaderSize, true)) {
        layout = Layout::Wide32;
    } else if (bytes.size() >= kAnsiHeaderSize && startsWithRootKey(bytes, kAnsiHeaderSize, false)) {
        layout = Layout::Ansi16;
    }
    if (!layout) {
        return std::nullopt;
    }
    VersionResource resource(std::vector<uint8_t>(bytes.begin(), bytes.end()), *layout);
    std::optional<Block> root = resource.readBlock(0, resource.bytes_.size(), 0);
    if (!root) {
        return std::nullopt;
    }
    resource.root_ = std::move(*root);
    return resource;
}

// One block: length, value length, (type,) key, padding, value, padding, children.
std::optional<VersionResource::Block> VersionResource::readBlock(size_t start, size_t limit, int depth) const {
    const std::span<const uint8_t> bytes(bytes_);
    const bool wide = layout_ == Layout::Wide32;
    const size_t headerSize = wide ? kWideHeaderSize : kAnsiHeaderSize;
    if (depth > kDeepestNesting || start + headerSize > limit) {
        return std::nullopt;
    }
    const size_t length = le16(bytes, start);
    if (length < headerSize) {
        return std::nullopt;
    }
    const size_t end = std::min(start + length, limit);
    const size_t valueLength = le16(bytes, start + 2);
    const bool textValue = wide && le16(bytes, start + 4) == kTextType;

    std::optional<KeyText> key = readKey(bytes, start + headerSize, end, wide);
    if (!key) {
        return std::nullopt;
    }
    Block block;
    block.key = std::move(key->text);
    block.wideText = textValue;
    block.valueOffset = std::min(alignedTo4(key->end), end);
    // Text values of the 32-bit layout count characters, everything else bytes.
    const size_t valueBytes = textValue ? valueLength * 2 : valueLength;
    block.valueSize = std::min(valueBytes, end - block.valueOffset);

    size_t child = alignedTo4(block.valueOffset + block.valueSize);
    while (child + headerSize <= end) {
        const size_t childLength = le16(bytes, child);
        std::optional<Block> childBlock = readBlock(child, end, depth + 1);
        if (!childBlock) {
            break;
        }
        block.children.push_back(std::move(*childBlock));
        child = alignedTo4(child + childLength);
    }
    return block;
}

const VersionResource::Block* VersionResource::find(std::string_view path) const {
    const Block* block = &root_;
    size_t at = 0;
    while (at < path.size()) {
        size_t separator = path.find('\\', at);
        if (separator == std::string_view::npos) {
            separator = path.size();
        }
        const std::string_view key = path.substr(at, separator - at);
        at = separator + 1;
        if (key.empty()) {
            continue;
        }
        const auto found = std::find_if(block->children.begin(), block->children.end(),
                                        [&](const Block& child) { return sameText(child.key, key); });
        if (found == block->children.end()) {
            return nullptr;
        }
        block = &*found;
    }
    return block;
}

std::optional<std::vector<uint8_t>> VersionResource::value(std::string_view path) const {
    const Block* block = find(path);
    if (block == nullptr) {
        return std::nullopt;
    }
    const auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(block->valueOffset);
    return std::vector<uint8_t>(first, first + static_cast<std::ptrdiff_t>(block->valueSize));
}

std::optional<std::string> VersionResource::text(std::string_view path) const {
    const Block* block = find(path);
    if (block == nullptr) {
        return std::nullopt;
    }
    const std::span<const uint8_t> bytes(bytes_);
    const std::span<const uint8_t> value = bytes.subspan(block->valueOffset, block->valueSize);
    return block->wideText ? AnsiFromUtf16(value) : bytes::textUpToNul(value);
}

std::optional<FixedFileInfo> VersionResource::fixedFileInfo() const {
    if (root_.valueSize < kFixedFileInfoSize) {
        return std::nullopt;
    }
    const std::span<const uint8_t> value = std::span<const uint8_t>(bytes_).subspan(root_.valueOffset);
    FixedFileInfo info;
    uint32_t* const fields[] = {&info.signature,        &info.structVersion,    &info.fileVersionMS,
                                &info.fileVersionLS,    &info.productVersionMS, &info.productVersionLS,
                                &info.fileFlagsMask,    &info.fileFlags,        &info.fileOS,
                                &info.fileType,         &info.fileSubtype,      &info.fileDateMS,
                                &info.fileDateLS};
    for (size_t index = 0; index < std::size(fields); ++index) {
        *fields[index] = le32(value, index * 4);
    }
    return info;
}

std::optional<std::string> VersionResource::firstTranslation() const {
    const std::optional<std::vector<uint8_t>> translations = value("\\VarFileInfo\\Translation");
    if (!translations || translations->size() < 4) {
        return std::nullopt;
    }
    // The entry is a language word followed by a code-page word; as one number its
    // halves come out the other way round, so they are swapped back.
    const std::string entry = Format("%.8x", {le32(*translations, 0)});
    return entry.substr(4) + entry.substr(0, 4);
}

}  // namespace vardak::probes
