// The system component base on a component of the tests' own: change records and
// their log, a failing write, property listing, Refresh and AutoRetrieve.
#include "grell/system/GrellSysBase.h"

#include <gtest/gtest.h>

#include "grell/system/GrellExceptions.h"
#include "tests/support/FakePlatform.h"

namespace vardak::grell {
namespace {

using testing::FakePlatform;

// A name that is written through to a "system" that can refuse.
class TNameObject : public TGrellSysObject {
public:
    using TGrellSysObject::TGrellSysObject;
    void publishProperties(PropertyTable& table) const override {
        table.string("Name", name).floating("Ratio", 2.5).integer("Reads", reads);
    }
    void Retrieve() override {
        if (failRetrieve) throw Exception("unreadable");
        ++reads;
    }
    void ApplyChanges() override {}
    void SetName(const std::string& value) {
        WriteChange("Name:Name", name, value, [&] {
            if (refuseWrite) throw EOSError(5, "Access is denied.");
        });
        name = value;
    }

    std::string name = "first";
    int reads = 0;
    bool failRetrieve = false;
    bool refuseWrite = false;
};

class TNamed : public TGrellSysBaseComponent {
public:
    TNamed(TComponent* owner, platform::Platform& platform) : TGrellSysBaseComponent(owner) {
        auto object = std::make_unique<TNameObject>(platform);
        named = object.get();
        SetInformationObject(std::move(object));
    }
    TNameObject* named;
};

class SysBaseTest : public ::testing::Test {
protected:
    FakePlatform machine;
    TComponent form{nullptr};
    TNamed* component = new TNamed(&form, machine);
    TNameObject& object = *component->named;
    TGrellSysLog* log = new TGrellSysLog(&form, machine.system());
    TStringList lines;
};

TEST_F(SysBaseTest, RecordsKeepTheFirstOldValueAndGoWhenTheValueReturns) {
    std::vector<std::string> fired;
    object.SetOnChange([&](TObject& sender, const std::string& name, const std::string& oldValue,
                           const std::string& newValue, TDateTime when) {
        EXPECT_EQ(&sender, &object);
        fired.push_back(name + ":" + oldValue + ">" + newValue + " " + probes::DateTimeText(machine.system(), when));
    });
    object.RecordChange("Disk:Label", "A", "B");
    object.RecordChange("Disk:Label", "B", "C");
    object.CommitChange("Disk:Label");
    object.RecordChange("Disk:Label", "A", "B");
    object.RecordChange("Disk:Label", "B", "A");
    object.CommitChange("Disk:Label");
    object.CommitChange("Nothing:Pending");
    EXPECT_EQ(fired, std::vector<std::string>{"Disk:Label:A>C 2004-06-15 12:30:00"});
    EXPECT_TRUE(object.PendingChanges().empty());
}

TEST_F(SysBaseTest, AFailedWriteLeavesNoRecordAndNoLogLine) {
    log->SetStrings(&lines);
    component->SetSysLog(log);
    object.refuseWrite = true;
    EXPECT_THROW(object.SetName("second"), EOSError);
    EXPECT_TRUE(object.PendingChanges().empty());
    EXPECT_TRUE(lines.empty());
    delete log;
    EXPECT_EQ(component->SysLog(), nullptr);
}

TEST_F(SysBaseTest, ListingTakesTheUsersDecimalSeparator) {
    machine.localeFake.items[platform::locale_item::kDecimalSeparator] = ",";
    object.ListProperties(lines);
    object.ListPropertiesTyped(lines);
    EXPECT_EQ(lines.toVector(), (std::vector<std::string>{"Name = first", "Ratio = 2,5", "Reads = 0",
                                                          "Name: String = first", "Ratio: Double = 2,5",
                                                          "Reads: Integer = 0"}));
}

TEST_F(SysBaseTest, RefreshCallsItsEventsAroundTheRead) {
    std::vector<int> seen;
    component->OnRefresh = [&](TObject& sender) { seen.push_back(&sender == component ? object.reads : -1); };
    component->OnAfterRefresh = component->OnRefresh;
    component->loaded();
    EXPECT_FALSE(component->Retrieved());
    component->SetAutoRetrieve(true);
    component->loaded();
    EXPECT_TRUE(component->Retrieved());
    EXPECT_EQ(seen, (std::vector<int>{0, 1}));
}

TEST_F(SysBaseTest, AFailedRefreshKeepsRetrievedAndSkipsTheAfterEvent) {
    bool after = false;
    component->OnAfterRefresh = [&](TObject&) { after = true; };
    object.failRetrieve = true;
    EXPECT_THROW(component->Refresh(), Exception);
    EXPECT_FALSE(component->Retrieved() || after);
}

TEST_F(SysBaseTest, LogLinesGoToEveryTargetAndARefusingListIsSkipped) {
    TComponent* memo = new TComponent(&form);
    TStringList memoLines;
    lines.setSorted(true);
    lines.setDuplicates(Duplicates::Error);
    log->SetStrings(&lines);
    log->SetMemo(memo, &memoLines);
    log->WriteLine("same");
    log->WriteLine("same");
    delete memo;
    log->WriteLine("after");
    EXPECT_EQ(memoLines.count(), 2);
    EXPECT_EQ(lines.toVector(), (std::vector<std::string>{"after", "same"}));
}

class TNamedItem : public TGrellSysCollectionItem {};

TEST(SysCollectionTest, ItemKeysCarryTheItemIndex) {
    FakePlatform machine;
    TGrellSysCollection collection([] { return std::make_unique<TNamedItem>(); }, machine);
    for (int i = 0; i < 4; ++i) collection.add();
    collection.itemAs<TNamedItem>(3)->RecordChange("Uninstall[%d]:Publisher", "Old", "New");
    EXPECT_TRUE(collection.IsChanged("Uninstall[3]:Publisher"));
    EXPECT_FALSE(collection.itemAs<TNamedItem>(2)->IsChanged("Uninstall[%d]:Publisher"));
}

}  // namespace
}  // namespace vardak::grell
