// The detail dialog on a real window system: its size, the read-only ticks of its check
// list under the space bar and a click on a tick, and Escape and Enter ending it as "OK".
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "probes/overview/win32/Win32DetailDialog.h"

namespace vardak::winetest {
namespace {

using probes::CheckItem;
using probes::TdlgVesk_Detail;
using probes::win32::kDetailCheckListId;
using probes::win32::Win32DetailDialog;

std::vector<bool> ticks(HWND list) {
    std::vector<bool> result;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) result.push_back(ListView_GetCheckState(list, i) != 0);
    return result;
}

// The space bar on item 1, then a click on the tick of item 0, then a click below the items.
void pressAndClick(HWND list) {
    ListView_SetItemState(list, 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    SendMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(list, WM_KEYUP, VK_SPACE, 0);
    RECT item{};
    ListView_GetItemRect(list, 0, &item, LVIR_BOUNDS);
    LVHITTESTINFO hit{};
    hit.pt.y = (item.top + item.bottom) / 2;
    for (hit.pt.x = item.left; hit.pt.x < item.left + 40; ++hit.pt.x) {
        if (ListView_HitTest(list, &hit) >= 0 && (hit.flags & LVHT_ONITEMSTATEICON)) break;
    }
    for (const POINT at : {hit.pt, POINT{hit.pt.x, item.bottom + 5 * (item.bottom - item.top)}}) {
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }
}

// What the running dialog showed and how the test ended it.
struct Seen {
    SIZE client{};
    std::vector<bool> ticksBefore;
    std::vector<bool> ticksAfter;
};

// What the timer does once the dialog is up: look at it, then press the ending key.
const std::function<void(HWND)>* pendingLook = nullptr;
WPARAM pendingKey = 0;

void CALLBACK lookAndEnd(HWND, UINT, UINT_PTR id, DWORD) {
    const HWND shown = FindWindowA("#32770", "Detail Information");
    if (shown == nullptr || pendingLook == nullptr) return;
    KillTimer(nullptr, id);
    (*pendingLook)(shown);
    pendingLook = nullptr;
    PostMessageA(GetFocus(), WM_KEYDOWN, pendingKey, 0);
}

// Runs `look` on the dialog once it is up (from a thread timer, inside its modal loop)
// and then ends it with `endKey`.
int runDialog(TdlgVesk_Detail& dialog, WPARAM endKey, const std::function<void(HWND)>& look) {
    pendingLook = &look;
    pendingKey = endKey;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &lookAndEnd);
    Win32DetailDialog presenter(GetModuleHandleA(nullptr), nullptr);
    const int result = presenter.showModal(dialog);
    KillTimer(nullptr, timer);
    pendingLook = nullptr;
    return result;
}

TEST(DetailDialogWindowTest, TicksStayAsTheCallerSetThemAndEscapeOrEnterEndItAsOK) {
    Win32DetailDialog presenter(GetModuleHandleA(nullptr), nullptr);
    TdlgVesk_Detail dialog(nullptr, presenter);
    dialog.SetPageIndex(static_cast<int>(probes::DetailPage::CheckBox));
    dialog.SetTitleText("Installed components");
    dialog.clb = {{"first", true}, {"second", false}, {"third", true}};

    Seen seen;
    const int byEscape = runDialog(dialog, VK_ESCAPE, [&seen](HWND shown) {
        RECT client{};
        GetClientRect(shown, &client);
        seen.client = {client.right, client.bottom};
        const HWND list = GetDlgItem(shown, kDetailCheckListId);
        seen.ticksBefore = ticks(list);
        pressAndClick(list);
        seen.ticksAfter = ticks(list);
    });
    EXPECT_EQ(byEscape, probes::kModalResultOK);
    EXPECT_EQ(seen.client.cx, probes::kDetailClientWidth);
    EXPECT_EQ(seen.client.cy, probes::kDetailClientHeight);
    const std::vector<bool> expected{true, false, true};
    EXPECT_EQ(seen.ticksBefore, expected);
    EXPECT_EQ(seen.ticksAfter, expected);
    EXPECT_EQ(runDialog(dialog, VK_RETURN, [](HWND) {}), probes::kModalResultOK);

    // The same space bar and click on a plain list with check boxes do change its ticks,
    // so the dialog's ticks stayed because it put them back.
    const HWND plain = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT | LVS_NOCOLUMNHEADER, 0, 0, 200, 100,
                                       nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ListView_SetExtendedListViewStyle(plain, LVS_EX_CHECKBOXES);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = 150;
    ListView_InsertColumn(plain, 0, &column);
    for (int i = 0; i < 3; ++i) {
        LVITEMA item{};
        item.iItem = i;
        ListView_InsertItem(plain, &item);
        ListView_SetCheckState(plain, i, expected[static_cast<size_t>(i)]);
    }
    pressAndClick(plain);
    EXPECT_EQ(ticks(plain), (std::vector<bool>{false, true, true}));
    DestroyWindow(plain);
}

}  // namespace
}  // namespace vardak::winetest
