// The detail dialog on Win32: a modal dialog built from an in-memory template, its
// controls made when it starts. The check list is a list view with check boxes whose
// ticks are put back as soon as the user changes them, by mouse or keyboard.
#pragma once

#include <windows.h>

#include "probes/overview/Vesk_DetailDlg.h"

namespace vardak::probes::win32 {

// Control identifiers, for whoever drives the dialog (tests).
inline constexpr int kDetailMemoId = 100;
inline constexpr int kDetailCheckListId = 101;
inline constexpr int kDetailListBoxId = 102;
inline constexpr int kDetailListViewId = 103;

class Win32DetailDialog final : public DetailDialogPresenter {
public:
    // `owner`: the calling window, disabled while the dialog runs; may be null.
    Win32DetailDialog(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}

    int showModal(TdlgVesk_Detail& dialog) override;

private:
    HINSTANCE instance_;
    HWND owner_;
};

}  // namespace vardak::probes::win32
