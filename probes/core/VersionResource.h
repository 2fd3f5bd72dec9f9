// A reader of raw version resources (what GetFileVersionInfo hands out), in both
// layouts: the 32-bit one with UTF-16 keys and a type field, and the 16-bit one of
// the 95/98 line with ANSI keys. Every read stays inside the lengths the blocks
// give and inside the bytes themselves; a resource that is broken further down
// still yields the blocks before the break.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vardak::probes {

// The fixed file information of the root block (VS_FIXEDFILEINFO).
struct FixedFileInfo {
    uint32_t signature = 0;
    uint32_t structVersion = 0;
    uint32_t fileVersionMS = 0;
    uint32_t fileVersionLS = 0;
    uint32_t productVersionMS = 0;
    uint32_t productVersionLS = 0;
    uint32_t fileFlagsMask = 0;
    uint32_t fileFlags = 0;
    uint32_t fileOS = 0;
    uint32_t fileType = 0;
    uint32_t fileSubtype = 0;
    uint32_t fileDateMS = 0;
    uint32_t fileDateLS = 0;
};

class VersionResource {
public:
    enum class Layout { Wide32, Ansi16 };

    // Nothing unless the bytes start with a "VS_VERSION_INFO" root block.
    static std::optional<VersionResource> parse(std::span<const uint8_t> bytes);

    Layout layout() const { return layout_; }

    // A block's value by its path, "\" for the root, "\VarFileInfo\Translation",
    // "\StringFileInfo\040904E4\ProductName"; keys compare without case.
    std::optional<std::vector<uint8_t>> value(std::string_view path) const;
    // The value as text, up to its first NUL: UTF-16 values converted to the ANSI
    // code page (Windows-1252, '?' for what it lacks).
    std::optional<std::string> text(std::string_view path) const;
    // Nothing when the root block's value is shorter than the record.
    std::optional<FixedFileInfo> fixedFileInfo() const;
    // The first language and code page pair of "\VarFileInfo\Translation" as the
    // string tables are named by it, "040904E4"; nothing when there is none.
    std::optional<std::string> firstTranslation() const;

private:
    struct Block {
        std::string key;
        size_t valueOffset = 0;
        size_t valueSize = 0;
        bool wideText = false;  // a UTF-16 text value
        std::vector<Block> children;
    };

    VersionResource(std::vector<uint8_t> bytes, Layout layout) : bytes_(std::move(bytes)), layout_(layout) {}
    std::optional<Block> readBlock(size_t start, size_t limit, int depth) const;
    const Block* find(std::string_view path) const;

    std::vector<uint8_t> bytes_;
    Layout layout_;
    Block root_;
};

// The Windows-1252 byte of a UTF-16 code unit, '?' where the code page has none.
char ansiFromUtf16Unit(uint16_t unit);
// Little-endian UTF-16 text in Windows-1252, up to the first NUL unit or the last
// whole unit of the bytes.
std::string AnsiFromUtf16(std::span<const uint8_t> data);

}  // namespace vardak::probes
