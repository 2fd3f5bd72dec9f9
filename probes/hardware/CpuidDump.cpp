#include "probes/hardware/CpuidDump.h"

#include <algorithm>
#include <array>
#include <vector>

namespace vardak::probes {

using platform::CpuidRegisters;

ECpuidDumpError::ECpuidDumpError(size_t line, const std::string& problem)
    : Exception("line " + std::to_string(line) + ": " + problem), line_(line) {}

namespace {

// The register lists of the dump and the leaf each one holds. A list of sub-leaves
// has one leaf and numbers its sub-leaves; the others number their leaves.
struct RegisterList {
    std::string_view name;
    uint32_t leaf;
    bool bySubleaf;
};

constexpr RegisterList kRegisterLists[] = {
    {"basic_cpuid", 0x00000000, false},
    {"ext_cpuid", 0x80000000, false},
    {"intel_fn4", 0x00000004, true},
    {"intel_fn11", 0x0000000B, true},
    {"intel_fn12h", 0x00000012, true},
    {"intel_fn14h", 0x00000014, true},
    {"amd_fn8000001dh", 0x8000001D, true},
};

// cpuid_tool saves this many entries of each range.
constexpr uint32_t kSavedLeaves = 32;
constexpr uint32_t kLargestIndex = 1023;
constexpr size_t kQuotedTextLimit = 60;

std::string quoted(std::string_view text) {
    std::string shown;
    for (const char c : text.substr(0, kQuotedTextLimit)) {
        const auto byte = static_cast<unsigned char>(c);
        shown += (byte >= 0x20 && byte < 0x7F) ? c : '?';
    }
    if (text.size() > kQuotedTextLimit) {
        shown += "...";
    }
    return "'" + shown + "'";
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<uint32_t> hexDigit(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
    return std::nullopt;
}

// Exactly eight hexadecimal digits.
std::optional<uint32_t> parseRegister(std::string_view text) {
    if (text.size() != 8) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (const char c : text) {
        const std::optional<uint32_t> digit = hexDigit(c);
        if (!digit) {
            return std::nullopt;
        }
        value = value << 4 | *digit;
    }
    return value;
}

// "name[index]=EAX EBX ECX EDX", taken apart.
struct Entry {
    std::string_view name;
    uint32_t index = 0;
    CpuidRegisters registers;
};

std::optional<Entry> parseEntry(std::string_view line) {
    const size_t open = line.find('[');
    const size_t close = line.find("]=");
    if (open == std::string_view::npos || close == std::string_view::npos || open == 0 || close <= open + 1) {
        return std::nullopt;
    }
    Entry entry;
    entry.name = line.substr(0, open);
    if (!std::all_of(entry.name.begin(), entry.name.end(),
                     [](char c) { return (c >= 'a' && c <= 'z') || isDigit(c) || c == '_'; })) {
        return std::nullopt;
    }
    const std::string_view index = line.substr(open + 1, close - open - 1);
    if (index.size() > 4 || !std::all_of(index.begin(), index.end(), isDigit)) {
        return std::nullopt;
    }
    for (const char c : index) {
        entry.index = entry.index * 10 + static_cast<uint32_t>(c - '0');
    }
    std::string_view values = line.substr(close + 2);
    std::array<uint32_t, 4> registers{};
    for (size_t position = 0; position < registers.size(); ++position) {
        const std::optional<uint32_t> value = parseRegister(values.substr(0, 8));
        if (!value) {
            return std::nullopt;
        }
        registers[position] = *value;
        values.remove_prefix(8);
        if (position + 1 < registers.size()) {
            if (values.empty() || values.front() != ' ') {
                return std::nullopt;
            }
            values.remove_prefix(1);
        }
    }
    if (!values.empty()) {
        return std::nullopt;
    }
    entry.registers = {registers[0], registers[1], registers[2], registers[3]};
    return entry;
}

// "_________________ Logical CPU #0 _________________"
bool isProcessorHeader(std::string_view line) {
    constexpr std::string_view kTitle = " Logical CPU #";
    const size_t title = line.find(kTitle);
    if (title == std::string_view::npos || title == 0) {
        return false;
    }
    const std::string_view rule = line.substr(0, title);
    return std::all_of(rule.begin(), rule.end(), [](char c) { return c == '_'; }) &&
           line.back() == '_';
}

std::string_view withoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    return line;
}

const RegisterList* findList(std::string_view name) {
    for (const RegisterList& list : kRegisterLists) {
        if (list.name == name) {
            return &list;
        }
    }
    return nullptr;
}

std::string hexLeaf(uint32_t leaf) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += kDigits[(leaf >> shift) & 0xF];
    }
    return text;
}

}  // namespace

CpuidDump CpuidDump::parse(std::string_view text) {
    CpuidDump dump;
    std::map<std::string, size_t> firstLineOf;  // "basic_cpuid[3]" -> its line
    size_t lineNumber = 0;
    size_t processorHeaders = 0;
    bool sawVersion = false;

    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view rawLine = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        const std::string_view line = withoutLineEnd(rawLine);

        if (!sawVersion) {
            if (line.substr(0, 8) != "version=" || line.size() == 8) {
                throw ECpuidDumpError(lineNumber, "not a cpuid_tool dump: expected 'version=...', found " +
                                                      quoted(line));
            }
            sawVersion = true;
            continue;
        }
        if (line.empty()) {
            continue;
        }
        if (isProcessorHeader(line)) {
            if (++processorHeaders > 1) {
                --lineNumber;  // the first processor ended on the line before
                break;
            }
            continue;
        }
        const std::optional<Entry> entry = parseEntry(line);
        if (!entry) {
            throw ECpuidDumpError(lineNumber, "expected 'name[index]=EAX EBX ECX EDX' with four 8-digit "
                                              "hexadecimal registers, found " + quoted(line));
        }
        if (entry->index > kLargestIndex) {
            throw ECpuidDumpError(lineNumber, "index " + std::to_string(entry->index) + " is out of range");
        }
        const RegisterList* list = findList(entry->name);
        if (list == nullptr) {
            continue;  // a list a newer cpuid_tool writes
        }
        const auto key = list->bySubleaf ? std::make_pair(list->leaf, entry->index)
                                         : std::make_pair(list->leaf + entry->index, uint32_t{0});
        const std::string entryName = std::string(entry->name) + "[" + std::to_string(entry->index) + "]";
        size_t& firstLine = firstLineOf[entryName];
        if (firstLine != 0) {
            throw ECpuidDumpError(lineNumber, entryName + " appears twice (first on line " +
                                                  std::to_string(firstLine) + ")");
        }
        firstLine = lineNumber;
        dump.leaves_[key] = entry->registers;
    }
    if (!sawVersion) {
        throw ECpuidDumpError(1, "the file is empty");
    }

    // Everything leaf 0 and leaf 0x80000000 promise, as far as the tool saves, must be there.
    const size_t endLine = lineNumber + 1;
    const auto requireRange = [&](std::string_view listName, uint32_t rangeStart) {
        const auto first = dump.leaves_.find({rangeStart, 0});
        if (first == dump.leaves_.end()) {
            throw ECpuidDumpError(endLine, "the dump ends without " + std::string(listName) +
                                               "[0] (leaf " + hexLeaf(rangeStart) + ")");
        }
        const uint32_t highest = first->second.eax;
        if (highest < rangeStart || highest - rangeStart >= 0x10000) {
            return;  // the range holds nothing more
        }
        const uint32_t last = std::min(highest - rangeStart, kSavedLeaves - 1);
        for (uint32_t index = 1; index <= last; ++index) {
            if (dump.leaves_.find({rangeStart + index, 0}) == dump.leaves_.end()) {
                throw ECpuidDumpError(endLine, "the dump ends without " + std::string(listName) + "[" +
                                                   std::to_string(index) + "]; leaf " + hexLeaf(rangeStart) +
                                                   " reports leaves up to " + hexLeaf(highest));
            }
        }
    };
    requireRange("basic_cpuid", 0x00000000);
    requireRange("ext_cpuid", 0x80000000);
    return dump;
}

std::optional<CpuidRegisters> CpuidDump::registers(uint32_t leaf, uint32_t subleaf) const {
    const auto exact = leaves_.find({leaf, subleaf});
    if (exact != leaves_.end()) {
        return exact->second;
    }
    return std::nullopt;
}

CpuidRegisters DumpedProcessor::cpuid(uint32_t leaf, uint32_t subleaf) {
    // Leaves without sub-leaves ignore ECX, as the instruction does.
    if (const auto registers = dump_.registers(leaf, subleaf)) {
        return *registers;
    }
    if (const auto registers = dump_.registers(leaf, 0)) {
        return *registers;
    }
    return {};
}

double DumpedProcessor::divide(double dividend, double divisor) {
    volatile double x = dividend;
    volatile double y = divisor;
    return x / y;
}

}  // namespace vardak::probes
