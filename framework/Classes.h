// The class framework: the root object, persistent objects with a table of published
// properties, components owned by a component, collections of owned items and string
// lists whose lines can carry an owned object.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "framework/Exception.h"

namespace vardak::platform {
class FileSystem;
}

namespace vardak {

// ---------------------------------------------------------------- TObject

// Objects live at one address for their whole life: they are neither copied nor moved.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    virtual std::string_view className() const { return "TObject"; }
};

// ---------------------------------------------------------------- published properties

class TPersistent;

enum class TypeKind {
    Integer, Int64, Char, WChar, String, Enumeration, Float, Set, Class,
    Method, Variant, Array, Record, Interface, DynArray, Unknown,
};

// Member names of an enumeration or set type, in ordinal order.
using NameTable = std::span<const std::string_view>;

// The member's name; an ordinal outside the table gives its number.
std::string nameOfOrdinal(NameTable names, int64_t ordinal);
// The ordinal of a member name (compared without case), or nothing.
std::optional<int> ordinalOfName(NameTable names, std::string_view name);
// Member names of a set (bit n set: member n present) joined by ",", no brackets.
std::string setMemberNames(NameTable names, uint64_t members);

struct PublishedProperty {
    std::string name;
    TypeKind kind = TypeKind::Unknown;
    std::string typeName;
    std::string text;                     // the value as text; not used by Float and Class
    double number = 0;                    // the value of a Float property
    const TPersistent* object = nullptr;  // the value of a Class property, may be null
};

// The published properties of an object, in declaration order. Classes fill it in
// publishProperties with the fluent adders, after their base class's properties.
class PropertyTable {
public:
    PropertyTable& integer(std::string_view name, int64_t value, std::string_view typeName = "Integer");
    PropertyTable& cardinal(std::string_view name, uint32_t value);
    PropertyTable& int64(std::string_view name, int64_t value, std::string_view typeName = "Int64");
    PropertyTable& boolean(std::string_view name, bool value);
    PropertyTable& character(std::string_view name, char value, std::string_view typeName = "Char");
    PropertyTable& string(std::string_view name, std::string_view value, std::string_view typeName = "String");
    PropertyTable& enumeration(std::string_view name, std::string_view typeName, NameTable names,
                               int64_t ordinal);
    template <class Enum>
        requires std::is_enum_v<Enum>
    PropertyTable& enumeration(std::string_view name, std::string_view typeName, NameTable names,
                               Enum value) {
        return enumeration(name, typeName, names, static_cast<int64_t>(value));
    }
    // Bit n of `members` set: member n of the set type is present.
    PropertyTable& set(std::string_view name, std::string_view typeName, NameTable names,
                       uint64_t members);
    PropertyTable& floating(std::string_view name, double value, std::string_view typeName = "Double");
    PropertyTable& object(std::string_view name, std::string_view typeName, const TPersistent* value);
    // The type name is the object's class name ("TObject" when there is none).
    PropertyTable& object(std::string_view name, const TPersistent* value);
    PropertyTable& method(std::string_view name, std::string_view typeName = "TNotifyEvent");
    // Properties of the kinds that carry no text of their own (variants, records...).
    PropertyTable& other(std::string_view name, TypeKind kind, std::string_view typeName);

    const std::vector<PublishedProperty>& properties() const { return properties_; }
    const PublishedProperty* find(std::string_view name) const;

private:
    PropertyTable& add(std::string_view name, TypeKind kind, std::string_view typeName, std::string text);

    std::vector<PublishedProperty> properties_;
};

// ---------------------------------------------------------------- TPersistent

class TPersistent : public TObject {
public:
    std::string_view className() const override { return "TPersistent"; }
    // Derived classes call their base class's version first.
    virtual void publishProperties(PropertyTable& table) const {}
    PropertyTable publishedProperties() const;
};

// One published value of a flattened object: "Name" or "Object.Name", its type
// name and its value as text.
struct PropertyValue {
    std::string name;
    std::string typeName;
    std::string text;
};
using PropertySnapshot = std::vector<PropertyValue>;

struct PropertyFormat {
    char decimalSeparator = '.';
};

// The published values of `instance` and of the objects it references, in order.
// A string list gives its comma text; any other object gives no line of its own but
// its values under "<property>." prefixes (nothing for a null reference); a
// collection's items follow under "Item[<index>]." prefixes. Method, variant, array,
// record, interface and dynamic-array properties give "UNKNOWN", unknown kinds "".
// An object already being flattened further up the chain is not entered again.
PropertySnapshot flattenProperties(const TPersistent& instance, std::string_view prefix = "",
                                   const PropertyFormat& format = {});

// "Name = value", or "Name: Type = value" when typed.
std::string propertyLine(const PropertyValue& value, bool typed);
std::vector<std::string> propertyLines(const TPersistent& instance, bool typed,
                                       const PropertyFormat& format = {});

struct PropertyChange {
    std::string name;
    std::string oldText;
    std::string newText;
};

// The values whose text differs between two snapshots, in the order of `after`,
// then the names only `before` has. A name missing on one side has the text "".
std::vector<PropertyChange> compareSnapshots(const PropertySnapshot& before, const PropertySnapshot& after);

// ---------------------------------------------------------------- TComponent

// A component is owned by its owner, which frees it; components with an owner must
// therefore be allocated with new. Deleting a component first takes it out of its
// owner and frees the components it owns, the most recently created first.
class TComponent : public TPersistent {
public:
    enum class Operation { Insert, Remove };

    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    std::string_view className() const override { return "TComponent"; }
    void publishProperties(PropertyTable& table) const override;

    TComponent* owner() const { return owner_; }
    const std::string& name() const { return name_; }
    // Raises EComponentError for a name that is not an identifier or that a sibling has.
    virtual void setName(std::string_view name);
    int32_t tag() const { return tag_; }
    void setTag(int32_t tag) { tag_ = tag; }

    int componentCount() const { return static_cast<int>(components_.size()); }
    TComponent* component(int index) const;
    // The owned component with this name, compared without case; null for "".
    TComponent* findComponent(std::string_view name) const;
    // The position in the owner's list, -1 without owner.
    int componentIndex() const;

    // Takes over `component` (from its previous owner, if any).
    void insertComponent(TComponent* component);
    // Gives up `component` without freeing it.
    void removeComponent(TComponent* component);

    // Asks for a Remove notification when `component` is destroyed, and the other way round.
    void freeNotification(TComponent* component);
    void removeFreeNotification(TComponent* component);

    // Called once the layout that created the component has been read completely.
    virtual void loaded() {}

    bool isDestroying() const { return destroying_; }

protected:
    // Insert/Remove of an owned component, or Remove of a component this one asked
    // to be told about. The base version passes the news on to the owned components.
    virtual void notification(TComponent* component, Operation operation);

private:
    void destroyComponents();
    void notifyFreeNotifies();
    void validateRename(const TComponent* component, std::string_view newName) const;
    void unlinkFreeNotification(TComponent* component);

    TComponent* owner_ = nullptr;
    std::string name_;
    int32_t tag_ = 0;
    bool destroying_ = false;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
};

// ---------------------------------------------------------------- collections

class TCollection;

// An item of a collection. Deleting an item takes it out of its collection.
class TCollectionItem : public TPersistent {
public:
    TCollectionItem() = default;
    ~TCollectionItem() override;

    std::string_view className() const override { return "TCollectionItem"; }

    TCollection* collection() const { return collection_; }
    // The position in the collection, -1 when the item belongs to none.
    int index() const;
    // Moves the item to `index`; raises EListError for a position outside the collection.
    void setIndex(int index);

protected:
    // Reports a change of this item (or, with allItems, of the whole collection).
    void changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
};

// Owns its items and creates them through the factory given at construction.
class TCollection : public TPersistent {
public:
    using ItemFactory = std::function<std::unique_ptr<TCollectionItem>()>;

    template <class Item>
    static ItemFactory factoryOf() {
        return [] { return std::make_unique<Item>(); };
    }

    explicit TCollection(ItemFactory factory);
    ~TCollection() override;

    std::string_view className() const override { return "TCollection"; }

    TCollectionItem* add();
    // Raises EListError unless 0 <= index <= count().
    TCollectionItem* insert(int index);
    void remove(int index);
    void clear();
    int count() const { return static_cast<int>(items_.size()); }
    TCollectionItem* item(int index) const;

    template <class Item>
    Item* itemAs(int index) const {
        return dynamic_cast<Item*>(item(index));
    }

    void beginUpdate() { ++updateCount_; }
    void endUpdate();

protected:
    // Called after a change: `item` changed, or null for the whole collection.
    virtual void update(TCollectionItem* item) {}
    void changed();

private:
    friend class TCollectionItem;
    void detach(TCollectionItem* item);
    void moveItem(int from, int to);
    void checkIndex(int index, int limit) const;

    ItemFactory factory_;
    std::vector<TCollectionItem*> items_;
    int updateCount_ = 0;
};

// ---------------------------------------------------------------- string lists

// Lines of text, each able to carry an object the list owns: the object is freed
// when its line is deleted, when another object replaces it and when the list is
// cleared or destroyed. Indexes outside the list raise EStringListError.
class TStrings : public TPersistent {
public:
    std::string_view className() const override { return "TStrings"; }

    virtual int count() const = 0;
    virtual std::string strings(int index) const = 0;
    // Changes the text of a line; its object stays.
    virtual void setString(int index, std::string_view text) = 0;
    virtual TObject* object(int index) const;
    virtual void setObject(int index, std::unique_ptr<TObject> object);
    // Takes the object of a line out of the list's care, leaving the line without one.
    virtual std::unique_ptr<TObject> extractObject(int index);
    virtual void insertObject(int index, std::string_view text, std::unique_ptr<TObject> object) = 0;
    virtual int addObject(std::string_view text, std::unique_ptr<TObject> object);
    virtual void remove(int index) = 0;
    virtual void clear() = 0;
    // The first line equal to `text`, compared without case; -1 when none is.
    virtual int indexOf(std::string_view text) const;
    virtual void exchange(int first, int second);

    std::string operator[](int index) const { return strings(index); }
    int add(std::string_view text) { return addObject(text, nullptr); }
    void insert(int index, std::string_view text) { insertObject(index, text, nullptr); }
    virtual void move(int from, int to);
    int indexOfObject(const TObject* object) const;
    bool empty() const { return count() == 0; }

    // Lines of the form name=value.
    std::string names(int index) const;
    std::string valueFromIndex(int index) const;
    int indexOfName(std::string_view name) const;
    std::string values(std::string_view name) const;
    // Sets the line of `name`, adding one if needed; an empty value deletes the line.
    void setValue(std::string_view name, std::string_view value);

    // Every line followed by CR LF.
    std::string text() const;
    // Replaces the lines by those of `text`, split at CR LF, LF or CR; text after a NUL is ignored.
    void setText(std::string_view text);
    // Lines joined by ","; lines holding blanks, control characters, commas or quotes
    // are quoted with '"' (inner quotes doubled); one empty line gives "\"\"".
    std::string commaText() const;
    void setCommaText(std::string_view text);

    // Copies the texts of `source`; its objects stay with it.
    void addStrings(const TStrings& source);
    void assign(const TStrings& source);
    bool equals(const TStrings& other) const;
    std::vector<std::string> toVector() const;

    // Raises EFOpenError when the file cannot be read.
    void loadFromFile(platform::FileSystem& files, const std::string& path);
    // Raises EFCreateError when the file cannot be written.
    void saveToFile(platform::FileSystem& files, const std::string& path) const;

    void beginUpdate();
    void endUpdate();
    int updateCount() const { return updateCount_; }

protected:
    // Called when the first beginUpdate starts and the last endUpdate ends an update.
    virtual void setUpdateState(bool updating) {}
    void checkIndex(int index, int limit) const;

private:
    int updateCount_ = 0;
};

enum class Duplicates { Ignore, Accept, Error };

class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override = default;

    std::string_view className() const override { return "TStringList"; }

    int count() const override { return static_cast<int>(lines_.size()); }
    std::string strings(int index) const override;
    void setString(int index, std::string_view text) override;
    TObject* object(int index) const override;
    void setObject(int index, std::unique_ptr<TObject> object) override;
    std::unique_ptr<TObject> extractObject(int index) override;
    void insertObject(int index, std::string_view text, std::unique_ptr<TObject> object) override;
    // In a sorted list the line goes after the equal lines already there; what
    // happens to a duplicate depends on duplicates().
    int addObject(std::string_view text, std::unique_ptr<TObject> object) override;
    void remove(int index) override;
    void clear() override;
    int indexOf(std::string_view text) const override;
    void exchange(int first, int second) override;
    void move(int from, int to) override;

    // Sorts the lines without case, keeping equal lines in their order.
    void sort();
    bool sorted() const { return sorted_; }
    void setSorted(bool sorted);
    Duplicates duplicates() const { return duplicates_; }
    void setDuplicates(Duplicates duplicates) { duplicates_ = duplicates; }
    // Sorted lists: true when a line equals `text`; `index` is the first such line or
    // the position where `text` belongs.
    bool find(std::string_view text, int& index) const;

private:
    struct Line {
        std::string text;
        std::unique_ptr<TObject> object;
    };

    void checkUnsorted() const;
    int upperBound(std::string_view text) const;

    std::vector<Line> lines_;
    bool sorted_ = false;
    Duplicates duplicates_ = Duplicates::Accept;
};

}  // namespace vardak
