// The interface language of a build, told by its string resources.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vardak::app {

enum class UiLanguage { Danish = 0, Norwegian = 1, Swedish = 2, Finnish = 3 };

// The caption of the voltage row; its translation tells the language apart.
constexpr int kVoltageCaptionId = 65242;

// Loads the voltage caption once per known word and compares it case-sensitively;
// the last match wins and no match means Danish.
UiLanguage detectUiLanguage(const std::function<std::string(int id)>& loadString);

// The publisher's web site in each language, by UiLanguage; the only addresses the
// window ever opens.
inline constexpr std::array<std::string_view, 4> kPublisherAddresses{
    "https://www.vardak.example/da/",
    "https://www.vardak.example/no/",
    "https://www.vardak.example/sv/",
    "https://www.vardak.example/fi/",
};

// The address of the language, or nothing for a language without one.
std::optional<std::string_view> publisherAddress(UiLanguage language);

}  // namespace vardak::app
