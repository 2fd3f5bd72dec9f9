#include "framework/Classes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/SysUtils.h"
#include "tests/support/FakePlatform.h"

namespace vardak {
namespace {

using Log = std::vector<std::string>;

int occurrences(const Log& log, const std::string& entry) {
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

class LoggedComponent : public TComponent {
public:
    LoggedComponent(TComponent* owner, Log& log, std::string id)
        : TComponent(owner), log_(log), id_(std::move(id)) {}
    ~LoggedComponent() override { log_.push_back(id_); }

private:
    Log& log_;
    std::string id_;
};

// Holds a reference to another component and drops it when that one goes away.
class Watcher : public TComponent {
public:
    using TComponent::TComponent;
    void watch(TComponent* component) {
        watched = component;
        if (component) freeNotification(component);
    }
    TComponent* watched = nullptr;
    int removals = 0;

protected:
    void notification(TComponent* component, Operation operation) override {
        TComponent::notification(component, operation);
        if (operation == Operation::Remove && component == watched) {
            watched = nullptr;
            ++removals;
        }
    }
};

class CountedObject : public TObject {
public:
    explicit CountedObject(int& freed) : freed_(freed) {}
    ~CountedObject() override { ++freed_; }

private:
    int& freed_;
};

// ---------------------------------------------------------------- components

TEST(FrameworkComponentTest, OwnerFreesChildrenOnceNewestFirst) {
    Log log;
    auto* root = new LoggedComponent(nullptr, log, "root");
    new LoggedComponent(root, log, "a");
    new LoggedComponent(root, log, "b");
    new LoggedComponent(root, log, "c");
    ASSERT_EQ(root->componentCount(), 3);

    delete root;

    EXPECT_EQ(log, (Log{"root", "c", "b", "a"}));
}

TEST(FrameworkComponentTest, ChildDeletedFirstLeavesItsOwner) {
    Log log;
    auto* root = new LoggedComponent(nullptr, log, "root");
    auto* a = new LoggedComponent(root, log, "a");
    auto* b = new LoggedComponent(root, log, "b");
    auto* c = new LoggedComponent(root, log, "c");

    delete b;
    ASSERT_EQ(root->componentCount(), 2);
    EXPECT_EQ(root->component(0), a);
    EXPECT_EQ(root->component(1), c);
    EXPECT_EQ(c->componentIndex(), 1);
    EXPECT_THROW(root->component(2), EListError);
    delete root;

    EXPECT_EQ(log, (Log{"b", "root", "c", "a"}));
}

TEST(FrameworkComponentTest, NestedOwnersFreeTheirWholeTreeOnce) {
    Log log;
    auto* root = new LoggedComponent(nullptr, log, "root");
    auto* middle = new LoggedComponent(root, log, "middle");
    new LoggedComponent(middle, log, "leaf1");
    new LoggedComponent(middle, log, "leaf2");
    new LoggedComponent(root, log, "last");

    delete root;

    EXPECT_EQ(log, (Log{"root", "last", "middle", "leaf2", "leaf1"}));
    for (const char* id : {"root", "middle", "leaf1", "leaf2", "last"}) {
        EXPECT_EQ(occurrences(log, id), 1) << id;
    }
}

TEST(FrameworkComponentTest, InsertComponentMovesItBetweenOwners) {
    TComponent first(nullptr);
    TComponent second(nullptr);
    auto* child = new TComponent(&first);

    second.insertComponent(child);

    EXPECT_EQ(first.componentCount(), 0);
    ASSERT_EQ(second.componentCount(), 1);
    EXPECT_EQ(child->owner(), &second);
    EXPECT_EQ(child->componentIndex(), 0);
}

TEST(FrameworkComponentTest, NamesAreUniqueAmongSiblingsWithoutCase) {
    TComponent owner(nullptr);
    auto* first = new TComponent(&owner);
    auto* second = new TComponent(&owner);
    first->setName("Processor");

    EXPECT_THROW(second->setName("PROCESSOR"), EComponentError);
    EXPECT_EQ(second->name(), "");
    first->setName("PROCESSOR");  // its own name in other letters
    second->setName("Memory");
    EXPECT_EQ(owner.findComponent("processor"), first);
    EXPECT_EQ(owner.findComponent("memory"), second);
    EXPECT_EQ(owner.findComponent(""), nullptr);
    EXPECT_EQ(owner.findComponent("Disk"), nullptr);
}

TEST(FrameworkComponentTest, NamesMustBeIdentifiers) {
    TComponent component(nullptr);
    EXPECT_THROW(component.setName("1st"), EComponentError);
    EXPECT_THROW(component.setName("has space"), EComponentError);
    component.setName("_Ok2");
    component.setName("");
    EXPECT_EQ(component.name(), "");
}

TEST(FrameworkComponentTest, FreeNotificationClearsReferenceAcrossOwners) {
    TComponent formA(nullptr);
    TComponent formB(nullptr);
    auto* watcher = new Watcher(&formA);
    auto* log = new TComponent(&formB);
    watcher->watch(log);

    delete log;

    EXPECT_EQ(watcher->watched, nullptr);
    EXPECT_EQ(watcher->removals, 1);
}

TEST(FrameworkComponentTest, SiblingHearsOfRemovalThroughOwner) {
    TComponent form(nullptr);
    auto* watcher = new Watcher(&form);
    auto* other = new TComponent(&form);
    watcher->watched = other;  // no free notification: the owner passes the news on

    delete other;

    EXPECT_EQ(watcher->watched, nullptr);
}

TEST(FrameworkComponentTest, RemovedFreeNotificationIsNotSent) {
    Watcher watcher(nullptr);
    auto* target = new TComponent(nullptr);
    watcher.watch(target);
    watcher.removeFreeNotification(target);

    delete target;

    EXPECT_EQ(watcher.removals, 0);
}

TEST(FrameworkComponentTest, PublishesNameAndTag) {
    TComponent component(nullptr);
    component.setName("Cpu");
    component.setTag(7);
    EXPECT_EQ(propertyLines(component, true),
              (std::vector<std::string>{"Name: TComponentName = Cpu", "Tag: Longint = 7"}));
}

// ---------------------------------------------------------------- string lists

TEST(FrameworkStringListTest, OwnedObjectsFreedOnDeleteReplaceAndClear) {
    int freed = 0;
    TStringList list;
    list.addObject("one", std::make_unique<CountedObject>(freed));
    list.addObject("two", std::make_unique<CountedObject>(freed));
    list.addObject("three", std::make_unique<CountedObject>(freed));

    list.remove(0);
    EXPECT_EQ(freed, 1);
    list.setObject(0, std::make_unique<CountedObject>(freed));
    EXPECT_EQ(freed, 2);
    list.setString(0, "renamed");  // the object stays with its line
    EXPECT_EQ(freed, 2);
    EXPECT_NE(list.object(0), nullptr);
    list.clear();
    EXPECT_EQ(freed, 4);
}

TEST(FrameworkStringListTest, OwnedObjectsFreedWithTheList) {
    int freed = 0;
    {
        TStringList list;
        list.addObject("a", std::make_unique<CountedObject>(freed));
        list.add("plain");
        list.addObject("b", std::make_unique<CountedObject>(freed));
    }
    EXPECT_EQ(freed, 2);
}

TEST(FrameworkStringListTest, ExtractedObjectLeavesTheListsCare) {
    int freed = 0;
    TStringList list;
    list.addObject("a", std::make_unique<CountedObject>(freed));
    std::unique_ptr<TObject> taken = list.extractObject(0);
    list.clear();
    EXPECT_EQ(freed, 0);
    taken.reset();
    EXPECT_EQ(freed, 1);
}

TEST(FrameworkStringListTest, MoveAndExchangeCarryObjects) {
    int freed = 0;
    TStringList list;
    list.add("a");
    list.addObject("b", std::make_unique<CountedObject>(freed));
    list.add("c");
    TObject* object = list.object(1);

    list.move(1, 2);
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(list.object(2), object);
    list.exchange(0, 2);
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(list.object(0), object);
    EXPECT_EQ(freed, 0);
}

TEST(FrameworkStringListTest, IndexOutsideTheListRaises) {
    TStringList list;
    list.add("only");
    EXPECT_THROW(list.strings(1), EStringListError);
    EXPECT_THROW(list.strings(-1), EStringListError);
    EXPECT_THROW(list.remove(1), EStringListError);
    EXPECT_THROW(list.insert(2, "x"), EStringListError);
    list.insert(1, "end");
    EXPECT_EQ(list[1], "end");
}

TEST(FrameworkStringListTest, IndexOfIgnoresAnsiCase) {
    TStringList list;
    list.add("Alpha");
    list.add("\xC6" "ble");  // AEble with the capital ligature
    EXPECT_EQ(list.indexOf("ALPHA"), 0);
    EXPECT_EQ(list.indexOf("\xE6" "BLE"), 1);
    EXPECT_EQ(list.indexOf("Alph"), -1);
}

TEST(FrameworkStringListTest, NameValueLines) {
    TStringList list;
    list.setText("Language=da\r\nplain line\r\nEmpty=\r\nPath=C:\\a=b\r\n");
    EXPECT_EQ(list.names(0), "Language");
    EXPECT_EQ(list.names(1), "");
    EXPECT_EQ(list.values("LANGUAGE"), "da");
    EXPECT_EQ(list.values("path"), "C:\\a=b");
    EXPECT_EQ(list.values("missing"), "");
    EXPECT_EQ(list.indexOfName("empty"), 2);

    list.setValue("language", "sv");
    EXPECT_EQ(list[0], "language=sv");
    list.setValue("New", "1");
    EXPECT_EQ(list[4], "New=1");
    list.setValue("Path", "");
    EXPECT_EQ(list.indexOfName("Path"), -1);
    EXPECT_EQ(list.count(), 4);
}

TEST(FrameworkStringListTest, SetTextSplitsAtEveryKindOfLineEnd) {
    TStringList list;
    list.setText("a\r\nb\nc\rd");
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"a", "b", "c", "d"}));
    list.setText("a\r\n\r\nb\r\n");
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"a", "", "b"}));
    list.setText("a\n\rb");
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"a", "", "b"}));
    list.setText("\r\n");
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{""}));
    list.setText("");
    EXPECT_EQ(list.count(), 0);
}

TEST(FrameworkStringListTest, CommaTextQuotesWhatNeedsIt) {
    TStringList list;
    for (const char* line : {"plain", "with space", "a,b", "say \"hi\"", "tab\there", ""}) list.add(line);
    EXPECT_EQ(list.commaText(), "plain,\"with space\",\"a,b\",\"say \"\"hi\"\"\",\"tab\there\",");

    TStringList copy;
    copy.setCommaText(list.commaText());
    EXPECT_EQ(copy.toVector(), list.toVector());
}

TEST(FrameworkStringListTest, SingleEmptyLineHasQuotedCommaText) {
    TStringList list;
    list.add("");
    EXPECT_EQ(list.commaText(), "\"\"");
    TStringList copy;
    copy.setCommaText("\"\"");
    EXPECT_EQ(copy.toVector(), (std::vector<std::string>{""}));
    copy.setCommaText("");
    EXPECT_EQ(copy.count(), 0);
}

TEST(FrameworkStringListTest, SetCommaTextSplitsAtBlanksAndCommas) {
    TStringList list;
    list.setCommaText("  a b,  c ,\"d e\"f,,g");
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"a", "b", "c", "d e", "f", "", "g"}));
    list.setCommaText("x, ");
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"x"}));
    list.setCommaText("\"open quote");
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"open quote"}));
}

class Numbered : public TObject {
public:
    explicit Numbered(int number) : number(number) {}
    const int number;
};

TEST(FrameworkStringListTest, SortIgnoresAnsiCase) {
    TStringList list;
    for (const char* line : {"b", "A", "c", "\xE5" "se", "\xC5" "r", "a"}) list.add(line);
    list.sort();
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"A", "a", "b", "c", "\xC5" "r", "\xE5" "se"}));
}

TEST(FrameworkStringListTest, SortKeepsEqualLinesInTheirOrder) {
    // Enough lines that an unstable sort would show.
    constexpr const char* kSpellings[] = {"key", "KEY", "Key", "other", "OTHER"};
    TStringList list;
    for (int i = 0; i < 60; ++i) list.addObject(kSpellings[(i * 7) % 5], std::make_unique<Numbered>(i));
    list.sort();

    int previous = -1;
    for (int i = 0; i < list.count(); ++i) {
        const int number = static_cast<const Numbered*>(list.object(i))->number;
        if (i > 0 && sameText(list[i], list[i - 1])) {
            EXPECT_GT(number, previous) << i;
        }
        previous = number;
    }
    EXPECT_TRUE(sameText(list[0], "key"));
    EXPECT_TRUE(sameText(list[59], "other"));
}

TEST(FrameworkStringListTest, SortedListKeepsOrderAndHandlesDuplicates) {
    TStringList list;
    list.setSorted(true);
    list.add("m");
    list.add("b");
    list.add("B");
    list.add("z");
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"b", "B", "m", "z"}));
    EXPECT_EQ(list.indexOf("M"), 2);
    EXPECT_THROW(list.insert(0, "a"), EStringListError);
    EXPECT_THROW(list.setString(0, "a"), EStringListError);

    list.setDuplicates(Duplicates::Ignore);
    EXPECT_EQ(list.add("Z"), 3);
    EXPECT_EQ(list.count(), 4);
    list.setDuplicates(Duplicates::Error);
    EXPECT_THROW(list.add("m"), EStringListError);
}

TEST(FrameworkStringListTest, SavesAndLoadsThroughTheFileSystem) {
    testing::FakePlatform machine;
    TStringList list;
    list.add("first");
    list.add("second");
    list.saveToFile(machine.files(), "C:\\list.txt");
    EXPECT_EQ(machine.files().readFile("C:\\list.txt"), "first\r\nsecond\r\n");

    machine.filesFake.addFile("C:\\unix.txt", "x\ny\n");
    list.loadFromFile(machine.files(), "C:\\unix.txt");
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"x", "y"}));
    EXPECT_THROW(list.loadFromFile(machine.files(), "C:\\missing.txt"), EFOpenError);
}

TEST(FrameworkStringListTest, SaveToReadOnlyFileRaises) {
    testing::FakePlatform machine;
    machine.filesFake.addFile("C:\\locked.txt", "");
    machine.filesFake.markReadOnly("C:\\locked.txt");
    TStringList list;
    EXPECT_THROW(list.saveToFile(machine.files(), "C:\\locked.txt"), EFCreateError);
}

// ---------------------------------------------------------------- collections

class NamedItem : public TCollectionItem {
public:
    std::string label;
    void publishProperties(PropertyTable& table) const override {
        TCollectionItem::publishProperties(table);
        table.string("Label", label);
    }
};

class CountingCollection : public TCollection {
public:
    CountingCollection() : TCollection(factoryOf<NamedItem>()) {}
    int updates = 0;

protected:
    void update(TCollectionItem*) override { ++updates; }
};

std::vector<std::string> labels(const TCollection& collection) {
    std::vector<std::string> result;
    for (int i = 0; i < collection.count(); ++i) {
        result.push_back(collection.itemAs<NamedItem>(i)->label);
        EXPECT_EQ(collection.item(i)->index(), i);
    }
    return result;
}

NamedItem* addNamed(TCollection& collection, const std::string& label) {
    auto* item = static_cast<NamedItem*>(collection.add());
    item->label = label;
    return item;
}

TEST(FrameworkCollectionTest, IndexesFollowInsertDeleteAndMove) {
    CountingCollection collection;
    addNamed(collection, "a");
    addNamed(collection, "b");
    addNamed(collection, "c");
    static_cast<NamedItem*>(collection.insert(1))->label = "new";
    EXPECT_EQ(labels(collection), (std::vector<std::string>{"a", "new", "b", "c"}));

    collection.remove(0);
    EXPECT_EQ(labels(collection), (std::vector<std::string>{"new", "b", "c"}));

    collection.item(2)->setIndex(0);
    EXPECT_EQ(labels(collection), (std::vector<std::string>{"c", "new", "b"}));
    EXPECT_EQ(collection.item(0)->collection(), &collection);
}

TEST(FrameworkCollectionTest, OutOfRangeIndexesRaiseAndChangeNothing) {
    CountingCollection collection;
    addNamed(collection, "a");
    EXPECT_THROW(collection.insert(2), EListError);
    EXPECT_THROW(collection.item(1), EListError);
    EXPECT_THROW(collection.remove(-1), EListError);
    EXPECT_THROW(collection.item(0)->setIndex(1), EListError);
    EXPECT_EQ(labels(collection), (std::vector<std::string>{"a"}));
}

TEST(FrameworkCollectionTest, DeletedItemLeavesItsCollection) {
    CountingCollection collection;
    addNamed(collection, "a");
    NamedItem* b = addNamed(collection, "b");
    addNamed(collection, "c");
    delete b;
    EXPECT_EQ(labels(collection), (std::vector<std::string>{"a", "c"}));
}

TEST(FrameworkCollectionTest, UpdatesWaitForTheLastEndUpdate) {
    CountingCollection collection;
    addNamed(collection, "a");
    EXPECT_EQ(collection.updates, 1);

    collection.beginUpdate();
    addNamed(collection, "b");
    addNamed(collection, "c");
    collection.remove(0);
    EXPECT_EQ(collection.updates, 1);
    collection.endUpdate();
    EXPECT_EQ(collection.updates, 2);

    collection.clear();
    EXPECT_EQ(collection.updates, 3);
    EXPECT_EQ(collection.count(), 0);
}

// ---------------------------------------------------------------- published properties

constexpr std::string_view kDriveTypeNames[] = {"dtUnknown", "dtNoRoot", "dtRemovable", "dtFixed"};
constexpr std::string_view kFlagNames[] = {"dfCompressed", "dfQuotas", "dfUnicode"};

class SampleChild : public TPersistent {
public:
    int size = 512;
    void publishProperties(PropertyTable& table) const override { table.integer("Size", size); }
};

class Sample : public TPersistent {
public:
    Sample() { lines.add("x y"); lines.add("z"); }

    int count = 3;
    bool ready = true;
    int driveType = 3;
    uint64_t flags = 0b101;
    double ratio = 0.25;
    std::string label = "C:";
    TStringList lines;
    SampleChild child;
    const Sample* next = nullptr;

    void publishProperties(PropertyTable& table) const override {
        table.integer("Count", count)
            .boolean("Ready", ready)
            .enumeration("DriveType", "TDriveType", kDriveTypeNames, driveType)
            .set("Flags", "TDriveFlags", kFlagNames, flags)
            .floating("Ratio", ratio)
            .string("Label", label)
            .object("Lines", "TStrings", &lines)
            .object("Child", &child)
            .object("Next", "TSample", next)
            .method("OnChange");
    }
};

TEST(FrameworkPropertyTest, ListsEveryKindAsText) {
    Sample sample;
    EXPECT_EQ(propertyLines(sample, false), (std::vector<std::string>{
                                                "Count = 3",
                                                "Ready = True",
                                                "DriveType = dtFixed",
                                                "Flags = [dfCompressed,dfUnicode]",
                                                "Ratio = 0.25",
                                                "Label = C:",
                                                "Lines = \"x y\",z",
                                                "Child.Size = 512",
                                                "OnChange = UNKNOWN",
                                            }));
}

TEST(FrameworkPropertyTest, TypedListingNamesTheTypes) {
    Sample sample;
    const std::vector<std::string> lines = propertyLines(sample, true);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[1], "Ready: Boolean = True");
    EXPECT_EQ(lines[2], "DriveType: TDriveType = dtFixed");
    EXPECT_EQ(lines[6], "Lines: TStrings = \"x y\",z");
    EXPECT_EQ(lines[7], "Child.Size: Integer = 512");
    EXPECT_EQ(lines[8], "OnChange: TNotifyEvent = UNKNOWN");
}

TEST(FrameworkPropertyTest, OrdinalsOutsideTheTablesGiveTheirNumbers) {
    Sample sample;
    sample.driveType = 9;
    sample.flags = 0b1010;  // dfQuotas and a member the table does not name
    sample.ready = false;
    const PropertyTable table = sample.publishedProperties();
    EXPECT_EQ(table.find("DriveType")->text, "9");
    EXPECT_EQ(table.find("Flags")->text, "[dfQuotas,3]");
    EXPECT_EQ(table.find("Ready")->text, "False");
    EXPECT_EQ(nameOfOrdinal(kDriveTypeNames, -1), "-1");
    EXPECT_EQ(ordinalOfName(kDriveTypeNames, "DTFIXED"), 3);
    EXPECT_EQ(ordinalOfName(kDriveTypeNames, "dtRam"), std::nullopt);
}

TEST(FrameworkPropertyTest, FloatsUseTheGivenDecimalSeparator) {
    Sample sample;
    sample.ratio = -1234.5;
    const PropertySnapshot snapshot = flattenProperties(sample, "", PropertyFormat{','});
    EXPECT_EQ(snapshot[4].text, "-1234,5");
}

TEST(FrameworkPropertyTest, NestedObjectsAndPrefixes) {
    Sample inner;
    inner.count = 8;
    Sample outer;
    outer.next = &inner;
    const PropertySnapshot snapshot = flattenProperties(outer, "Drive.");
    const auto found = std::find_if(snapshot.begin(), snapshot.end(),
                                    [](const PropertyValue& value) { return value.name == "Drive.Next.Count"; });
    ASSERT_NE(found, snapshot.end());
    EXPECT_EQ(found->text, "8");
    EXPECT_EQ(snapshot.size(), 18u);
}

TEST(FrameworkPropertyTest, CyclicReferencesEndTheWalk) {
    Sample a;
    Sample b;
    a.next = &b;
    b.next = &a;
    EXPECT_EQ(flattenProperties(a).size(), 18u);
}

TEST(FrameworkPropertyTest, CollectionItemsFollowUnderItemPrefixes) {
    CountingCollection collection;
    addNamed(collection, "first");
    addNamed(collection, "second");
    EXPECT_EQ(propertyLines(collection, false),
              (std::vector<std::string>{"Item[0].Label = first", "Item[1].Label = second"}));
}

TEST(FrameworkPropertyTest, SnapshotComparisonReportsChangedAddedAndRemoved) {
    const PropertySnapshot before = {{"Label", "String", "old"}, {"Size", "Integer", "1"}, {"Gone", "Integer", "5"}};
    const PropertySnapshot after = {{"Label", "String", "new"}, {"Size", "Integer", "1"}, {"Added", "Integer", "2"}};
    const std::vector<PropertyChange> changes = compareSnapshots(before, after);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].name, "Label");
    EXPECT_EQ(changes[0].oldText, "old");
    EXPECT_EQ(changes[0].newText, "new");
    EXPECT_EQ(changes[1].name, "Added");
    EXPECT_EQ(changes[1].oldText, "");
    EXPECT_EQ(changes[2].name, "Gone");
    EXPECT_EQ(changes[2].newText, "");
}

TEST(FrameworkPropertyTest, SnapshotsOfAChangedObjectDifferInThatValue) {
    Sample sample;
    const PropertySnapshot before = flattenProperties(sample);
    sample.child.size = 1024;
    const std::vector<PropertyChange> changes = compareSnapshots(before, flattenProperties(sample));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].name, "Child.Size");
    EXPECT_EQ(changes[0].newText, "1024");
}

}  // namespace
}  // namespace vardak
