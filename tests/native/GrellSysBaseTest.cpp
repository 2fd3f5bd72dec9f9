// The system component base: change records and their log, property listing, Refresh
// and AutoRetrieve, on a small component of the tests' own.
#include "grell/system/GrellSysBase.h"

#include <gtest/gtest.h>

#include "grell/system/GrellExceptions.h"
#include "tests/support/FakePlatform.h"

namespace vardak::grell {
namespace {

using testing::FakePlatform;

// A counter with a name that writes through to a "system" the test controls.
class TCounterObject : public TGrellSysObject {
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
        WriteChange("Counter:Name", name, value, [&] {
            if (refuseWrite) throw EOSError(5, "Access is denied.");
        });
        name = value;
    }

    std::string name = "first";
    int reads = 0;
    bool failRetrieve = false;
    bool refuseWrite = false;
};

class TCounter : public TGrellSysBaseComponent {
public:
    TCounter(TComponent* owner, platform::Platform& platform) : TGrellSysBaseComponent(owner) {
        auto object = std::make_unique<TCounterObject>(platform);
        counter = object.get();
        SetInformationObject(std::move(object));
    }
    TCounterObject* counter;
};

struct Fired {
    std::string name, oldValue, newValue;
    TDateTime when;
};

class SysBaseTest : public ::testing::Test {
protected:
    FakePlatform machine;
    TComponent form{nullptr};
    TCounter* component = new TCounter(&form, machine);
    TGrellSysLog* log = new TGrellSysLog(&form, machine.system());
    TStringList lines;
};

TEST_F(SysBaseTest, RecordsKeepTheFirstOldValueAndGoWhenTheValueReturns) {
    TCounterObject& object = *component->counter;
    std::vector<Fired> fired;
    object.SetOnChange([&](TObject& sender, const std::string& name, const std::string& oldValue,
                           const std::string& newValue, TDateTime when) {
        EXPECT_EQ(&sender, &object);
        fired.push_back({name, oldValue, newValue, when});
    });
    object.RecordChange("Disk:Label", "A", "B");
    object.RecordChange("Disk:Label", "B", "C");
    ASSERT_EQ(object.PendingChanges().size(), 1u);
    object.CommitChange("Disk:Label");
    object.RecordChange("Disk:Label", "A", "B");
    object.RecordChange("Disk:Label", "B", "A");
    object.CommitChange("Disk:Label");
    object.CommitChange("Nothing:Pending");
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].name, "Disk:Label");
    EXPECT_EQ(fired[0].oldValue, "A");
    EXPECT_EQ(fired[0].newValue, "C");
    EXPECT_EQ(probes::DateTimeText(machine.system(), fired[0].when), "2004-06-15 12:30:00");
    EXPECT_TRUE(object.PendingChanges().empty());
}

TEST_F(SysBaseTest, ACommittedWriteReachesTheLogLine) {
    log->SetStrings(&lines);
    component->SetSysLog(log);
    component->counter->SetName("second");
    EXPECT_EQ(lines.toVector(), std::vector<std::string>{"Counter:Name:first - second 2004-06-15 12:30:00"});
}

TEST_F(SysBaseTest, AFailedWriteLeavesNoRecordAndNoLogLine) {
    log->SetStrings(&lines);
    component->SetSysLog(log);
    component->counter->refuseWrite = true;
    EXPECT_THROW(component->counter->SetName("second"), EOSError);
    EXPECT_TRUE(component->counter->PendingChanges().empty());
    EXPECT_EQ(component->counter->name, "first");
    EXPECT_TRUE(lines.empty());
}

TEST_F(SysBaseTest, ARemovedLogIsForgotten) {
    component->SetSysLog(log);
    delete log;
    EXPECT_EQ(component->SysLog(), nullptr);
    component->counter->SetName("second");  // commits silently
    EXPECT_TRUE(component->counter->PendingChanges().empty());
}

TEST_F(SysBaseTest, ListingFollowsThePublishedOrderAndTheUsersDecimalSeparator) {
    machine.localeFake.items[platform::locale_item::kDecimalSeparator] = ",";
    component->counter->ListProperties(lines);
    component->counter->ListPropertiesTyped(lines);
    EXPECT_EQ(lines.toVector(), (std::vector<std::string>{"Name = first", "Ratio = 2,5", "Reads = 0",
                                                          "Name: String = first", "Ratio: Double = 2,5",
                                                          "Reads: Integer = 0"}));
}

TEST_F(SysBaseTest, RefreshCallsItsEventsAroundTheRead) {
    std::vector<std::string> calls;
    component->OnRefresh = [&](TObject& sender) {
        EXPECT_EQ(&sender, component);
        calls.push_back("before " + std::to_string(component->counter->reads));
    };
    component->OnAfterRefresh = [&](TObject& sender) {
        EXPECT_EQ(&sender, component);
        calls.push_back("after " + std::to_string(component->counter->reads));
    };
    EXPECT_FALSE(component->Retrieved());
    component->Refresh();
    EXPECT_TRUE(component->Retrieved());
    EXPECT_EQ(calls, (std::vector<std::string>{"before 0", "after 1"}));
}

TEST_F(SysBaseTest, AFailedRefreshKeepsRetrievedAndSkipsTheAfterEvent) {
    bool after = false;
    component->OnAfterRefresh = [&](TObject&) { after = true; };
    component->counter->failRetrieve = true;
    EXPECT_THROW(component->Refresh(), Exception);
    EXPECT_FALSE(component->Retrieved());
    EXPECT_FALSE(after);
}

TEST_F(SysBaseTest, LoadingRefreshesOnlyWithAutoRetrieve) {
    component->loaded();
    EXPECT_EQ(component->counter->reads, 0);
    component->SetAutoRetrieve(true);
    component->loaded();
    EXPECT_EQ(component->counter->reads, 1);
}

TEST_F(SysBaseTest, LogWritesToMemoListBoxAndStringsAndSurvivesARefusingList) {
    TComponent* memo = new TComponent(&form);
    TComponent* listBox = new TComponent(&form);
    TStringList memoLines, listItems;
    lines.setSorted(true);
    lines.setDuplicates(Duplicates::Error);
    log->SetStrings(&lines);
    log->SetMemo(memo, &memoLines);
    log->SetListBox(listBox, &listItems);
    log->WriteLine("same");
    log->WriteLine("same");
    EXPECT_EQ(memoLines.count(), 2);
    EXPECT_EQ(listItems.count(), 2);
    EXPECT_EQ(lines.count(), 1);
    delete memo;
    EXPECT_EQ(log->Memo(), nullptr);
    log->WriteLine("after");
    EXPECT_EQ(memoLines.count(), 2);
}

class TNamedItem : public TGrellSysCollectionItem {};

TEST(SysCollectionTest, ItemKeysCarryTheItemIndex) {
    FakePlatform machine;
    TGrellSysCollection collection([] { return std::make_unique<TNamedItem>(); }, machine);
    for (int i = 0; i < 4; ++i) collection.add();
    auto* item = collection.itemAs<TNamedItem>(3);
    item->RecordChange("Uninstall[%d]:Publisher", "Old", "New");
    EXPECT_TRUE(collection.IsChanged("Uninstall[3]:Publisher"));
    EXPECT_TRUE(item->IsChanged("Uninstall[%d]:Publisher"));
    EXPECT_FALSE(collection.itemAs<TNamedItem>(2)->IsChanged("Uninstall[%d]:Publisher"));
    item->CommitChange("Uninstall[%d]:Publisher");
    EXPECT_FALSE(collection.IsChanged("Uninstall[3]:Publisher"));
}

}  // namespace
}  // namespace vardak::grell
