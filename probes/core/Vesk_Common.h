// The probe framework shared by every probe: how a failing refresh is reported
// (the exception mode and CallGetInfo), how lists go into a report, and the report
// text format itself.
//
// A report is a TStrings of lines: a ";" comment (the banner only), "[Section]"
// headers and "Key=Value" entries. Saved, it is ANSI text with CR LF line ends.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"

namespace vardak::probes {

// The banner of the probe library, the first line of every full report.
inline constexpr std::string_view kComponentAbout =
    "Ostrel System Information Component 7.61 - Vardak";

// ---------------------------------------------------------------- exception mode

enum class TExceptionMode : uint8_t { emRaise, emMessage, emSilent };

inline constexpr std::string_view kExceptionModeNames[] = {"emRaise", "emMessage", "emSilent"};
inline constexpr std::string_view kExceptionModeTypeName = "TExceptionMode";

// The "Error" box with the text, or in a console program the text as a line.
void ShowErrorText(platform::UiNotifier& ui, const std::string& text);

// Runs one refresh under `mode`. A framework Exception raised by `operation` becomes
// the text "<name>: <message>", which is raised again as a new Exception (emRaise),
// shown in an "Error" box or, in a console program, written as a line (emMessage),
// or dropped (emSilent). Anything else that is thrown passes through untouched.
// `name` is the class name followed by ".GetInfo".
void CallGetInfo(platform::UiNotifier& ui, std::string_view name, TExceptionMode mode,
                 const std::function<void()>& operation);

// The same for an operation of `object` with no argument...
template <class Probe>
void CallGetInfo(platform::UiNotifier& ui, std::string_view name, TExceptionMode mode,
                 void (Probe::*operation)(), Probe& object) {
    CallGetInfo(ui, name, mode, [&] { (object.*operation)(); });
}

// ...and for one that takes an integer argument.
template <class Probe>
void CallGetInfo(platform::UiNotifier& ui, int32_t argument, std::string_view name,
                 TExceptionMode mode, void (Probe::*operation)(int32_t), Probe& object) {
    CallGetInfo(ui, name, mode, [&] { (object.*operation)(argument); });
}

// ---------------------------------------------------------------- report lines

// The text with every line break (CR LF, CR or LF) replaced by one space, so a value
// can never split a report line.
std::string joinLineBreaks(std::string_view text);

// ";<text>"
void addReportComment(TStrings& report, std::string_view text);
// "[<name>]"
void addReportSection(TStrings& report, std::string_view name);
// "<key>=<value>"; line breaks inside the value become spaces.
void addReportEntry(TStrings& report, std::string_view key, std::string_view value);
// "<key>=<decimal value>"
void addReportEntry(TStrings& report, std::string_view key, int64_t value);
// Overloads that keep a plain int, a bool or a literal from picking the wrong entry.
inline void addReportEntry(TStrings& report, std::string_view key, int32_t value) {
    addReportEntry(report, key, static_cast<int64_t>(value));
}
inline void addReportEntry(TStrings& report, std::string_view key, uint32_t value) {
    addReportEntry(report, key, static_cast<int64_t>(value));
}
// Booleans are "1" or "0".
inline void addReportEntry(TStrings& report, std::string_view key, bool value) {
    addReportEntry(report, key, static_cast<int64_t>(value ? 1 : 0));
}
inline void addReportEntry(TStrings& report, std::string_view key, const char* value) {
    addReportEntry(report, key, std::string_view(value));
}
inline void addReportEntry(TStrings& report, std::string_view key, const std::string& value) {
    addReportEntry(report, key, std::string_view(value));
}

// Appends a list as numbered keys: "<countKey>=<count>" unless the count key is
// empty, then "<itemPrefix>1=<first item>", "<itemPrefix>2=..." and so on.
void AddListToReport(const TStrings& items, std::string_view countKey, std::string_view itemPrefix,
                     TStrings& report);
void AddListToReport(std::span<const std::string> items, std::string_view countKey,
                     std::string_view itemPrefix, TStrings& report);

// ---------------------------------------------------------------- report files

// The report as file content: every line followed by CR LF, line breaks inside a
// line turned into spaces.
std::string reportText(const TStrings& report);

// Writes reportText to a file; raises EFCreateError when the file cannot be written.
void saveReport(platform::FileSystem& files, const std::string& path, const TStrings& report);

}  // namespace vardak::probes
