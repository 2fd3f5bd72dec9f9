// The standard components of the summary window's layout, as portable models: panels,
// a picture, a shape, the list view, image lists of row icons, the hidden rich edit
// and the print dialog of the printing, and the system components as the layout sets
// them up.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/Classes.h"
#include "grell/controls/GrellControl.h"
#include "grell/controls/GrellImageList.h"
#include "probes/core/Vesk_GUI.h"

namespace vardak::app {

using grell::LayoutValue;

enum class TPanelBevel { bvNone, bvLowered, bvRaised };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TPanel : public grell::TGrellWinControl {
public:
    explicit TPanel(TComponent* owner);
    std::string_view className() const override { return "TPanel"; }
    bool readProperty(std::string_view name, const LayoutValue& value) override;

    TPanelBevel bevelOuter() const { return bevelOuter_; }
    TPanelBevel bevelInner() const { return bevelInner_; }
    int borderWidth() const { return borderWidth_; }
    TAlignment alignment() const { return alignment_; }
    // Inside the outer bevel, the border and the inner bevel.
    grell::TRect innerRect() const override;
    void paint(grell::PaintContext& context) override;

private:
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
    TPanelBevel bevelInner_ = TPanelBevel::bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TAlignment alignment_ = TAlignment::taCenter;
};

// Shows one picture at its top-left corner (or stretched).
class TImage : public grell::TGrellControl {
public:
    explicit TImage(TComponent* owner) : TGrellControl(owner) {}
    std::string_view className() const override { return "TImage"; }
    bool readProperty(std::string_view name, const LayoutValue& value) override;

    grell::TGrellPicture& picture() { return picture_; }
    bool stretch() const { return stretch_; }
    void paint(grell::PaintContext& context) override;

private:
    grell::TGrellPicture picture_;
    bool stretch_ = false;
};

// A shape; with a clear brush and no pen it draws nothing and only takes the mouse.
class TShape : public grell::TGrellControl {
public:
    explicit TShape(TComponent* owner) : TGrellControl(owner) {}
    std::string_view className() const override { return "TShape"; }
    bool readProperty(std::string_view name, const LayoutValue& value) override;
    bool clearBrush() const { return clearBrush_; }
    bool noPen() const { return noPen_; }
    void paint(grell::PaintContext& context) override;

private:
    bool clearBrush_ = false;
    bool noPen_ = false;
};

// Row icons: equally sized images cut from one strip picture.
class TImageList : public TComponent, public grell::LayoutReadable {
public:
    explicit TImageList(TComponent* owner) : TComponent(owner) {}
    std::string_view className() const override { return "TImageList"; }
    bool readProperty(std::string_view name, const LayoutValue& value) override;

    int width() const { return width_; }
    int height() const { return height_; }
    // The strip the images are cut from (may be empty).
    grell::TGrellPicture& strip() { return strip_; }
    const grell::TGrellPicture& strip() const { return strip_; }
    // Whole images in the strip.
    int count() const;

private:
    int width_ = 16;
    int height_ = 16;
    grell::TGrellPicture strip_;
};

struct ListColumn {
    std::string caption;
    int width = 50;
};

struct ListRow {
    std::string caption;
    std::string value;
    int imageIndex = 0;
};

// Told when the rows of a list view change.
class ListViewSink {
public:
    virtual ~ListViewSink() = default;
    virtual void rowsCleared() = 0;
    virtual void rowAdded(const ListRow& row) = 0;
};

// A report-style list view; a real window of the host, which follows the model.
class TListView : public grell::TGrellControl {
public:
    explicit TListView(TComponent* owner) : TGrellControl(owner) {}
    std::string_view className() const override { return "TListView"; }
    bool readProperty(std::string_view name, const LayoutValue& value) override;
    bool readReference(std::string_view name, TComponent* component) override;
    bool windowed() const override { return true; }

    const std::vector<ListColumn>& columns() const { return columns_; }
    bool reportStyle() const { return reportStyle_; }
    bool showColumnHeaders() const { return showColumnHeaders_; }
    bool columnClick() const { return columnClick_; }
    bool readOnly() const { return readOnly_; }
    bool flatScrollBars() const { return flatScrollBars_; }
    bool showWorkAreas() const { return showWorkAreas_; }
    bool border() const { return border_; }
    TImageList* smallImages() const { return smallImages_; }

    const std::vector<ListRow>& rows() const { return rows_; }
    void clear();
    void addRow(ListRow row);
    void setSink(ListViewSink* sink) { sink_ = sink; }

protected:
    void notification(TComponent* component, Operation operation) override;

private:
    std::vector<ListColumn> columns_;
    bool reportStyle_ = false;
    bool showColumnHeaders_ = true;
    bool columnClick_ = true;
    bool readOnly_ = false;
    bool flatScrollBars_ = false;
    bool showWorkAreas_ = false;
    bool border_ = true;
    TImageList* smallImages_ = nullptr;
    std::vector<ListRow> rows_;
    ListViewSink* sink_ = nullptr;
};

// One paragraph of a rich-edit document, all of it in one point size.
struct RichParagraph {
    std::string text;
    int pointSize = 10;

    bool operator==(const RichParagraph&) const = default;
};

// Told when the document of a rich edit changes.
class RichEditSink {
public:
    virtual ~RichEditSink() = default;
    virtual void documentCleared() = 0;
    // The document may hold `characters` from now on.
    virtual void textLimitChanged(size_t characters) = 0;
    virtual void paragraphAppended(const RichParagraph& paragraph) = 0;
};

// A rich-edit control holding a document of paragraphs; a real control of the host,
// which follows the model.
class TRichEdit : public TComponent, public grell::LayoutReadable {
public:
    // The characters a rich-edit control takes until its limit is raised.
    static constexpr size_t kDefaultMaxLength = 32767;

    explicit TRichEdit(TComponent* owner) : TComponent(owner) {}
    std::string_view className() const override { return "TRichEdit"; }
    bool readProperty(std::string_view name, const LayoutValue& value) override;

    bool visible() const { return visible_; }
    const std::vector<RichParagraph>& paragraphs() const { return paragraphs_; }
    size_t MaxLength() const { return maxLength_; }
    void SetMaxLength(size_t characters);
    void Clear();
    // Adds a new last paragraph.
    void AppendParagraph(RichParagraph paragraph);
    void setSink(RichEditSink* sink) { sink_ = sink; }

private:
    bool visible_ = true;
    size_t maxLength_ = kDefaultMaxLength;
    std::vector<RichParagraph> paragraphs_;
    RichEditSink* sink_ = nullptr;
};

// The print dialog; the host shows it (FormActions::printDocument).
class TPrintDialog : public TComponent, public grell::LayoutReadable {
public:
    explicit TPrintDialog(TComponent* owner) : TComponent(owner) {}
    std::string_view className() const override { return "TPrintDialog"; }
    bool readProperty(std::string_view, const LayoutValue&) override { return false; }
};

// A system component of the component library as the layout sets it up: the layout
// gives it AutoRetrieve.
template <class SystemComponent>
class TLayoutSystemComponent : public SystemComponent, public grell::LayoutReadable {
public:
    using SystemComponent::SystemComponent;
    bool readProperty(std::string_view name, const LayoutValue& value) override {
        const std::optional<bool> flag = value.asBool();
        if (name != "AutoRetrieve" || !flag) return false;
        this->SetAutoRetrieve(*flag);
        return true;
    }
};

// The probe library's root component as the layout sets it up: the mode the layout
// stores ("ExceptionMode = emMessage") is passed on to the probes as it is read.
class TLayoutOstrelSystemInfo : public probes::TOstrelSystemInfo, public grell::LayoutReadable {
public:
    TLayoutOstrelSystemInfo(TComponent* owner, platform::Platform& platform)
        : probes::TOstrelSystemInfo(owner, platform) {}
    bool readProperty(std::string_view name, const LayoutValue& value) override;
};

// A component of a kind the window does not build itself: it keeps its kind and the
// settings of the layout for whoever reads them.
class TLayoutPlaceholder : public TComponent, public grell::LayoutReadable {
public:
    TLayoutPlaceholder(TComponent* owner, std::string kind) : TComponent(owner), kind_(std::move(kind)) {}
    std::string_view className() const override { return kind_; }
    bool readProperty(std::string_view name, const LayoutValue& value) override;
    // The layout's value of a property, or nothing.
    const LayoutValue* setting(std::string_view name) const;

private:
    std::string kind_;
    std::map<std::string, LayoutValue, std::less<>> settings_;
};

}  // namespace vardak::app
