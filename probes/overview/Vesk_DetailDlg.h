// The detail dialog of the overview window's page commands: a title over one of four
// pages (a text, a ticked list, a plain list, name and value rows) and an "OK" button.
// The caller creates it, picks the page, sets the title, fills the page's control,
// shows it modally and frees it. The window itself is the presenter's.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Classes.h"
#include "probes/overview/Vesk_Painting.h"

namespace vardak::probes {

inline constexpr std::string_view kDetailCaption = "Detail Information";
inline constexpr int kDetailClientWidth = 439;
inline constexpr int kDetailClientHeight = 309;
inline constexpr int kDetailTitleHeight = 34;
inline constexpr int kDetailButtonPanelHeight = 42;
inline constexpr int kDetailClientBorder = 5;
inline constexpr int kDetailItemHeight = 13;
inline constexpr int kModalResultOK = 1;

// The notebook's pages, by index.
enum class DetailPage { Memo = 0, CheckBox = 1, Listbox = 2, ListView = 3 };
inline constexpr std::array<std::string_view, 4> kDetailPageNames{"Memo", "CheckBox", "Listbox", "ListView"};

struct DetailColumn {
    std::string_view caption;
    int width;
};
inline constexpr std::array<DetailColumn, 2> kDetailColumns{{{"Variable", 150}, {"Value", 500}}};

struct CheckItem {
    std::string text;
    bool checked = false;
};

struct DetailRow {
    std::string variable;
    std::string value;
};

// The dialog's places in client coordinates.
struct DetailDialogPlaces {
    PaintBox title;
    PaintBox clientPanel;  // its lowered inner bevel is its edge
    PaintBox notebook;     // where the shown page's control goes
    PaintBox buttonPanel;
    PaintBox okButton;
};
DetailDialogPlaces detailDialogPlaces();

// The title panel: white, a small picture at the left edge, a larger one at the right,
// the title in bold Tahoma 10 pt between them.
PaintedArea detailTitlePainting(std::string_view title);

class TdlgVesk_Detail;

// Shows the dialog modally and answers its modal result.
class DetailDialogPresenter {
public:
    virtual ~DetailDialogPresenter() = default;
    virtual int showModal(TdlgVesk_Detail& dialog) = 0;
};

class TdlgVesk_Detail : public TComponent {
public:
    TdlgVesk_Detail(TComponent* owner, DetailDialogPresenter& presenter);

    std::string_view className() const override { return "TdlgVesk_Detail"; }

    const std::string& Caption() const { return caption_; }
    // The notebook's page; an index outside the pages is ignored.
    int PageIndex() const { return pageIndex_; }
    void SetPageIndex(int index);
    const std::string& TitleText() const { return title_; }
    void SetTitleText(std::string title) { title_ = std::move(title); }

    std::vector<std::string> Memo;
    std::vector<CheckItem> clb;
    std::vector<std::string> lb;
    std::vector<DetailRow> lv;

    // 1 ("OK") however the user closed it; -1 when the window system could not make it.
    int ShowModal() { return presenter_.showModal(*this); }

    // The check list changed the tick of item `index` (a click or the space bar): the tick
    // that item must show again, so the ticks stay read-only. Nothing for no item.
    std::optional<bool> clbClickCheck(int index) const;

private:
    DetailDialogPresenter& presenter_;
    std::string caption_{kDetailCaption};
    int pageIndex_ = 0;
    std::string title_;
};

}  // namespace vardak::probes
