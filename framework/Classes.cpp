#include "framework/Classes.h"

#include <algorithm>
#include <map>

#include "framework/SysUtils.h"
#include "platform/Platform.h"

namespace vardak {

namespace {

constexpr std::string_view kUnknownText = "UNKNOWN";
constexpr std::string_view kBooleanNames[] = {"False", "True"};

std::string indexErrorText(int index) {
    return "List index out of bounds (" + std::to_string(index) + ")";
}

bool isIdentifierStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isIdentifierChar(char c) {
    return isIdentifierStart(c) || (c >= '0' && c <= '9');
}

bool isValidIdentifier(std::string_view name) {
    return !name.empty() && isIdentifierStart(name.front()) &&
           std::all_of(name.begin(), name.end(), isIdentifierChar);
}

template <class T>
void eraseValue(std::vector<T*>& list, const T* value) {
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

template <class Pointer, class T>
bool contains(const std::vector<Pointer>& list, const T* value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

// ---------------------------------------------------------------- name tables

std::string nameOfOrdinal(NameTable names, int64_t ordinal) {
    if (ordinal >= 0 && static_cast<uint64_t>(ordinal) < names.size()) {
        return std::string(names[static_cast<size_t>(ordinal)]);
    }
    return std::to_string(ordinal);
}

std::optional<int> ordinalOfName(NameTable names, std::string_view name) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (sameText(names[i], name)) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::string setMemberNames(NameTable names, uint64_t members) {
    std::string text;
    for (int bit = 0; bit < 64; ++bit) {
        if ((members >> bit & 1) == 0) continue;
        if (!text.empty()) text += ',';
        text += nameOfOrdinal(names, bit);
    }
    return text;
}

// ---------------------------------------------------------------- PropertyTable

PropertyTable& PropertyTable::add(std::string_view name, TypeKind kind, std::string_view typeName,
                                  std::string text) {
    PublishedProperty property;
    property.name = name;
    property.kind = kind;
    property.typeName = typeName;
    property.text = std::move(text);
    properties_.push_back(std::move(property));
    return *this;
}

PropertyTable& PropertyTable::integer(std::string_view name, int64_t value, std::string_view typeName) {
    return add(name, TypeKind::Integer, typeName, std::to_string(value));
}

PropertyTable& PropertyTable::cardinal(std::string_view name, uint32_t value) {
    return add(name, TypeKind::Integer, "Cardinal", std::to_string(value));
}

PropertyTable& PropertyTable::int64(std::string_view name, int64_t value, std::string_view typeName) {
    return add(name, TypeKind::Int64, typeName, std::to_string(value));
}

PropertyTable& PropertyTable::boolean(std::string_view name, bool value) {
    return enumeration(name, "Boolean", kBooleanNames, value ? 1 : 0);
}

PropertyTable& PropertyTable::character(std::string_view name, char value, std::string_view typeName) {
    return add(name, TypeKind::Char, typeName, std::string(1, value));
}

PropertyTable& PropertyTable::string(std::string_view name, std::string_view value,
                                     std::string_view typeName) {
    return add(name, TypeKind::String, typeName, std::string(value));
}

PropertyTable& PropertyTable::enumeration(std::string_view name, std::string_view typeName,
                                          NameTable names, int64_t ordinal) {
    return add(name, TypeKind::Enumeration, typeName, nameOfOrdinal(names, ordinal));
}

PropertyTable& PropertyTable::set(std::string_view name, std::string_view typeName, NameTable names,
                                  uint64_t members) {
    return add(name, TypeKind::Set, typeName, "[" + setMemberNames(names, members) + "]");
}

PropertyTable& PropertyTable::floating(std::string_view name, double value, std::string_view typeName) {
    add(name, TypeKind::Float, typeName, floatToStr(value));
    properties_.back().number = value;
    return *this;
}

PropertyTable& PropertyTable::object(std::string_view name, std::string_view typeName,
                                     const TPersistent* value) {
    add(name, TypeKind::Class, typeName, "");
    properties_.back().object = value;
    return *this;
}

PropertyTable& PropertyTable::object(std::string_view name, const TPersistent* value) {
    return object(name, value ? value->className() : std::string_view("TObject"), value);
}

PropertyTable& PropertyTable::method(std::string_view name, std::string_view typeName) {
    return add(name, TypeKind::Method, typeName, "");
}

PropertyTable& PropertyTable::other(std::string_view name, TypeKind kind, std::string_view typeName) {
    return add(name, kind, typeName, "");
}

const PublishedProperty* PropertyTable::find(std::string_view name) const {
    for (const PublishedProperty& property : properties_) {
        if (sameText(property.name, name)) return &property;
    }
    return nullptr;
}

// ---------------------------------------------------------------- flattening

PropertyTable TPersistent::publishedProperties() const {
    PropertyTable table;
    publishProperties(table);
    return table;
}

namespace {

class Flattener {
public:
    explicit Flattener(const PropertyFormat& format) : format_(format) {}

    void run(const TPersistent& instance, const std::string& prefix) {
        if (contains(path_, &instance)) return;
        path_.push_back(&instance);
        const PropertyTable table = instance.publishedProperties();
        for (const PublishedProperty& property : table.properties()) {
            addProperty(property, prefix);
        }
        if (const auto* collection = dynamic_cast<const TCollection*>(&instance)) {
            addItems(*collection, prefix);
        }
        path_.pop_back();
    }

    PropertySnapshot take() { return std::move(values_); }

private:
    void addProperty(const PublishedProperty& property, const std::string& prefix) {
        if (property.kind == TypeKind::Class) {
            addObject(property, prefix);
            return;
        }
        values_.push_back({prefix + property.name, property.typeName, valueText(property)});
    }

    void addObject(const PublishedProperty& property, const std::string& prefix) {
        if (property.object == nullptr) return;
        if (const auto* strings = dynamic_cast<const TStrings*>(property.object)) {
            values_.push_back({prefix + property.name, property.typeName, strings->commaText()});
            return;
        }
        run(*property.object, prefix + property.name + ".");
    }

    void addItems(const TCollection& collection, const std::string& prefix) {
        for (int i = 0; i < collection.count(); ++i) {
            run(*collection.item(i), prefix + "Item[" + std::to_string(i) + "].");
        }
    }

    std::string valueText(const PublishedProperty& property) const {
        switch (property.kind) {
            case TypeKind::Integer:
            case TypeKind::Int64:
            case TypeKind::Char:
            case TypeKind::WChar:
            case TypeKind::String:
            case TypeKind::Enumeration:
            case TypeKind::Set:
                return property.text;
            case TypeKind::Float:
                return floatToStr(property.number, format_.decimalSeparator);
            case TypeKind::Method:
            case TypeKind::Variant:
            case TypeKind::Array:
            case TypeKind::Record:
            case TypeKind::Interface:
            case TypeKind::DynArray:
                return std::string(kUnknownText);
            case TypeKind::Class:
            case TypeKind::Unknown:
                break;
        }
        return "";
    }

    const PropertyFormat& format_;
    std::vector<const TPersistent*> path_;
    PropertySnapshot values_;
};

}  // namespace

PropertySnapshot flattenProperties(const TPersistent& instance, std::string_view prefix,
                                   const PropertyFormat& format) {
    Flattener flattener(format);
    flattener.run(instance, std::string(prefix));
    return flattener.take();
}

std::string propertyLine(const PropertyValue& value, bool typed) {
    if (typed) return value.name + ": " + value.typeName + " = " + value.text;
    return value.name + " = " + value.text;
}

std::vector<std::string> propertyLines(const TPersistent& instance, bool typed,
                                       const PropertyFormat& format) {
    std::vector<std::string> lines;
    for (const PropertyValue& value : flattenProperties(instance, "", format)) {
        lines.push_back(propertyLine(value, typed));
    }
    return lines;
}

std::vector<PropertyChange> compareSnapshots(const PropertySnapshot& before, const PropertySnapshot& after) {
    std::map<std::string, const PropertyValue*> earlier;
    for (const PropertyValue& value : before) earlier.emplace(value.name, &value);

    std::vector<PropertyChange> changes;
    for (const PropertyValue& value : after) {
        const auto match = earlier.find(value.name);
        if (match == earlier.end()) {
            changes.push_back({value.name, "", value.text});
            continue;
        }
        if (match->second->text != value.text) {
            changes.push_back({value.name, match->second->text, value.text});
        }
        earlier.erase(match);
    }
    for (const PropertyValue& value : before) {
        if (earlier.count(value.name) != 0) changes.push_back({value.name, value.text, ""});
    }
    return changes;
}

// ---------------------------------------------------------------- TComponent

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr) owner->insertComponent(this);
}

TComponent::~TComponent() {
    destroying_ = true;
    notifyFreeNotifies();
    destroyComponents();
    if (owner_ != nullptr) owner_->removeComponent(this);
}

void TComponent::notifyFreeNotifies() {
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        eraseValue(other->freeNotifies_, this);
        other->notification(this, Operation::Remove);
    }
}

void TComponent::destroyComponents() {
    while (!components_.empty()) {
        TComponent* last = components_.back();
        removeComponent(last);
        delete last;
    }
}

void TComponent::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("Name", name_, "TComponentName").integer("Tag", tag_, "Longint");
}

void TComponent::setName(std::string_view name) {
    if (name_ == name) return;
    if (!name.empty() && !isValidIdentifier(name)) {
        throw EComponentError("'" + std::string(name) + "' is not a valid component name");
    }
    if (owner_ != nullptr) owner_->validateRename(this, name);
    name_ = name;
}

void TComponent::validateRename(const TComponent* component, std::string_view newName) const {
    const TComponent* holder = findComponent(newName);
    if (holder != nullptr && holder != component) {
        throw EComponentError("A component named " + std::string(newName) + " already exists");
    }
}

TComponent* TComponent::component(int index) const {
    if (index < 0 || index >= componentCount()) throw EListError(indexErrorText(index));
    return components_[static_cast<size_t>(index)];
}

TComponent* TComponent::findComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* component : components_) {
        if (sameText(component->name_, name)) return component;
    }
    return nullptr;
}

int TComponent::componentIndex() const {
    if (owner_ == nullptr) return -1;
    const auto& siblings = owner_->components_;
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void TComponent::insertComponent(TComponent* component) {
    if (component == nullptr || component->owner_ == this) return;
    validateRename(component, component->name_);
    components_.reserve(components_.size() + 1);
    if (component->owner_ != nullptr) component->owner_->removeComponent(component);
    components_.push_back(component);
    component->owner_ = this;
    notification(component, Operation::Insert);
}

void TComponent::removeComponent(TComponent* component) {
    if (component == nullptr || component->owner_ != this) return;
    notification(component, Operation::Remove);
    eraseValue(components_, component);
    component->owner_ = nullptr;
}

void TComponent::freeNotification(TComponent* component) {
    if (component == nullptr || component == this || contains(freeNotifies_, component)) return;
    freeNotifies_.push_back(component);
    component->freeNotifies_.push_back(this);
}

void TComponent::removeFreeNotification(TComponent* component) {
    unlinkFreeNotification(component);
}

void TComponent::unlinkFreeNotification(TComponent* component) {
    if (component == nullptr) return;
    eraseValue(freeNotifies_, component);
    eraseValue(component->freeNotifies_, this);
}

void TComponent::notification(TComponent* component, Operation operation) {
    if (operation == Operation::Remove) unlinkFreeNotification(component);
    // A handler may free components, so re-check the count on every step.
    for (size_t i = 0; i < components_.size(); ++i) {
        components_[i]->notification(component, operation);
    }
}

// ---------------------------------------------------------------- collections

TCollectionItem::~TCollectionItem() {
    if (collection_ != nullptr) collection_->detach(this);
}

int TCollectionItem::index() const {
    if (collection_ == nullptr) return -1;
    const auto& items = collection_->items_;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::setIndex(int index) {
    if (collection_ == nullptr) return;
    const int current = this->index();
    if (current == index) return;
    collection_->moveItem(current, index);
    changed(true);
}

void TCollectionItem::changed(bool allItems) {
    if (collection_ == nullptr || collection_->updateCount_ != 0) return;
    collection_->update(allItems ? nullptr : this);
}

TCollection::TCollection(ItemFactory factory) : factory_(std::move(factory)) {
    if (!factory_) throw EInvalidOperation("A collection needs an item factory");
}

TCollection::~TCollection() {
    // The derived part is gone: no more update calls.
    updateCount_ = 1;
    clear();
}

TCollectionItem* TCollection::add() {
    std::unique_ptr<TCollectionItem> item = factory_();
    if (!item) throw EInvalidOperation("The item factory of a collection made no item");
    items_.push_back(item.get());
    item->collection_ = this;
    changed();
    return item.release();
}

TCollectionItem* TCollection::insert(int index) {
    checkIndex(index, count());
    TCollectionItem* item = add();
    item->setIndex(index);
    return item;
}

void TCollection::remove(int index) {
    checkIndex(index, count() - 1);
    delete items_[static_cast<size_t>(index)];
}

void TCollection::clear() {
    if (items_.empty()) return;
    beginUpdate();
    while (!items_.empty()) delete items_.back();
    endUpdate();
}

TCollectionItem* TCollection::item(int index) const {
    checkIndex(index, count() - 1);
    return items_[static_cast<size_t>(index)];
}

void TCollection::endUpdate() {
    if (updateCount_ > 0) --updateCount_;
    changed();
}

void TCollection::changed() {
    if (updateCount_ == 0) update(nullptr);
}

void TCollection::detach(TCollectionItem* item) {
    eraseValue(items_, item);
    item->collection_ = nullptr;
    changed();
}

void TCollection::moveItem(int from, int to) {
    checkIndex(to, count() - 1);
    TCollectionItem* item = items_[static_cast<size_t>(from)];
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, item);
}

void TCollection::checkIndex(int index, int limit) const {
    if (index < 0 || index > limit) throw EListError(indexErrorText(index));
}

// ---------------------------------------------------------------- TStrings

namespace {

// The characters that make commaText quote a line.
bool needsQuotes(std::string_view text) {
    for (char c : text) {
        if (c == '\0') return false;
        if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',') return true;
    }
    return false;
}

std::string quoted(std::string_view text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '"') result += '"';
        result += c;
    }
    return result + '"';
}

bool isSeparatorBlank(char c) {
    return c != '\0' && static_cast<unsigned char>(c) <= ' ';
}

// Reads a quoted item starting at the quote at `at`; doubled quotes stand for one.
// An item without its closing quote runs to the end of the text.
std::string readQuoted(std::string_view text, size_t& at) {
    std::string item;
    ++at;
    while (at < text.size()) {
        const char c = text[at++];
        if (c != '"') {
            item += c;
            continue;
        }
        if (at < text.size() && text[at] == '"') {
            item += '"';
            ++at;
            continue;
        }
        break;
    }
    return item;
}

std::string readPlain(std::string_view text, size_t& at) {
    const size_t start = at;
    while (at < text.size() && static_cast<unsigned char>(text[at]) > ' ' && text[at] != ',') ++at;
    return std::string(text.substr(start, at - start));
}

void skipBlanks(std::string_view text, size_t& at) {
    while (at < text.size() && isSeparatorBlank(text[at])) ++at;
}

std::string_view upToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace

void TStrings::checkIndex(int index, int limit) const {
    if (index < 0 || index > limit) throw EStringListError(indexErrorText(index));
}

TObject* TStrings::object(int index) const {
    checkIndex(index, count() - 1);
    return nullptr;
}

void TStrings::setObject(int index, std::unique_ptr<TObject> object) {
    checkIndex(index, count() - 1);
}

std::unique_ptr<TObject> TStrings::extractObject(int index) {
    checkIndex(index, count() - 1);
    return nullptr;
}

int TStrings::addObject(std::string_view text, std::unique_ptr<TObject> object) {
    const int index = count();
    insertObject(index, text, std::move(object));
    return index;
}

int TStrings::indexOf(std::string_view text) const {
    for (int i = 0; i < count(); ++i) {
        if (sameText(strings(i), text)) return i;
    }
    return -1;
}

void TStrings::exchange(int first, int second) {
    checkIndex(first, count() - 1);
    checkIndex(second, count() - 1);
    if (first == second) return;
    const std::string firstText = strings(first);
    std::unique_ptr<TObject> firstObject = extractObject(first);
    setString(first, strings(second));
    setObject(first, extractObject(second));
    setString(second, firstText);
    setObject(second, std::move(firstObject));
}

void TStrings::move(int from, int to) {
    checkIndex(from, count() - 1);
    checkIndex(to, count() - 1);
    if (from == to) return;
    const std::string text = strings(from);
    std::unique_ptr<TObject> object = extractObject(from);
    beginUpdate();
    remove(from);
    insertObject(to, text, std::move(object));
    endUpdate();
}

int TStrings::indexOfObject(const TObject* object) const {
    for (int i = 0; i < count(); ++i) {
        if (this->object(i) == object) return i;
    }
    return -1;
}

std::string TStrings::names(int index) const {
    const std::string line = strings(index);
    const size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : line.substr(0, equals);
}

std::string TStrings::valueFromIndex(int index) const {
    const std::string line = strings(index);
    const size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : line.substr(equals + 1);
}

int TStrings::indexOfName(std::string_view name) const {
    for (int i = 0; i < count(); ++i) {
        const std::string line = strings(i);
        const size_t equals = line.find('=');
        if (equals != std::string::npos && sameText(std::string_view(line).substr(0, equals), name)) {
            return i;
        }
    }
    return -1;
}

std::string TStrings::values(std::string_view name) const {
    const int index = indexOfName(name);
    return index < 0 ? std::string() : valueFromIndex(index);
}

void TStrings::setValue(std::string_view name, std::string_view value) {
    const int index = indexOfName(name);
    if (value.empty()) {
        if (index >= 0) remove(index);
        return;
    }
    const std::string line = std::string(name) + "=" + std::string(value);
    if (index < 0) {
        add(line);
    } else {
        setString(index, line);
    }
}

std::string TStrings::text() const {
    std::string result;
    for (int i = 0; i < count(); ++i) {
        result += strings(i);
        result += "\r\n";
    }
    return result;
}

void TStrings::setText(std::string_view text) {
    text = upToNul(text);
    beginUpdate();
    clear();
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        add(text.substr(at, end - at));
        at = end;
        if (at < text.size() && text[at] == '\r') ++at;
        if (at < text.size() && text[at] == '\n') ++at;
    }
    endUpdate();
}

std::string TStrings::commaText() const {
    if (count() == 1 && strings(0).empty()) return "\"\"";
    std::string result;
    for (int i = 0; i < count(); ++i) {
        if (i > 0) result += ',';
        const std::string line = strings(i);
        result += needsQuotes(line) ? quoted(line) : line;
    }
    return result;
}

void TStrings::setCommaText(std::string_view text) {
    text = upToNul(text);
    beginUpdate();
    clear();
    size_t at = 0;
    skipBlanks(text, at);
    while (at < text.size()) {
        add(text[at] == '"' ? readQuoted(text, at) : readPlain(text, at));
        skipBlanks(text, at);
        if (at < text.size() && text[at] == ',') {
            // A comma that ends the text stands before one more, empty, item.
            if (at + 1 == text.size()) add("");
            ++at;
            skipBlanks(text, at);
        }
    }
    endUpdate();
}

void TStrings::addStrings(const TStrings& source) {
    beginUpdate();
    for (int i = 0; i < source.count(); ++i) add(source.strings(i));
    endUpdate();
}

void TStrings::assign(const TStrings& source) {
    if (&source == this) return;
    beginUpdate();
    clear();
    addStrings(source);
    endUpdate();
}

bool TStrings::equals(const TStrings& other) const {
    if (count() != other.count()) return false;
    for (int i = 0; i < count(); ++i) {
        if (strings(i) != other.strings(i)) return false;
    }
    return true;
}

std::vector<std::string> TStrings::toVector() const {
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(count()));
    for (int i = 0; i < count(); ++i) lines.push_back(strings(i));
    return lines;
}

void TStrings::loadFromFile(platform::FileSystem& files, const std::string& path) {
    const std::optional<std::string> bytes = files.readFile(path);
    if (!bytes) throw EFOpenError("Cannot open file " + path);
    setText(*bytes);
}

void TStrings::saveToFile(platform::FileSystem& files, const std::string& path) const {
    if (!files.writeFile(path, text())) throw EFCreateError("Cannot create file " + path);
}

void TStrings::beginUpdate() {
    if (updateCount_++ == 0) setUpdateState(true);
}

void TStrings::endUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0) setUpdateState(false);
}

// ---------------------------------------------------------------- TStringList

void TStringList::checkUnsorted() const {
    if (sorted_) throw EStringListError("Operation not allowed on sorted list");
}

std::string TStringList::strings(int index) const {
    checkIndex(index, count() - 1);
    return lines_[static_cast<size_t>(index)].text;
}

void TStringList::setString(int index, std::string_view text) {
    checkUnsorted();
    checkIndex(index, count() - 1);
    lines_[static_cast<size_t>(index)].text = text;
}

TObject* TStringList::object(int index) const {
    checkIndex(index, count() - 1);
    return lines_[static_cast<size_t>(index)].object.get();
}

void TStringList::setObject(int index, std::unique_ptr<TObject> object) {
    checkIndex(index, count() - 1);
    lines_[static_cast<size_t>(index)].object = std::move(object);
}

std::unique_ptr<TObject> TStringList::extractObject(int index) {
    checkIndex(index, count() - 1);
    return std::move(lines_[static_cast<size_t>(index)].object);
}

void TStringList::insertObject(int index, std::string_view text, std::unique_ptr<TObject> object) {
    checkUnsorted();
    checkIndex(index, count());
    lines_.insert(lines_.begin() + index, Line{std::string(text), std::move(object)});
}

int TStringList::addObject(std::string_view text, std::unique_ptr<TObject> object) {
    if (!sorted_) return TStrings::addObject(text, std::move(object));
    int found = 0;
    if (find(text, found)) {
        if (duplicates_ == Duplicates::Ignore) return found;
        if (duplicates_ == Duplicates::Error) {
            throw EStringListError("String list does not allow duplicates");
        }
    }
    const int index = upperBound(text);
    lines_.insert(lines_.begin() + index, Line{std::string(text), std::move(object)});
    return index;
}

void TStringList::remove(int index) {
    checkIndex(index, count() - 1);
    lines_.erase(lines_.begin() + index);
}

void TStringList::clear() {
    lines_.clear();
}

void TStringList::move(int from, int to) {
    checkUnsorted();
    checkIndex(from, count() - 1);
    checkIndex(to, count() - 1);
    Line line = std::move(lines_[static_cast<size_t>(from)]);
    lines_.erase(lines_.begin() + from);
    lines_.insert(lines_.begin() + to, std::move(line));
}

int TStringList::indexOf(std::string_view text) const {
    if (!sorted_) return TStrings::indexOf(text);
    int index = 0;
    return find(text, index) ? index : -1;
}

void TStringList::exchange(int first, int second) {
    checkIndex(first, count() - 1);
    checkIndex(second, count() - 1);
    std::swap(lines_[static_cast<size_t>(first)], lines_[static_cast<size_t>(second)]);
}

void TStringList::sort() {
    std::stable_sort(lines_.begin(), lines_.end(), [](const Line& a, const Line& b) {
        return compareText(a.text, b.text) < 0;
    });
}

void TStringList::setSorted(bool sorted) {
    if (sorted && !sorted_) sort();
    sorted_ = sorted;
}

bool TStringList::find(std::string_view text, int& index) const {
    const auto first = std::lower_bound(lines_.begin(), lines_.end(), text,
                                        [](const Line& line, std::string_view wanted) {
                                            return compareText(line.text, wanted) < 0;
                                        });
    index = static_cast<int>(first - lines_.begin());
    return first != lines_.end() && compareText(first->text, text) == 0;
}

int TStringList::upperBound(std::string_view text) const {
    const auto after = std::upper_bound(lines_.begin(), lines_.end(), text,
                                        [](std::string_view wanted, const Line& line) {
                                            return compareText(wanted, line.text) < 0;
                                        });
    return static_cast<int>(after - lines_.begin());
}

}  // namespace vardak
