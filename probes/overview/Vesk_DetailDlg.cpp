#include "probes/overview/Vesk_DetailDlg.h"

namespace vardak::probes {

namespace {

constexpr int kOkWidth = 75;
constexpr int kOkHeight = 25;
constexpr int kOkMargin = 8;
constexpr int kBevel = 1;

}  // namespace

DetailDialogPlaces detailDialogPlaces() {
    DetailDialogPlaces places;
    places.title = {0, 0, kDetailClientWidth, kDetailTitleHeight};
    places.buttonPanel = {0, kDetailClientHeight - kDetailButtonPanelHeight, kDetailClientWidth, kDetailClientHeight};
    places.clientPanel = {0, places.title.bottom, kDetailClientWidth, places.buttonPanel.top};
    const int inset = kBevel + kDetailClientBorder;
    places.notebook = {places.clientPanel.left + inset, places.clientPanel.top + inset,
                       places.clientPanel.right - inset, places.clientPanel.bottom - inset};
    places.okButton = PaintBox::ofSize(kDetailClientWidth - kOkMargin - kOkWidth,
                                       places.buttonPanel.top + (kDetailButtonPanelHeight - kOkHeight) / 2, kOkWidth,
                                       kOkHeight);
    return places;
}

PaintedArea detailTitlePainting(std::string_view title) {
    constexpr int kTenPointPixels = 13;  // at the usual 96 pixels an inch
    PaintedArea area;
    area.shapes.push_back({ShapeKind::Rectangle, {0, 0, kDetailClientWidth, kDetailTitleHeight}, kWhite});
    addChipPicture(area, PaintBox::ofSize(8, 9, 16, 16));
    addComputerPicture(area, PaintBox::ofSize(kDetailClientWidth - 36, 3, 28, 28));
    area.texts.push_back({PaintBox{32, 0, kDetailClientWidth - 44, kDetailTitleHeight}, std::string(title), "Tahoma",
                          kTenPointPixels, true, kBlack});
    return area;
}

TdlgVesk_Detail::TdlgVesk_Detail(TComponent* owner, DetailDialogPresenter& presenter)
    : TComponent(owner), presenter_(presenter) {}

void TdlgVesk_Detail::SetPageIndex(int index) {
    if (index >= 0 && index < static_cast<int>(kDetailPageNames.size())) pageIndex_ = index;
}

std::optional<bool> TdlgVesk_Detail::clbClickCheck(int index) const {
    if (index < 0 || index >= static_cast<int>(clb.size())) return std::nullopt;
    return clb[static_cast<size_t>(index)].checked;
}

}  // namespace vardak::probes
