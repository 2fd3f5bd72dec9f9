// The interface language of a build, told by its string resources.
#pragma once

#include <functional>
#include <string>

namespace vardak::app {

enum class UiLanguage { Danish = 0, Norwegian = 1, Swedish = 2, Finnish = 3 };

// The caption of the voltage row; its translation tells the language apart.
constexpr int kVoltageCaptionId = 65242;

// Loads the voltage caption once per known word and compares it case-sensitively;
// the last match wins and no match means Danish.
UiLanguage detectUiLanguage(const std::function<std::string(int id)>& loadString);

}  // namespace vardak::app
