// The version-resource reader and GetFileVerInfo on resources built by the test, in
// the 32-bit layout and in the 16-bit ANSI layout of the 95/98 line.
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/VersionResource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/FakePlatform.h"
#include "tests/support/VersionResourceBuilder.h"

namespace vardak::probes {
namespace {

using testing::FakePlatform;
using testing::VersionBlock;
using testing::VersionResourceBuilder;

constexpr const char* kExe = "C:\\Program Files\\Vardak\\Vardak.exe";

VersionResourceBuilder vardakResource() {
    VersionResourceBuilder builder;
    builder.fileVersion(7, 61, 3, 1024)
        .translation(0x0406, 0x04E4)
        .translation(0x0409, 0x04B0)
        .string("CompanyName", u"Vardak")
        .string("FileDescription", u"System information")
        .string("LegalCopyright", u"\u00A9 2026 the Vardak developers")
        .string("ProductName", u"Vardak \u20AC\u4E2D")
        .string("Comments", u"");
    return builder;
}

class VersionLayoutTest : public ::testing::TestWithParam<VersionResource::Layout> {
protected:
    std::vector<uint8_t> build(const VersionResourceBuilder& builder) const {
        return GetParam() == VersionResource::Layout::Wide32 ? builder.buildWide() : builder.buildAnsi();
    }
};

TEST_P(VersionLayoutTest, ReadsTheBlocksOfTheResource) {
    const std::optional<VersionResource> resource = VersionResource::parse(build(vardakResource()));
    ASSERT_TRUE(resource.has_value());
    EXPECT_EQ(resource->layout(), GetParam());
    const std::optional<FixedFileInfo> fixed = resource->fixedFileInfo();
    ASSERT_TRUE(fixed.has_value());
    EXPECT_EQ(fixed->signature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->fileVersionMS, 0x0007003Du);
    EXPECT_EQ(fixed->fileVersionLS, 0x00030400u);
    EXPECT_EQ(resource->firstTranslation(), "040604E4");
    EXPECT_EQ(resource->text("\\StringFileInfo\\040604E4\\CompanyName"), "Vardak");
    // Keys compare without case, as the system's query does.
    EXPECT_EQ(resource->text("\\stringfileinfo\\040604e4\\companyname"), "Vardak");
    EXPECT_EQ(resource->text("\\StringFileInfo\\040604E4\\Comments"), "");
    EXPECT_EQ(resource->text("\\StringFileInfo\\040604E4\\InternalName"), std::nullopt);
    EXPECT_EQ(resource->value("\\VarFileInfo\\Translation"),
              (std::vector<uint8_t>{0x06, 0x04, 0xE4, 0x04, 0x09, 0x04, 0xB0, 0x04}));
}

TEST_P(VersionLayoutTest, GetFileVerInfoFillsTheRecord) {
    FakePlatform machine;
    machine.filesFake.setVersionResource(kExe, build(vardakResource()));
    TVersionInfo info;
    ASSERT_TRUE(GetFileVerInfo(machine, kExe, info));
    EXPECT_EQ(info.FileName, kExe);
    EXPECT_EQ(info.Version, "7.61.3.1024");
    EXPECT_EQ(info.Major, 7u);
    EXPECT_EQ(info.Minor, 61u);
    EXPECT_EQ(info.Release, 3u);
    EXPECT_EQ(info.Build, 1024u);
    EXPECT_EQ(info.CompanyName, "Vardak");
    EXPECT_EQ(info.Description, "System information");
    EXPECT_EQ(info.Copyright, "\xA9 2026 the Vardak developers");
    // The euro sign is in the ANSI code page, the Chinese character is not.
    EXPECT_EQ(info.ProductName, "Vardak \x80?");
    EXPECT_EQ(info.Comments, "");
    EXPECT_EQ(GetFileVersion(machine, kExe), "7.61.3.1024");
}

TEST_P(VersionLayoutTest, MissingEntriesLeaveTheirFieldsAlone) {
    FakePlatform machine;
    VersionResourceBuilder builder;
    builder.fileVersion(1, 0, 0, 1).translation(0x0409, 1252).string("ProductName", u"Vardak");
    machine.filesFake.setVersionResource(kExe, build(builder));
    TVersionInfo info;
    info.Comments = "kept";
    info.CompanyName = "kept too";
    ASSERT_TRUE(GetFileVerInfo(machine, kExe, info));
    EXPECT_EQ(info.ProductName, "Vardak");
    EXPECT_EQ(info.Comments, "kept");
    EXPECT_EQ(info.CompanyName, "kept too");
}

TEST_P(VersionLayoutTest, WithoutTranslationOnlyTheVersionIsRead) {
    FakePlatform machine;
    VersionResourceBuilder builder;
    builder.fileVersion(2, 5, 0, 0).string("ProductName", u"Vardak");
    machine.filesFake.setVersionResource(kExe, build(builder));
    TVersionInfo info;
    ASSERT_TRUE(GetFileVerInfo(machine, kExe, info));
    EXPECT_EQ(info.Version, "2.5.0.0");
    EXPECT_EQ(info.ProductName, "");
}

TEST_P(VersionLayoutTest, WithoutFixedInfoTheVersionStaysEmpty) {
    FakePlatform machine;
    VersionResourceBuilder builder;
    builder.withoutFixedInfo().translation(0x0409, 1252).string("ProductName", u"Vardak");
    machine.filesFake.setVersionResource(kExe, build(builder));
    TVersionInfo info;
    ASSERT_TRUE(GetFileVerInfo(machine, kExe, info));
    EXPECT_EQ(info.Version, "");
    EXPECT_EQ(info.Major, 0u);
    EXPECT_EQ(info.ProductName, "Vardak");
}

// Every shortened copy of a resource is read without touching a byte past its end:
// a block that is cut off yields at most the part of its text that is there.
TEST_P(VersionLayoutTest, TruncatedResourcesAreReadWithinTheirBytes) {
    const std::vector<uint8_t> whole = build(vardakResource());
    for (size_t size = 0; size < whole.size(); ++size) {
        const std::vector<uint8_t> truncated(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        const std::optional<VersionResource> resource = VersionResource::parse(truncated);
        if (!resource) {
            continue;
        }
        resource->fixedFileInfo();
        resource->firstTranslation();
        const std::optional<std::string> company = resource->text("\\StringFileInfo\\040604E4\\CompanyName");
        if (company) {
            EXPECT_EQ(std::string("Vardak").substr(0, company->size()), *company) << size;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, VersionLayoutTest,
                         ::testing::Values(VersionResource::Layout::Wide32, VersionResource::Layout::Ansi16),
                         [](const ::testing::TestParamInfo<VersionResource::Layout>& info) {
                             return std::string(info.param == VersionResource::Layout::Wide32 ? "Wide32" : "Ansi16");
                         });

TEST(VersionResourceTest, BlockLengthsBeyondTheirParentAreCut) {
    // A string claiming more characters than its block holds.
    VersionBlock product{"ProductName", {}, u"Vardak", true, {}};
    std::vector<uint8_t> productBytes = testing::wideVersionBlock(product);
    productBytes[2] = 0xFF;  // value length in characters
    VersionBlock root{"VS_VERSION_INFO", {}, u"", false, {}};
    std::vector<uint8_t> bytes = testing::wideVersionBlock(root);
    while (bytes.size() % 4 != 0) bytes.push_back(0);
    bytes.insert(bytes.end(), productBytes.begin(), productBytes.end());
    bytes[0] = static_cast<uint8_t>(bytes.size());
    // Stray bytes after the root block, as the system's buffers have.
    bytes.insert(bytes.end(), {'X', 0, 'Y', 0});

    const std::optional<VersionResource> resource = VersionResource::parse(bytes);
    ASSERT_TRUE(resource.has_value());
    EXPECT_EQ(resource->text("\\ProductName"), "Vardak");
    EXPECT_EQ(resource->fixedFileInfo(), std::nullopt);
}

TEST(VersionResourceTest, ZeroLengthChildrenEndTheWalk) {
    VersionBlock root{"VS_VERSION_INFO", {}, u"", false,
                      {VersionBlock{"First", {1, 2, 3, 4}, u"", false, {}},
                       VersionBlock{"Second", {5, 6, 7, 8}, u"", false, {}}}};
    std::vector<uint8_t> bytes = testing::ansiVersionBlock(root);
    // The root is 20 bytes ("VS_VERSION_INFO" and padding), then "First".
    const std::optional<VersionResource> intact = VersionResource::parse(bytes);
    ASSERT_TRUE(intact.has_value());
    ASSERT_EQ(intact->value("\\Second"), (std::vector<uint8_t>{5, 6, 7, 8}));
    bytes[20] = 0;
    bytes[21] = 0;
    const std::optional<VersionResource> broken = VersionResource::parse(bytes);
    ASSERT_TRUE(broken.has_value());
    EXPECT_EQ(broken->value("\\First"), std::nullopt);
    EXPECT_EQ(broken->value("\\Second"), std::nullopt);
}

TEST(VersionResourceTest, OtherBytesAreNoResource) {
    EXPECT_FALSE(VersionResource::parse(std::vector<uint8_t>{}).has_value());
    EXPECT_FALSE(VersionResource::parse(std::vector<uint8_t>{1, 2, 3}).has_value());
    const std::string text = "MZ\x90\x00 this is not a version resource";
    EXPECT_FALSE(VersionResource::parse(std::vector<uint8_t>(text.begin(), text.end())).has_value());
}

TEST(GetFileVerInfoTest, FilesWithoutAResourceGiveFalse) {
    FakePlatform machine;
    machine.filesFake.addFile("C:\\plain.txt", "text");
    machine.filesFake.setVersionResource("C:\\broken.dll", {0x10, 0x00, 0x00});
    TVersionInfo info;
    info.ProductName = "untouched";
    EXPECT_FALSE(GetFileVerInfo(machine, "C:\\plain.txt", info));
    EXPECT_EQ(info.FileName, "C:\\plain.txt");
    EXPECT_EQ(info.ProductName, "untouched");
    EXPECT_FALSE(GetFileVerInfo(machine, "C:\\broken.dll", info));
    EXPECT_EQ(GetFileVersion(machine, "C:\\missing.exe"), "");
}

TEST(AnsiConversionTest, MapsUtf16UnitsToWindows1252) {
    EXPECT_EQ(ansiFromUtf16Unit(u'A'), 'A');
    EXPECT_EQ(ansiFromUtf16Unit(0x00E6), '\xE6');
    EXPECT_EQ(ansiFromUtf16Unit(0x20AC), '\x80');
    EXPECT_EQ(ansiFromUtf16Unit(0x0178), '\x9F');
    EXPECT_EQ(ansiFromUtf16Unit(0x0081), '?');
    EXPECT_EQ(ansiFromUtf16Unit(0x4E2D), '?');
}

TEST(AnsiConversionTest, Utf16TextEndsAtItsFirstNulOrItsLastWholeUnit) {
    const std::vector<uint8_t> bytes = {0xE9, 0, 0xAC, 0x20, 0x00, 0x4E, 'x', 0, 0, 0, 'E', 0};
    EXPECT_EQ(AnsiFromUtf16(bytes), "\xE9\x80?x");
    EXPECT_EQ(AnsiFromUtf16(std::span(bytes).first(5)), "\xE9\x80");
    EXPECT_EQ(AnsiFromUtf16(std::span(bytes).first(1)), "");
}

}  // namespace
}  // namespace vardak::probes
