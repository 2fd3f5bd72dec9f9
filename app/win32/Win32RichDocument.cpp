#include "app/win32/Win32RichDocument.h"

#include <commdlg.h>
#include <richedit.h>

#include <array>
#include <cstring>
#include <optional>

namespace vardak::app::win32 {

namespace {

struct RichEditLibrary {
    const char* file;
    const char* windowClass;
};

// Rich edit 2.0 came with 98 and NT 4.0's later updates; 95 has 1.0.
constexpr std::array<RichEditLibrary, 2> kRichEditLibraries{{
    {"riched20.dll", "RichEdit20A"},
    {"riched32.dll", "RICHEDIT"},
}};

// The clipboard format rich-edit controls exchange documents in.
constexpr char kRichTextFormat[] = "Rich Text Format";
// Twips (1/1440 inch) a character size is given in, per point.
constexpr LONG kTwipsPerPoint = 20;
constexpr int kTwipsPerInch = 1440;
// The margin printed around the document, within the printer's printable area.
constexpr LONG kPrintMarginTwips = kTwipsPerInch / 2;

// A library of the system folder, never one of the same name elsewhere.
HMODULE loadSystemLibrary(const char* file) {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return LoadLibraryA((std::string(folder, length) + "\\" + file).c_str());
}

DWORD CALLBACK appendToText(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* written) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
    *written = size;
    return 0;
}

HGLOBAL noGlobal() { return nullptr; }
using UniqueGlobal = vardak::win32::UniqueResource<HGLOBAL, GlobalFree, noGlobal>;
HDC noDc() { return nullptr; }
using UniqueDc = vardak::win32::UniqueResource<HDC, DeleteDC, noDc>;

// A text with its terminating NUL in movable global memory, as the clipboard takes it.
UniqueGlobal globalText(const std::string& text) {
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (!memory) return memory;
    if (void* bytes = GlobalLock(memory.get())) {
        std::memcpy(bytes, text.c_str(), text.size() + 1);
        GlobalUnlock(memory.get());
    } else {
        memory.reset();
    }
    return memory;
}

// The clipboard, open for the object's lifetime.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool open() const { return open_; }

private:
    bool open_;
};

// Hands a text to the open clipboard, which then owns its memory.
void putOnClipboard(UINT format, const std::string& text) {
    UniqueGlobal memory = globalText(text);
    if (memory && SetClipboardData(format, memory.get()) != nullptr) memory.release();
}

// The print dialog's answer: the chosen printer's context, or why there is none.
struct ChosenPrinter {
    UniqueDc dc;
    PrintOutcome outcome = PrintOutcome::Printed;
};

ChosenPrinter choosePrinter(HWND owner) {
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    // The whole document, as many copies as the user asks the printer for; no box of
    // the dialog's own when there is no printer, the window says so itself.
    dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE | PD_NOWARNING;
    const BOOL confirmed = PrintDlgA(&dialog);
    const UniqueGlobal devMode(dialog.hDevMode);
    const UniqueGlobal devNames(dialog.hDevNames);
    ChosenPrinter chosen;
    chosen.dc.reset(dialog.hDC);
    if (confirmed) {
        if (!chosen.dc) chosen.outcome = PrintOutcome::Failed;
        return chosen;
    }
    const DWORD error = CommDlgExtendedError();
    chosen.outcome = error == 0                                               ? PrintOutcome::Cancelled
                     : error == PDERR_NODEFAULTPRN || error == PDERR_NODEVICES ? PrintOutcome::NoPrinter
                                                                                : PrintOutcome::Failed;
    return chosen;
}

}  // namespace

Win32RichDocument::~Win32RichDocument() {
    // A child window goes with its parent; one that is still there goes before its library.
    if (control_ != nullptr && IsWindow(control_)) DestroyWindow(control_);
}

bool Win32RichDocument::create(HWND parent, HINSTANCE instance) {
    for (const RichEditLibrary& candidate : kRichEditLibraries) {
        library_.reset(loadSystemLibrary(candidate.file));
        if (!library_) continue;
        control_ = CreateWindowExA(0, candidate.windowClass, "", WS_CHILD | ES_MULTILINE, 0, 0, 0, 0, parent, nullptr,
                                   instance, nullptr);
        if (control_ == nullptr) continue;
        // Never shown: lines are not wrapped to its (empty) width.
        SendMessageA(control_, EM_SETTARGETDEVICE, 0, 1);
        return true;
    }
    library_.reset();
    return false;
}

void Win32RichDocument::documentCleared() {
    if (control_ == nullptr) return;
    SetWindowTextA(control_, "");
    empty_ = true;
}

void Win32RichDocument::textLimitChanged(size_t characters) {
    if (control_ != nullptr) SendMessageA(control_, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(characters));
}

void Win32RichDocument::paragraphAppended(const RichParagraph& paragraph) {
    if (control_ == nullptr) return;
    // A position past the end is the end.
    CHARRANGE end{LONG_MAX, LONG_MAX};
    SendMessageA(control_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_SIZE;
    format.yHeight = paragraph.pointSize * kTwipsPerPoint;
    SendMessageA(control_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    const std::string text = (empty_ ? "" : "\r\n") + paragraph.text;
    SendMessageA(control_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    empty_ = false;
}

std::string Win32RichDocument::streamOut(UINT format) const {
    std::string text;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&text);
    stream.pfnCallback = appendToText;
    SendMessageA(control_, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
    return text;
}

bool Win32RichDocument::copyToClipboard(HWND owner) {
    if (control_ == nullptr) return false;
    CHARRANGE all{0, -1};
    SendMessageA(control_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    const std::string richText = streamOut(SF_RTF | SFF_SELECTION);
    const std::string plainText = streamOut(SF_TEXT | SFF_SELECTION);
    const OpenClipboardScope clipboard(owner);
    if (!clipboard.open() || !EmptyClipboard()) return false;
    putOnClipboard(RegisterClipboardFormatA(kRichTextFormat), richText);
    putOnClipboard(CF_TEXT, plainText);
    return true;
}

PrintResult Win32RichDocument::print(HWND owner, const std::string& title) {
    ChosenPrinter printer = choosePrinter(owner);
    if (!printer.dc) return {printer.outcome, 0};
    if (control_ == nullptr) return {PrintOutcome::Failed, ERROR_INVALID_WINDOW_HANDLE};
    HDC dc = printer.dc.get();
    DOCINFOA job{};
    job.cbSize = sizeof job;
    job.lpszDocName = title.c_str();
    if (StartDocA(dc, &job) <= 0) return {PrintOutcome::Failed, GetLastError()};

    // The printable area in twips, and the document within its margins.
    FORMATRANGE range{};
    range.hdc = dc;
    range.hdcTarget = dc;
    range.rcPage = {0, 0, MulDiv(GetDeviceCaps(dc, HORZRES), kTwipsPerInch, GetDeviceCaps(dc, LOGPIXELSX)),
                    MulDiv(GetDeviceCaps(dc, VERTRES), kTwipsPerInch, GetDeviceCaps(dc, LOGPIXELSY))};
    const RECT text{kPrintMarginTwips, kPrintMarginTwips, range.rcPage.right - kPrintMarginTwips,
                    range.rcPage.bottom - kPrintMarginTwips};
    // Characters as the control counts them: rich edit 2.0 ends a paragraph with one
    // (and knows the question), 1.0 with two, as its window text does.
    GETTEXTLENGTHEX question{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    LONG length = static_cast<LONG>(SendMessageA(control_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&question), 0));
    if (length <= 0) length = GetWindowTextLengthA(control_);
    LONG first = 0;
    DWORD error = 0;
    do {
        if (StartPage(dc) <= 0) {
            error = GetLastError();
            break;
        }
        range.rc = text;
        range.chrg = {first, -1};
        const LONG next = static_cast<LONG>(SendMessageA(control_, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range)));
        if (EndPage(dc) <= 0) {
            error = GetLastError();
            break;
        }
        // A page that takes nothing (a margin wider than the paper) ends the job.
        if (next <= first) break;
        first = next;
    } while (first < length);
    SendMessageA(control_, EM_FORMATRANGE, FALSE, 0);
    if (error != 0) {
        AbortDoc(dc);
        return {PrintOutcome::Failed, error};
    }
    EndDoc(dc);
    return {PrintOutcome::Printed, 0};
}

}  // namespace vardak::app::win32
