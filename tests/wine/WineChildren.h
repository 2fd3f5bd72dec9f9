// Modes in which the Wine test program runs as a child of a test, started with
// `--child=NAME`. A child sees the Windows version its parent posed and reports
// what the backend read as "name=value" lines on standard output.
#pragma once

#include <optional>
#include <string_view>

namespace vardak::winetest {

// The child's exit code, or nothing when `name` is no child mode.
std::optional<int> runChildMode(std::string_view name);

}  // namespace vardak::winetest
