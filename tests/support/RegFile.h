// Loads registry export files (.reg) into a FakeRegistry: a fake machine is a .reg
// file plus a few values.
//
// Accepted: the "REGEDIT4" and "Windows Registry Editor Version 5.00" headers; key
// sections [ROOT\path] with the roots HKEY_LOCAL_MACHINE (HKLM), HKEY_CURRENT_USER
// (HKCU), HKEY_CLASSES_ROOT (HKCR), HKEY_USERS (HKU), HKEY_CURRENT_CONFIG (HKCC) and
// HKEY_DYN_DATA; [-ROOT\path] deleting a key with everything below it; values
//   "name"="text"     string; escapes \\ \" and also \n \r \0
//   @=...             the key's default value
//   "name"=dword:1f   one to eight hex digits
//   "name"=hex:01,ff  binary
//   "name"=hex(N):..  any type number N in hex: hex(2) expand string, hex(7) multi
//                     string, hex(b) QWORD...
//   "name"=-          deletes the value
// Hex data continues on the next line after a trailing backslash (leading blanks of
// that line skipped). Comments start with ';' on their own line or after a value.
// Line ends are CR LF or LF.
//
// Text encoding: a file with a UTF-16LE or UTF-8 byte-order mark is converted to ANSI
// (Windows-1252, '?' for characters outside it); a file without one is taken as ANSI
// bytes. String data in hex(1), hex(2) and hex(7) form is ANSI bytes as given in
// REGEDIT4 files and UTF-16LE in version 5.00 files, where it is converted to ANSI.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vardak::testing {

class FakeRegistry;

// A malformed .reg file. The message names the source and the line:
// "fixtures/nt4.reg:12: bad dword value".
class RegFileError : public std::runtime_error {
public:
    // `line` 0 is a problem with the whole source (it cannot be read, say).
    RegFileError(std::string_view source, int line, std::string_view problem);
    int line() const { return line_; }

private:
    int line_;
};

void loadRegText(FakeRegistry& registry, std::string_view text, std::string_view sourceName);
// The source name in messages is `path` as given.
void loadRegFile(FakeRegistry& registry, const std::string& path);

}  // namespace vardak::testing
