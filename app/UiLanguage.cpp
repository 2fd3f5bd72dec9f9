#include "app/UiLanguage.h"

#include <array>
#include <string_view>

namespace vardak::app {

namespace {

struct LanguageWord {
    std::string_view word;  // Windows-1252
    UiLanguage language;
};

constexpr std::array<LanguageWord, 4> kVoltageWords{{
    {"J\xE4nnite", UiLanguage::Finnish},
    {"Sp\xE6nding", UiLanguage::Danish},
    {"Spenning", UiLanguage::Norwegian},
    {"Sp\xE4nning", UiLanguage::Swedish},
}};

}  // namespace

UiLanguage detectUiLanguage(const std::function<std::string(int id)>& loadString) {
    UiLanguage language = UiLanguage::Danish;
    for (const LanguageWord& entry : kVoltageWords) {
        if (loadString(kVoltageCaptionId) == entry.word) language = entry.language;
    }
    return language;
}

std::optional<std::string_view> publisherAddress(UiLanguage language) {
    const auto index = static_cast<size_t>(language);
    if (index >= kPublisherAddresses.size()) return std::nullopt;
    return kPublisherAddresses[index];
}

}  // namespace vardak::app
