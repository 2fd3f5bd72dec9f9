#include "app/Components.h"

#include <array>

#include "framework/SysUtils.h"

namespace vardak::app {

using grell::Bitmap32;
using grell::TPoint;
using grell::TRect;
namespace colors = grell::colors;

namespace {

constexpr std::array<std::string_view, 3> kBevelNames{"bvNone", "bvLowered", "bvRaised"};
constexpr std::array<std::string_view, 3> kAlignmentNames{"taLeftJustify", "taRightJustify", "taCenter"};

template <class Enum, size_t N>
bool readEnum(Enum& target, const std::array<std::string_view, N>& names, const LayoutValue& value) {
    const auto ordinal = ordinalOfName(names, grell::layoutText(value).value_or(""));
    if (!ordinal) return false;
    target = static_cast<Enum>(*ordinal);
    return true;
}

// Top and left edges in one colour, bottom and right in the other, `width` times
// inwards; the rectangle shrinks accordingly.
void frame3D(Bitmap32& canvas, TRect& rect, uint32_t topLeft, uint32_t bottomRight, int width) {
    for (int i = 0; i < width && !rect.empty(); ++i) {
        canvas.fill({rect.left, rect.top, rect.right, rect.top + 1}, topLeft);
        canvas.fill({rect.left, rect.top, rect.left + 1, rect.bottom}, topLeft);
        canvas.fill({rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
        canvas.fill({rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
        rect = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
}

int bevelSize(TPanelBevel bevel, int width) {
    return bevel == TPanelBevel::bvNone ? 0 : width;
}

}  // namespace

// ---------------------------------------------------------------- TPanel

TPanel::TPanel(TComponent* owner) : TGrellWinControl(owner) {
    setBounds(0, 0, 185, 41);
}

bool TPanel::readProperty(std::string_view name, const LayoutValue& value) {
    if (name == "BevelOuter") return readEnum(bevelOuter_, kBevelNames, value);
    if (name == "BevelInner") return readEnum(bevelInner_, kBevelNames, value);
    if (name == "Alignment") return readEnum(alignment_, kAlignmentNames, value);
    if (name == "BevelWidth") {
        bevelWidth_ = static_cast<int>(value.asInteger().value_or(bevelWidth_));
        realign();
        return true;
    }
    if (name == "BorderWidth") {
        borderWidth_ = static_cast<int>(value.asInteger().value_or(borderWidth_));
        realign();
        return true;
    }
    return TGrellWinControl::readProperty(name, value);
}

TRect TPanel::innerRect() const {
    const int inset = bevelSize(bevelOuter_, bevelWidth_) + borderWidth_ + bevelSize(bevelInner_, bevelWidth_);
    TRect rect = clientRect();
    return {rect.left + inset, rect.top + inset, rect.right - inset, rect.bottom - inset};
}

void TPanel::paint(grell::PaintContext& context) {
    if (loading()) return;
    Bitmap32& canvas = context.canvas;
    grell::TextPainter& text = context.text;
    const uint32_t highlight = text.resolveColor(colors::clBtnHighlight);
    const uint32_t shadow = text.resolveColor(colors::clBtnShadow);
    const uint32_t face = text.resolveColor(color());
    TRect rect = clientRect().offset(context.origin.x, context.origin.y);
    auto bevel = [&](TPanelBevel kind) {
        if (kind == TPanelBevel::bvNone) return;
        const bool raised = kind == TPanelBevel::bvRaised;
        frame3D(canvas, rect, raised ? highlight : shadow, raised ? shadow : highlight, bevelWidth_);
    };
    bevel(bevelOuter_);
    frame3D(canvas, rect, face, face, borderWidth_);
    bevel(bevelInner_);
    canvas.fill(rect, face);
    if (!caption().empty()) {
        const grell::TextAlign align = alignment_ == TAlignment::taLeftJustify    ? grell::TextAlign::Left
                                       : alignment_ == TAlignment::taRightJustify ? grell::TextAlign::Right
                                                                                  : grell::TextAlign::Center;
        text.drawText(canvas, rect, caption(), font(), align, grell::TextVAlign::Center);
    }
}

// ---------------------------------------------------------------- TImage

bool TImage::readProperty(std::string_view name, const LayoutValue& value) {
    if (name == "Picture") {
        picture_.setGraphic(value.graphic);
        invalidate();
        return true;
    }
    if (name == "Stretch") {
        stretch_ = value.asBool().value_or(stretch_);
        return true;
    }
    return TGrellControl::readProperty(name, value);
}

void TImage::paint(grell::PaintContext& context) {
    if (loading() || !picture_.hasGraphic()) return;
    const TRect target = clientRect().offset(context.origin.x, context.origin.y);
    const uint32_t flags = stretch_ ? grell::draw_flags::kStretch : 0;
    grell::drawBitmap(context.canvas, target, picture_.graphic()->pixels(), 0, flags);
}

// ---------------------------------------------------------------- TShape

bool TShape::readProperty(std::string_view name, const LayoutValue& value) {
    if (name == "Brush.Style") {
        clearBrush_ = grell::layoutText(value).value_or("") == "bsClear";
        return true;
    }
    if (name == "Pen.Style") {
        noPen_ = grell::layoutText(value).value_or("") == "psClear";
        return true;
    }
    return TGrellControl::readProperty(name, value);
}

void TShape::paint(grell::PaintContext& context) {
    if (loading()) return;
    TRect rect = clientRect().offset(context.origin.x, context.origin.y);
    if (!clearBrush_) context.canvas.fill(rect, context.text.resolveColor(colors::clWhite));
    if (!noPen_) frame3D(context.canvas, rect, colors::clBlack, colors::clBlack, 1);
}

// ---------------------------------------------------------------- TImageList

bool TImageList::readProperty(std::string_view name, const LayoutValue& value) {
    if (name == "Width" || name == "Height") {
        const int64_t size = value.asInteger().value_or(0);
        if (size <= 0 || size > 256) return false;
        (name == "Width" ? width_ : height_) = static_cast<int>(size);
        return true;
    }
    if (name == "Bitmap") {
        strip_.setGraphic(value.graphic);
        return true;
    }
    return false;
}

int TImageList::count() const {
    if (!strip_.hasGraphic() || strip_.height() < height_) return 0;
    return strip_.width() / width_;
}

// ---------------------------------------------------------------- TListView

bool TListView::readProperty(std::string_view name, const LayoutValue& value) {
    auto flag = [&](bool& target) {
        target = value.asBool().value_or(target);
        return true;
    };
    if (name == "Columns") {
        if (value.kind != LayoutValue::Kind::Collection) return false;
        columns_.clear();
        for (const LayoutValue::CollectionItem& item : value.items) {
            ListColumn column;
            for (const grell::LayoutProperty& property : item.properties) {
                if (property.name == "Caption") column.caption = grell::layoutText(property.value).value_or("");
                else if (property.name == "Width") column.width = static_cast<int>(property.value.asInteger().value_or(50));
                else return false;
            }
            columns_.push_back(column);
        }
        return true;
    }
    if (name == "ViewStyle") {
        reportStyle_ = grell::layoutText(value).value_or("") == "vsReport";
        return true;
    }
    if (name == "BorderStyle") {
        border_ = grell::layoutText(value).value_or("") != "bsNone";
        return true;
    }
    if (name == "ShowColumnHeaders") return flag(showColumnHeaders_);
    if (name == "ColumnClick") return flag(columnClick_);
    if (name == "ReadOnly") return flag(readOnly_);
    if (name == "FlatScrollBars") return flag(flatScrollBars_);
    if (name == "ShowWorkAreas") return flag(showWorkAreas_);
    return TGrellControl::readProperty(name, value);
}

bool TListView::readReference(std::string_view name, TComponent* component) {
    if (name != "SmallImages") return false;
    auto* images = dynamic_cast<TImageList*>(component);
    if (images == nullptr) return false;
    smallImages_ = images;
    images->freeNotification(this);
    return true;
}

void TListView::notification(TComponent* component, Operation operation) {
    TGrellControl::notification(component, operation);
    if (operation == Operation::Remove && component == smallImages_) smallImages_ = nullptr;
}

void TListView::clear() {
    rows_.clear();
    if (sink_ != nullptr) sink_->rowsCleared();
}

void TListView::addRow(ListRow row) {
    rows_.push_back(std::move(row));
    if (sink_ != nullptr) sink_->rowAdded(rows_.back());
}

// ---------------------------------------------------------------- TRichEdit

bool TRichEdit::readProperty(std::string_view name, const LayoutValue& value) {
    if (name == "Visible") {
        visible_ = value.asBool().value_or(visible_);
        return true;
    }
    if (name == "Lines.Text") {
        Clear();
        AppendParagraph({grell::layoutText(value).value_or(""), 10});
        return true;
    }
    // A vertical scroll bar and tabs typed into the text: the control is never shown.
    return name == "ScrollBars" || name == "WantTabs";
}

void TRichEdit::SetMaxLength(size_t characters) {
    maxLength_ = characters;
    if (sink_ != nullptr) sink_->textLimitChanged(characters);
}

void TRichEdit::Clear() {
    paragraphs_.clear();
    if (sink_ != nullptr) sink_->documentCleared();
}

void TRichEdit::AppendParagraph(RichParagraph paragraph) {
    paragraphs_.push_back(std::move(paragraph));
    if (sink_ != nullptr) sink_->paragraphAppended(paragraphs_.back());
}

// ---------------------------------------------------------------- TLayoutOstrelSystemInfo

bool TLayoutOstrelSystemInfo::readProperty(std::string_view name, const LayoutValue& value) {
    if (name != "ExceptionMode") return false;
    const std::optional<int> mode = ordinalOfName(probes::kExceptionModeNames, grell::layoutText(value).value_or(""));
    if (!mode) return false;
    SetExceptionMode(static_cast<probes::TExceptionMode>(*mode));
    return true;
}

// ---------------------------------------------------------------- TLayoutPlaceholder

bool TLayoutPlaceholder::readProperty(std::string_view name, const LayoutValue& value) {
    settings_.insert_or_assign(std::string(name), value);
    return true;
}

const LayoutValue* TLayoutPlaceholder::setting(std::string_view name) const {
    const auto found = settings_.find(name);
    return found == settings_.end() ? nullptr : &found->second;
}

}  // namespace vardak::app
