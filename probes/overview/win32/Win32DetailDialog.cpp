#include "probes/overview/win32/Win32DetailDialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/win32/WinHandles.h"
#include "probes/overview/win32/Win32Painting.h"

namespace vardak::probes::win32 {

using vardak::win32::UniqueGdiObject;

namespace {

constexpr int kPageIds[] = {kDetailMemoId, kDetailCheckListId, kDetailListBoxId, kDetailListViewId};

// What the dialog procedure keeps while the dialog runs.
struct RunningDialog {
    TdlgVesk_Detail& model;
    UniqueGdiObject memoFont;
    // Set while this code changes ticks itself, whose notifications are not the user's.
    bool settingTicks = false;
};

void appendWide(std::vector<WORD>& words, const char* text) {
    const std::wstring wide = vardak::win32::wideFromAnsi(text);
    words.insert(words.end(), wide.begin(), wide.end());
    words.push_back(0);
}

// A template without controls: caption, modal frame, centred, Tahoma 8 pt.
std::vector<WORD> dialogTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    appendWide(words, std::string(kDetailCaption).c_str());
    words.push_back(8);
    appendWide(words, "Tahoma");
    return words;
}

RECT toRect(const PaintBox& box) { return RECT{box.left, box.top, box.right, box.bottom}; }

void sizeAndCentre(HWND dialog) {
    RECT frame{0, 0, kDetailClientWidth, kDetailClientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND makeControl(HWND dialog, const char* className, DWORD style, DWORD extendedStyle, int id, const PaintBox& box) {
    const HWND control = CreateWindowExA(extendedStyle, className, "", WS_CHILD | WS_TABSTOP | style, box.left, box.top,
                                         box.width(), box.height(), dialog, reinterpret_cast<HMENU>(id),
                                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)), nullptr);
    SendMessageA(control, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
    return control;
}

void fillMemo(HWND memo, RunningDialog& running) {
    std::string text;
    for (const std::string& line : running.model.Memo) text += line + "\r\n";
    running.memoFont.reset(createPixelFont("Courier New", 13, false));
    SendMessageA(memo, WM_SETFONT, reinterpret_cast<WPARAM>(running.memoFont.get()), FALSE);
    SetWindowTextA(memo, text.c_str());
}

void addListViewColumn(HWND list, int index, const char* caption, int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(caption);
    column.cx = width;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

int addListViewItem(HWND list, int index, const std::string& text) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void fillCheckList(HWND list, RunningDialog& running) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ListView_SetBkColor(list, face);
    ListView_SetTextBkColor(list, face);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES);
    RECT client{};
    GetClientRect(list, &client);
    addListViewColumn(list, 0, "", client.right - GetSystemMetrics(SM_CXVSCROLL));
    running.settingTicks = true;
    for (size_t i = 0; i < running.model.clb.size(); ++i) {
        const int index = addListViewItem(list, static_cast<int>(i), running.model.clb[i].text);
        ListView_SetCheckState(list, index, running.model.clb[i].checked);
    }
    running.settingTicks = false;
}

void fillListBox(HWND list, const RunningDialog& running) {
    SendMessageA(list, LB_SETITEMHEIGHT, 0, kDetailItemHeight);
    for (const std::string& line : running.model.lb) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

void fillRows(HWND list, const RunningDialog& running) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE |
                                                LVS_EX_UNDERLINEHOT | LVS_EX_FLATSB);
    for (size_t i = 0; i < kDetailColumns.size(); ++i) {
        addListViewColumn(list, static_cast<int>(i), std::string(kDetailColumns[i].caption).c_str(),
                          kDetailColumns[i].width);
    }
    for (size_t i = 0; i < running.model.lv.size(); ++i) {
        const DetailRow& row = running.model.lv[i];
        const int index = addListViewItem(list, static_cast<int>(i), row.variable);
        ListView_SetItemText(list, index, 1, const_cast<char*>(row.value.c_str()));
    }
}

void makeControls(HWND dialog, RunningDialog& running) {
    const DetailDialogPlaces places = detailDialogPlaces();
    const PaintBox& page = places.notebook;
    HWND pages[4];
    pages[0] = makeControl(dialog, "EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_HSCROLL |
                                               WS_VSCROLL,
                           WS_EX_CLIENTEDGE, kDetailMemoId, page);
    pages[1] = makeControl(dialog, WC_LISTVIEWA, LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                           WS_EX_CLIENTEDGE, kDetailCheckListId, page);
    pages[2] = makeControl(dialog, "LISTBOX", LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL, WS_EX_CLIENTEDGE,
                           kDetailListBoxId, page);
    pages[3] = makeControl(dialog, WC_LISTVIEWA, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                           WS_EX_CLIENTEDGE, kDetailListViewId, page);
    fillMemo(pages[0], running);
    fillCheckList(pages[1], running);
    fillListBox(pages[2], running);
    fillRows(pages[3], running);
    ShowWindow(pages[running.model.PageIndex()], SW_SHOW);

    const HWND ok = makeControl(dialog, "BUTTON", BS_DEFPUSHBUTTON | WS_VISIBLE, 0, IDOK, places.okButton);
    SetWindowTextA(ok, "OK");
    SetFocus(pages[running.model.PageIndex()]);
}

// A tick the user changed goes back to the caller's; other changes (selection, focus)
// are left alone.
void tickChanged(HWND list, const NMLISTVIEW& change, RunningDialog& running) {
    if (running.settingTicks || !(change.uChanged & LVIF_STATE)) return;
    if (!((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK)) return;
    const std::optional<bool> tick = running.model.clbClickCheck(change.iItem);
    if (!tick) return;
    running.settingTicks = true;
    ListView_SetCheckState(list, change.iItem, *tick);
    running.settingTicks = false;
}

void paintPanels(HWND dialog) {
    const DetailDialogPlaces places = detailDialogPlaces();
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(dialog, &paint);
    auto* running = reinterpret_cast<RunningDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (running) paintArea(dc, detailTitlePainting(running->model.TitleText()));
    RECT bevel = toRect(places.clientPanel);
    DrawEdge(dc, &bevel, BDR_SUNKENINNER, BF_RECT);
    EndPaint(dialog, &paint);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* running = reinterpret_cast<RunningDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        sizeAndCentre(dialog);
        makeControls(dialog, *reinterpret_cast<RunningDialog*>(lParam));
        return FALSE;  // the focus is set
    case WM_PAINT:
        paintPanels(dialog);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        // The read-only memo stays white.
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != kDetailMemoId) return FALSE;
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (running && header->idFrom == kDetailCheckListId && header->code == LVN_ITEMCHANGED) {
            tickChanged(header->hwndFrom, *reinterpret_cast<const NMLISTVIEW*>(lParam), *running);
        }
        return FALSE;
    }
    case WM_COMMAND:
        // "OK" is the default and the cancel button: Enter and Escape end it the same way.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, kModalResultOK);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

int Win32DetailDialog::showModal(TdlgVesk_Detail& dialog) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    RunningDialog running{dialog, UniqueGdiObject()};
    const std::vector<WORD> words = dialogTemplate();
    const INT_PTR result = DialogBoxIndirectParamA(instance_, reinterpret_cast<const DLGTEMPLATE*>(words.data()),
                                                   owner_, &dialogProc, reinterpret_cast<LPARAM>(&running));
    return static_cast<int>(result);
}

}  // namespace vardak::probes::win32
