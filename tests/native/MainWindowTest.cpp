// The summary window built from its real layout: components, faces, language,
// settings and commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "app/LayoutBuilder.h"
#include "app/Main.h"
#include "app/Printing.h"
#include "grell/system/GrellApp.h"
#include "tests/native/GrellFakes.h"
#include "tests/native/FakeMachines.h"
#include "tests/native/MainFakes.h"
#include "tests/support/FakePlatform.h"

namespace vardak::app {
namespace {

using grell::Face;
using grell::TGrellMMButton;

// The client area of the 590 x 385 window with the classic fixed frame and caption.
constexpr int kClientWidth = 584;
constexpr int kClientHeight = 360;

std::string layoutText() {
    std::ifstream file(std::string(VARDAK_SOURCE_DIR) + "/app/resources/Vardak.layout", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class SummaryWindowTest : public ::testing::Test {
protected:
    void SetUp() override { resources.strings[kVoltageCaptionId] = "Sp\xE6nding"; }

    TVardak& create() {
        // As the program starts them before its window.
        if (!routines) routines = std::make_unique<probes::OstrelRoutinesSession>(machine);
        window = std::make_unique<TVardak>(nullptr, VardakServices{machine.files(), resources, actions, application, machine,
                                                                   [this] {
                                                                       ++splashes;
                                                                       return std::make_unique<probes::RefreshSplash>();
                                                                   },
                                                                   [this](probes::TOstrelSystemInfo& root) {
                                                                       overviewsOf.push_back(&root);
                                                                   }});
        window->setHost(&host);
        window->setBounds(0, 0, kClientWidth, kClientHeight);
        window->createFromLayout(layoutText());
        return *window;
    }

    const TVardak::WindowComponents& components() const { return window->windowComponents(); }

    void writeSettings(const std::string& text) {
        machine.filesFake.addFile(machine.filesFake.profilePath("Trelka.INI"), text);
    }

    std::vector<std::string> savedKeys() {
        return machine.files().profileKeyNames("Trelka.INI", "TrelkaUtility");
    }

    std::string saved(const std::string& key) {
        return machine.files().profileString("Trelka.INI", "TrelkaUtility", key, "<missing>");
    }

    void clickAt(grell::TPoint point) {
        grell::Bitmap32 canvas(kClientWidth, kClientHeight);
        window->paintTree(canvas, text, {0, 0});
        window->rootMouseDown(grell::MouseButton::Left, point);
        window->rootMouseUp(grell::MouseButton::Left, point);
    }

    // The centre of a button in the window's client coordinates.
    static grell::TPoint centreOf(const TGrellMMButton* button) {
        const grell::TPoint origin = const_cast<TGrellMMButton*>(button)->rootOrigin();
        return {origin.x + button->width() / 2, origin.y + button->height() / 2};
    }

    testing::FakePlatform machine;
    apptest::FakeResources resources;
    apptest::RecordingActions actions;
    grelltest::FakeGrellHost grellHost;
    grell::TGrellApplication application{nullptr, grellHost};
    grelltest::RecordingHost host;
    grelltest::RecordingTextPainter text;
    std::unique_ptr<probes::OstrelRoutinesSession> routines;
    std::unique_ptr<TVardak> window;
    int splashes = 0;
    std::vector<const probes::TOstrelSystemInfo*> overviewsOf;
};

TEST_F(SummaryWindowTest, ComponentsInDeclarationOrder) {
    create();
    const std::vector<std::string> expected{
        "OstrelSystemInfo", "IkonListe", "GrellSysInfo1", "DriveInfo", "Uninstall", "Billeder", "ImageList1",
        "Panel2", "List", "Panel1", "GrellMMButton1", "GrellMMButton2", "GrellMMButton3", "GrellMMButton4",
        "GrellMMButton5", "KnapBilleder", "Hoved", "Programmer", "Partitioner", "Detaljer", "Afslut", "Udskriv",
        "Udskrift", "CPUInfo", "WinInfo", "NetInfo", "Kopier", "Printer", "Shape1", "WWWHop", "KnapBillederNo",
        "KnapBillederSv", "KnapBillederFi"};
    std::vector<std::string> names;
    for (int i = 0; i < window->componentCount(); ++i) names.push_back(window->component(i)->name());
    EXPECT_EQ(names, expected);
}

TEST_F(SummaryWindowTest, WindowAsTheLayoutSays) {
    TVardak& form = create();
    EXPECT_EQ(form.name(), "Vardak");
    EXPECT_EQ(form.formCaption(), "Vardak");
    EXPECT_EQ(form.windowWidth(), 590);
    EXPECT_EQ(form.windowHeight(), 385);
    EXPECT_EQ(form.maxWidth(), 590);
    EXPECT_TRUE(form.centered());
    EXPECT_EQ(form.font().name, "Tahoma");
    EXPECT_EQ(form.font().height, -11);
    EXPECT_EQ(form.color(), grell::colors::clBtnFace);
}

TEST_F(SummaryWindowTest, PanelsListAndHeaderFitTogether) {
    create();
    EXPECT_EQ(components().Panel2->boundsRect(), grell::TRect::ofSize(0, 0, kClientWidth, kClientHeight));
    EXPECT_EQ(components().Panel2->bevelInner(), TPanelBevel::bvLowered);
    EXPECT_EQ(components().Panel2->borderWidth(), 2);
    EXPECT_EQ(components().Panel1->boundsRect(), grell::TRect::ofSize(4, 4, 576, 110));
    EXPECT_EQ(components().List->boundsRect(), grell::TRect::ofSize(4, 114, 576, 242));
    EXPECT_EQ(components().Hoved->boundsRect(), grell::TRect::ofSize(0, 0, 576, 110));
    EXPECT_EQ(components().Panel1->caption(), "  System Overview");
    EXPECT_TRUE(components().Panel1->font().bold);
    EXPECT_EQ(components().Panel1->font().color, grell::colors::clWhite);
    EXPECT_EQ(components().Panel1->color(), grell::colors::clGray);
    EXPECT_EQ(components().Panel1->alignment(), TAlignment::taLeftJustify);
}

TEST_F(SummaryWindowTest, ListIsAQuietReportOfTwoColumns) {
    create();
    const TListView& list = *components().List;
    ASSERT_EQ(list.columns().size(), 2u);
    EXPECT_EQ(list.columns()[0].width, 250);
    EXPECT_EQ(list.columns()[1].width, 310);
    EXPECT_TRUE(list.reportStyle());
    EXPECT_FALSE(list.showColumnHeaders());
    EXPECT_FALSE(list.columnClick());
    EXPECT_TRUE(list.readOnly());
    EXPECT_TRUE(list.flatScrollBars());
    EXPECT_TRUE(list.showWorkAreas());
    EXPECT_FALSE(list.border());
    EXPECT_EQ(list.color(), grell::colors::clCream);
    EXPECT_EQ(list.font().height, -13);
    EXPECT_EQ(list.font().color, grell::colors::clBlack);
    EXPECT_EQ(list.smallImages(), components().IkonListe);
    EXPECT_EQ(components().IkonListe->count(), 27);
    EXPECT_EQ(components().ImageList1->width(), 100);
    EXPECT_FALSE(list.rows().empty()) << "the start builds the list";
}

struct FaceRow {
    const char* button;
    int up, mouseOver, pressed, held;
    uint32_t transparentColor;
};

TEST_F(SummaryWindowTest, FaceTablesOfTheButtons) {
    create();
    const FaceRow rows[] = {
        {"Programmer", 0, 0, 1, 1, 0x507F88}, {"Partitioner", 2, 0, 3, 3, 0x4F9CAA},
        {"Detaljer", 4, 0, 5, 5, 0x599CA8},   {"Afslut", 8, 0, 9, 9, 0x2E3C79},
        {"Udskriv", 6, 7, 7, 7, 0x1E8EAC},    {"Kopier", 6, 7, 7, 7, 0x1E8EAC},
    };
    for (const FaceRow& row : rows) {
        SCOPED_TRACE(row.button);
        auto* button = dynamic_cast<TGrellMMButton*>(window->findComponent(row.button));
        ASSERT_NE(button, nullptr);
        grell::FaceTable expected;
        expected[Face::Up].listIndex = row.up;
        expected[Face::MouseOver].listIndex = row.mouseOver;
        expected[Face::Pressed].listIndex = row.pressed;
        expected[Face::HeldDown].listIndex = row.held;
        expected.transparentColor = row.transparentColor;
        EXPECT_EQ(button->faceTable(), expected);
        EXPECT_TRUE(button->allowAllUp());
        EXPECT_FALSE(button->allowMouseOver());
        EXPECT_FALSE(button->forceTransparent());
    }
    for (auto* decoration : {components().GrellMMButton1, components().GrellMMButton5}) {
        EXPECT_EQ(decoration->faceTable(), grell::FaceTable{});
        EXPECT_EQ(decoration->buttonFaceImageList(), nullptr);
        EXPECT_EQ(decoration->width(), 25);
    }
}

TEST_F(SummaryWindowTest, ButtonsWhereTheLayoutPutsThem) {
    create();
    EXPECT_EQ(components().Programmer->boundsRect(), grell::TRect::ofSize(105, 58, 112, 26));
    EXPECT_EQ(components().Partitioner->boundsRect(), grell::TRect::ofSize(224, 58, 112, 26));
    EXPECT_EQ(components().Detaljer->boundsRect(), grell::TRect::ofSize(343, 58, 112, 26));
    EXPECT_EQ(components().Afslut->boundsRect(), grell::TRect::ofSize(469, 26, 91, 26));
    EXPECT_EQ(components().Udskriv->boundsRect(), grell::TRect::ofSize(469, 58, 91, 26));
    EXPECT_EQ(components().Kopier->boundsRect(), grell::TRect::ofSize(365, 26, 91, 26));
    EXPECT_FALSE(components().Kopier->visible());
    EXPECT_EQ(components().Programmer->groupIndex(), 1);
    EXPECT_EQ(components().Partitioner->groupIndex(), 2);
    EXPECT_EQ(components().Detaljer->groupIndex(), 3);
    EXPECT_EQ(components().Afslut->groupIndex(), 0);
    EXPECT_EQ(components().Shape1->boundsRect(), grell::TRect::ofSize(0, 0, 97, 97));
    EXPECT_TRUE(components().Shape1->clearBrush());
    EXPECT_TRUE(components().Shape1->showHint());
    EXPECT_FALSE(components().Shape1->hint().empty());
}

TEST_F(SummaryWindowTest, Shape1ShowsItsHintWhileTheMouseRestsOnIt) {
    create();
    window->rootMouseMove({50, 50});
    ASSERT_TRUE(host.hint);
    EXPECT_EQ(*host.hint, components().Shape1->hint());
    EXPECT_EQ(std::count(host.hint->begin(), host.hint->end(), '\n'), 4) << "five lines";
    EXPECT_EQ(host.hintArea, grell::TRect::ofSize(4, 4, 97, 97));
    window->rootMouseMove({150, 50});
    EXPECT_FALSE(host.hint) << "the header picture has no hint";
    window->rootMouseMove({50, 50});
    window->rootMouseDown(grell::MouseButton::Left, {50, 50});
    EXPECT_FALSE(host.hint) << "a press ends the hint";
}

TEST_F(SummaryWindowTest, FaceListsHoldTenNamedPictures) {
    create();
    const char* names[] = {"Programmer", "ProgrammerNede", "Partitioner", "PartitionerNede", "Detaljer",
                           "DetaljerNede", "Udskriv", "UdskrivNede", "Afslut", "AfslutNede"};
    for (auto* list : {components().KnapBilleder, components().KnapBillederNo, components().KnapBillederSv, components().KnapBillederFi}) {
        ASSERT_EQ(list->graphics().count(), 10);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(list->graphics().itemAt(i)->name(), names[i]);
            EXPECT_TRUE(list->valid(i, 0));
        }
    }
    EXPECT_EQ(components().Billeder->graphics().count(), 2);
}

// The layout stores emMessage for the probe root, which passes it on as it is read: the
// Engines probe, which starts with emRaise, follows.
TEST_F(SummaryWindowTest, TheProbeRootTakesItsModeFromTheLayout) {
    create();
    probes::TOstrelSystemInfo* root = components().OstrelSystemInfo;
    EXPECT_EQ(root->ExceptionMode(), probes::TExceptionMode::emMessage);
    EXPECT_EQ(root->Engines().ExceptionMode(), probes::TExceptionMode::emMessage);
}

TEST_F(SummaryWindowTest, HiddenDocumentAndWebLinkAsTheLayoutSays) {
    create();
    const grell::TGrellSysURLLabel& link = *components().WWWHop;
    EXPECT_EQ(link.caption(), "WWWJump");
    EXPECT_FALSE(link.visible());
    EXPECT_EQ(link.Jump(), "https://www.vardak.example/da/");
    EXPECT_FALSE(components().Udskrift->visible());
    EXPECT_EQ(components().Udskrift->paragraphs(), (std::vector<RichParagraph>{{"Udskrift", 10}}));
}

TEST_F(SummaryWindowTest, TheDriveComponentReadsItsDriveWhenTheWindowIsCreated) {
    testing::FakeDrive disk;
    disk.geometry = platform::ClusterGeometry{8, 512, 10, 20};
    disk.volume = platform::VolumeInformation{"SYSTEM", "NTFS", 1, 255, 0};
    machine.filesFake.addDrive('C', disk);
    create();
    EXPECT_TRUE(components().DriveInfo->Retrieved());
    EXPECT_EQ(components().DriveInfo->Drive().VolumeLabel(), "SYSTEM");
}

// ---------------------------------------------------------------- language

struct LanguageCase {
    const char* voltage;
    UiLanguage language;
};

class LanguageTest : public SummaryWindowTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(LanguageTest, VoltageCaptionPicksTheFaces) {
    resources.strings[kVoltageCaptionId] = GetParam().voltage;
    create();
    EXPECT_EQ(window->uiLanguage(), GetParam().language);
    grell::TGrellGraphicList* expected = window->faceList(GetParam().language);
    for (auto* button : {components().Programmer, components().Partitioner, components().Detaljer, components().Udskriv, components().Afslut}) {
        EXPECT_EQ(button->buttonFaceImageList(), expected) << button->name();
    }
    EXPECT_EQ(components().Kopier->buttonFaceImageList(), components().KnapBilleder);
    EXPECT_EQ(resources.stringLoads[kVoltageCaptionId], 4);
}

INSTANTIATE_TEST_SUITE_P(
    Words, LanguageTest,
    ::testing::Values(LanguageCase{"Sp\xE6nding", UiLanguage::Danish}, LanguageCase{"Spenning", UiLanguage::Norwegian},
                      LanguageCase{"Sp\xE4nning", UiLanguage::Swedish}, LanguageCase{"J\xE4nnite", UiLanguage::Finnish},
                      LanguageCase{"SP\xC4NNING", UiLanguage::Danish}, LanguageCase{"Spanning", UiLanguage::Danish},
                      LanguageCase{"", UiLanguage::Danish}, LanguageCase{"Sp\xE4nning ", UiLanguage::Danish}));

// ---------------------------------------------------------------- settings

TEST_F(SummaryWindowTest, FirstStartHasAllTogglesUp) {
    create();
    EXPECT_EQ(window->toggleStates(), ToggleStates{});
    EXPECT_EQ(components().Detaljer->face(), Face::Up);
}

TEST_F(SummaryWindowTest, SavedStatesComeBackPressed) {
    writeSettings("[TrelkaUtility]\r\nProgrammer=0\r\nPartitioner=7\r\nDetaljer=1\r\n");
    create();
    EXPECT_EQ(window->toggleStates(), (ToggleStates{false, true, true}));
    EXPECT_EQ(components().Detaljer->face(), Face::Pressed);
}

TEST_F(SummaryWindowTest, ValuesThatAreNoNumberReadAsUp) {
    writeSettings("[TrelkaUtility]\r\nProgrammer=yes\r\nPartitioner=\r\nDetaljer=1x\r\n");
    create();
    EXPECT_EQ(window->toggleStates(), ToggleStates{});
}

TEST_F(SummaryWindowTest, OtherSectionsAreNotRead) {
    writeSettings("[Other]\r\nDetaljer=1\r\n");
    create();
    EXPECT_FALSE(components().Detaljer->pressed());
}

TEST_F(SummaryWindowTest, DetaljerThenAfslutWritesTheThreeKeysInOrder) {
    create();
    clickAt(centreOf(components().Detaljer));
    EXPECT_TRUE(components().Detaljer->pressed());
    EXPECT_TRUE(savedKeys().empty()) << "a toggle alone writes nothing";
    clickAt(centreOf(components().Afslut));
    EXPECT_EQ(savedKeys(), (std::vector<std::string>{"Programmer", "Partitioner", "Detaljer"}));
    EXPECT_EQ(saved("Programmer"), "0");
    EXPECT_EQ(saved("Partitioner"), "0");
    EXPECT_EQ(saved("Detaljer"), "1");
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"terminate"}));
}

TEST_F(SummaryWindowTest, AfslutWritesRestoredStatesBackUnchanged) {
    writeSettings("[TrelkaUtility]\r\nProgrammer=0\r\nPartitioner=0\r\nDetaljer=1\r\n");
    create();
    clickAt(centreOf(components().Afslut));
    EXPECT_EQ(saved("Detaljer"), "1");
    EXPECT_EQ(saved("Programmer"), "0");
}

TEST_F(SummaryWindowTest, UnwritableSettingsStillEndTheProgram) {
    writeSettings("[TrelkaUtility]\r\nDetaljer=1\r\n");
    machine.filesFake.markReadOnly(machine.filesFake.profilePath("Trelka.INI"));
    create();
    clickAt(centreOf(components().Programmer));
    clickAt(centreOf(components().Afslut));
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"terminate"}));
    EXPECT_EQ(saved("Programmer"), "<missing>");
}

TEST_F(SummaryWindowTest, ToggleClickRunsTheSharedHandler) {
    create();
    const size_t built = components().List->rows().size();
    components().List->addRow({"Stale", "x", 9});
    clickAt(centreOf(components().Programmer));
    EXPECT_TRUE(components().Programmer->pressed());
    EXPECT_EQ(components().List->rows().size(), built + 2) << "emptied, then built with the programs' separator and header";
    clickAt(centreOf(components().Programmer));
    EXPECT_FALSE(components().Programmer->pressed());
}

TEST_F(SummaryWindowTest, HiddenKopierTakesNoClicks) {
    create();
    clickAt(centreOf(components().Kopier));
    EXPECT_EQ(components().Kopier->face(), Face::Up);
    EXPECT_TRUE(actions.calls.empty());
}

TEST_F(SummaryWindowTest, WindowCommandsRunByTheirNumbers) {
    create();
    for (int id = static_cast<int>(WindowCommand::MoveForm); id <= static_cast<int>(WindowCommand::HentInfoClick); ++id) {
        EXPECT_TRUE(window->runWindowCommand(id)) << id;
    }
    EXPECT_FALSE(window->runWindowCommand(static_cast<int>(WindowCommand::HentInfoClick) + 1));
    EXPECT_EQ(actions.calls,
              (std::vector<std::string>{"startWindowDrag", "minimize", "close", "toggleMaximized"}));
    EXPECT_EQ(splashes, 1) << "HentInfoClick refreshes everything under the splash";
    EXPECT_EQ(overviewsOf, std::vector<const probes::TOstrelSystemInfo*>{components().OstrelSystemInfo})
        << "Image2Click shows the root's overview window";
}

TEST_F(SummaryWindowTest, PaintedWindowShowsHeaderAndFaces) {
    create();
    grell::Bitmap32 canvas(kClientWidth, kClientHeight);
    window->paintTree(canvas, text, {0, 0});
    EXPECT_EQ(canvas.pixel(4 + 300, 4 + 5), apptest::FakeResources::colorOf("HOVED"));
    const grell::TPoint programmer = centreOf(components().Programmer);
    EXPECT_EQ(canvas.pixel(programmer.x, programmer.y), apptest::FakeResources::colorOf("KNAP_DA_0"));
    components().Programmer->setPressed(true);
    window->paintTree(canvas, text, {0, 0});
    EXPECT_EQ(canvas.pixel(programmer.x, programmer.y), apptest::FakeResources::colorOf("KNAP_DA_1"));
    // Decorations without faces lie under the header picture.
    EXPECT_EQ(canvas.pixel(4 + 10, 4 + 82), apptest::FakeResources::colorOf("HOVED"));
}

TEST_F(SummaryWindowTest, MissingPictureStopsTheBuild) {
    resources.missing = "KNAP_FI_3";
    EXPECT_THROW(create(), LayoutBuildError);
}

// The string table of a language build, read from its resource script.
std::map<int, std::string> stringTable(const std::string& script) {
    std::ifstream file(std::string(VARDAK_SOURCE_DIR) + "/app/resources/strings/" + script, std::ios::binary);
    const std::regex entry(R"re(^\s*(\d+),\s*"(.*)"\s*$)re");
    std::map<int, std::string> strings;
    std::smatch match;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (std::regex_match(line, match, entry)) strings[std::stoi(match[1])] = match[2];
    }
    return strings;
}

std::string rowsText(const std::vector<ListRow>& rows) {
    std::string text;
    for (const ListRow& row : rows) text += row.caption + "|" + row.value + "|" + std::to_string(row.imageIndex) + "\n";
    return text;
}

// The list of the Swedish build for every combination of the toggles on a machine,
// against the machine's golden file (VARDAK_UPDATE_GOLDEN=1 writes it anew).
void expectGoldenOverview(TVardak& window, const std::string& golden) {
    const TVardak::WindowComponents& c = window.windowComponents();
    std::string lists;
    for (int toggles = 0; toggles < 8; ++toggles) {
        const bool programmer = toggles & 1, partitioner = toggles & 2, detaljer = toggles & 4;
        c.Programmer->setPressed(programmer);
        c.Partitioner->setPressed(partitioner);
        c.Detaljer->setPressed(detaljer);
        window.opdaterClick(*c.Detaljer);
        lists += "[Programmer=" + std::to_string(programmer) + " Partitioner=" + std::to_string(partitioner) +
                 " Detaljer=" + std::to_string(detaljer) + "]\n" + rowsText(c.List->rows());
        EXPECT_TRUE(c.Detaljer->enabled() && c.Programmer->enabled()) << "the toggles are enabled again";
    }
    const std::string path = testing::fixturePath(golden);
    if (std::getenv("VARDAK_UPDATE_GOLDEN") != nullptr) std::ofstream(path, std::ios::binary) << lists;
    std::ifstream file(path, std::ios::binary);
    EXPECT_EQ(lists, std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())) << golden;
}

TEST_F(SummaryWindowTest, OverviewListOfAnXpMachine) {
    testing::setUpXpMachine(machine);
    resources.strings = stringTable("Strings-sv.rc");
    expectGoldenOverview(create(), "overview-xp.txt");
}

TEST_F(SummaryWindowTest, OverviewListOfA98Machine) {
    testing::setUpWindows98Machine(machine);
    resources.strings = stringTable("Strings-sv.rc");
    expectGoldenOverview(create(), "overview-98.txt");
    EXPECT_TRUE(window->legacyWindows());
}

// ---------------------------------------------------------------- printing, copying, web link

TEST_F(SummaryWindowTest, CtrlCAndCtrlPCopyAndPrintTheListAsADocument) {
    resources.strings = stringTable("Strings-sv.rc");
    machine.printersFake.installed = {{"LaserJet", "LPT1:"}};
    create();
    struct ShortcutCase {
        char key;
        bool runs;
        std::vector<std::string> calls;
    };
    const ShortcutCase cases[] = {{'C', true, {"copyDocument"}},
                                  {'P', true, {"printDocument Systeminformation"}},
                                  {'X', false, {}},
                                  {'c', false, {}}};
    for (const ShortcutCase& test : cases) {
        actions.calls.clear();
        components().Udskrift->Clear();
        EXPECT_EQ(window->runShortcut(test.key), test.runs) << test.key;
        EXPECT_EQ(actions.calls, test.calls) << test.key;
        const std::vector<RichParagraph>& document = components().Udskrift->paragraphs();
        if (!test.runs) {
            EXPECT_TRUE(document.empty()) << test.key;
            continue;
        }
        EXPECT_EQ(document, PrintLines(components().List->rows(), "Din dators specifikationer:", "Installerade program"))
            << test.key;
    }
    EXPECT_TRUE(machine.uiFake.errors.empty());
}

TEST_F(SummaryWindowTest, PrintingWithoutPrinterOrConfirmation) {
    resources.strings = stringTable("Strings-sv.rc");
    machine.systemFake.errorTexts[5] = "Access is denied.";
    create();
    constexpr char kNoPrinter[] = "Det finns ingen skrivare installerad.";
    struct PrintCase {
        const char* name;
        bool printerInstalled;
        PrintResult result;
        bool dialog;
        std::string message;
    };
    const PrintCase cases[] = {
        {"no printer installed: no dialog, the message", false, {PrintOutcome::Printed, 0}, false, kNoPrinter},
        {"printed", true, {PrintOutcome::Printed, 0}, true, ""},
        {"cancelled: nothing more", true, {PrintOutcome::Cancelled, 0}, true, ""},
        {"the dialog finds no printer", true, {PrintOutcome::NoPrinter, 0}, true, kNoPrinter},
        {"the print system refuses the job", true, {PrintOutcome::Failed, 5}, true, "Access is denied."},
        {"a refusal the system has no text for", true, {PrintOutcome::Failed, 1804}, true, "Error 1804"},
    };
    for (const PrintCase& test : cases) {
        actions.calls.clear();
        machine.uiFake.errors.clear();
        machine.printersFake.installed.clear();
        if (test.printerInstalled) machine.printersFake.installed.push_back({"LaserJet", "LPT1:"});
        actions.printResult = test.result;
        window->udskrivClick(*components().Udskriv);
        EXPECT_EQ(actions.calls.size(), test.dialog ? 1u : 0u) << test.name;
        EXPECT_EQ(components().Udskrift->paragraphs().front(), (RichParagraph{"Din dators specifikationer:", 14}))
            << test.name;
        if (test.message.empty()) {
            EXPECT_TRUE(machine.uiFake.errors.empty()) << test.name;
            continue;
        }
        ASSERT_EQ(machine.uiFake.errors.size(), 1u) << test.name;
        EXPECT_EQ(machine.uiFake.errors[0].caption, "Systeminformation") << test.name;
        EXPECT_EQ(machine.uiFake.errors[0].text, test.message) << test.name;
    }
}

// What the host's rich edit hears, in order.
class RecordingDocument final : public RichEditSink {
public:
    void documentCleared() override { events.push_back("cleared"); }
    void textLimitChanged(size_t characters) override { events.push_back("limit " + std::to_string(characters)); }
    void paragraphAppended(const RichParagraph&) override { events.push_back("paragraph"); }
    std::vector<std::string> events;
};

TEST_F(SummaryWindowTest, AProgramListAbove32KBIsNeverCut) {
    std::string uninstall = "REGEDIT4\n";
    constexpr int kPrograms = 700;
    for (int i = 0; i < kPrograms; ++i) {
        uninstall += "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Program" +
                     std::to_string(i) + "]\n\"DisplayName\"=\"Program " + std::to_string(i) +
                     " with a name long enough to fill the list\"\n\"UninstallString\"=\"remove.exe\"\n";
    }
    machine.loadRegistry(uninstall);
    writeSettings("[TrelkaUtility]\r\nProgrammer=1\r\n");
    resources.strings = stringTable("Strings-sv.rc");
    create();
    RecordingDocument host;
    components().Udskrift->setSink(&host);
    window->kopierClick(*components().Kopier);

    const std::vector<RichParagraph>& document = components().Udskrift->paragraphs();
    const size_t length = PrintTextLength(document);
    EXPECT_GT(length, 32u * 1024);
    EXPECT_EQ(std::count_if(document.begin(), document.end(),
                            [](const RichParagraph& line) { return line.text.rfind("Program ", 0) == 0; }),
              kPrograms);
    EXPECT_EQ(components().Udskrift->MaxLength(), length);
    ASSERT_EQ(host.events.size(), 2 + document.size());
    EXPECT_EQ(host.events[0], "cleared");
    EXPECT_EQ(host.events[1], "limit " + std::to_string(length)) << "the limit is raised before the text comes";
    EXPECT_EQ(actions.calls, (std::vector<std::string>{"copyDocument"}));
    components().Udskrift->setSink(nullptr);
}

TEST_F(SummaryWindowTest, TheCornerOpensThePublisherSiteInTheWindowsLanguage) {
    struct LinkCase {
        const char* voltage;
        grell::MouseButton button;
        const char* address;
    };
    const LinkCase cases[] = {
        {"Sp\xE6nding", grell::MouseButton::Left, "https://www.vardak.example/da/"},
        {"Spenning", grell::MouseButton::Right, "https://www.vardak.example/no/"},
        {"Sp\xE4nning", grell::MouseButton::Left, "https://www.vardak.example/sv/"},
        {"J\xE4nnite", grell::MouseButton::Middle, "https://www.vardak.example/fi/"},
        {"SP\xC4NNING", grell::MouseButton::Left, "https://www.vardak.example/da/"},
    };
    for (const LinkCase& test : cases) {
        window.reset();
        machine.shellFake.openedAddresses.clear();
        resources.strings[kVoltageCaptionId] = test.voltage;
        create();
        grell::Bitmap32 canvas(kClientWidth, kClientHeight);
        window->paintTree(canvas, text, {0, 0});
        window->rootMouseDown(test.button, {4 + 48, 4 + 48});
        ASSERT_EQ(machine.shellFake.openedAddresses.size(), 1u) << test.voltage;
        EXPECT_EQ(machine.shellFake.openedAddresses[0].target, test.address);
        EXPECT_EQ(machine.shellFake.openedAddresses[0].parent, &actions.window);
    }
}

TEST(OverviewFormatTest, SizesAndLegacyVersions) {
    const std::pair<int64_t, std::string> sizes[] = {
        {500ll << 20, "500 MB"},  {(2048ll << 20), "2.0 GB"}, {(9727ll << 20), "9.5 GB"},
        {(9728ll << 20), "10 GB"}, {(3000ll << 30), "3000 GB"}, {-1, "0 MB"}, {1023ll << 20 | 600 << 10, "1024 MB"}};
    for (const auto& [bytes, text] : sizes) EXPECT_EQ(FormatSize(bytes, " MB", " GB"), text) << bytes;
    const std::pair<const char*, bool> versions[] = {{"4.0", true},  {"4.10", true},  {"4.90", false}, {"5.0", false},
                                                     {"5.1", false}, {"10.0", false}, {"3.95", true},  {"", false},
                                                     {"4", false},   {"x.y", false}};
    for (const auto& [version, legacy] : versions) EXPECT_EQ(IsLegacyWindows(version), legacy) << version;
}

}  // namespace
}  // namespace vardak::app
