#include "grell/controls/GrellImageList.h"

#include <algorithm>

namespace vardak::grell {

// ---------------------------------------------------------------- TGrellCustomImageList

TRect TGrellCustomImageList::draw(Bitmap32& canvas, const TRect& target, int listIndex, int imageIndex,
                                  uint32_t flags) const {
    if (!valid(listIndex, imageIndex)) return target;
    const std::optional<Bitmap32> picture = bitmap(listIndex);
    if (!picture) return target;
    return drawBitmap(canvas, target, *picture, transparentColor(listIndex), flags);
}

void TGrellCustomImageList::addListener(ImageListListener* listener) {
    if (listener != nullptr && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
        listeners_.push_back(listener);
    }
}

void TGrellCustomImageList::removeListener(ImageListListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void TGrellCustomImageList::changed() {
    // A listener may unregister while being told.
    const std::vector<ImageListListener*> listeners = listeners_;
    for (ImageListListener* listener : listeners) {
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
            listener->imageListChanged(*this);
        }
    }
}

// ---------------------------------------------------------------- items

void TGrellGraphicListItem::publishProperties(PropertyTable& table) const {
    TCollectionItem::publishProperties(table);
    table.string("Name", name_).object("Picture", &picture_).integer("Index", index());
}

void TGrellGraphicListItem::setName(std::string name) {
    name_ = std::move(name);
    changed(false);
}

void TGrellGraphicListItem::setGraphic(std::shared_ptr<const TGrellGraphic> graphic) {
    picture_.setGraphic(std::move(graphic));
    changed(false);
}

TGrellGraphicListItems::TGrellGraphicListItems(TGrellGraphicList* owner)
    : TCollection(factoryOf<TGrellGraphicListItem>()), owner_(owner) {}

void TGrellGraphicListItems::update(TCollectionItem*) {
    if (owner_ != nullptr) owner_->changed();
}

// ---------------------------------------------------------------- TGrellGraphicList

TGrellGraphicList::TGrellGraphicList(TComponent* owner) : TGrellCustomImageList(owner), graphics_(this) {}

void TGrellGraphicList::publishProperties(PropertyTable& table) const {
    TGrellCustomImageList::publishProperties(table);
    table.object("Graphics", &graphics_);
}

bool TGrellGraphicList::readProperty(std::string_view name, const LayoutValue& value) {
    if (name != "Graphics" || value.kind != LayoutValue::Kind::Collection) return false;
    graphics_.beginUpdate();
    graphics_.clear();
    for (const LayoutValue::CollectionItem& source : value.items) {
        TGrellGraphicListItem* item = graphics_.add();
        for (const LayoutProperty& property : source.properties) {
            if (property.name == "Name") {
                item->setName(layoutText(property.value).value_or(""));
            } else if (property.name == "Picture") {
                item->setGraphic(property.value.graphic);
            } else {
                graphics_.endUpdate();
                return false;
            }
        }
    }
    graphics_.endUpdate();
    changed();
    return true;
}

void TGrellGraphicList::setGraphics(const TGrellGraphicListItems& source) {
    if (&source == &graphics_) return;
    graphics_.beginUpdate();
    graphics_.clear();
    for (int i = 0; i < source.count(); ++i) {
        TGrellGraphicListItem* copy = graphics_.add();
        copy->setName(source.itemAt(i)->name());
        copy->picture().assign(source.itemAt(i)->picture());
    }
    graphics_.endUpdate();
    changed();
}

const TGrellGraphic* TGrellGraphicList::validGraphic(int listIndex) const {
    if (listIndex < 0 || listIndex >= graphics_.count()) return nullptr;
    const TGrellGraphic* graphic = graphics_.itemAt(listIndex)->picture().graphic();
    if (graphic == nullptr || graphic->width() <= 0 || graphic->height() <= 0) return nullptr;
    return graphic;
}

bool TGrellGraphicList::valid(int listIndex, int) const {
    return validGraphic(listIndex) != nullptr;
}

int TGrellGraphicList::width(int listIndex) const {
    const TGrellGraphic* graphic = validGraphic(listIndex);
    return graphic ? graphic->width() : 0;
}

int TGrellGraphicList::height(int listIndex) const {
    const TGrellGraphic* graphic = validGraphic(listIndex);
    return graphic ? graphic->height() : 0;
}

const TGrellPalette* TGrellGraphicList::palette(int listIndex) const {
    const TGrellGraphic* graphic = validGraphic(listIndex);
    if (graphic == nullptr || graphic->kind() != TGraphicKind::Bitmap || graphic->palette().empty()) return nullptr;
    return &graphic->palette();
}

std::optional<Bitmap32> TGrellGraphicList::bitmap(int listIndex) const {
    const TGrellGraphic* graphic = validGraphic(listIndex);
    if (graphic == nullptr) return std::nullopt;
    if (graphic->kind() == TGraphicKind::Bitmap) return graphic->pixels();
    // Other graphics are rendered on white at the picture's size.
    Bitmap32 rendering(graphic->width(), graphic->height(), kWhite);
    copyBitmap(rendering, {0, 0}, graphic->pixels());
    return rendering;
}

uint32_t TGrellGraphicList::transparentColor(int listIndex) const {
    const std::optional<Bitmap32> rendering = bitmap(listIndex);
    if (!rendering) return kNoTransparentColor;
    // A bitmap's own transparent colour is its bottom-left pixel.
    return rendering->pixel(0, rendering->height() - 1);
}

}  // namespace vardak::grell
