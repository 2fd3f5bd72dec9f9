// The uninstall-list component on a machine's uninstall key: what it lists, how edits
// become pending changes and reach the registry, and what it refuses.
#include "grell/system/GrellSysUninstall.h"

#include <gtest/gtest.h>

#include "tests/support/FakePlatform.h"

namespace vardak::grell {
namespace {

using platform::RootKey;
using platform::ValueType;
using testing::FakePlatform;
using V = TUninstallValue;

const std::string kKey = std::string(probes::kUninstallKey);
const std::string kMsiKey = "{6B2F1B5A-0000-4C1B-9A1E-000000000001}";

class SysUninstallTest : public ::testing::Test {
protected:
    SysUninstallTest() {
        machine.loadRegistryFixture("uninstall-xp.reg");
        list.SetOnChange([this](TObject&, const std::string& name, const std::string& oldValue,
                                const std::string& newValue,
                                TDateTime) { committed.push_back(name + ":" + oldValue + " - " + newValue); });
        component->Refresh();
    }
    std::optional<platform::RegValue> stored(const std::string& keyName, const std::string& value) const {
        return machine.registryFake.value(RootKey::LocalMachine, kKey + "\\" + keyName, value);
    }
    std::string storedText(const std::string& keyName, const std::string& value) const {
        const auto found = stored(keyName, value);
        return found ? found->textUpToNul() : "<none>";
    }

    FakePlatform machine;
    TComponent form{nullptr};
    TGrellSysUninstall* component = new TGrellSysUninstall(&form, machine);
    TGrellUninstallInfo& list = component->Uninstall();
    std::vector<std::string> committed;
};

TEST_F(SysUninstallTest, ListsEveryProgramWithBothRequiredValuesInRegistryOrder) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.count(); ++i) {
        const TGrellUninstallItem& item = *list.Items(i);
        rows.push_back(item.KeyName() + "|" + item.DisplayName() + "|" + item.Publisher() + "|" + item.UninstallPath());
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "Acrobat|Adobe Reader 6.0|Adobe Systems Incorporated|"
                        "MsiExec.exe /I{AC76BA86-7AD7-1033-7B44-A00000000001}",
                        "WinZip|WinZip||\"%ProgramFiles%\\WinZip\\WINZIP32.EXE\" /uninstall",
                        "Bare|Bare Program||C:\\Bare\\uninstall.exe",
                        "{6B2F1B5A-0000-4C1B-9A1E-000000000001}|Bare Program|Bare Software|"
                        "MsiExec.exe /X{6B2F1B5A-0000-4C1B-9A1E-000000000001}",
                    }));
    TStringList lines;
    list.ListProperties(lines);
    EXPECT_EQ(lines[8], "Item[0].RegOwner = Jens Jensen");
}

TEST_F(SysUninstallTest, OnlyTheEditedValueIsWrittenAndCommittedAfterIt) {
    TGrellUninstallItem& item = *list.Items(3);
    item.SetValue(V::Publisher, "Bare Software A/S");
    item.SetValue(V::Version, "2.2");
    item.SetValue(V::Version, "2.1");  // back to the loaded text: forgotten
    ASSERT_EQ(list.PendingChanges().size(), 1u);
    EXPECT_EQ(list.PendingChanges()[0].PropertyName, "Uninstall[3]:Publisher");
    list.ApplyChanges();
    EXPECT_EQ(storedText(kMsiKey, "Publisher"), "Bare Software A/S");
    EXPECT_EQ(storedText(kMsiKey, "DisplayVersion"), "2.1");
    EXPECT_EQ(storedText("Bare", "Publisher"), "<none>");
    EXPECT_EQ(committed, std::vector<std::string>{"Uninstall[3]:Publisher:Bare Software - Bare Software A/S"});
    EXPECT_TRUE(list.PendingChanges().empty());
}

TEST_F(SysUninstallTest, ARefreshForgetsChangesThatWouldLandOnAnotherProgram) {
    list.Items(1)->SetValue(V::ProgramName, "WinZip 8.1");  // a rename of WinZip
    list.Items(2)->SetValue(V::Publisher, "Bare Corp");
    // WinZip goes away: index 1 is now "Bare", index 2 the second "Bare Program".
    ASSERT_TRUE(machine.registryFake.removeKey(RootKey::LocalMachine, kKey + "\\WinZip"));
    component->Refresh();
    EXPECT_TRUE(list.PendingChanges().empty());
    list.ApplyChanges();
    EXPECT_EQ(storedText("Bare", "DisplayName"), "Bare Program");
    EXPECT_EQ(storedText("Bare", "Publisher"), "<none>");
    EXPECT_EQ(storedText(kMsiKey, "Publisher"), "Bare Software");
    EXPECT_TRUE(committed.empty());
    EXPECT_EQ(machine.registryFake.writableOpens, 0);
}

TEST_F(SysUninstallTest, AFailedWriteIsReportedAndItsChangeStaysPending) {
    machine.registryFake.refuseWritesOf("RegOwner");
    TGrellUninstallItem& item = *list.Items(0);
    item.SetValue(V::RegOwner, "Hans Hansen");
    item.SetValue(V::Publisher, "Adobe");
    EXPECT_THROW(list.ApplyChanges(), ERegistryException);
    EXPECT_EQ(storedText("Acrobat", "Publisher"), "Adobe");
    EXPECT_EQ(storedText("Acrobat", "RegOwner"), "Jens Jensen");
    EXPECT_EQ(committed, std::vector<std::string>{"Uninstall[0]:Publisher:Adobe Systems Incorporated - Adobe"});
    ASSERT_EQ(list.PendingChanges().size(), 1u);
    EXPECT_EQ(list.PendingChanges()[0].PropertyName, "Uninstall[0]:RegOwner");
}

TEST_F(SysUninstallTest, AKeyThatIsGoneBeforeTheWriteIsReported) {
    list.Items(2)->SetValue(V::Version, "1.0");
    ASSERT_TRUE(machine.registryFake.removeKey(RootKey::LocalMachine, kKey + "\\Bare"));
    EXPECT_THROW(list.ApplyChanges(), ERegistryException);
    EXPECT_FALSE(machine.registryFake.hasKey(RootKey::LocalMachine, kKey + "\\Bare"));
    EXPECT_TRUE(list.Items(2)->IsChanged("Uninstall[%d]:Version"));
}

TEST_F(SysUninstallTest, AValueThatIsNoTextNeitherFailsTheListNorShows) {
    machine.registryFake.setValue(RootKey::LocalMachine, kKey + "\\Bare", "DisplayVersion",
                                  platform::RegValue::fromDWord(2));
    machine.registryFake.setValue(RootKey::LocalMachine, kKey + "\\WinZip", "DisplayName",
                                  platform::RegValue::fromDWord(8));
    component->Refresh();
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.Items(1)->KeyName() + "|" + list.Items(1)->Version(), "Bare|");
}

TEST_F(SysUninstallTest, ExpandableTextIsWrittenBackAsExpandableText) {
    list.Items(1)->SetValue(V::UninstallPath, "\"%ProgramFiles%\\WinZip\\WINZIP32.EXE\" /uninstallx");
    list.Items(1)->SetValue(V::Publisher, "WinZip Computing");
    list.ApplyChanges();
    EXPECT_EQ(stored("WinZip", "UninstallString")->type, ValueType::ExpandString);
    EXPECT_EQ(storedText("WinZip", "UninstallString"), "\"%ProgramFiles%\\WinZip\\WINZIP32.EXE\" /uninstallx");
    EXPECT_EQ(stored("WinZip", "Publisher")->type, ValueType::String);
}

TEST_F(SysUninstallTest, KeyNamesThatAreEmptyOrHoldABackslashAreRefusedBeforeAnythingIsOpened) {
    TGrellUninstallItem& item = *list.Items(0);
    for (const std::string keyName : {"", "Acrobat\\Sub", "..\\..\\Run", "\\WinZip"}) {
        item.SetKeyName(keyName);
        item.SetValue(V::Publisher, "Someone Else " + keyName);
        EXPECT_THROW(item.ApplyChanges(), EInvalidOperation) << keyName;
        EXPECT_TRUE(item.IsChanged("Uninstall[%d]:Publisher")) << keyName;
    }
    EXPECT_EQ(machine.registryFake.writableOpens, 0);
}

}  // namespace
}  // namespace vardak::grell
