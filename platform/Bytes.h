// Little-endian (and big-endian 32-bit) numbers and byte checksums of data from outside the program:
// registry values, firmware tables, version resources, streamed face tables.
// Every reader takes the offset and answers nothing (or zero, for the unchecked
// forms that callers use after checking the length once) past the bytes it is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vardak::bytes {

// The `size`-byte little-endian number at `offset`; nothing when it does not fit.
constexpr std::optional<uint64_t> littleEndian(std::span<const uint8_t> data, size_t offset, size_t size) {
    if (size > 8 || offset > data.size() || size > data.size() - offset) return std::nullopt;
    uint64_t value = 0;
    for (size_t index = size; index-- > 0;) value = value << 8 | data[offset + index];
    return value;
}

// The fixed-size readers give 0 for a number that does not fit.
constexpr uint16_t le16(std::span<const uint8_t> data, size_t offset) {
    return static_cast<uint16_t>(littleEndian(data, offset, 2).value_or(0));
}
constexpr uint32_t le32(std::span<const uint8_t> data, size_t offset) {
    return static_cast<uint32_t>(littleEndian(data, offset, 4).value_or(0));
}
constexpr uint64_t le64(std::span<const uint8_t> data, size_t offset) {
    return littleEndian(data, offset, 8).value_or(0);
}

// The 32-bit number at `offset` with its most significant byte first; 0 when it does not fit.
constexpr uint32_t be32(std::span<const uint8_t> data, size_t offset) {
    const uint32_t swapped = le32(data, offset);
    return swapped >> 24 | (swapped >> 8 & 0xFF00u) | (swapped << 8 & 0xFF0000u) | swapped << 24;
}

// Writes the low `size` bytes of `value` at `offset`; false when they do not fit.
constexpr bool putLittleEndian(std::span<uint8_t> data, size_t offset, size_t size, uint64_t value) {
    if (size > 8 || offset > data.size() || size > data.size() - offset) return false;
    for (size_t index = 0; index < size; ++index) data[offset + index] = static_cast<uint8_t>(value >> (8 * index));
    return true;
}

// The sum of the bytes modulo 256: a firmware record whose bytes sum to 0 is intact.
constexpr uint8_t checksum(std::span<const uint8_t> data) {
    uint8_t sum = 0;
    for (const uint8_t byte : data) sum = static_cast<uint8_t>(sum + byte);
    return sum;
}

// The bytes from `offset` up to the first NUL (or the end), at most `longest`, as text.
inline std::string textUpToNul(std::span<const uint8_t> data, size_t offset = 0, size_t longest = SIZE_MAX) {
    std::string text;
    for (size_t at = offset; at < data.size() && text.size() < longest && data[at] != 0; ++at) {
        text.push_back(static_cast<char>(data[at]));
    }
    return text;
}

}  // namespace vardak::bytes
