// The splash window's and the detail dialog's contents and places, and the detail
// dialog's read-only ticks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "probes/overview/Vesk_DetailDlg.h"
#include "probes/overview/Vesk_Splash.h"

namespace vardak::probes {
namespace {

std::vector<std::string> textsOf(const PaintedArea& area) {
    std::vector<std::string> texts;
    for (const PaintText& text : area.texts) texts.push_back(text.text);
    return texts;
}

void expectWithin(const PaintedArea& area, const PaintBox& bounds) {
    for (const PaintShape& shape : area.shapes) EXPECT_TRUE(shape.box.within(bounds));
    for (const PaintText& text : area.texts) EXPECT_TRUE(text.box.within(bounds)) << text.text;
}

TEST(SplashWindowTest, FrameStripAndTextsAsTheWindowShowsThem) {
    const PaintedArea splash = splashPainting();
    expectWithin(splash, {0, 0, kSplashClientWidth, kSplashClientHeight});
    EXPECT_EQ(splash.shapes.at(0).box, (PaintBox{0, 0, 360, 144}));
    EXPECT_EQ(splash.shapes.at(0).colour, kBlack);
    EXPECT_EQ(splash.shapes.at(1).box, (PaintBox{3, 3, 357, 123})) << "3-pixel frame, strip of 21 below";
    EXPECT_EQ(splash.shapes.at(1).colour, kWhite);
    EXPECT_EQ(textsOf(splash), (std::vector<std::string>{"Computer Information", "for Windows 95/98/NT/2000/XP",
                                                         std::string(kSplashMaker), "Collecting information..."}));
    const PaintText& title = splash.texts.at(0);
    EXPECT_EQ(title.fontFace + "/" + std::to_string(title.heightPixels), "Times New Roman/27");
    EXPECT_EQ(splash.texts.at(1).heightPixels, 16);
    EXPECT_EQ(title.colour, kTeal);
    const PaintText& strip = splash.texts.back();
    EXPECT_EQ(strip.box, (PaintBox{0, 123, 360, 144}));
    EXPECT_TRUE(strip.bold);
    EXPECT_EQ(strip.colour, kWhite);
}

class NoPresenter : public DetailDialogPresenter {
public:
    int showModal(TdlgVesk_Detail&) override { return ++shown; }
    int shown = 0;
};

TEST(DetailDialogTest, PlacesPagesAndTicksThatStayAsSet) {
    const DetailDialogPlaces places = detailDialogPlaces();
    EXPECT_EQ(places.title, (PaintBox{0, 0, 439, 34}));
    EXPECT_EQ(places.buttonPanel, (PaintBox{0, 267, 439, 309}));
    EXPECT_EQ(places.notebook, (PaintBox{6, 40, 433, 261})) << "inside the bevel and the border of 5";
    EXPECT_TRUE(places.okButton.within(places.buttonPanel));
    EXPECT_EQ(places.okButton.right, 439 - 8);
    expectWithin(detailTitlePainting("Installed components"), places.title);

    NoPresenter presenter;
    TdlgVesk_Detail dialog(nullptr, presenter);
    EXPECT_EQ(dialog.Caption(), "Detail Information");
    dialog.SetPageIndex(3);
    dialog.SetPageIndex(4);
    dialog.SetPageIndex(-1);
    EXPECT_EQ(dialog.PageIndex(), 3) << "pages outside the notebook are ignored";
    EXPECT_EQ(dialog.ShowModal(), 1);

    dialog.clb = {{"first", true}, {"second", false}};
    EXPECT_EQ(dialog.clbClickCheck(0), true);
    EXPECT_EQ(dialog.clbClickCheck(1), false);
    EXPECT_EQ(dialog.clbClickCheck(2), std::nullopt) << "beside the items";
    EXPECT_EQ(dialog.clbClickCheck(-1), std::nullopt);
}

}  // namespace
}  // namespace vardak::probes
