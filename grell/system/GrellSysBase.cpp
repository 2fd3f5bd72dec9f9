#include "grell/system/GrellSysBase.h"

#include <algorithm>

#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"

namespace vardak::grell {

namespace {

TDateTime localNow(platform::System& system) {
    const platform::SystemTime now = system.localTime();
    return probes::EncodeDateTime(now.year, now.month, now.day, now.hour, now.minute, now.second, now.milliseconds);
}

}  // namespace

// ---------------------------------------------------------------- change tracking

std::vector<TPropChange>::iterator TGrellChangeTracker::find(std::string_view name) {
    return std::find_if(changes_.begin(), changes_.end(),
                        [name](const TPropChange& change) { return change.PropertyName == name; });
}

void TGrellChangeTracker::RecordChange(const std::string& name, const std::string& oldValue,
                                       const std::string& newValue) {
    const auto found = find(name);
    if (found == changes_.end()) {
        changes_.push_back({name, oldValue, newValue});
    } else if (newValue == found->OldValue) {
        changes_.erase(found);
    } else {
        found->NewValue = newValue;
    }
}

void TGrellChangeTracker::CommitChange(std::string_view name) {
    const auto found = find(name);
    if (found == changes_.end()) return;
    const TPropChange change = std::move(*found);
    changes_.erase(found);
    if (onChange_) onChange_(sender_, change.PropertyName, change.OldValue, change.NewValue, localNow(system_));
}

void TGrellChangeTracker::DiscardChange(std::string_view name) {
    const auto found = find(name);
    if (found != changes_.end()) changes_.erase(found);
}

bool TGrellChangeTracker::IsChanged(std::string_view name) const {
    return std::any_of(changes_.begin(), changes_.end(),
                       [name](const TPropChange& change) { return change.PropertyName == name; });
}

void TGrellChangeTracker::WriteChange(const std::string& name, const std::string& oldValue,
                                      const std::string& newValue, const std::function<void()>& write) {
    RecordChange(name, oldValue, newValue);
    try {
        write();
    } catch (...) {
        DiscardChange(name);
        throw;
    }
    CommitChange(name);
}

void ListPublishedProperties(platform::Platform& platform, const TPersistent& instance, TStrings& lines,
                             bool typed) {
    const PropertyFormat format{probes::UserDecimalSeparator(platform)};
    for (const std::string& line : propertyLines(instance, typed, format)) lines.add(line);
}

// ---------------------------------------------------------------- TGrellSysObject

TGrellSysObject::TGrellSysObject(platform::Platform& platform)
    : TGrellChangeTracker(*this, platform.system()), platform_(platform) {}

TGrellSysObject::~TGrellSysObject() {
    FreeRegistry();
}

void TGrellSysObject::ListProperties(TStrings& lines) const {
    ListPublishedProperties(platform_, *this, lines, false);
}

void TGrellSysObject::ListPropertiesTyped(TStrings& lines) const {
    ListPublishedProperties(platform_, *this, lines, true);
}

void TGrellSysObject::CreateRegistry() {
    if (!registry_) registry_ = std::make_unique<TRegistry>(platform_.registry());
}

void TGrellSysObject::SetRegistryRootKey(platform::RootKey root) {
    if (registry_) registry_->setRootKey(root);
}

bool TGrellSysObject::OpenRegistryKey(std::string_view path) {
    return registry_ && registry_->openKeyReadOnly(path);
}

void TGrellSysObject::CloseRegistryKey() {
    if (registry_) registry_->closeKey();
}

void TGrellSysObject::FreeRegistry() {
    registry_.reset();
}

// ---------------------------------------------------------------- collections

TGrellSysCollection::TGrellSysCollection(SysItemFactory factory, platform::Platform& platform)
    : TCollection([factory = std::move(factory)]() -> std::unique_ptr<TCollectionItem> { return factory(); }),
      TGrellChangeTracker(*this, platform.system()),
      platform_(platform) {}

void TGrellSysCollection::ApplyChanges() {
    for (int i = 0; i < count(); ++i) itemAs<TGrellSysCollectionItem>(i)->ApplyChanges();
}

void TGrellSysCollection::ListProperties(TStrings& lines) const {
    ListPublishedProperties(platform_, *this, lines, false);
}

void TGrellSysCollection::ListPropertiesTyped(TStrings& lines) const {
    ListPublishedProperties(platform_, *this, lines, true);
}

TGrellSysCollection* TGrellSysCollectionItem::sysCollection() const {
    return dynamic_cast<TGrellSysCollection*>(collection());
}

std::string TGrellSysCollectionItem::keyOf(std::string_view keyPattern) const {
    return probes::Format(keyPattern, {index()});
}

bool TGrellSysCollectionItem::IsChanged(std::string_view keyPattern) const {
    const TGrellSysCollection* owner = sysCollection();
    return owner != nullptr && owner->IsChanged(keyOf(keyPattern));
}

void TGrellSysCollectionItem::RecordChange(std::string_view keyPattern, const std::string& oldValue,
                                           const std::string& newValue) {
    if (TGrellSysCollection* owner = sysCollection()) owner->RecordChange(keyOf(keyPattern), oldValue, newValue);
}

void TGrellSysCollectionItem::CommitChange(std::string_view keyPattern) {
    if (TGrellSysCollection* owner = sysCollection()) owner->CommitChange(keyOf(keyPattern));
}

void TGrellSysCollectionItem::DiscardChange(std::string_view keyPattern) {
    if (TGrellSysCollection* owner = sysCollection()) owner->DiscardChange(keyOf(keyPattern));
}

// ---------------------------------------------------------------- components

void TGrellSysComponent::publishProperties(PropertyTable& table) const {
    TComponent::publishProperties(table);
    table.string("About", "", "TGrellSysAboutVar");
}

TGrellSysBaseComponent::TGrellSysBaseComponent(TComponent* owner) : TGrellSysComponent(owner) {}

TGrellSysBaseComponent::~TGrellSysBaseComponent() {
    if (object_) object_->SetOnChange(nullptr);
    object_.reset();
    SetSysLog(nullptr);
}

void TGrellSysBaseComponent::publishProperties(PropertyTable& table) const {
    TGrellSysComponent::publishProperties(table);
    table.object("SysLog", "TGrellSysLog", sysLog_)
        .boolean("Retrieved", Retrieved())
        .boolean("AutoRetrieve", autoRetrieve_)
        .method("OnRefresh")
        .method("OnAfterRefresh");
}

void TGrellSysBaseComponent::SetSysLog(TGrellSysLog* log) {
    if (log == sysLog_) return;
    if (sysLog_ != nullptr) removeFreeNotification(sysLog_);
    sysLog_ = log;
    if (sysLog_ != nullptr) freeNotification(sysLog_);
}

void TGrellSysBaseComponent::Refresh() {
    if (OnRefresh) OnRefresh(*this);
    Retrieve();
    retrieved_ = true;
    if (OnAfterRefresh) OnAfterRefresh(*this);
}

void TGrellSysBaseComponent::loaded() {
    TGrellSysComponent::loaded();
    if (autoRetrieve_) Refresh();
}

void TGrellSysBaseComponent::Retrieve() {
    if (object_) object_->Retrieve();
}

void TGrellSysBaseComponent::notification(TComponent* component, Operation operation) {
    TGrellSysComponent::notification(component, operation);
    if (operation == Operation::Remove && component == sysLog_) sysLog_ = nullptr;
}

void TGrellSysBaseComponent::SetInformationObject(std::unique_ptr<TGrellSysObject> object) {
    object_ = std::move(object);
    object_->SetOwnerComponent(this);
    object_->SetOnChange([this](TObject&, const std::string& propertyDescription, const std::string& oldValue,
                                const std::string& newValue,
                                TDateTime datetime) { ObjectChanged(propertyDescription, oldValue, newValue, datetime); });
}

void TGrellSysBaseComponent::ObjectChanged(const std::string& propertyDescription, const std::string& oldValue,
                                           const std::string& newValue, TDateTime datetime) {
    if (sysLog_ != nullptr) sysLog_->Log(propertyDescription, oldValue, newValue, datetime);
}

// ---------------------------------------------------------------- TGrellSysLog

TGrellSysLog::TGrellSysLog(TComponent* owner, platform::System& system) : TGrellSysComponent(owner), system_(system) {}

TGrellSysLog::~TGrellSysLog() {
    attach(memo_, nullptr, nullptr);
    attach(listBox_, nullptr, nullptr);
}

void TGrellSysLog::publishProperties(PropertyTable& table) const {
    TGrellSysComponent::publishProperties(table);
    table.method("OnLog", "TGrellSysLogChangeEvent");
}

void TGrellSysLog::attach(LinesControl& target, TComponent* control, TStrings* lines) {
    if (target.control != nullptr && target.control != control) removeFreeNotification(target.control);
    target = control != nullptr && lines != nullptr ? LinesControl{control, lines} : LinesControl{};
    if (target.control != nullptr) freeNotification(target.control);
}

void TGrellSysLog::SetMemo(TComponent* memo, TStrings* lines) {
    attach(memo_, memo, lines);
}

void TGrellSysLog::SetListBox(TComponent* listBox, TStrings* items) {
    attach(listBox_, listBox, items);
}

void TGrellSysLog::Log(const std::string& propertyDescription, const std::string& oldValue,
                       const std::string& newValue, TDateTime datetime) {
    if (OnLog) OnLog(*this, propertyDescription, oldValue, newValue, datetime);
    WriteLine(propertyDescription + ":" + oldValue + " - " + newValue + " " + probes::DateTimeText(system_, datetime));
}

void TGrellSysLog::WriteLine(const std::string& line) {
    if (memo_.lines != nullptr) memo_.lines->add(line);
    if (listBox_.lines != nullptr) listBox_.lines->add(line);
    if (strings_ == nullptr) return;
    try {
        strings_->add(line);
    } catch (...) {
        // A string list that refuses the line (sorted without duplicates) leaves the log as it is.
    }
}

void TGrellSysLog::notification(TComponent* component, Operation operation) {
    TGrellSysComponent::notification(component, operation);
    for (LinesControl* target : {&memo_, &listBox_}) {
        if (component != nullptr && component == target->control) *target = LinesControl{};
    }
}

}  // namespace vardak::grell
