// The summary window TVardak: its components come from the layout text; this class
// adds the start-up (language, button faces, saved toggle states) and the commands.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/Components.h"
#include "app/Settings.h"
#include "app/UiLanguage.h"
#include "app/VardakServices.h"
#include "grell/controls/GrellImageList.h"
#include "grell/controls/GrellMMButton.h"
#include "app/Overview.h"
#include "grell/controls/GrellSysURLLabel.h"
#include "grell/system/GrellSysDrive.h"
#include "grell/system/GrellSysInfo.h"
#include "grell/system/GrellSysNetwork.h"

namespace vardak::app {

class ComponentRegistry;

// The window's commands that no control invokes, for scripts and tools: the window
// runs them on WM_COMMAND with these identifiers (as from a menu, no control).
enum class WindowCommand : int {
    MoveForm = 0x8001, Minimize, Close, Maximize, Image2Click, HentInfoClick,
};

// The component kinds of the summary window's layout; the web-link label opens its
// addresses with `mainWindow` as their owner.
ComponentRegistry vardakComponentRegistry(grell::TGrellApplication& application, platform::Platform& platform,
                                          grell::TGrellSysURLLabel::MainWindowQuery mainWindow);

class TVardak : public grell::TGrellWinControl {
public:
    TVardak(TComponent* owner, VardakServices services);

    std::string_view className() const override { return "TVardak"; }
    bool readProperty(std::string_view name, const LayoutValue& value) override;

    // Creates the components from the layout, then runs formCreate. Raises
    // LayoutError or LayoutBuildError for a damaged layout.
    void createFromLayout(std::string_view layoutText);

    // The components, as the window declares them.
    struct WindowComponents {
        probes::TOstrelSystemInfo* OstrelSystemInfo = nullptr;
        TImageList* IkonListe = nullptr;
        grell::TGrellSysInfo* GrellSysInfo1 = nullptr;
        grell::TGrellSysDrive* DriveInfo = nullptr;
        grell::TGrellSysUninstall* Uninstall = nullptr;
        grell::TGrellGraphicList* Billeder = nullptr;
        TImageList* ImageList1 = nullptr;
        TPanel* Panel2 = nullptr;
        TListView* List = nullptr;
        TPanel* Panel1 = nullptr;
        grell::TGrellMMButton* GrellMMButton1 = nullptr;
        grell::TGrellMMButton* GrellMMButton2 = nullptr;
        grell::TGrellMMButton* GrellMMButton3 = nullptr;
        grell::TGrellMMButton* GrellMMButton4 = nullptr;
        grell::TGrellMMButton* GrellMMButton5 = nullptr;
        grell::TGrellGraphicList* KnapBilleder = nullptr;
        TImage* Hoved = nullptr;
        grell::TGrellMMButton* Programmer = nullptr;
        grell::TGrellMMButton* Partitioner = nullptr;
        grell::TGrellMMButton* Detaljer = nullptr;
        grell::TGrellMMButton* Afslut = nullptr;
        grell::TGrellMMButton* Udskriv = nullptr;
        TRichEdit* Udskrift = nullptr;
        grell::TGrellSysProcessor* CPUInfo = nullptr;
        grell::TGrellSysWindows* WinInfo = nullptr;
        grell::TGrellSysNetwork* NetInfo = nullptr;
        grell::TGrellMMButton* Kopier = nullptr;
        TPrintDialog* Printer = nullptr;
        TShape* Shape1 = nullptr;
        grell::TGrellSysURLLabel* WWWHop = nullptr;
        grell::TGrellGraphicList* KnapBillederNo = nullptr;
        grell::TGrellGraphicList* KnapBillederSv = nullptr;
        grell::TGrellGraphicList* KnapBillederFi = nullptr;
    };
    const WindowComponents& windowComponents() const { return components_; }

    // The window as the layout describes it.
    const std::string& formCaption() const { return caption(); }
    int windowWidth() const { return windowWidth_; }
    int windowHeight() const { return windowHeight_; }
    std::optional<int> maxWidth() const { return maxWidth_; }
    bool centered() const { return centered_; }

    UiLanguage uiLanguage() const { return uiLanguage_; }
    // The face list of the language.
    grell::TGrellGraphicList* faceList(UiLanguage language) const;
    ToggleStates toggleStates() const;

    // Start-up: language, button faces, saved toggle states, then the list.
    void formCreate();
    // Shared handler of the three toggles; the click has toggled the button already.
    // The list is built again.
    void opdaterClick(TObject& sender);
    // Appends the computer's facts to the list, as the toggles ask (see TOverviewBuilder).
    void BuildOverview();
    // Windows 95 or 98, found at start: rows they cannot fill are left out.
    bool legacyWindows() const { return legacyWindows_; }
    // Saves the toggle states and ends the program.
    void afslutClick(TObject& sender);
    // The list as a document in Udskrift (see PrintLines); its text limit is raised to
    // what the document needs first, so a long list is never cut.
    void BuildPrintText();
    // A new last paragraph of Udskrift in `pointSize`.
    void AppendPrintLine(std::string text, int pointSize);
    // Builds the document and prints it through the print dialog; with no printer a
    // message says so, and a cancelled dialog prints nothing.
    void udskrivClick(TObject& sender);
    // Builds the document and puts it on the clipboard as rich text and plain text.
    void kopierClick(TObject& sender);
    // Opens the publisher's web site in the window's language through WWWHop.
    void shape1MouseDown(TObject& sender, grell::MouseButton button, grell::TPoint point);
    // Runs the command of Ctrl and `key` (an upper-case letter): C copies, P prints;
    // false for a key without a command.
    bool runShortcut(char key);

    // Commands that no control invokes.
    void cmMoveForm();
    void cmMinimize();
    void cmClose();
    void cmMaximize();
    void image2Click();
    void hentInfoClick();
    // The command numbered `id` in kWindowCommands; false for no such command.
    bool runWindowCommand(int id);

    // The window's handler named in the layout, or nothing.
    std::optional<grell::EventHandler> findHandler(std::string_view name);

private:
    void findWindowComponents();
    template <class Kind>
    Kind* layoutComponent(std::string_view name) const;

    VardakServices services_;
    WindowComponents components_;
    UiLanguage uiLanguage_ = UiLanguage::Danish;
    bool legacyWindows_ = false;
    int windowWidth_ = 0;
    int windowHeight_ = 0;
    std::optional<int> maxWidth_;
    bool centered_ = false;
};

}  // namespace vardak::app
