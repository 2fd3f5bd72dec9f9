#include "tests/support/VersionResourceBuilder.h"

#include "tests/support/AnsiText.h"

#include <cstdio>

namespace vardak::testing {
namespace {

constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr uint32_t kFixedFileInfoVersion = 0x00010000;

void putWord(std::vector<uint8_t>& bytes, uint16_t word) {
    bytes.push_back(static_cast<uint8_t>(word));
    bytes.push_back(static_cast<uint8_t>(word >> 8));
}

void putDWord(std::vector<uint8_t>& bytes, uint32_t dword) {
    putWord(bytes, static_cast<uint16_t>(dword));
    putWord(bytes, static_cast<uint16_t>(dword >> 16));
}

void setWord(std::vector<uint8_t>& bytes, size_t at, uint16_t word) {
    bytes[at] = static_cast<uint8_t>(word);
    bytes[at + 1] = static_cast<uint8_t>(word >> 8);
}

void padTo4(std::vector<uint8_t>& bytes) {
    while (bytes.size() % 4 != 0) {
        bytes.push_back(0);
    }
}

void appendChildren(std::vector<uint8_t>& bytes, const VersionBlock& block, bool wide) {
    for (const VersionBlock& child : block.children) {
        padTo4(bytes);
        const std::vector<uint8_t> childBytes = wide ? wideVersionBlock(child) : ansiVersionBlock(child);
        bytes.insert(bytes.end(), childBytes.begin(), childBytes.end());
    }
}

// Blocks that only group others (StringFileInfo, a string table) carry no value.
bool hasTextValue(const VersionBlock& block) {
    return block.isText && (!block.text.empty() || block.children.empty());
}

}  // namespace

std::vector<uint8_t> wideVersionBlock(const VersionBlock& block) {
    std::vector<uint8_t> bytes;
    putWord(bytes, 0);  // length, set at the end
    const size_t valueLength = hasTextValue(block) ? block.text.size() + 1 : block.isText ? 0 : block.value.size();
    putWord(bytes, static_cast<uint16_t>(valueLength));
    putWord(bytes, block.isText ? 1 : 0);
    for (char c : block.key) {
        putWord(bytes, static_cast<uint8_t>(c));
    }
    putWord(bytes, 0);
    padTo4(bytes);
    if (hasTextValue(block)) {
        for (char16_t unit : block.text) {
            putWord(bytes, static_cast<uint16_t>(unit));
        }
        putWord(bytes, 0);
    } else if (!block.isText) {
        bytes.insert(bytes.end(), block.value.begin(), block.value.end());
    }
    appendChildren(bytes, block, true);
    setWord(bytes, 0, static_cast<uint16_t>(bytes.size()));
    return bytes;
}

std::vector<uint8_t> ansiVersionBlock(const VersionBlock& block) {
    std::vector<uint8_t> bytes;
    putWord(bytes, 0);
    putWord(bytes, 0);
    bytes.insert(bytes.end(), block.key.begin(), block.key.end());
    bytes.push_back(0);
    padTo4(bytes);
    const size_t valueStart = bytes.size();
    if (hasTextValue(block)) {
        for (char16_t unit : block.text) {
            bytes.push_back(static_cast<uint8_t>(ansiFromCodePoint(unit)));
        }
        bytes.push_back(0);
    } else if (!block.isText) {
        bytes.insert(bytes.end(), block.value.begin(), block.value.end());
    }
    setWord(bytes, 2, static_cast<uint16_t>(bytes.size() - valueStart));
    appendChildren(bytes, block, false);
    setWord(bytes, 0, static_cast<uint16_t>(bytes.size()));
    return bytes;
}

VersionResourceBuilder& VersionResourceBuilder::fileVersion(uint16_t major, uint16_t minor, uint16_t release,
                                                            uint16_t build) {
    versionMS_ = uint32_t{major} << 16 | minor;
    versionLS_ = uint32_t{release} << 16 | build;
    return *this;
}

VersionResourceBuilder& VersionResourceBuilder::translation(uint16_t language, uint16_t codePage) {
    translations_.emplace_back(language, codePage);
    return *this;
}

VersionResourceBuilder& VersionResourceBuilder::string(const std::string& key, const std::u16string& text) {
    strings_.emplace_back(key, text);
    return *this;
}

VersionResourceBuilder& VersionResourceBuilder::withoutFixedInfo() {
    fixedInfo_ = false;
    return *this;
}

VersionBlock VersionResourceBuilder::root() const {
    VersionBlock root;
    root.key = "VS_VERSION_INFO";
    if (fixedInfo_) {
        const uint32_t fields[] = {kFixedFileInfoSignature, kFixedFileInfoVersion, versionMS_, versionLS_,
                                   versionMS_, versionLS_, 0x3F, 0, 0x40004, 1, 0, 0, 0};
        for (uint32_t field : fields) {
            putDWord(root.value, field);
        }
    }

    const auto [language, codePage] = translations_.empty() ? std::pair<uint16_t, uint16_t>(0x0409, 1252)
                                                            : translations_.front();
    char tableName[9] = {};
    std::snprintf(tableName, sizeof(tableName), "%04X%04X", language, codePage);
    VersionBlock table;
    table.key = tableName;
    table.isText = true;
    for (const auto& [key, text] : strings_) {
        table.children.push_back(VersionBlock{key, {}, text, true, {}});
    }
    VersionBlock stringInfo;
    stringInfo.key = "StringFileInfo";
    stringInfo.isText = true;
    stringInfo.children.push_back(std::move(table));
    root.children.push_back(std::move(stringInfo));

    if (!translations_.empty()) {
        VersionBlock translationBlock;
        translationBlock.key = "Translation";
        for (const auto& [entryLanguage, entryCodePage] : translations_) {
            putWord(translationBlock.value, entryLanguage);
            putWord(translationBlock.value, entryCodePage);
        }
        VersionBlock varInfo;
        varInfo.key = "VarFileInfo";
        varInfo.isText = true;
        varInfo.children.push_back(std::move(translationBlock));
        root.children.push_back(std::move(varInfo));
    }
    return root;
}

std::vector<uint8_t> VersionResourceBuilder::buildWide() const {
    return wideVersionBlock(root());
}

std::vector<uint8_t> VersionResourceBuilder::buildAnsi() const {
    return ansiVersionBlock(root());
}

}  // namespace vardak::testing
