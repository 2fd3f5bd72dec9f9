// Values of a component's layout text as the components read them: the published
// properties and the extra data a component streams itself (such as an image
// button's face table).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "grell/controls/GrellEvents.h"

namespace vardak::grell {

class TGrellGraphic;

struct LayoutValue {
    enum class Kind { Integer, String, Identifier, Set, Binary, Collection };
    struct CollectionItem;

    Kind kind = Kind::Integer;
    int64_t number = 0;               // Integer
    std::string text;                 // String and Identifier (True, False, clBtnFace...)
    std::vector<std::string> members; // Set
    std::vector<uint8_t> bytes;       // Binary
    std::vector<CollectionItem> items;  // Collection
    // A String naming a picture resource, as loaded by the layout reader.
    std::shared_ptr<const TGrellGraphic> graphic;

    static LayoutValue integer(int64_t value) {
        LayoutValue result;
        result.number = value;
        return result;
    }
    static LayoutValue string(std::string value) { return textOf(Kind::String, std::move(value)); }
    static LayoutValue identifier(std::string value) { return textOf(Kind::Identifier, std::move(value)); }
    static LayoutValue binary(std::vector<uint8_t> value) {
        LayoutValue result;
        result.kind = Kind::Binary;
        result.bytes = std::move(value);
        return result;
    }

    // True and False identifiers; nothing for anything else.
    std::optional<bool> asBool() const;
    // Integers; nothing for anything else.
    std::optional<int64_t> asInteger() const;

private:
    static LayoutValue textOf(Kind kind, std::string value) {
        LayoutValue result;
        result.kind = kind;
        result.text = std::move(value);
        return result;
    }
};

struct LayoutProperty {
    std::string name;  // may be dotted: "Font.Height"
    LayoutValue value;
};

struct LayoutValue::CollectionItem {
    std::vector<LayoutProperty> properties;
};

// Text content of a String or an Identifier value; nothing for other kinds.
std::optional<std::string> layoutText(const LayoutValue& value);

// A component that takes its settings from the layout.
class LayoutReadable {
public:
    virtual ~LayoutReadable() = default;
    // False when the name is not one of the component's properties.
    virtual bool readProperty(std::string_view name, const LayoutValue& value) = 0;
    // A property naming another component of the layout; false when the name is not
    // one of the component's reference properties.
    virtual bool readReference(std::string_view name, TComponent* component) { return false; }
    // An event property ("OnClick"); false when the component has no such event or
    // the handler is of the wrong kind.
    virtual bool readEvent(std::string_view name, const EventHandler& handler) { return false; }
};

}  // namespace vardak::grell
