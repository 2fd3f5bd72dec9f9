// Image lists as the image buttons see them, and the graphic list: a collection of
// named pictures addressed by their index.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "grell/controls/GrellBitmap.h"
#include "grell/controls/GrellFiler.h"

namespace vardak::grell {

// The colour answered for the transparent colour of an invalid list index.
constexpr uint32_t kNoTransparentColor = 0x1FFFFFFF;

enum class TGraphicKind { Bitmap, Icon, Jpeg };

// One decoded graphic of any registered kind; a paletted bitmap keeps its colour table.
class TGrellGraphic {
public:
    TGrellGraphic(TGraphicKind kind, Bitmap32 pixels, TGrellPalette palette = {})
        : kind_(kind), pixels_(std::move(pixels)), palette_(std::move(palette)) {}
    TGraphicKind kind() const { return kind_; }
    const Bitmap32& pixels() const { return pixels_; }
    const TGrellPalette& palette() const { return palette_; }
    int width() const { return pixels_.width(); }
    int height() const { return pixels_.height(); }

private:
    TGraphicKind kind_;
    Bitmap32 pixels_;
    TGrellPalette palette_;
};

// A holder of at most one graphic; graphics are immutable and shared between copies.
class TGrellPicture : public TPersistent {
public:
    std::string_view className() const override { return "TPicture"; }
    const TGrellGraphic* graphic() const { return graphic_.get(); }
    void setGraphic(std::shared_ptr<const TGrellGraphic> graphic) { graphic_ = std::move(graphic); }
    bool hasGraphic() const { return graphic_ != nullptr; }
    int width() const { return graphic_ ? graphic_->width() : 0; }
    int height() const { return graphic_ ? graphic_->height() : 0; }
    void assign(const TGrellPicture& source) { graphic_ = source.graphic_; }

private:
    std::shared_ptr<const TGrellGraphic> graphic_;
};

class TGrellCustomImageList;

// Told when the pictures of a list change.
class ImageListListener {
public:
    virtual ~ImageListListener() = default;
    virtual void imageListChanged(TGrellCustomImageList& list) = 0;
};

// What an image button asks of its list. Removal of a list reaches its users through
// the components' free notifications.
class TGrellCustomImageList : public TComponent {
public:
    explicit TGrellCustomImageList(TComponent* owner) : TComponent(owner) {}
    std::string_view className() const override { return "TGrellCustomImageList"; }

    virtual bool valid(int listIndex, int imageIndex) const = 0;
    virtual int width(int listIndex) const = 0;
    virtual int height(int listIndex) const = 0;
    virtual uint32_t transparentColor(int listIndex) const = 0;
    // Null when the picture has no palette or the index is invalid.
    virtual const TGrellPalette* palette(int listIndex) const = 0;
    // Nothing for an invalid index.
    virtual std::optional<Bitmap32> bitmap(int listIndex) const = 0;
    virtual uint32_t pixelColor(int listIndex, int imageIndex, TPoint point) const = 0;
    // Draws the picture with the bitmap-drawing routine and its transparent colour;
    // returns the covered rectangle, the target itself when nothing was drawn.
    virtual TRect draw(Bitmap32& canvas, const TRect& target, int listIndex, int imageIndex, uint32_t flags) const;

    void addListener(ImageListListener* listener);
    void removeListener(ImageListListener* listener);

protected:
    void changed();

private:
    std::vector<ImageListListener*> listeners_;
};

class TGrellGraphicListItem : public TCollectionItem {
public:
    std::string_view className() const override { return "TGrellGraphicListItem"; }
    void publishProperties(PropertyTable& table) const override;

    const std::string& name() const { return name_; }
    void setName(std::string name);
    TGrellPicture& picture() { return picture_; }
    const TGrellPicture& picture() const { return picture_; }
    void setGraphic(std::shared_ptr<const TGrellGraphic> graphic);

private:
    std::string name_;
    TGrellPicture picture_;
};

class TGrellGraphicList;

class TGrellGraphicListItems : public TCollection {
public:
    explicit TGrellGraphicListItems(TGrellGraphicList* owner);
    std::string_view className() const override { return "TGrellGraphicListItems"; }
    TGrellGraphicListItem* add() { return static_cast<TGrellGraphicListItem*>(TCollection::add()); }
    TGrellGraphicListItem* itemAt(int index) const { return itemAs<TGrellGraphicListItem>(index); }

protected:
    void update(TCollectionItem* item) override;

private:
    TGrellGraphicList* owner_;
};

class TGrellGraphicList : public TGrellCustomImageList, public LayoutReadable {
public:
    explicit TGrellGraphicList(TComponent* owner);
    std::string_view className() const override { return "TGrellGraphicList"; }
    void publishProperties(PropertyTable& table) const override;
    // "Graphics": items with a Name and a Picture.
    bool readProperty(std::string_view name, const LayoutValue& value) override;

    TGrellGraphicListItems& graphics() { return graphics_; }
    const TGrellGraphicListItems& graphics() const { return graphics_; }
    // Copies the items of `source`.
    void setGraphics(const TGrellGraphicListItems& source);

    // A list index is valid when it names an item whose picture holds a graphic with
    // a width and a height; negative indexes never are.
    bool valid(int listIndex, int imageIndex) const override;
    int width(int listIndex) const override;
    int height(int listIndex) const override;
    uint32_t transparentColor(int listIndex) const override;
    // A bitmap's palette; other graphics have none.
    const TGrellPalette* palette(int listIndex) const override;
    std::optional<Bitmap32> bitmap(int listIndex) const override;
    uint32_t pixelColor(int listIndex, int imageIndex, TPoint point) const override { return kWhite; }

private:
    friend class TGrellGraphicListItems;
    const TGrellGraphic* validGraphic(int listIndex) const;

    TGrellGraphicListItems graphics_;
};

}  // namespace vardak::grell
