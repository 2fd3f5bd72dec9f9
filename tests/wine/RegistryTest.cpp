// The registry backend against Wine's registry, seeded from REGEDIT4 text.
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32System.h"
#include "tests/wine/WineHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vardak::winetest {
namespace {

using platform::KeyAccess;
using platform::RegValue;
using platform::RootKey;
using platform::ValueType;
using testing::ElementsAre;
using testing::UnorderedElementsAre;

constexpr char kTestKey[] = "Software\\VardakWineTest";
const std::string kLongName(300, 'N');
const std::string kLongText(5000, 't');

std::string seedText() {
    return "REGEDIT4\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\Software\\VardakWineTest]\r\n"
           "@=\"default text\"\r\n"
           "\"Name\"=\"Vardak\"\r\n"
           "\"Count\"=dword:0000002a\r\n"
           "\"Bytes\"=hex:01,02,00,ff\r\n"
           "\"List\"=hex(7):6f,6e,65,00,74,77,6f,00,00\r\n"
           "\"Empty\"=\"\"\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\Software\\VardakWineTest\\Alpha]\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\Software\\VardakWineTest\\Beta\\Deeper]\r\n"
           "\"" + kLongName + "\"=\"" + kLongText + "\"\r\n\r\n"
           "[HKEY_CURRENT_USER\\Software\\VardakWineTest\\User]\r\n"
           "\"Where\"=\"user\"\r\n\r\n";
}

void expectValue(const std::optional<RegValue>& actual, const RegValue& expected) {
    ASSERT_TRUE(actual.has_value());
    EXPECT_EQ(actual->type, expected.type);
    EXPECT_EQ(actual->data, expected.data);
}

class RegistryTest : public testing::Test {
protected:
    // Seeding starts reg.exe, one more process: once for the whole suite.
    static void SetUpTestSuite() { seeded_ = std::make_unique<SeededRegistry>(seedText()); }

    // The harness must take the seeded keys away again, and only those.
    static void TearDownTestSuite() {
        seeded_.reset();
        EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kTestKey));
        EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kTestKey));
        EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software"));
    }

    void SetUp() override { ASSERT_TRUE(seeded_->imported()); }

    std::unique_ptr<platform::RegistryKey> testKey(KeyAccess access) {
        return registry_.openKey(RootKey::LocalMachine, kTestKey, access);
    }

    win32::Win32Registry registry_;
    static std::unique_ptr<SeededRegistry> seeded_;
};

std::unique_ptr<SeededRegistry> RegistryTest::seeded_;

TEST_F(RegistryTest, ReadsSeededValuesOfEveryKind) {
    const auto key = testKey(KeyAccess::Read);
    ASSERT_NE(key, nullptr);
    expectValue(key->queryValue("Name"), RegValue::fromString("Vardak"));
    expectValue(key->queryValue("Count"), RegValue::fromDWord(42));
    expectValue(key->queryValue("Bytes"), RegValue::fromBinary({0x01, 0x02, 0x00, 0xFF}));
    expectValue(key->queryValue("List"), RegValue::fromMultiString({"one", "two"}));
    expectValue(key->queryValue("Empty"), RegValue::fromString(""));
    expectValue(key->queryValue(""), RegValue::fromString("default text"));
}

TEST_F(RegistryTest, ListsSubkeysAndValueNames) {
    const auto key = testKey(KeyAccess::Read);
    ASSERT_NE(key, nullptr);
    EXPECT_THAT(key->subkeyNames(), UnorderedElementsAre("Alpha", "Beta"));
    EXPECT_THAT(key->valueNames(), UnorderedElementsAre("", "Name", "Count", "Bytes", "List", "Empty"));
    const auto alpha = registry_.openKey(RootKey::LocalMachine, "Software\\VardakWineTest\\Alpha",
                                         KeyAccess::Read);
    ASSERT_NE(alpha, nullptr);
    EXPECT_TRUE(alpha->subkeyNames().empty());
    EXPECT_TRUE(alpha->valueNames().empty());
}

TEST_F(RegistryTest, ReadsLongNamesAndLargeData) {
    const auto deeper = registry_.openKey(
        RootKey::LocalMachine, "Software\\VardakWineTest\\Beta\\Deeper", KeyAccess::Read);
    ASSERT_NE(deeper, nullptr);
    EXPECT_THAT(deeper->valueNames(), ElementsAre(kLongName));
    expectValue(deeper->queryValue(kLongName), RegValue::fromString(kLongText));
}

TEST_F(RegistryTest, OpensAPathWrittenWithALeadingBackslash) {
    const auto key = registry_.openKey(RootKey::LocalMachine, "\\Software\\VardakWineTest\\Beta",
                                       KeyAccess::Read);
    ASSERT_NE(key, nullptr);
    EXPECT_THAT(key->subkeyNames(), ElementsAre("Deeper"));
}

TEST_F(RegistryTest, MissingKeysAndValuesAreNothing) {
    EXPECT_EQ(registry_.openKey(RootKey::LocalMachine, "Software\\VardakWineTest\\Nowhere",
                                KeyAccess::Read),
              nullptr);
    const auto key = testKey(KeyAccess::Read);
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(key->queryValue("Nothing").has_value());
}

TEST_F(RegistryTest, AKeyOpenedForReadingRefusesWrites) {
    if (win32::Win32System().versionInfo().platform != platform::PlatformId::NT) {
        GTEST_SKIP() << "Windows 95/98 (and Wine posing as them) ignore the access a key is "
                        "opened with; the prefix is posed as one";
    }
    const auto key = testKey(KeyAccess::Read);
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(key->setValue("Name", RegValue::fromString("changed")));
    EXPECT_FALSE(key->setValue("Added", RegValue::fromDWord(1)));
    EXPECT_FALSE(key->deleteValue("Count"));
    expectValue(key->queryValue("Name"), RegValue::fromString("Vardak"));
    expectValue(key->queryValue("Count"), RegValue::fromDWord(42));
    EXPECT_FALSE(key->queryValue("Added").has_value());
}

TEST_F(RegistryTest, AKeyOpenedForWritingWritesAndDeletesValues) {
    const auto key = testKey(KeyAccess::ReadWrite);
    ASSERT_NE(key, nullptr);
    const RegValue written = RegValue::fromMultiString({"alpha", "", "gamma"});
    ASSERT_TRUE(key->setValue("Written", written));
    const auto reader = testKey(KeyAccess::Read);
    ASSERT_NE(reader, nullptr);
    expectValue(reader->queryValue("Written"), written);
    EXPECT_TRUE(key->deleteValue("Written"));
    EXPECT_FALSE(key->queryValue("Written").has_value());
    EXPECT_FALSE(key->deleteValue("Written"));
}

TEST_F(RegistryTest, CreatesKeysWithTheirParentsAndDeletesOnlyLeaves) {
    const std::string parent = "Software\\VardakWineTest\\Made";
    const std::string child = parent + "\\Child";
    const auto created = registry_.createKey(RootKey::LocalMachine, "\\" + child);
    ASSERT_NE(created, nullptr);
    ASSERT_TRUE(created->setValue("Flag", RegValue::fromDWord(7)));
    const auto reopened = registry_.openKey(RootKey::LocalMachine, child, KeyAccess::Read);
    ASSERT_NE(reopened, nullptr);
    expectValue(reopened->queryValue("Flag"), RegValue::fromDWord(7));

    EXPECT_FALSE(registry_.deleteKey(RootKey::LocalMachine, parent));
    EXPECT_TRUE(registry_.deleteKey(RootKey::LocalMachine, child));
    EXPECT_EQ(registry_.openKey(RootKey::LocalMachine, child, KeyAccess::Read), nullptr);
    EXPECT_TRUE(registry_.deleteKey(RootKey::LocalMachine, "\\" + parent));
    EXPECT_EQ(registry_.openKey(RootKey::LocalMachine, parent, KeyAccess::Read), nullptr);
}

TEST_F(RegistryTest, ReadsSeededValuesUnderTheCurrentUser) {
    const auto key = registry_.openKey(RootKey::CurrentUser, "Software\\VardakWineTest\\User",
                                       KeyAccess::Read);
    ASSERT_NE(key, nullptr);
    expectValue(key->queryValue("Where"), RegValue::fromString("user"));
}

TEST_F(RegistryTest, ReachesEveryRootKey) {
    for (const RootKey root : {RootKey::ClassesRoot, RootKey::CurrentUser, RootKey::LocalMachine,
                               RootKey::Users, RootKey::CurrentConfig}) {
        EXPECT_NE(registry_.openKey(root, "", KeyAccess::Read), nullptr)
            << "root " << static_cast<int>(root);
    }
    const auto software = registry_.openKey(RootKey::LocalMachine, "Software", KeyAccess::Read);
    ASSERT_NE(software, nullptr);
    EXPECT_THAT(software->subkeyNames(), testing::Contains("Microsoft"));
}

}  // namespace
}  // namespace vardak::winetest
