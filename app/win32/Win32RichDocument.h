// The hidden rich-edit control that holds the summary window's document (Udskrift):
// it follows the portable model paragraph by paragraph, copies the whole document to
// the clipboard as rich text and plain text, and prints it through the print dialog.
#pragma once

#include <windows.h>

#include <string>

#include "app/Components.h"
#include "app/VardakServices.h"
#include "platform/win32/WinHandles.h"

namespace vardak::app::win32 {

class Win32RichDocument final : public RichEditSink {
public:
    Win32RichDocument() = default;
    ~Win32RichDocument() override;
    Win32RichDocument(const Win32RichDocument&) = delete;
    Win32RichDocument& operator=(const Win32RichDocument&) = delete;

    // Creates the hidden control as a child of `parent` (rich edit 2.0, else 1.0 on
    // a 95 without it); false when neither library is there.
    bool create(HWND parent, HINSTANCE instance);

    // RichEditSink
    void documentCleared() override;
    void textLimitChanged(size_t characters) override;
    void paragraphAppended(const RichParagraph& paragraph) override;

    // Puts the whole document on the clipboard, owned by `owner`, in the rich-text and
    // the plain-text format; false when the clipboard cannot be opened.
    bool copyToClipboard(HWND owner);
    // The print dialog, owned by `owner`, then the whole document as one job.
    PrintResult print(HWND owner, const std::string& title);

private:
    // The document, or its selection, in a stream format (SF_RTF, SF_TEXT).
    std::string streamOut(UINT format) const;

    static HMODULE noLibrary() { return nullptr; }
    vardak::win32::UniqueResource<HMODULE, FreeLibrary, noLibrary> library_;
    HWND control_ = nullptr;
    bool empty_ = true;
};

}  // namespace vardak::app::win32
