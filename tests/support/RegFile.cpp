#include "tests/support/RegFile.h"

#include "tests/support/AnsiText.h"
#include "tests/support/AsciiCase.h"
#include "tests/support/FakeRegistry.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

namespace vardak::testing {

using platform::RegValue;
using platform::RootKey;
using platform::ValueType;

namespace {

enum class RegFormat { Regedit4, Version5 };

constexpr std::string_view kRegedit4Header = "REGEDIT4";
constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

constexpr std::array<std::pair<std::string_view, RootKey>, 12> kRootNames = {{
    {"HKEY_LOCAL_MACHINE", RootKey::LocalMachine},
    {"HKLM", RootKey::LocalMachine},
    {"HKEY_CURRENT_USER", RootKey::CurrentUser},
    {"HKCU", RootKey::CurrentUser},
    {"HKEY_CLASSES_ROOT", RootKey::ClassesRoot},
    {"HKCR", RootKey::ClassesRoot},
    {"HKEY_USERS", RootKey::Users},
    {"HKU", RootKey::Users},
    {"HKEY_CURRENT_CONFIG", RootKey::CurrentConfig},
    {"HKCC", RootKey::CurrentConfig},
    {"HKEY_DYN_DATA", RootKey::DynData},
    {"HKDD", RootKey::DynData},
}};

std::optional<RootKey> rootFromName(std::string_view name) {
    for (const auto& [rootName, root] : kRootNames) {
        if (equalsIgnoreCase(rootName, name)) return root;
    }
    return std::nullopt;
}

std::string_view trimLeft(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

std::string_view trimRight(std::string_view text) {
    const size_t last = text.find_last_not_of(kBlanks);
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The value of 1..maxDigits hex digits, or nothing.
std::optional<uint32_t> parseHexNumber(std::string_view digits, size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
    uint32_t number = 0;
    for (char c : digits) {
        if (!isHexDigit(c)) return std::nullopt;
        const uint32_t digit = c <= '9' ? c - '0' : upperAscii(c) - 'A' + 10;
        number = (number << 4) | digit;
    }
    return number;
}

bool isStringType(ValueType type) {
    return type == ValueType::String || type == ValueType::ExpandString || type == ValueType::MultiString;
}

std::string decodeText(std::string_view bytes, std::string_view source) {
    if (bytes.starts_with(kUtf16LeBom)) {
        bytes.remove_prefix(kUtf16LeBom.size());
        if (bytes.size() % 2 != 0) throw RegFileError(source, 0, "UTF-16 text with an odd number of bytes");
        return ansiFromUtf16Le(bytes);
    }
    if (bytes.starts_with(kUtf8Bom)) return ansiFromUtf8(bytes.substr(kUtf8Bom.size()));
    return std::string(bytes);
}

// One line as the parser sees it: physical lines joined where a line ends with a
// backslash, remembering where each physical line starts for the messages.
struct LogicalLine {
    std::string text;
    std::vector<std::pair<size_t, int>> starts;  // offset in text, line number in the source

    int lineAt(size_t offset) const {
        int line = starts.front().second;
        for (const auto& [start, number] : starts) {
            if (offset >= start) line = number;
        }
        return line;
    }
};

class LineReader {
public:
    explicit LineReader(std::string_view text) {
        while (!text.empty()) {
            const size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            if (line.ends_with('\r')) line.remove_suffix(1);
            lines_.push_back(line);
            if (end == std::string_view::npos) break;
            text.remove_prefix(end + 1);
        }
    }

    std::optional<LogicalLine> next() {
        if (next_ >= lines_.size()) return std::nullopt;
        LogicalLine line;
        line.starts.emplace_back(0, lineNumber());
        line.text = lines_[next_++];
        if (trimLeft(line.text).starts_with(';')) return line;
        while (trimRight(line.text).ends_with('\\') && next_ < lines_.size()) {
            line.text.resize(trimRight(line.text).size() - 1);
            line.starts.emplace_back(line.text.size(), lineNumber());
            line.text += trimLeft(lines_[next_++]);
        }
        return line;
    }

    // The source line number of the physical line read next.
    int lineNumber() const { return static_cast<int>(next_) + 1; }

private:
    std::vector<std::string_view> lines_;
    size_t next_ = 0;
};

// Reading position within one logical line; failures name the source line.
class Cursor {
public:
    Cursor(const LogicalLine& line, std::string_view source) : line_(line), source_(source) {}

    bool atEnd() const { return pos_ >= text().size(); }
    char peek() const { return atEnd() ? '\0' : text()[pos_]; }
    size_t position() const { return pos_; }
    bool atLineEnd() const { return atEnd() || peek() == ';'; }

    void skipBlanks() {
        while (!atEnd() && kBlanks.find(peek()) != std::string_view::npos) ++pos_;
    }

    bool consume(char c) {
        if (atEnd() || peek() != c) return false;
        ++pos_;
        return true;
    }

    bool consumeWord(std::string_view word) {
        if (!equalsIgnoreCase(text().substr(pos_, word.size()), word)) return false;
        pos_ += word.size();
        return true;
    }

    // The text up to (not including) the first of `stops` or the end of the line.
    std::string_view takeUntilAny(std::string_view stops) {
        const size_t start = pos_;
        while (!atEnd() && stops.find(peek()) == std::string_view::npos) ++pos_;
        return text().substr(start, pos_ - start);
    }

    // Only blanks or a comment may follow a value.
    void expectLineEnd() {
        skipBlanks();
        if (!atLineEnd()) fail("unexpected text after the value");
    }

    [[noreturn]] void fail(std::string_view problem) const { fail(problem, pos_); }
    [[noreturn]] void fail(std::string_view problem, size_t at) const {
        throw RegFileError(source_, line_.lineAt(at), problem);
    }

    std::string_view text() const { return line_.text; }

private:
    const LogicalLine& line_;
    std::string_view source_;
    size_t pos_ = 0;
};

class RegParser {
public:
    RegParser(FakeRegistry& registry, std::string_view source) : registry_(registry), source_(source) {}

    void parse(std::string_view text) {
        LineReader reader(text);
        readHeader(reader);
        while (std::optional<LogicalLine> line = reader.next()) parseLine(*line);
    }

private:
    struct KeyRef {
        RootKey root;
        std::string path;
    };

    void readHeader(LineReader& reader) {
        while (std::optional<LogicalLine> line = reader.next()) {
            const std::string_view text = trimRight(line->text);
            if (trimLeft(text).empty()) continue;
            if (text == kRegedit4Header) {
                format_ = RegFormat::Regedit4;
            } else if (text == kVersion5Header) {
                format_ = RegFormat::Version5;
            } else {
                throw RegFileError(source_, line->starts.front().second, missingHeader());
            }
            return;
        }
        const int lastLine = reader.lineNumber() - 1;
        throw RegFileError(source_, std::max(lastLine, 1), missingHeader());
    }

    static std::string missingHeader() {
        return "missing \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\" header";
    }

    void parseLine(const LogicalLine& line) {
        Cursor cursor(line, source_);
        cursor.skipBlanks();
        switch (cursor.peek()) {
            case '\0':
            case ';':
                return;
            case '[':
                return parseKeyLine(cursor);
            case '"':
            case '@':
                return parseValueLine(cursor);
            default:
                cursor.fail("unrecognised line");
        }
    }

    void parseKeyLine(Cursor& cursor) {
        cursor.consume('[');
        const bool remove = cursor.consume('-');
        const size_t nameStart = cursor.position();
        const size_t close = closingBracket(cursor.text(), nameStart);
        if (close == std::string_view::npos) cursor.fail("missing ']' after the key name");

        const std::string_view name = cursor.text().substr(nameStart, close - nameStart);
        const size_t slash = name.find('\\');
        const std::string_view rootName = name.substr(0, slash);
        const std::string_view path = slash == std::string_view::npos ? std::string_view{} : name.substr(slash + 1);
        const std::optional<RootKey> root = rootFromName(rootName);
        if (!root) cursor.fail("unknown root key '" + std::string(rootName) + "'", nameStart);

        if (remove) {
            if (path.find_first_not_of('\\') == std::string_view::npos) cursor.fail("a root key cannot be deleted", nameStart);
            registry_.removeKey(*root, path);
            key_.reset();
        } else {
            registry_.createKeyPath(*root, path);
            key_ = KeyRef{*root, std::string(path)};
        }
    }

    // The ']' ending a key name: the first one followed by nothing but blanks or a
    // comment, so that key names may contain ']' themselves.
    static size_t closingBracket(std::string_view text, size_t from) {
        for (size_t close = text.find(']', from); close != std::string_view::npos; close = text.find(']', close + 1)) {
            const std::string_view rest = trimLeft(text.substr(close + 1));
            if (rest.empty() || rest.starts_with(';')) return close;
        }
        return std::string_view::npos;
    }

    void parseValueLine(Cursor& cursor) {
        if (!key_) cursor.fail("value line without a key section before it");
        const std::string name = cursor.consume('@') ? std::string() : parseQuoted(cursor);
        cursor.skipBlanks();
        if (!cursor.consume('=')) cursor.fail("missing '=' after the value name");
        cursor.skipBlanks();

        if (cursor.consume('-')) {
            cursor.expectLineEnd();
            registry_.removeValue(key_->root, key_->path, name);
        } else if (cursor.peek() == '"') {
            std::string text = parseQuoted(cursor);
            cursor.expectLineEnd();
            registry_.setValue(key_->root, key_->path, name, RegValue::fromString(text));
        } else if (cursor.consumeWord("dword:")) {
            registry_.setValue(key_->root, key_->path, name, RegValue::fromDWord(parseDWord(cursor)));
        } else if (cursor.consumeWord("hex")) {
            registry_.setValue(key_->root, key_->path, name, parseHexValue(cursor));
        } else {
            cursor.fail("unrecognised value data");
        }
    }

    static std::string parseQuoted(Cursor& cursor) {
        const size_t start = cursor.position();
        cursor.consume('"');
        std::string text;
        while (!cursor.atEnd()) {
            const char c = cursor.peek();
            cursor.consume(c);
            if (c == '"') return text;
            if (c != '\\') {
                text.push_back(c);
                continue;
            }
            if (cursor.atEnd()) break;
            text.push_back(unescape(cursor));
        }
        cursor.fail("missing closing quote", start);
    }

    static char unescape(Cursor& cursor) {
        const char c = cursor.peek();
        cursor.consume(c);
        switch (c) {
            case '\\':
            case '"':
                return c;
            case 'n':
                return '\n';
            case 'r':
                return '\r';
            case '0':
                return '\0';
            default:
                cursor.fail(std::string("unknown escape '\\") + c + "'", cursor.position() - 2);
        }
    }

    static uint32_t parseDWord(Cursor& cursor) {
        const size_t start = cursor.position();
        const std::optional<uint32_t> number = parseHexNumber(cursor.takeUntilAny(" \t;"), 8);
        if (!number) cursor.fail("bad dword value", start);
        cursor.expectLineEnd();
        return *number;
    }

    RegValue parseHexValue(Cursor& cursor) {
        RegValue value;
        value.type = ValueType::Binary;
        if (cursor.consume('(')) {
            const size_t start = cursor.position();
            const std::optional<uint32_t> type = parseHexNumber(cursor.takeUntilAny(")"), 8);
            if (!type || !cursor.consume(')')) cursor.fail("bad value type", start);
            value.type = static_cast<ValueType>(*type);
        }
        if (!cursor.consume(':')) cursor.fail("missing ':' after hex");
        const size_t dataStart = cursor.position();
        value.data = parseHexBytes(cursor);
        if (format_ == RegFormat::Version5 && isStringType(value.type)) {
            if (value.data.size() % 2 != 0) cursor.fail("UTF-16 string data with an odd number of bytes", dataStart);
            const std::string ansi = ansiFromUtf16Le({reinterpret_cast<const char*>(value.data.data()), value.data.size()});
            value.data.assign(ansi.begin(), ansi.end());
        }
        return value;
    }

    // Comma-separated bytes of one or two hex digits; a trailing comma is allowed.
    static std::vector<uint8_t> parseHexBytes(Cursor& cursor) {
        std::vector<uint8_t> bytes;
        cursor.skipBlanks();
        while (!cursor.atLineEnd()) {
            const size_t start = cursor.position();
            const std::string_view token = cursor.takeUntilAny(", \t;");
            const std::optional<uint32_t> byte = parseHexNumber(token, 2);
            if (!byte) cursor.fail(token.empty() ? std::string("missing hex byte") : "bad hex byte '" + std::string(token) + "'", start);
            bytes.push_back(static_cast<uint8_t>(*byte));
            cursor.skipBlanks();
            if (!cursor.consume(',')) break;
            cursor.skipBlanks();
        }
        cursor.expectLineEnd();
        return bytes;
    }

    FakeRegistry& registry_;
    std::string_view source_;
    RegFormat format_ = RegFormat::Regedit4;
    std::optional<KeyRef> key_;
};

std::string errorMessage(std::string_view source, int line, std::string_view problem) {
    std::string message(source);
    if (line > 0) message += ":" + std::to_string(line);
    message += ": ";
    message += problem;
    return message;
}

}  // namespace

RegFileError::RegFileError(std::string_view source, int line, std::string_view problem)
    : std::runtime_error(errorMessage(source, line, problem)), line_(line) {}

void loadRegText(FakeRegistry& registry, std::string_view text, std::string_view sourceName) {
    RegParser(registry, sourceName).parse(decodeText(text, sourceName));
}

void loadRegFile(FakeRegistry& registry, const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw RegFileError(path, 0, "cannot open the file");
    std::ostringstream bytes;
    bytes << file.rdbuf();
    loadRegText(registry, bytes.str(), path);
}

}  // namespace vardak::testing
