#include "probes/core/Vesk_Common.h"

#include "framework/Exception.h"
#include "probes/core/Format.h"

namespace vardak::probes {

// ---------------------------------------------------------------- exception mode

void ShowErrorText(platform::UiNotifier& ui, const std::string& text) {
    if (ui.isConsole()) {
        ui.writeLine(text);
    } else {
        ui.showError("Error", text);
    }
}

void CallGetInfo(platform::UiNotifier& ui, std::string_view name, TExceptionMode mode,
                 const std::function<void()>& operation) {
    try {
        operation();
    } catch (const Exception& failure) {
        std::string text = std::string(name) + ": " + failure.message();
        switch (mode) {
            case TExceptionMode::emRaise:
                throw Exception(std::move(text));
            case TExceptionMode::emMessage:
                ShowErrorText(ui, text);
                break;
            case TExceptionMode::emSilent:
                break;
        }
    }
}

// ---------------------------------------------------------------- report lines

std::string joinLineBreaks(std::string_view text) {
    std::string joined;
    joined.reserve(text.size());
    for (size_t index = 0; index < text.size(); ++index) {
        const char c = text[index];
        if (c == '\r') {
            joined += ' ';
            if (index + 1 < text.size() && text[index + 1] == '\n') {
                ++index;
            }
        } else if (c == '\n') {
            joined += ' ';
        } else {
            joined += c;
        }
    }
    return joined;
}

void addReportComment(TStrings& report, std::string_view text) {
    report.add(";" + joinLineBreaks(text));
}

void addReportSection(TStrings& report, std::string_view name) {
    report.add("[" + joinLineBreaks(name) + "]");
}

void addReportEntry(TStrings& report, std::string_view key, std::string_view value) {
    report.add(joinLineBreaks(key) + "=" + joinLineBreaks(value));
}

void addReportEntry(TStrings& report, std::string_view key, int64_t value) {
    addReportEntry(report, key, std::string_view(Format("%d", {value})));
}

namespace {

template <class TextAt>
void addNumberedList(int count, TextAt textAt, std::string_view countKey,
                     std::string_view itemPrefix, TStrings& report) {
    if (!countKey.empty()) {
        addReportEntry(report, countKey, static_cast<int64_t>(count));
    }
    for (int index = 0; index < count; ++index) {
        addReportEntry(report, Format("%s%d", {itemPrefix, index + 1}), textAt(index));
    }
}

}  // namespace

void AddListToReport(const TStrings& items, std::string_view countKey, std::string_view itemPrefix,
                     TStrings& report) {
    // Read the items before writing: the list may be the report itself.
    const std::vector<std::string> texts = items.toVector();
    AddListToReport(std::span<const std::string>(texts), countKey, itemPrefix, report);
}

void AddListToReport(std::span<const std::string> items, std::string_view countKey,
                     std::string_view itemPrefix, TStrings& report) {
    addNumberedList(
        static_cast<int>(items.size()),
        [&](int index) -> std::string_view { return items[static_cast<size_t>(index)]; }, countKey,
        itemPrefix, report);
}

// ---------------------------------------------------------------- report files

std::string reportText(const TStrings& report) {
    std::string text;
    for (int index = 0; index < report.count(); ++index) {
        text += joinLineBreaks(report.strings(index));
        text += "\r\n";
    }
    return text;
}

void saveReport(platform::FileSystem& files, const std::string& path, const TStrings& report) {
    if (!files.writeFile(path, reportText(report))) {
        throw EFCreateError("Cannot create file " + path);
    }
}

}  // namespace vardak::probes
