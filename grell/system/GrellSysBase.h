// What the system components share: information objects whose published values are
// read from Windows and whose written values are tracked as pending changes until the
// write succeeds, collections that track their items' changes the same way, the
// components that own them (reading on demand or once their layout is loaded), and
// the log that turns committed changes into text lines.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Classes.h"
#include "framework/Registry.h"
#include "platform/Platform.h"
#include "probes/core/Ostrel_Datetime.h"

namespace vardak::grell {

using probes::TDateTime;

using TNotifyEvent = std::function<void(TObject& sender)>;
using TGrellSysLogChangeEvent =
    std::function<void(TObject& Sender, const std::string& propertyDescription, const std::string& oldValue,
                       const std::string& newValue, TDateTime datetime)>;

// One pending change: the value before the first change and the latest value.
struct TPropChange {
    std::string PropertyName;
    std::string OldValue;
    std::string NewValue;
};

// The pending changes of an object or a collection (the sender of its change event),
// and the event that hears of committed ones, stamped with the local time.
class TGrellChangeTracker {
public:
    TGrellChangeTracker(TObject& sender, platform::System& system) : sender_(sender), system_(system) {}

    void SetOnChange(TGrellSysLogChangeEvent handler) { onChange_ = std::move(handler); }
    // The change event, for an owner that passes on what a part of it reports.
    const TGrellSysLogChangeEvent& OnChange() const { return onChange_; }
    // A second change of a name keeps the first old value; a change back to it
    // forgets the record.
    void RecordChange(const std::string& name, const std::string& oldValue, const std::string& newValue);
    // Reports the pending change of that name through the change event, then forgets it.
    void CommitChange(std::string_view name);
    // Forgets the pending change of that name without reporting it.
    void DiscardChange(std::string_view name);
    // Forgets every pending change without reporting any.
    void DiscardChanges() { changes_.clear(); }
    bool IsChanged(std::string_view name) const;
    // Records the change, runs `write` and commits once it has returned. When `write`
    // raises, the record is discarded and the error passes on: a failed write is
    // never reported as a change.
    void WriteChange(const std::string& name, const std::string& oldValue, const std::string& newValue,
                     const std::function<void()>& write);
    const std::vector<TPropChange>& PendingChanges() const { return changes_; }

private:
    std::vector<TPropChange>::iterator find(std::string_view name);

    TObject& sender_;
    platform::System& system_;
    TGrellSysLogChangeEvent onChange_;
    std::vector<TPropChange> changes_;
};

// Appends one line per published value of `instance` ("Name = value", typed "Name:
// Type = value"); floating-point values use the user's decimal separator.
void ListPublishedProperties(platform::Platform& platform, const TPersistent& instance, TStrings& lines,
                             bool typed);

class TGrellSysBaseComponent;

// The base of the information objects.
class TGrellSysObject : public TPersistent, public TGrellChangeTracker {
public:
    explicit TGrellSysObject(platform::Platform& platform);
    ~TGrellSysObject() override;

    std::string_view className() const override { return "TGrellSysObject"; }

    TGrellSysBaseComponent* OwnerComponent() const { return ownerComponent_; }
    void SetOwnerComponent(TGrellSysBaseComponent* owner) { ownerComponent_ = owner; }

    virtual void ListProperties(TStrings& lines) const;
    virtual void ListPropertiesTyped(TStrings& lines) const;
    // Reads every value from the system.
    virtual void Retrieve() = 0;
    // Writes pending changes back to the system.
    virtual void ApplyChanges() = 0;

protected:
    platform::Platform& platform() const { return platform_; }

    // The registry accessor, created on demand. Keys open for reading only: a reader
    // needs no more, and a user without administrator rights gets no more on the NT
    // line.
    void CreateRegistry();
    // Nothing happens without an accessor.
    void SetRegistryRootKey(platform::RootKey root);
    // Opens an existing key; false when it is missing or there is no accessor.
    bool OpenRegistryKey(std::string_view path);
    void CloseRegistryKey();
    void FreeRegistry();
    // Null until CreateRegistry.
    TRegistry* Registry() const { return registry_.get(); }

private:
    platform::Platform& platform_;
    TGrellSysBaseComponent* ownerComponent_ = nullptr;
    std::unique_ptr<TRegistry> registry_;
};

class TGrellSysCollectionItem;

// A collection of TGrellSysCollectionItem with change tracking of its own.
class TGrellSysCollection : public TCollection, public TGrellChangeTracker {
public:
    using SysItemFactory = std::function<std::unique_ptr<TGrellSysCollectionItem>()>;

    TGrellSysCollection(SysItemFactory factory, platform::Platform& platform);

    std::string_view className() const override { return "TGrellSysCollection"; }

    // Every item's ApplyChanges, from index 0 upwards.
    virtual void ApplyChanges();
    virtual void ListProperties(TStrings& lines) const;
    virtual void ListPropertiesTyped(TStrings& lines) const;

private:
    platform::Platform& platform_;
};

// An item whose changes go to its collection under keys made from a pattern with
// one "%d", which stands for the item's index ("Uninstall[%d]:Version").
class TGrellSysCollectionItem : public TCollectionItem {
public:
    std::string_view className() const override { return "TGrellSysCollectionItem"; }

    virtual void ApplyChanges() {}

    bool IsChanged(std::string_view keyPattern) const;
    void RecordChange(std::string_view keyPattern, const std::string& oldValue, const std::string& newValue);
    void CommitChange(std::string_view keyPattern);
    void DiscardChange(std::string_view keyPattern);

private:
    TGrellSysCollection* sysCollection() const;
    std::string keyOf(std::string_view keyPattern) const;
};

// The component base of the library's non-visual components.
class TGrellSysComponent : public TComponent {
public:
    using TComponent::TComponent;
    std::string_view className() const override { return "TGrellSysComponent"; }
    void publishProperties(PropertyTable& table) const override;
};

class TGrellSysLog;

// A component that owns one information object and reads it on demand (Refresh) or
// once the layout that created it is loaded (AutoRetrieve). Committed changes of the
// object go to SysLog.
class TGrellSysBaseComponent : public TGrellSysComponent {
public:
    explicit TGrellSysBaseComponent(TComponent* owner);
    ~TGrellSysBaseComponent() override;

    std::string_view className() const override { return "TGrellSysBaseComponent"; }
    void publishProperties(PropertyTable& table) const override;

    TGrellSysLog* SysLog() const { return sysLog_; }
    void SetSysLog(TGrellSysLog* log);
    // False until the first Refresh has completed.
    virtual bool Retrieved() const { return retrieved_; }
    bool AutoRetrieve() const { return autoRetrieve_; }
    void SetAutoRetrieve(bool autoRetrieve) { autoRetrieve_ = autoRetrieve; }

    // OnRefresh, Retrieve, then OnAfterRefresh. What Retrieve raises passes on, and
    // Retrieved and OnAfterRefresh then stay as they were.
    void Refresh();
    // Refreshes when AutoRetrieve is set.
    void loaded() override;

    TNotifyEvent OnRefresh;
    TNotifyEvent OnAfterRefresh;

protected:
    // Reads the information object.
    virtual void Retrieve();
    void notification(TComponent* component, Operation operation) override;

    // Takes the information object and sends its committed changes to SysLog.
    void SetInformationObject(std::unique_ptr<TGrellSysObject> object);
    TGrellSysObject* InformationObject() const { return object_.get(); }

private:
    void ObjectChanged(const std::string& propertyDescription, const std::string& oldValue,
                       const std::string& newValue, TDateTime datetime);

    TGrellSysLog* sysLog_ = nullptr;
    bool retrieved_ = false;
    bool autoRetrieve_ = false;
    std::unique_ptr<TGrellSysObject> object_;
};

// A component whose information object is an `Object`, created with the component and
// published under `objectProperty`.
template <class Object>
class TGrellSysObjectComponent : public TGrellSysBaseComponent {
public:
    TGrellSysObjectComponent(TComponent* owner, platform::Platform& platform, std::string_view objectProperty)
        : TGrellSysBaseComponent(owner), objectProperty_(objectProperty) {
        auto object = std::make_unique<Object>(platform);
        object_ = object.get();
        SetInformationObject(std::move(object));
    }

    void publishProperties(PropertyTable& table) const override {
        TGrellSysBaseComponent::publishProperties(table);
        table.object(objectProperty_, object_);
    }

protected:
    Object& Information() const { return *object_; }

private:
    std::string_view objectProperty_;
    Object* object_;
};

// Turns change notifications into lines "key:old - new date-time" for a string list,
// a memo and a list box; each of them is optional and none is owned.
class TGrellSysLog : public TGrellSysComponent {
public:
    TGrellSysLog(TComponent* owner, platform::System& system);
    ~TGrellSysLog() override;

    std::string_view className() const override { return "TGrellSysLog"; }
    void publishProperties(PropertyTable& table) const override;

    TStrings* Strings() const { return strings_; }
    void SetStrings(TStrings* strings) { strings_ = strings; }
    // A memo control and its lines; null forgets the memo.
    void SetMemo(TComponent* memo, TStrings* lines);
    TComponent* Memo() const { return memo_.control; }
    // A list-box control and its items; null forgets the list box.
    void SetListBox(TComponent* listBox, TStrings* items);
    TComponent* ListBox() const { return listBox_.control; }

    void Log(const std::string& propertyDescription, const std::string& oldValue, const std::string& newValue,
             TDateTime datetime);
    // To the memo, the list box, then the string list, whose errors are swallowed.
    void WriteLine(const std::string& line);

    TGrellSysLogChangeEvent OnLog;

protected:
    void notification(TComponent* component, Operation operation) override;

private:
    struct LinesControl {
        TComponent* control = nullptr;
        TStrings* lines = nullptr;
    };
    void attach(LinesControl& target, TComponent* control, TStrings* lines);

    platform::System& system_;
    TStrings* strings_ = nullptr;
    LinesControl memo_;
    LinesControl listBox_;
};

}  // namespace vardak::grell
