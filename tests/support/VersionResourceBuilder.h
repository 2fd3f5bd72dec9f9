// Builds raw version resources for tests, as GetFileVersionInfo hands them out: the
// 32-bit layout (UTF-16 keys and texts) or the 16-bit ANSI layout of the 95/98 line.
//
//   VersionResourceBuilder builder;
//   builder.fileVersion(1, 2, 3, 4).translation(0x0409, 1252).string("ProductName", "Vardak");
//   machine.filesFake.setVersionResource("C:\\x.exe", builder.buildWide());
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vardak::testing {

// A block of a version resource, for resources shaped by hand.
struct VersionBlock {
    std::string key;              // ANSI; in the 32-bit layout every byte becomes one UTF-16 unit
    std::vector<uint8_t> value;   // binary value bytes
    std::u16string text;          // a text value instead (isText)
    bool isText = false;
    std::vector<VersionBlock> children;
};

class VersionResourceBuilder {
public:
    VersionResourceBuilder& fileVersion(uint16_t major, uint16_t minor, uint16_t release, uint16_t build);
    // Adds a translation; the first one names the string table.
    VersionResourceBuilder& translation(uint16_t language, uint16_t codePage);
    // Adds a string to the table (named by the first translation, "040904E4" without one).
    VersionResourceBuilder& string(const std::string& key, const std::u16string& text);
    // Leaves the fixed file information out of the root block.
    VersionResourceBuilder& withoutFixedInfo();

    VersionBlock root() const;
    std::vector<uint8_t> buildWide() const;
    std::vector<uint8_t> buildAnsi() const;

private:
    uint32_t versionMS_ = 0;
    uint32_t versionLS_ = 0;
    bool fixedInfo_ = true;
    std::vector<std::pair<uint16_t, uint16_t>> translations_;
    std::vector<std::pair<std::string, std::u16string>> strings_;
};

// One block and its children in the 32-bit layout, or in the 16-bit one (where text
// values are stored as Windows-1252 bytes, '?' for what the code page lacks).
std::vector<uint8_t> wideVersionBlock(const VersionBlock& block);
std::vector<uint8_t> ansiVersionBlock(const VersionBlock& block);

}  // namespace vardak::testing
