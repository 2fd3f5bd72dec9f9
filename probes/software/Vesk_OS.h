// The operating-system probe: platform and version numbers, service-pack text and
// edition, registration, product id and key, DVD region, the environment, the
// installation's well-known folders and the system language. It owns four
// sub-objects: the current time zone, the NT product type and suites, the internet
// settings and the conventions of the system locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "framework/Sets.h"
#include "platform/Platform.h"
#include "probes/core/Ostrel_Datetime.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {

// ---------------------------------------------------------------- time zone

// Below either line's version key: one subkey per zone the system knows.
inline constexpr std::string_view kTimeZonesSubkey = "Time Zones";

// The current time zone, named after the first registry zone whose rule (a "TZI"
// of exactly 44 bytes) and both names it shares, with this year's transitions. The
// biases are the full offsets of each season (UTC = local time + offset); a zone
// without transitions has no transition dates (0) and its standard offset in both.
class TTimeZone : public TPersistent {
public:
    explicit TTimeZone(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TTimeZone"; }
    void publishProperties(PropertyTable& table) const override;

    // Raises Exception when the system gives no time zone, EConvertError for a
    // transition rule that names no day.
    void GetInfo();
    // Appends "[Time Zone]".
    void Report(TStrings& report) const;

    const std::string& DisplayName() const { return displayName_; }
    const std::string& StandardName() const { return standardName_; }
    const std::string& DaylightName() const { return daylightName_; }
    TDateTime DaylightStart() const { return daylightStart_; }
    TDateTime StandardStart() const { return standardStart_; }
    int32_t Bias() const { return bias_; }
    int32_t DaylightBias() const { return daylightBias_; }
    int32_t StandardBias() const { return standardBias_; }
    const std::string& MapID() const { return mapID_; }

private:
    void nameAfterRegistryZone(const platform::TimeZoneInformation& zone);
    void readTransitions(const platform::TimeZoneInformation& zone);

    platform::Platform& platform_;
    std::string displayName_;
    std::string standardName_;
    std::string daylightName_;
    TDateTime daylightStart_ = 0;
    TDateTime standardStart_ = 0;
    int32_t bias_ = 0;
    int32_t daylightBias_ = 0;
    int32_t standardBias_ = 0;
    std::string mapID_;
};

// ---------------------------------------------------------------- NT specifics

enum class TNtProductType : uint8_t { ptUnknown, ptWorkStation, ptServer, ptAdvancedServer };
inline constexpr std::string_view kNtProductTypeNames[] = {"ptUnknown", "ptWorkStation", "ptServer",
                                                           "ptAdvancedServer"};

// Member n is the suite of the extended version record's suite bit 1 shl n.
enum class TNTSuite : uint8_t {
    suSmallBusiness,
    suEnterprise,
    suBackOffice,
    suCommunications,
    suTerminal,
    suSmallBusinessRestricted,
    suEmbeddedNT,
    suDataCenter,
};
inline constexpr std::string_view kNTSuiteNames[] = {
    "suSmallBusiness", "suEnterprise",   "suBackOffice", "suCommunications", "suTerminal",
    "suSmallBusinessRestricted", "suEmbeddedNT", "suDataCenter"};
using TNTSuites = TSet<TNTSuite, uint8_t>;

// Where the NT line names its product type when the version record does not.
inline constexpr std::string_view kProductOptionsKey = "\\System\\CurrentControlSet\\Control\\ProductOptions";

class TNTSpecific : public TPersistent {
public:
    explicit TNTSpecific(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TNTSpecific"; }
    void publishProperties(PropertyTable& table) const override;

    // The extended version record of NT 5 (2000, XP), then, while the type is still
    // unknown, the product options in the registry.
    void GetInfo();
    // Appends "[NT Specific]".
    void Report(TStrings& report) const;
    // Appends the report's nine suite lines, "<suite>=1" or "=0".
    void SuiteLines(TStrings& lines) const;

    TNtProductType ProductType() const { return productType_; }
    TNTSuites InstalledSuites() const { return installedSuites_; }
    uint16_t ServicePackMajorVersion() const { return servicePackMajorVersion_; }
    uint16_t ServicePackMinorVersion() const { return servicePackMinorVersion_; }

private:
    void readExtendedRecord();
    void readProductOptions();

    platform::Platform& platform_;
    TNtProductType productType_ = TNtProductType::ptUnknown;
    TNTSuites installedSuites_;
    uint16_t servicePackMajorVersion_ = 0;
    uint16_t servicePackMinorVersion_ = 0;
};

// ---------------------------------------------------------------- internet

class TInternet : public TPersistent {
public:
    explicit TInternet(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TInternet"; }
    void publishProperties(PropertyTable& table) const override;

    void GetInfo();
    // Appends "[Internet]".
    void Report(TStrings& report) const;

    const std::string& DefaultBrowser() const { return defaultBrowser_; }
    const std::string& DefaultMailClient() const { return defaultMailClient_; }
    TConnectionType ConnectionType() const { return connectionType_; }
    const std::string& ProxyServer() const { return proxyServer_; }

private:
    platform::Platform& platform_;
    std::string defaultBrowser_;
    std::string defaultMailClient_;
    TConnectionType connectionType_ = TConnectionType::ctNone;
    std::string proxyServer_;
};

// ---------------------------------------------------------------- locale

enum class TMeasureSystem : uint8_t { Metric, US };
enum class TPositiveCurrencyMode : uint8_t {
    Prefix_No_Separation,
    Suffix_No_Separation,
    Prefix_One_Char_Separation,
    Suffix_One_Char_Separation,
};
enum class TDateOrder : uint8_t { MDY, DMY, YMD };
enum class TTimeFormat : uint8_t { H12, H24 };
enum class TYearFormat : uint8_t { TwoDigit, FourDigit };

// The negative-currency patterns by the digit of the locale's negative-currency item.
inline constexpr std::string_view kNegativeCurrencyPatterns[] = {
    "($1.1)", "-$1.1", "$-1.1", "$1.1-", "(1.1$)", "-1.1$", "1.1-$", "1.1$-", "-1.1 $", "-$ 1.1"};

// The number, currency, date and time conventions of one locale.
class TLocaleInfo : public TPersistent {
public:
    explicit TLocaleInfo(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TLocaleInfo"; }
    void publishProperties(PropertyTable& table) const override;

    // Reads the items in property order. A numeric item is its text's first digit;
    // one that starts with no digit, or with a digit its type has no member for,
    // raises EConvertError, the items before it keeping their new values.
    void GetInfo(int32_t locale);
    // Appends "[Locale]".
    void Report(TStrings& report) const;

    const std::string& FullLocalizeLanguage() const { return fullLocalizeLanguage_; }
    const std::string& FullLanguageEnglishName() const { return fullLanguageEnglishName_; }
    const std::string& AbbreviateLanguageName() const { return abbreviateLanguageName_; }
    const std::string& CountryCode() const { return countryCode_; }
    const std::string& FullCountryCode() const { return fullCountryCode_; }
    const std::string& AbbreviateCountryCode() const { return abbreviateCountryCode_; }
    const std::string& ListSeparator() const { return listSeparator_; }
    TMeasureSystem MeasurementSystem() const { return static_cast<TMeasureSystem>(measurementSystem_); }
    const std::string& DecimalSeparator() const { return decimalSeparator_; }
    const std::string& NumberOfDecimalDigits() const { return numberOfDecimalDigits_; }
    const std::string& LocalMonetarySymbol() const { return localMonetarySymbol_; }
    const std::string& InternationalMonetarySymbol() const { return internationalMonetarySymbol_; }
    const std::string& CurrencyDecimalSeparator() const { return currencyDecimalSeparator_; }
    const std::string& CurrencyThousandSeparator() const { return currencyThousandSeparator_; }
    const std::string& CurrencyDecimalDigits() const { return currencyDecimalDigits_; }
    TPositiveCurrencyMode PositiveCurrencyMode() const {
        return static_cast<TPositiveCurrencyMode>(positiveCurrencyMode_);
    }
    std::string_view NegativeCurrencyMode() const { return kNegativeCurrencyPatterns[negativeCurrencyMode_]; }
    const std::string& DateSeparator() const { return dateSeparator_; }
    const std::string& TimeSeparator() const { return timeSeparator_; }
    const std::string& TimeFormat() const { return timeFormat_; }
    const std::string& ShortDateFormat() const { return shortDateFormat_; }
    TDateOrder ShortDateOrder() const { return static_cast<TDateOrder>(shortDateOrder_); }
    TDateOrder LongDateOrder() const { return static_cast<TDateOrder>(longDateOrder_); }
    TTimeFormat TimeFormatSpecifier() const { return static_cast<TTimeFormat>(timeFormatSpecifier_); }
    TYearFormat YearFormat() const { return static_cast<TYearFormat>(yearFormat_); }

private:
    platform::Platform& platform_;
    std::string fullLocalizeLanguage_;
    std::string fullLanguageEnglishName_;
    std::string abbreviateLanguageName_;
    std::string countryCode_;
    std::string fullCountryCode_;
    std::string abbreviateCountryCode_;
    std::string listSeparator_;
    uint8_t measurementSystem_ = 0;
    std::string decimalSeparator_;
    std::string numberOfDecimalDigits_;
    std::string localMonetarySymbol_;
    std::string internationalMonetarySymbol_;
    std::string currencyDecimalSeparator_;
    std::string currencyThousandSeparator_;
    std::string currencyDecimalDigits_;
    uint8_t positiveCurrencyMode_ = 0;
    uint8_t negativeCurrencyMode_ = 0;
    std::string dateSeparator_;
    std::string timeSeparator_;
    std::string timeFormat_;
    std::string shortDateFormat_;
    uint8_t shortDateOrder_ = 0;
    uint8_t longDateOrder_ = 0;
    uint8_t timeFormatSpecifier_ = 0;
    uint8_t yearFormat_ = 0;
};

// ---------------------------------------------------------------- the probe

enum class TOSPlatform : uint8_t { opWin31, opWin9x, opWinNT };
inline constexpr std::string_view kOSPlatformNames[] = {"opWin31", "opWin9x", "opWinNT"};

// "$" and the language id in four lower-case hexadecimal digits: 0x040c gives "$040c".
std::string LanguageIDText(uint16_t language);

// The profile folder a desktop folder lies in: the path without its last component
// and the backslash before it (a path without a backslash stays whole), at most the
// last 255 characters.
std::string ProfileOfDesktop(std::string_view desktop);

class TOperatingSystem : public TPersistent {
public:
    explicit TOperatingSystem(platform::Platform& platform);

    std::string_view className() const override { return "TOperatingSystem"; }
    void publishProperties(PropertyTable& table) const override;

    // The sub-objects, each under ExceptionMode (a failing one leaves the others to
    // run), then the version record, the registry, the folders, the environment and
    // the language.
    void GetInfo();
    // Appends "[Operating System]", "[NT Specific]", "[Environment]", "[Folders]",
    // "[Time Zone]", "[Internet]" and "[Locale]".
    void Report(TStrings& report) const;

    TExceptionMode ExceptionMode() const { return exceptionMode_; }
    void setExceptionMode(TExceptionMode mode) { exceptionMode_ = mode; }

    int32_t MajorVersion() const { return majorVersion_; }
    int32_t MinorVersion() const { return minorVersion_; }
    int32_t BuildNumber() const { return buildNumber_; }
    TOSPlatform Platform() const { return platformId_; }
    const std::string& Version() const { return version_; }
    const std::string& CSD() const { return csd_; }
    const std::string& ProductID() const { return productID_; }
    const std::string& ProductKey() const { return productKey_; }
    const std::string& RegisteredUser() const { return registeredUser_; }
    const std::string& RegisteredOrg() const { return registeredOrg_; }
    const TTimeZone& TimeZone() const { return timeZone_; }
    const TStrings& Environment() const { return environment_; }
    const TStrings& Folders() const { return folders_; }
    const TNTSpecific& NTSpecific() const { return ntSpecific_; }
    const std::string& DVDRegion() const { return dvdRegion_; }
    const TInternet& Internet() const { return internet_; }
    const TLocaleInfo& LocaleInfo() const { return localeInfo_; }
    const std::string& LanguageID() const { return languageID_; }

    // The overview window's edition: on the NT line the service-pack text before the
    // 6a correction, on the 95/98 line "OSR 2", "Second Edition" or empty.
    std::string EditionText;

private:
    void refreshSubObjects();
    void readVersionRecord();
    void readVersionKey();
    void readEdition();
    void appendRegistryFolders();
    void appendSystemFolders();
    void appendShellFolders();

    platform::Platform& platform_;
    TExceptionMode exceptionMode_ = TExceptionMode::emMessage;
    int32_t majorVersion_ = 0;
    int32_t minorVersion_ = 0;
    int32_t buildNumber_ = 0;
    TOSPlatform platformId_ = TOSPlatform::opWin31;
    std::string version_;
    std::string csd_;
    std::string productID_;
    std::string productKey_;
    std::string registeredUser_;
    std::string registeredOrg_;
    TTimeZone timeZone_;
    TStringList environment_;
    TStringList folders_;
    TNTSpecific ntSpecific_;
    std::string dvdRegion_;
    TInternet internet_;
    TLocaleInfo localeInfo_;
    std::string languageID_;
};

}  // namespace vardak::probes
