// The image button: pressed states and groups, mouse and keys, hit testing, painting,
// repeated clicks and the graphic list it draws from.
#include <gtest/gtest.h>

#include <memory>

#include "grell/controls/GrellMMButton.h"
#include "grell/system/GrellApp.h"
#include "grell/system/GrellExceptions.h"
#include "tests/native/GrellFakes.h"

namespace vardak::grell {
namespace {

using grelltest::RecordingHost;
using grelltest::RecordingTextPainter;

constexpr int kWidth = 112;
constexpr int kHeight = 26;
constexpr TPoint kInside{10, 10};
constexpr TPoint kOutside{200, 10};

class ButtonTest : public ::testing::Test {
protected:
    ButtonTest() {
        root.setHost(&host);
        root.setBounds(0, 0, 400, 100);
        faces = grelltest::solidFaceList(&owner, 10, kWidth, kHeight);
    }

    TGrellMMButton* addButton(int left, int group, bool allowAllUp, int upFace = 0, int downFace = 1) {
        auto* button = new TGrellMMButton(&owner, &application);
        button->setParent(&root);
        button->setBounds(left, 10, kWidth, kHeight);
        button->setGroupIndex(group);
        button->setAllowAllUp(allowAllUp);
        button->setAllowMouseOver(false);
        button->setForceTransparent(false);
        FaceTable& table = button->faceTable();
        table[Face::Up].listIndex = upFace;
        table[Face::Pressed].listIndex = downFace;
        table[Face::HeldDown].listIndex = downFace;
        table.transparentColor = 0x507F88;
        button->setButtonFaceImageList(faces);
        button->onClick = [this, button](TObject& sender) {
            EXPECT_EQ(&sender, button);
            clicks.push_back(button);
        };
        return button;
    }

    Bitmap32 paint() {
        Bitmap32 canvas(root.width(), root.height(), 0x123456);
        root.paintTree(canvas, text, {0, 0});
        return canvas;
    }

    void click(TGrellMMButton* button, TPoint at = kInside) {
        paint();
        button->mouseDown(MouseButton::Left, at);
        button->mouseUp(MouseButton::Left, at);
    }

    grelltest::FakeGrellHost grellHost;
    TGrellApplication application{nullptr, grellHost};
    TComponent owner{nullptr};
    RecordingHost host;
    RecordingTextPainter text;
    TGrellWinControl root{nullptr};
    TGrellGraphicList* faces = nullptr;
    std::vector<TGrellMMButton*> clicks;
};

TEST_F(ButtonTest, NewButtonDefaults) {
    TGrellMMButton button(nullptr, nullptr);
    EXPECT_EQ(button.width(), 25);
    EXPECT_EQ(button.height(), 25);
    EXPECT_TRUE(button.caption().empty());
    EXPECT_TRUE(button.allowTransparency());
    EXPECT_TRUE(button.forceTransparent());
    EXPECT_FALSE(button.allowAllUp());
    EXPECT_EQ(button.captionDown(), 1);
    EXPECT_EQ(button.repeatingDelay(), 500);
    EXPECT_EQ(button.repeatingInterval(), 100);
    EXPECT_EQ(button.faceTable(), FaceTable{});
}

TEST_F(ButtonTest, ToggleLatchesAndReleases) {
    TGrellMMButton* toggle = addButton(0, 1, true);
    paint();
    toggle->mouseDown(MouseButton::Left, kInside);
    EXPECT_EQ(toggle->face(), Face::HeldDown);
    EXPECT_TRUE(clicks.empty());
    toggle->mouseUp(MouseButton::Left, kInside);
    EXPECT_TRUE(toggle->pressed());
    EXPECT_EQ(toggle->face(), Face::Pressed);
    EXPECT_EQ(clicks.size(), 1u);

    toggle->mouseDown(MouseButton::Left, kInside);
    EXPECT_EQ(toggle->face(), Face::Pressed) << "a pressed toggle keeps its face while held";
    toggle->mouseUp(MouseButton::Left, kInside);
    EXPECT_FALSE(toggle->pressed());
    EXPECT_EQ(toggle->face(), Face::Up);
    EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(ButtonTest, GroupWithoutAllowAllUpReleasesTheOtherAndStaysDown) {
    TGrellMMButton* first = addButton(0, 5, false);
    TGrellMMButton* second = addButton(150, 5, false);
    click(first);
    EXPECT_TRUE(first->pressed());
    click(second);
    EXPECT_TRUE(second->pressed());
    EXPECT_FALSE(first->pressed());
    EXPECT_EQ(first->face(), Face::Up);
    EXPECT_EQ(clicks, (std::vector<TGrellMMButton*>{first, second}));

    click(second);
    EXPECT_TRUE(second->pressed()) << "the pressed button of such a group cannot be released";
    EXPECT_EQ(second->face(), Face::Pressed);
}

TEST_F(ButtonTest, GroupMembersTakeOverAllowAllUp) {
    TGrellMMButton* first = addButton(0, 2, false);
    TGrellMMButton* second = addButton(150, 2, false);
    second->setAllowAllUp(true);
    EXPECT_TRUE(first->allowAllUp());
    TGrellMMButton* other = addButton(300, 3, false);
    second->setAllowAllUp(false);
    EXPECT_FALSE(first->allowAllUp());
    EXPECT_FALSE(other->allowAllUp());
}

TEST_F(ButtonTest, SettingsOfAnUnpressedMemberReleaseNobody) {
    TGrellMMButton* pressed = addButton(0, 4, false);
    pressed->setPressed(true);
    TGrellMMButton* joining = addButton(150, 0, false);
    joining->setGroupIndex(4);
    joining->setAllowAllUp(true);
    EXPECT_TRUE(pressed->pressed()) << "a group without all-up keeps its pressed member";
    EXPECT_TRUE(pressed->allowAllUp());

    TGrellMMButton* other = addButton(300, 7, true);
    other->setPressed(true);
    other->setGroupIndex(4);
    EXPECT_FALSE(pressed->pressed()) << "a pressed button joining the group releases the other";
    EXPECT_EQ(pressed->face(), Face::Up);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ButtonTest, GroupsOfTheSummaryWindowAreIndependent) {
    TGrellMMButton* a = addButton(0, 1, true);
    TGrellMMButton* b = addButton(150, 2, true);
    a->setPressed(true);
    b->setPressed(true);
    EXPECT_TRUE(a->pressed());
    EXPECT_TRUE(b->pressed());
}

TEST_F(ButtonTest, SetPressedWithoutGroupDoesNothing) {
    TGrellMMButton* push = addButton(0, 0, true);
    push->setPressed(true);
    EXPECT_FALSE(push->pressed());
    EXPECT_EQ(push->face(), Face::Up);
}

TEST_F(ButtonTest, SetPressedFiresNoClick) {
    TGrellMMButton* toggle = addButton(0, 1, true);
    toggle->setPressed(true);
    EXPECT_EQ(toggle->face(), Face::Pressed);
    toggle->setPressed(false);
    EXPECT_EQ(toggle->face(), Face::Up);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ButtonTest, PushButtonReleasedOutsideFiresNothing) {
    TGrellMMButton* push = addButton(0, 0, false);
    paint();
    push->mouseDown(MouseButton::Left, kInside);
    push->mouseMove(kOutside);
    EXPECT_EQ(push->face(), Face::Up);
    push->mouseMove(kInside);
    EXPECT_EQ(push->face(), Face::HeldDown);
    push->mouseUp(MouseButton::Left, kOutside);
    EXPECT_EQ(push->face(), Face::Up);
    EXPECT_TRUE(clicks.empty());
    click(push);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(ButtonTest, ToggleReleasedOutsideKeepsItsState) {
    TGrellMMButton* toggle = addButton(0, 1, true);
    toggle->setPressed(true);
    paint();
    toggle->mouseDown(MouseButton::Left, kInside);
    toggle->mouseMove(kOutside);
    EXPECT_EQ(toggle->face(), Face::Up);
    toggle->mouseUp(MouseButton::Left, kOutside);
    EXPECT_TRUE(toggle->pressed());
    EXPECT_EQ(toggle->face(), Face::Pressed);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ButtonTest, OnlyTheLeftButtonOfAnEnabledButtonCounts) {
    TGrellMMButton* push = addButton(0, 0, false);
    paint();
    push->mouseDown(MouseButton::Right, kInside);
    push->mouseUp(MouseButton::Right, kInside);
    push->setEnabled(false);
    click(push);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ButtonTest, DisabledPressedShowsFaceSevenOrFallsBackToFour) {
    TGrellMMButton* toggle = addButton(0, 1, true);
    toggle->setPressed(true);
    toggle->setEnabled(false);
    EXPECT_EQ(toggle->face(), Face::DisabledPressed);
    EXPECT_TRUE(toggle->pressed());

    toggle->faceTable()[Face::DisabledPressed].listIndex = 42;  // no such picture
    toggle->faceTable()[Face::HeldDown].listIndex = 5;
    const Bitmap32 canvas = paint();
    EXPECT_EQ(canvas.pixel(5, 15), 0x10000u * 6) << "face 4's picture (item 5)";

    toggle->setEnabled(true);
    EXPECT_EQ(toggle->face(), Face::Pressed);
    toggle->setPressed(false);
    toggle->setEnabled(false);
    EXPECT_EQ(toggle->face(), Face::Disabled);
}

TEST_F(ButtonTest, HitTestNeedsAPaintedValidFaceOfAnotherColour) {
    TGrellMMButton* push = addButton(0, 0, false);
    push->mouseDown(MouseButton::Left, kInside);
    EXPECT_EQ(push->face(), Face::Up) << "nothing drawn yet, so no press counts";
    paint();
    EXPECT_TRUE(push->hitTest(kInside));
    EXPECT_FALSE(push->hitTest({kWidth + 1, 1}));

    push->faceTable().transparentColor = 0xFFFFFF;
    EXPECT_FALSE(push->hitTest(kInside)) << "a graphic list's pixel colour is always white";
    push->setAllowTransparency(false);
    click(push);
    EXPECT_EQ(clicks.size(), 1u) << "without transparency every press counts";
}

TEST_F(ButtonTest, WithoutImageListNoPressIsAccepted) {
    auto* plain = new TGrellMMButton(&owner, &application);
    plain->setParent(&root);
    plain->faceTable().transparentColor = 0x123;
    plain->onClick = [this](TObject&) { clicks.push_back(nullptr); };
    paint();
    plain->mouseDown(MouseButton::Left, kInside);
    plain->mouseUp(MouseButton::Left, kInside);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ButtonTest, PaintingDrawsTheFaceOverTheButtonColour) {
    TGrellMMButton* toggle = addButton(20, 1, true, 2, 3);
    Bitmap32 canvas = paint();
    EXPECT_EQ(canvas.pixel(20, 10), 0x10000u * 3) << "item 2 at the button's corner";
    EXPECT_EQ(canvas.pixel(19, 10), 0x123456u) << "nothing outside the button";
    EXPECT_EQ(toggle->faceRect(), TRect::ofSize(0, 0, kWidth, kHeight));
    toggle->setPressed(true);
    canvas = paint();
    EXPECT_EQ(canvas.pixel(20, 10), 0x10000u * 4);
}

TEST_F(ButtonTest, SmallerPictureLeavesTheButtonColourAround) {
    TGrellMMButton* push = addButton(0, 0, false);
    push->setBounds(0, 10, kWidth + 10, kHeight);
    push->setColor(colors::clBtnFace);
    const Bitmap32 canvas = paint();
    EXPECT_EQ(canvas.pixel(kWidth + 5, 20), 15u) << "the button-face system colour";
}

TEST_F(ButtonTest, FacesWithoutPicturesPaintBackgroundAndCaption) {
    TGrellMMButton* push = addButton(0, 0, false, 50, 51);
    push->setCaption("&Go");
    const Bitmap32 canvas = paint();
    EXPECT_EQ(canvas.pixel(5, 15), push->color() & 0xFF);
    ASSERT_EQ(text.drawn.size(), 1u);
    EXPECT_EQ(text.drawn[0].text, "&Go");
    EXPECT_FALSE(push->faceRect());
}

TEST_F(ButtonTest, CaptionMovesDownWhenPressed) {
    TGrellMMButton* toggle = addButton(0, 1, true);
    toggle->setCaption("x");
    paint();
    toggle->setPressed(true);
    paint();
    ASSERT_EQ(text.drawn.size(), 2u);
    EXPECT_EQ(text.drawn[0].rect, TRect::ofSize(0, 0, kWidth, kHeight));
    EXPECT_EQ(text.drawn[1].rect, TRect::ofSize(1, 1, kWidth, kHeight));
}

TEST_F(ButtonTest, ForceTransparentLeavesOutTheListsTransparentColour) {
    Bitmap32 picture(kWidth, kHeight, 0x00AA00);
    picture.fill(TRect::ofSize(0, 0, kWidth, 5), 0x0000BB);
    picture.setPixel(0, kHeight - 1, 0x0000BB);  // bottom-left: the bitmap's transparent colour
    faces->graphics().itemAt(0)->setGraphic(std::make_shared<TGrellGraphic>(TGraphicKind::Bitmap, picture));
    TGrellMMButton* push = addButton(0, 0, false);
    push->setForceTransparent(true);
    push->setColor(0x777777);
    const Bitmap32 canvas = paint();
    EXPECT_EQ(canvas.pixel(3, 12), 0x777777u) << "transparent pixels show the button colour";
    EXPECT_EQ(canvas.pixel(3, 20), 0x00AA00u);
}

TEST_F(ButtonTest, CaptionKeepsClearOfTheGlyphSide) {
    const std::tuple<TButtonLayout, TextAlign, TextVAlign> cases[] = {
        {TButtonLayout::blGlyphLeft, TextAlign::Right, TextVAlign::Center},
        {TButtonLayout::blGlyphRight, TextAlign::Left, TextVAlign::Center},
        {TButtonLayout::blGlyphTop, TextAlign::Center, TextVAlign::Bottom},
        {TButtonLayout::blGlyphBottom, TextAlign::Center, TextVAlign::Top}};
    TGrellMMButton* push = addButton(0, 0, false);
    push->setCaption("Go");
    for (const auto& [layout, align, valign] : cases) {
        push->setButtonLayout(layout);
        text.drawn.clear();
        paint();
        ASSERT_EQ(text.drawn.size(), 1u);
        EXPECT_EQ(std::pair(text.drawn[0].align, text.drawn[0].valign), std::pair(align, valign));
    }
}

TEST_F(ButtonTest, FacePaletteIsRealisedUnlessQuickDraw) {
    const TGrellPalette palette{0x000000, 0x123456};
    faces->graphics().itemAt(0)->setGraphic(
        std::make_shared<TGrellGraphic>(TGraphicKind::Bitmap, Bitmap32(kWidth, kHeight, 0x123456), palette));
    TGrellMMButton* push = addButton(0, 0, false);
    paint();
    EXPECT_EQ(host.palettes, (std::vector<TGrellPalette>{palette}));
    push->setQuickDraw(true);
    paint();
    EXPECT_EQ(host.palettes.size(), 1u);
}

TEST_F(ButtonTest, DoubleClickFiresOnDblClickAndCountsAsAPress) {
    TGrellMMButton* toggle = addButton(0, 1, true);
    int doubleClicks = 0;
    toggle->onDblClick = [&](TObject&) { ++doubleClicks; };
    paint();
    root.rootMouseDown(MouseButton::Left, {5, 15});
    root.rootMouseUp(MouseButton::Left, {5, 15});
    root.rootMouseDoubleClick(MouseButton::Left, {5, 15});
    root.rootMouseUp(MouseButton::Left, {5, 15});
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_FALSE(toggle->pressed()) << "the second press released the toggle again";
    EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(ButtonTest, HideHintCancelsTheApplicationsHintOnLeaving) {
    TGrellMMButton* hiding = addButton(0, 0, false);
    TGrellMMButton* keeping = addButton(150, 0, false);
    keeping->setHideHint(false);
    hiding->mouseLeave();
    EXPECT_EQ(host.hintCancels, 1);
    keeping->mouseLeave();
    EXPECT_EQ(host.hintCancels, 1);
}

TEST_F(ButtonTest, PublishedPropertiesInOrder) {
    TGrellMMButton* push = addButton(0, 0, false);
    TComponent menu(nullptr);
    push->setDropDownMenu(&menu);
    push->setImageList(faces);
    push->font().bold = true;
    const std::string expected =
        "Name:TComponentName Tag:Longint Caption:TCaption Color:TColor Enabled:Boolean Font:TFont "
        "FontFX:TGrellFontFX ButtonLayout:TButtonLayout UseCaption:Boolean HideHint:Boolean EnterColor:TColor "
        "EnterColorChange:Boolean RepeatedClick:Boolean RepeatingDelay:Word RepeatingInterval:Word "
        "ImageList:TGrellCustomImageList ImageIndex:Integer ListIndex:Integer Glyph:TBitmap NumGlyphs:TNumGlyphs "
        "OnClick:TNotifyEvent OnDblClick:TNotifyEvent OnDropDown:TNotifyEvent OnMouseDown:TMouseEvent "
        "OnMouseEnter:TNotifyEvent OnMouseExit:TNotifyEvent OnMouseMove:TMouseMoveEvent OnMouseUp:TMouseEvent "
        "AllowAllUp:Boolean AllowMouseOver:Boolean AllowTransparency:Boolean ButtonFace:TGrellButtonFace "
        "ButtonFaceStyle:TGrellBitmapStyle ButtonFaceImageList:TGrellCustomImageList CaptionDown:Integer "
        "ForceTransparent:Boolean GroupIndex:Integer QuickDraw:Boolean Pressed:Boolean DropDownMenu:TPopupMenu "
        "DropDownIndent:Integer DropDownRight:Boolean Transparent:Boolean";
    const PropertyTable table = push->publishedProperties();
    std::string published;
    for (const PublishedProperty& property : table.properties()) {
        published += (published.empty() ? "" : " ") + property.name + ":" + property.typeName;
    }
    EXPECT_EQ(published, expected);
    EXPECT_EQ(table.find("DropDownMenu")->object, &menu);
    EXPECT_EQ(table.find("ImageList")->object, faces);
    EXPECT_EQ(table.find("Font")->object, &push->publishedFont());
    EXPECT_EQ(propertyLines(push->publishedFont(), false),
              (std::vector<std::string>{"Color = -2147483640", "Height = -11", "Name = Tahoma", "Style = [fsBold]"}));
}

TEST_F(ButtonTest, AutosizeTakesTheFacePictureSize) {
    TGrellMMButton* push = addButton(0, 0, false);
    push->setBounds(0, 10, 25, 25);
    push->setButtonFaceStyle(TGrellBitmapStyle::sbAutosize);
    paint();
    EXPECT_EQ(push->width(), kWidth);
    EXPECT_EQ(push->height(), kHeight);
    push->faceTable()[Face::Up].listIndex = 99;
    paint();
    EXPECT_EQ(push->width(), 20) << "a missing picture counts as 20 x 20";
}

TEST_F(ButtonTest, AcceleratorKeyClicksAPushButton) {
    TGrellMMButton* push = addButton(0, 0, false);
    push->setCaption("&Print");
    EXPECT_FALSE(root.broadcastDialogChar('x'));
    EXPECT_TRUE(root.broadcastDialogChar('P'));
    EXPECT_EQ(clicks.size(), 1u);
    EXPECT_EQ(push->face(), Face::Up);
    push->setVisible(false);
    EXPECT_FALSE(root.broadcastDialogChar('p'));
}

TEST_F(ButtonTest, AcceleratorKeyTogglesAGroupButtonWithoutClick) {
    TGrellMMButton* toggle = addButton(0, 1, true);
    toggle->setCaption("&Details");
    EXPECT_TRUE(root.broadcastDialogChar('d'));
    EXPECT_TRUE(toggle->pressed());
    EXPECT_TRUE(clicks.empty()) << "only with mouse-over faces does the key click";
    toggle->setAllowMouseOver(true);
    root.broadcastDialogChar('d');
    EXPECT_FALSE(toggle->pressed());
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(ButtonTest, MouseOverFacesFollowTheMouse) {
    TGrellMMButton* push = addButton(0, 0, false);
    push->setAllowMouseOver(true);
    push->faceTable()[Face::MouseOver].listIndex = 7;
    paint();
    root.rootMouseMove({5, 15});
    EXPECT_EQ(push->face(), Face::MouseOver);
    root.rootMouseMove({300, 80});
    EXPECT_EQ(push->face(), Face::Up);
    root.rootMouseMove({5, 15});
    root.rootMouseDown(MouseButton::Left, {5, 15});
    root.rootMouseUp(MouseButton::Left, {5, 15});
    EXPECT_EQ(push->face(), Face::MouseOver) << "after a click inside with mouse-over faces";
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(ButtonTest, RootRoutesTheMouseToTheButtonUnderIt) {
    TGrellMMButton* left = addButton(0, 1, true);
    TGrellMMButton* right = addButton(150, 2, true);
    paint();
    root.rootMouseDown(MouseButton::Left, {160, 20});
    EXPECT_TRUE(root.mouseCaptured());
    root.rootMouseUp(MouseButton::Left, {160, 20});
    EXPECT_FALSE(root.mouseCaptured());
    EXPECT_TRUE(right->pressed());
    EXPECT_FALSE(left->pressed());
    // Held on one button and released over the other: the first keeps the mouse.
    root.rootMouseDown(MouseButton::Left, {5, 20});
    root.rootMouseUp(MouseButton::Left, {160, 20});
    EXPECT_FALSE(left->pressed());
    EXPECT_TRUE(right->pressed());
}

TEST_F(ButtonTest, DropDownMenuOpensBelowOrRight) {
    TComponent menu(nullptr);
    TGrellMMButton* push = addButton(20, 0, false);
    push->setDropDownMenu(&menu);
    int dropDowns = 0;
    push->onDropDown = [&](TObject&) { ++dropDowns; };
    host.duringPopup = [&] { EXPECT_EQ(push->face(), Face::DropDown); };
    paint();
    push->mouseDown(MouseButton::Left, kInside);
    EXPECT_EQ(dropDowns, 1);
    push->setDropDown(3, true);
    push->mouseDown(MouseButton::Left, kInside);
    ASSERT_EQ(host.popups.size(), 2u);
    EXPECT_EQ(host.popups[0], (TPoint{20, 10 + kHeight}));
    EXPECT_EQ(host.popups[1], (TPoint{20 + kWidth, 10 + 3}));
    EXPECT_EQ(push->face(), Face::MouseOver);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ButtonTest, RemovedListsAndMenusAreForgotten) {
    TGrellMMButton* push = addButton(0, 0, false);
    auto* menu = new TComponent(&owner);
    push->setDropDownMenu(menu);
    push->setImageList(faces);
    delete menu;
    EXPECT_EQ(push->dropDownMenu(), nullptr);
    delete faces;
    EXPECT_EQ(push->buttonFaceImageList(), nullptr);
    EXPECT_EQ(push->imageList(), nullptr);
    EXPECT_NO_THROW(paint());
}

TEST_F(ButtonTest, ListChangesRepaintTheButton) {
    TGrellMMButton* push = addButton(30, 0, false);
    host.invalidated.clear();
    faces->graphics().itemAt(0)->setName("Renamed");
    ASSERT_FALSE(host.invalidated.empty());
    EXPECT_EQ(host.invalidated.back(), TRect::ofSize(30, 10, kWidth, kHeight));
    (void)push;
}

TEST_F(ButtonTest, RepeatedClickFiresAtOnceThenAfterTheDelayAndEachInterval) {
    TGrellMMButton* push = addButton(0, 0, false);
    push->setRepeatedClick(true);
    paint();
    push->mouseDown(MouseButton::Left, kInside);
    EXPECT_EQ(clicks.size(), 1u);
    grellHost.tick(9);
    EXPECT_EQ(clicks.size(), 1u) << "500 ms are ten ticks";
    grellHost.tick(1);
    EXPECT_EQ(clicks.size(), 2u);
    grellHost.tick(2);  // every 100 ms
    EXPECT_EQ(clicks.size(), 3u);
    push->mouseMove(kOutside);
    grellHost.tick(4);
    EXPECT_EQ(clicks.size(), 3u) << "no clicks while the mouse is outside";
    push->mouseMove(kInside);
    push->mouseUp(MouseButton::Left, kInside);
    EXPECT_EQ(clicks.size(), 3u) << "no extra click on release";
    EXPECT_EQ(application.timerPool().count(), 0) << "the control timer is given back";
}

TEST_F(ButtonTest, RepeatedClickWithoutFreeTimerRaises) {
    for (int slot = 0; slot < TGrellApplication::kControlTimerSlots; ++slot) application.allocateControlTimer(50, {});
    TGrellMMButton* push = addButton(0, 0, false);
    push->setRepeatedClick(true);
    paint();
    EXPECT_THROW(push->mouseDown(MouseButton::Left, kInside), EOutOfResources);
}

// ---------------------------------------------------------------- graphic list

TEST(GraphicListTest, ValidOnlyForItemsWithAPictureOfSomeSize) {
    TGrellGraphicList list(nullptr);
    list.graphics().add()->setGraphic(grelltest::solidGraphic(4, 3, 1));
    list.graphics().add();  // no picture
    list.graphics().add()->setGraphic(grelltest::solidGraphic(0, 3, 1));
    list.graphics().add()->setGraphic(grelltest::solidGraphic(4, 0, 1));
    EXPECT_TRUE(list.valid(0, 0));
    EXPECT_TRUE(list.valid(0, 99)) << "image indices are ignored";
    EXPECT_FALSE(list.valid(1, 0));
    EXPECT_FALSE(list.valid(2, 0));
    EXPECT_FALSE(list.valid(3, 0));
    EXPECT_FALSE(list.valid(4, 0));
    EXPECT_FALSE(list.valid(-1, 0));
    EXPECT_EQ(list.width(0), 4);
    EXPECT_EQ(list.height(0), 3);
    EXPECT_EQ(list.width(-1), 0);
    EXPECT_EQ(list.width(2), 0);
}

TEST(GraphicListTest, TransparentColourIsTheBottomLeftPixel) {
    TGrellGraphicList list(nullptr);
    Bitmap32 picture(3, 3, 0x111111);
    picture.setPixel(0, 2, 0x222222);
    list.graphics().add()->setGraphic(std::make_shared<TGrellGraphic>(TGraphicKind::Bitmap, picture));
    EXPECT_EQ(list.transparentColor(0), 0x222222u);
    EXPECT_EQ(list.transparentColor(1), kNoTransparentColor);
    EXPECT_EQ(list.transparentColor(-5), kNoTransparentColor);
    EXPECT_EQ(list.pixelColor(0, 0, {1, 1}), kWhite);
    EXPECT_EQ(list.bitmap(0), picture);
    EXPECT_FALSE(list.bitmap(1));
}

TEST(GraphicListTest, OnlyBitmapsHaveAPalette) {
    TGrellGraphicList list(nullptr);
    const TGrellPalette palette{0x010203};
    list.graphics().add()->setGraphic(std::make_shared<TGrellGraphic>(TGraphicKind::Bitmap, Bitmap32(2, 2), palette));
    list.graphics().add()->setGraphic(std::make_shared<TGrellGraphic>(TGraphicKind::Jpeg, Bitmap32(2, 2), palette));
    list.graphics().add()->setGraphic(grelltest::solidGraphic(2, 2, 0));
    ASSERT_NE(list.palette(0), nullptr);
    EXPECT_EQ(*list.palette(0), palette);
    EXPECT_EQ(list.palette(1), nullptr);
    EXPECT_EQ(list.palette(2), nullptr) << "a bitmap without colour table";
    EXPECT_EQ(list.palette(3), nullptr);
}

TEST(GraphicListTest, JpegIsRenderedAsABitmapOfItsSize) {
    TGrellGraphicList list(nullptr);
    list.graphics().add()->setGraphic(grelltest::solidGraphic(5, 2, 0x345678, TGraphicKind::Jpeg));
    const auto rendering = list.bitmap(0);
    ASSERT_TRUE(rendering);
    EXPECT_EQ(rendering->width(), 5);
    EXPECT_EQ(rendering->pixel(4, 1), 0x345678u);
}

TEST(GraphicListTest, SettingGraphicsCopiesTheItems) {
    TGrellGraphicList source(nullptr);
    source.graphics().add()->setName("Programmer");
    source.graphics().itemAt(0)->setGraphic(grelltest::solidGraphic(2, 2, 9));
    TGrellGraphicList copy(nullptr);
    copy.setGraphics(source.graphics());
    source.graphics().clear();
    ASSERT_EQ(copy.graphics().count(), 1);
    EXPECT_EQ(copy.graphics().itemAt(0)->name(), "Programmer");
    EXPECT_TRUE(copy.valid(0, 0));
}

TEST(GraphicListTest, DrawingAnInvalidIndexDrawsNothing) {
    TGrellGraphicList list(nullptr);
    Bitmap32 canvas(4, 4, 3);
    EXPECT_EQ(list.draw(canvas, canvas.rect(), -1, 0, 0), canvas.rect());
    EXPECT_EQ(canvas, Bitmap32(4, 4, 3));
}

}  // namespace
}  // namespace vardak::grell
