#include "app/LayoutBuilder.h"

#include <vector>

#include "framework/SysUtils.h"
#include "grell/controls/GrellImageList.h"

namespace vardak::app {

using grell::LayoutReadable;

void ComponentRegistry::add(std::string className, Factory factory) {
    factories_.insert_or_assign(std::move(className), std::move(factory));
}

TComponent* ComponentRegistry::create(std::string_view className, TComponent* owner) const {
    const auto found = factories_.find(className);
    return found == factories_.end() ? nullptr : found->second(owner);
}

namespace {

struct Created {
    const LayoutObject* object;
    TComponent* component;
    grell::TGrellWinControl* enclosing;  // the control whose object holds this one, if any
};

class Builder {
public:
    Builder(grell::TGrellWinControl& form, const LayoutServices& services) : form_(form), services_(services) {}

    void build(const LayoutObject& root) {
        form_.setName(root.name);
        form_.setLoading();
        createChildren(root, &form_);
        apply(root, form_, nullptr);
        for (const Created& entry : created_) apply(*entry.object, *entry.component, entry.enclosing);
        for (const Created& entry : created_) entry.component->loaded();
        form_.loaded();
    }

private:
    [[noreturn]] void fail(const LayoutObject& object, const std::string& message) const {
        throw LayoutBuildError(object.name + ": " + message);
    }

    void createChildren(const LayoutObject& parent, grell::TGrellWinControl* enclosing) {
        for (const LayoutObject& child : parent.children) {
            TComponent* component = services_.registry.create(child.className, &form_);
            if (component == nullptr) fail(child, "unknown class " + child.className);
            try {
                component->setName(child.name);
            } catch (const Exception& error) {
                fail(child, error.message());
            }
            if (auto* control = dynamic_cast<grell::TGrellControl*>(component)) control->setLoading();
            created_.push_back({&child, component, enclosing});
            auto* container = dynamic_cast<grell::TGrellWinControl*>(component);
            createChildren(child, container ? container : enclosing);
        }
    }

    TComponent* findComponent(std::string_view name) const {
        if (sameText(name, form_.name())) return &form_;
        return form_.findComponent(name);
    }

    void apply(const LayoutObject& object, TComponent& component, grell::TGrellWinControl* enclosing) {
        auto* readable = dynamic_cast<LayoutReadable*>(&component);
        auto* control = dynamic_cast<grell::TGrellControl*>(&component);
        if (control != nullptr && enclosing != nullptr && control != enclosing) control->setParent(enclosing);
        for (const LayoutProperty& property : object.properties) {
            if (readable == nullptr) fail(object, "takes no properties");
            applyProperty(object, component, *readable, property);
        }
    }

    void applyProperty(const LayoutObject& object, TComponent& component, LayoutReadable& readable,
                       const LayoutProperty& property) {
        const std::string& name = property.name;
        const LayoutValue& value = property.value;
        if (name == "Parent") {
            setParent(object, component, value);
            return;
        }
        if (name.size() > 2 && name.compare(0, 2, "On") == 0 && value.kind == LayoutValue::Kind::Identifier) {
            const std::optional<grell::EventHandler> handler = services_.findHandler(value.text);
            if (!handler || !readable.readEvent(name, *handler)) fail(object, "cannot take " + name + " = " + value.text);
            return;
        }
        if (value.kind == LayoutValue::Kind::Identifier) {
            if (TComponent* target = findComponent(value.text)) {
                if (!readable.readReference(name, target)) fail(object, "cannot refer " + name + " to " + value.text);
                return;
            }
        }
        const LayoutValue resolved = withPictures(object, name, value);
        if (!readable.readProperty(name, resolved)) fail(object, "unknown property or value: " + name);
    }

    void setParent(const LayoutObject& object, TComponent& component, const LayoutValue& value) {
        auto* control = dynamic_cast<grell::TGrellControl*>(&component);
        auto* parent = dynamic_cast<grell::TGrellWinControl*>(findComponent(grell::layoutText(value).value_or("")));
        if (control == nullptr || parent == nullptr || parent == control) fail(object, "bad Parent");
        control->setParent(parent);
    }

    static bool namesPicture(std::string_view name) {
        return name == "Picture" || name == "Bitmap" || name == "Glyph" || name.ends_with(".Picture");
    }

    LayoutValue withPictures(const LayoutObject& object, std::string_view name, const LayoutValue& value) const {
        LayoutValue resolved = value;
        if (namesPicture(name) && value.kind == LayoutValue::Kind::String) {
            resolved.graphic = services_.loadPicture(value.text);
            if (!resolved.graphic) fail(object, "missing picture " + value.text);
        }
        for (auto& item : resolved.items) {
            for (LayoutProperty& inner : item.properties) inner.value = withPictures(object, inner.name, inner.value);
        }
        return resolved;
    }

    grell::TGrellWinControl& form_;
    const LayoutServices& services_;
    std::vector<Created> created_;
};

}  // namespace

void buildLayout(grell::TGrellWinControl& form, const LayoutObject& root, const LayoutServices& services) {
    Builder(form, services).build(root);
}

}  // namespace vardak::app
