// Creates a window's components from its layout: one component per object, owned by
// the window, named as in the layout and set up from its properties.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/Layout.h"
#include "framework/Classes.h"
#include "grell/controls/GrellControl.h"

namespace vardak::grell {
class TGrellGraphic;
}

namespace vardak::app {

class LayoutBuildError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Makes the components of the layout's classes.
class ComponentRegistry {
public:
    using Factory = std::function<TComponent*(TComponent* owner)>;
    void add(std::string className, Factory factory);
    // Null for a class that is not registered.
    TComponent* create(std::string_view className, TComponent* owner) const;

private:
    std::map<std::string, Factory, std::less<>> factories_;
};

struct LayoutServices {
    const ComponentRegistry& registry;
    // The picture resource of this name, or null.
    std::function<std::shared_ptr<const grell::TGrellGraphic>(std::string_view name)> loadPicture;
    // The window's handler of this name, or nothing.
    std::function<std::optional<grell::EventHandler>(std::string_view name)> findHandler;
};

// Builds the objects below `root` into `form`, whose own properties `root` holds.
// "Parent" names the control a control sits on (an object nested in a control's
// object sits on it unless it says otherwise); identifiers naming components are
// references; "On..." properties name the window's handlers; "Picture", "Bitmap" and
// "Glyph" strings name picture resources. Every component hears loaded() at the end, in
// layout order. Raises LayoutBuildError for anything the components do not know.
void buildLayout(grell::TGrellWinControl& form, const LayoutObject& root, const LayoutServices& services);

}  // namespace vardak::app
