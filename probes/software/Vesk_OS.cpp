#include "probes/software/Vesk_OS.h"

#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "framework/Exception.h"
#include "framework/Registry.h"
#include "framework/SysUtils.h"
#include "platform/Bytes.h"
#include "probes/core/Format.h"

namespace vardak::probes {
namespace {

using platform::RootKey;
namespace folder = platform::special_folder;

std::unique_ptr<TRegistry> openLocalMachine(platform::Platform& platform, std::string_view path) {
    return TRegistry::openReadOnly(platform.registry(), RootKey::LocalMachine, path);
}

void assignIfPresent(std::string& field, std::optional<std::string> value) {
    if (value) {
        field = std::move(*value);
    }
}

// ---------------------------------------------------------------- time zone

// The zone names of the current zone are 32 UTF-16 units with their NUL.
constexpr size_t kLongestZoneName = 31;

// A zone's "TZI" value: Bias, StandardBias and DaylightBias, then the standard and
// the daylight transition records.
struct RegistryTimeZoneRule {
    int32_t bias = 0;
    int32_t standardBias = 0;
    int32_t daylightBias = 0;
    platform::SystemTime standardDate;
    platform::SystemTime daylightDate;
};
constexpr size_t kTZISize = 44;

platform::SystemTime systemTimeAt(std::span<const uint8_t> bytes, size_t offset) {
    auto field = [&](size_t index) { return bytes::le16(bytes, offset + 2 * index); };
    return {field(0), field(1), field(2), field(3), field(4), field(5), field(6), field(7)};
}

// The rule of a "TZI" value of exactly 44 bytes; nothing for any other size.
std::optional<RegistryTimeZoneRule> ruleOfTZI(std::span<const uint8_t> bytes) {
    if (bytes.size() != kTZISize) {
        return std::nullopt;
    }
    RegistryTimeZoneRule rule;
    rule.bias = static_cast<int32_t>(bytes::le32(bytes, 0));
    rule.standardBias = static_cast<int32_t>(bytes::le32(bytes, 4));
    rule.daylightBias = static_cast<int32_t>(bytes::le32(bytes, 8));
    rule.standardDate = systemTimeAt(bytes, 12);
    rule.daylightDate = systemTimeAt(bytes, 28);
    return rule;
}

bool sameRule(const RegistryTimeZoneRule& rule, const platform::TimeZoneInformation& zone) {
    return rule.bias == zone.bias && rule.standardBias == zone.standardBias && rule.daylightBias == zone.daylightBias &&
           rule.standardDate == zone.standardDate && rule.daylightDate == zone.daylightDate;
}

// Whether the registry zone of `key` has the current zone's rule and both its names.
bool describesZone(const TRegistry& key, const platform::TimeZoneInformation& zone) {
    const std::optional<std::vector<uint8_t>> tzi = key.readBytes("TZI");
    const std::optional<RegistryTimeZoneRule> rule = tzi ? ruleOfTZI(*tzi) : std::nullopt;
    return rule && sameRule(*rule, zone) &&
           key.readText("Std", kLongestZoneName).value_or("") == zone.standardName &&
           key.readText("Dlt", kLongestZoneName).value_or("") == zone.daylightName;
}

// ---------------------------------------------------------------- NT specifics

struct ProductTypeByte {
    uint8_t productType;
    TNtProductType type;
};
constexpr ProductTypeByte kProductTypeBytes[] = {
    {platform::product_type::kWorkstation, TNtProductType::ptWorkStation},
    {platform::product_type::kDomainController, TNtProductType::ptAdvancedServer},
    {platform::product_type::kServer, TNtProductType::ptServer},
};

struct ProductTypeText {
    std::string_view text;
    TNtProductType type;
};
constexpr ProductTypeText kProductTypeTexts[] = {
    {"WinNT", TNtProductType::ptWorkStation},
    {"ServerNT", TNtProductType::ptServer},
    {"LanmanNT", TNtProductType::ptAdvancedServer},
};

constexpr std::string_view kProductTypeReportTexts[] = {"Unknown", "Workstation", "Server", "Advanced Server"};

struct SuiteLine {
    std::string_view key;
    TNTSuite suite;
};
constexpr SuiteLine kSuiteLines[] = {
    {"Microsoft Small Business Server", TNTSuite::suSmallBusiness},
    {"Windows 2000 Advanced Server", TNTSuite::suEnterprise},
    {"Microsoft BackOffice Components", TNTSuite::suBackOffice},
    {"Communications", TNTSuite::suCommunications},
    {"Terminal Services", TNTSuite::suTerminal},
    {"Microsoft Small Business Server with the restrictive client license in force",
     TNTSuite::suSmallBusinessRestricted},
    // A line without a suite of its own: it repeats the terminal-services member, so
    // the two lines of that name never disagree.
    {"Terminal Services", TNTSuite::suTerminal},
    {"Embedded NT", TNTSuite::suEmbeddedNT},
    {"Windows 2000 Datacenter Server", TNTSuite::suDataCenter},
};

// ---------------------------------------------------------------- internet

// ---------------------------------------------------------------- locale

constexpr std::string_view kMeasureSystemNames[] = {"Metric", "US"};
constexpr std::string_view kPositiveCurrencyModeNames[] = {"Prefix_No_Separation", "Suffix_No_Separation",
                                                           "Prefix_One_Char_Separation",
                                                           "Suffix_One_Char_Separation"};
constexpr std::string_view kDateOrderNames[] = {"MDY", "DMY", "YMD"};
constexpr std::string_view kTimeFormatNames[] = {"H12", "H24"};
constexpr std::string_view kYearFormatNames[] = {"TwoDigit", "FourDigit"};

constexpr std::string_view kMeasureSystemReportTexts[] = {"Metric", "U.S."};
constexpr std::string_view kDateOrderReportTexts[] = {"M-D-Y", "D-M-Y", "Y-M-D"};
constexpr std::string_view kTimeFormatReportTexts[] = {"12H", "24H"};
constexpr std::string_view kYearFormatReportTexts[] = {"Two Digit", "Four Digit"};

// One locale item and the field it fills: a text as returned, or, for a numeric
// item, the ordinal its first digit gives among `members` values.
struct LocaleItemRow {
    uint32_t item;
    std::string TLocaleInfo::*text;
    uint8_t TLocaleInfo::*ordinal;
    uint8_t members;
    std::string_view typeName;
};

template <size_t Count>
constexpr uint8_t members(const std::string_view (&)[Count]) {
    return static_cast<uint8_t>(Count);
}

uint8_t leadingDigit(const std::string& text, const LocaleItemRow& row) {
    const std::string first = text.substr(0, 1);
    if (first.empty() || first[0] < '0' || first[0] > '9') {
        throw EConvertError(Format("'%s' is not a valid integer value", {first}));
    }
    const uint8_t digit = static_cast<uint8_t>(first[0] - '0');
    if (digit >= row.members) {
        throw EConvertError(Format("'%s' is not a valid %s value", {first, row.typeName}));
    }
    return digit;
}

// ---------------------------------------------------------------- the probe

struct RegistryFolder {
    std::string_view name;
    std::string_view value;
};
constexpr RegistryFolder kRegistryFolders[] = {
    {"CommonFiles", "CommonFilesDir"}, {"ProgramFiles", "ProgramFilesDir"}, {"Device", "DevicePath"},
    {"OtherDevice", "OtherDevicePath"}, {"Media", "MediaPath"},           {"Config", "ConfigPath"},
    {"Wallpaper", "WallPaperDir"},
};

struct ShellFolder {
    std::string_view name;
    int32_t folder;
};
constexpr ShellFolder kShellFolders[] = {
    {"AppData", folder::kAppData},
    {"CommonDesktopDir", folder::kCommonDesktopDirectory},
    {"CommonAltStartUp", folder::kCommonAltStartup},
    {"RecycleBin", folder::kBitBucket},
    {"CommonPrograms", folder::kCommonPrograms},
    {"CommonStartMenu", folder::kCommonStartMenu},
    {"CommonStartup", folder::kCommonStartup},
    {"CommonFavorites", folder::kCommonFavorites},
    {"Cookies", folder::kCookies},
    {"Controls", folder::kControls},
    {"Desktop", folder::kDesktop},
    {"DesktopDir", folder::kDesktopDirectory},
    {"Favorites", folder::kFavorites},
    {"Drives", folder::kDrives},
    {"Fonts", folder::kFonts},
    {"History", folder::kHistory},
    {"Internet", folder::kInternet},
    {"InternetCache", folder::kInternetCache},
    {"NetWork", folder::kNetwork},
    {"NetHood", folder::kNetHood},
    {"MyDocuments", folder::kPersonal},
    {"PrintHood", folder::kPrintHood},
    {"Printers", folder::kPrinters},
    {"Programs", folder::kPrograms},
    {"Recent", folder::kRecent},
    {"SendTo", folder::kSendTo},
    {"StartMenu", folder::kStartMenu},
    {"StartUp", folder::kStartup},
    {"Templates", folder::kTemplates},
};

struct Edition {
    TOSKind kind;
    std::string_view text;
};
constexpr Edition k9xEditions[] = {{TOSKind::osWin95OSR2, "OSR 2"}, {TOSKind::osWin98SE, "Second Edition"}};

constexpr std::string_view kPlatformReportTexts[] = {"Windows 3.1x", "Windows 9x", "Windows NT"};

constexpr size_t kLongestProfile = 255;

void addFolder(TStrings& folders, std::string_view name, std::string_view path) {
    folders.add(std::string(name) + "=" + std::string(path));
}

// A section of lines as they stand.
void addSection(TStrings& report, std::string_view name, const TStrings& lines) {
    addReportSection(report, name);
    for (int index = 0; index < lines.count(); ++index) {
        report.add(joinLineBreaks(lines[index]));
    }
}

}  // namespace

// ---------------------------------------------------------------- TTimeZone

void TTimeZone::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("DisplayName", displayName_)
        .string("StandardName", standardName_)
        .string("DaylightName", daylightName_)
        .floating("DaylightStart", daylightStart_, "TDateTime")
        .floating("StandardStart", standardStart_, "TDateTime")
        .integer("Bias", bias_)
        .integer("DaylightBias", daylightBias_)
        .integer("StandardBias", standardBias_);
}

void TTimeZone::GetInfo() {
    const std::optional<platform::TimeZoneInformation> zone = platform_.locale().timeZoneInformation();
    if (!zone) {
        throw Exception("The system gives no time zone");
    }
    nameAfterRegistryZone(*zone);
    bias_ = zone->bias;
    standardName_ = zone->standardName;
    daylightName_ = zone->daylightName;
    readTransitions(*zone);
}

void TTimeZone::nameAfterRegistryZone(const platform::TimeZoneInformation& zone) {
    const std::string zones =
        std::string(CurrentVersionKeyOf(IsNTLine(platform_))) + "\\" + std::string(kTimeZonesSubkey);
    const std::unique_ptr<TRegistry> list = openLocalMachine(platform_, zones);
    if (!list) {
        return;
    }
    for (const std::string& name : list->subkeyNames()) {
        const std::unique_ptr<TRegistry> key = openLocalMachine(platform_, zones + "\\" + name);
        if (key && describesZone(*key, zone)) {
            displayName_ = key->readText("Display").value_or("");
            mapID_ = key->readText("MapID").value_or("");
            return;
        }
    }
}

// This year's transitions where the zone has both. A zone without them has no
// transition dates, and its standard offset holds the whole year.
void TTimeZone::readTransitions(const platform::TimeZoneInformation& zone) {
    const bool transitions = zone.daylightDate.month != 0 && zone.standardDate.month != 0;
    TDateTime daylightStart = 0;
    TDateTime standardStart = 0;
    if (transitions) {
        const int year = platform_.system().localTime().year;
        daylightStart = TransitionToDateTime(zone.daylightDate, year);
        standardStart = TransitionToDateTime(zone.standardDate, year);
    }
    daylightStart_ = daylightStart;
    standardStart_ = standardStart;
    standardBias_ = zone.bias + zone.standardBias;
    daylightBias_ = zone.bias + (transitions ? zone.daylightBias : zone.standardBias);
}

void TTimeZone::Report(TStrings& report) const {
    addReportSection(report, "Time Zone");
    addReportEntry(report, "TimeZone", displayName_);
    addReportEntry(report, "StdName", DateTimeText(platform_.system(), standardStart_));
    addReportEntry(report, "StdBias", standardBias_);
    addReportEntry(report, "DlghtName", DateTimeText(platform_.system(), daylightStart_));
    addReportEntry(report, "DlghtBias", daylightBias_);
}

// ---------------------------------------------------------------- TNTSpecific

void TNTSpecific::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.enumeration("ProductType", "TNtProductType", kNtProductTypeNames, productType_)
        .set("InstalledSuites", "TNTSuites", kNTSuiteNames, installedSuites_.bits)
        .integer("ServicePackMajorVersion", servicePackMajorVersion_, "Word")
        .integer("ServicePackMinorVersion", servicePackMinorVersion_, "Word");
}

void TNTSpecific::GetInfo() {
    const platform::OSVersionInfo basic = platform_.system().versionInfo();
    if (basic.platform == platform::PlatformId::NT && basic.major == 5) {
        readExtendedRecord();
    }
    if (productType_ == TNtProductType::ptUnknown) {
        readProductOptions();
    }
}

void TNTSpecific::readExtendedRecord() {
    const std::optional<platform::OSVersionInfoEx> record = platform_.system().versionInfoEx();
    if (!record) {
        return;
    }
    for (const ProductTypeByte& known : kProductTypeBytes) {
        if (known.productType == record->productType) {
            productType_ = known.type;
        }
    }
    installedSuites_ = TNTSuites{};
    for (unsigned suite = 0; suite < std::size(kNTSuiteNames); ++suite) {
        if (IsBitOn(record->suiteMask, static_cast<int>(suite))) {
            installedSuites_.include(static_cast<TNTSuite>(suite));
        }
    }
    servicePackMajorVersion_ = record->servicePackMajor;
    servicePackMinorVersion_ = record->servicePackMinor;
}

void TNTSpecific::readProductOptions() {
    const std::unique_ptr<TRegistry> key = openLocalMachine(platform_, kProductOptionsKey);
    const std::string text = key ? key->readText("ProductType").value_or("") : std::string();
    for (const ProductTypeText& known : kProductTypeTexts) {
        if (known.text == text) {
            productType_ = known.type;
        }
    }
}

void TNTSpecific::SuiteLines(TStrings& lines) const {
    for (const SuiteLine& line : kSuiteLines) {
        addReportEntry(lines, line.key, installedSuites_.contains(line.suite));
    }
}

void TNTSpecific::Report(TStrings& report) const {
    addReportSection(report, "NT Specific");
    addReportEntry(report, "ProductType", kProductTypeReportTexts[static_cast<size_t>(productType_)]);
    SuiteLines(report);
    addReportEntry(report, "ServicePackMajorVersion", static_cast<int32_t>(servicePackMajorVersion_));
    addReportEntry(report, "ServicePackMinorVersion", static_cast<int32_t>(servicePackMinorVersion_));
}

// ---------------------------------------------------------------- TInternet

void TInternet::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("DefaultBrowser", defaultBrowser_)
        .string("DefaultMailClient", defaultMailClient_)
        .enumeration("ConnectionType", "TConnectionType", kConnectionTypeNames, connectionType_)
        .string("ProxyServer", proxyServer_);
}

void TInternet::GetInfo() {
    defaultBrowser_ = GetDefaultBrowser(platform_);
    defaultMailClient_ = GetDefaultMailClient(platform_);
    connectionType_ = GetConnectionType(platform_);
    proxyServer_ = GetProxyServer(platform_);
}

void TInternet::Report(TStrings& report) const {
    addReportSection(report, "Internet");
    addReportEntry(report, "DefaultBrowser", defaultBrowser_);
    addReportEntry(report, "DefaultmailClient", defaultMailClient_);
    addReportEntry(report, "Connection", kConnectionTypeTexts[static_cast<size_t>(connectionType_)]);
    addReportEntry(report, "ProxyServer", proxyServer_);
}

// ---------------------------------------------------------------- TLocaleInfo

void TLocaleInfo::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("FullLocalizeLanguage", fullLocalizeLanguage_)
        .string("FullLanguageEnglishName", fullLanguageEnglishName_)
        .string("AbbreviateLanguageName", abbreviateLanguageName_)
        .string("CountryCode", countryCode_)
        .string("FullCountryCode", fullCountryCode_)
        .string("AbbreviateCountryCode", abbreviateCountryCode_)
        .string("ListSeparator", listSeparator_)
        .enumeration("MeasurementSystem", "TMeasureSystem", kMeasureSystemNames, measurementSystem_)
        .string("DecimalSeparator", decimalSeparator_)
        .string("NumberOfDecimalDigits", numberOfDecimalDigits_)
        .string("LocalMonetarySymbol", localMonetarySymbol_)
        .string("InternationalMonetarySymbol", internationalMonetarySymbol_)
        .string("CurrencyDecimalSeparator", currencyDecimalSeparator_)
        .string("CurrencyThousandSeparator", currencyThousandSeparator_)
        .string("CurrencyDecimalDigits", currencyDecimalDigits_)
        .enumeration("PositiveCurrencyMode", "TPositiveCurrencyMode", kPositiveCurrencyModeNames,
                     positiveCurrencyMode_)
        .string("NegativeCurrencyMode", NegativeCurrencyMode())
        .string("DateSeparator", dateSeparator_)
        .string("TimeSeparator", timeSeparator_)
        .string("TimeFormat", timeFormat_)
        .string("ShortDateFormat", shortDateFormat_)
        .enumeration("ShortDateOrder", "TDateOrder", kDateOrderNames, shortDateOrder_)
        .enumeration("LongDateOrder", "TDateOrder", kDateOrderNames, longDateOrder_)
        .enumeration("TimeFormatSpecifier", "TTimeFormat", kTimeFormatNames, timeFormatSpecifier_)
        .enumeration("YearFormat", "TYearFormat", kYearFormatNames, yearFormat_);
}

void TLocaleInfo::GetInfo(int32_t locale) {
    namespace item = platform::locale_item;
    using T = TLocaleInfo;
    static constexpr LocaleItemRow kItems[] = {
        {item::kLanguage, &T::fullLocalizeLanguage_, nullptr, 0, ""},
        {item::kEnglishLanguage, &T::fullLanguageEnglishName_, nullptr, 0, ""},
        {item::kAbbreviatedLanguageName, &T::abbreviateLanguageName_, nullptr, 0, ""},
        {item::kCountryCode, &T::countryCode_, nullptr, 0, ""},
        {item::kCountryName, &T::fullCountryCode_, nullptr, 0, ""},
        {item::kAbbreviatedCountryName, &T::abbreviateCountryCode_, nullptr, 0, ""},
        {item::kListSeparator, &T::listSeparator_, nullptr, 0, ""},
        {item::kMeasurementSystem, nullptr, &T::measurementSystem_, members(kMeasureSystemNames), "TMeasureSystem"},
        {item::kDecimalSeparator, &T::decimalSeparator_, nullptr, 0, ""},
        {item::kDecimalDigits, &T::numberOfDecimalDigits_, nullptr, 0, ""},
        {item::kCurrencySymbol, &T::localMonetarySymbol_, nullptr, 0, ""},
        {item::kInternationalCurrencySymbol, &T::internationalMonetarySymbol_, nullptr, 0, ""},
        {item::kCurrencyDecimalSeparator, &T::currencyDecimalSeparator_, nullptr, 0, ""},
        {item::kCurrencyThousandSeparator, &T::currencyThousandSeparator_, nullptr, 0, ""},
        {item::kCurrencyDigits, &T::currencyDecimalDigits_, nullptr, 0, ""},
        {item::kPositiveCurrencyMode, nullptr, &T::positiveCurrencyMode_, members(kPositiveCurrencyModeNames),
         "TPositiveCurrencyMode"},
        {item::kNegativeCurrencyMode, nullptr, &T::negativeCurrencyMode_, members(kNegativeCurrencyPatterns),
         "NegativeCurrencyMode"},
        {item::kDateSeparator, &T::dateSeparator_, nullptr, 0, ""},
        {item::kTimeSeparator, &T::timeSeparator_, nullptr, 0, ""},
        {item::kTimeFormat, &T::timeFormat_, nullptr, 0, ""},
        {item::kShortDateFormat, &T::shortDateFormat_, nullptr, 0, ""},
        {item::kShortDateOrder, nullptr, &T::shortDateOrder_, members(kDateOrderNames), "TDateOrder"},
        {item::kLongDateOrder, nullptr, &T::longDateOrder_, members(kDateOrderNames), "TDateOrder"},
        {item::kTimeFormatSpecifier, nullptr, &T::timeFormatSpecifier_, members(kTimeFormatNames), "TTimeFormat"},
        {item::kCentury, nullptr, &T::yearFormat_, members(kYearFormatNames), "TYearFormat"},
    };
    for (const LocaleItemRow& row : kItems) {
        // A failing query gives an empty text rather than the previous item's.
        std::string text = platform_.locale().localeInfo(static_cast<uint32_t>(locale), row.item).value_or("");
        if (row.text != nullptr) {
            this->*row.text = std::move(text);
        } else {
            this->*row.ordinal = leadingDigit(text, row);
        }
    }
}

void TLocaleInfo::Report(TStrings& report) const {
    addReportSection(report, "Locale");
    addReportEntry(report, "AbbreviateCountryCode", abbreviateCountryCode_);
    addReportEntry(report, "AbbreviateLanguageCode", abbreviateLanguageName_);
    addReportEntry(report, "CountryCode", countryCode_);
    addReportEntry(report, "CurrencyDecimalDigits", currencyDecimalDigits_);
    addReportEntry(report, "FullCountryCode", fullCountryCode_);
    addReportEntry(report, "FullEnglishLanguageName", fullLanguageEnglishName_);
    addReportEntry(report, "FullLocalizeLanguageName", fullLocalizeLanguage_);
    addReportEntry(report, "IntlMonetarySymbol", internationalMonetarySymbol_);
    addReportEntry(report, "LocalMonetarySymbol", localMonetarySymbol_);
    addReportEntry(report, "PositiveCurrencyMode", kPositiveCurrencyModeNames[positiveCurrencyMode_]);
    addReportEntry(report, "NegativeCurrencyMode", NegativeCurrencyMode());
    addReportEntry(report, "CurrencyDecimalSeparator", currencyDecimalSeparator_);
    addReportEntry(report, "CurrencyThousandSeparator", currencyThousandSeparator_);
    addReportEntry(report, "DecimalSeparator", decimalSeparator_);
    addReportEntry(report, "NumberOfDecimalDigits", numberOfDecimalDigits_);
    addReportEntry(report, "ListSeparator", listSeparator_);
    addReportEntry(report, "DateSeparator", dateSeparator_);
    addReportEntry(report, "LongDateOrder", kDateOrderReportTexts[longDateOrder_]);
    addReportEntry(report, "ShortDateOrder", kDateOrderReportTexts[shortDateOrder_]);
    addReportEntry(report, "ShortDateFormat", shortDateFormat_);
    addReportEntry(report, "TimeFormat", timeFormat_);
    addReportEntry(report, "TimeFormatSpecifier", kTimeFormatReportTexts[timeFormatSpecifier_]);
    addReportEntry(report, "YearFormat", kYearFormatReportTexts[yearFormat_]);
    addReportEntry(report, "MeasurementSystem", kMeasureSystemReportTexts[measurementSystem_]);
}

// ---------------------------------------------------------------- TOperatingSystem

std::string LanguageIDText(uint16_t language) {
    return ansiLowerCase(Format("$%.4x", {language}));
}

std::string ProfileOfDesktop(std::string_view desktop) {
    const size_t lastSeparator = desktop.rfind('\\');
    std::string profile(lastSeparator == std::string_view::npos ? desktop : desktop.substr(0, lastSeparator));
    if (profile.size() > kLongestProfile) {
        profile.erase(0, profile.size() - kLongestProfile);
    }
    return profile;
}

TOperatingSystem::TOperatingSystem(platform::Platform& platform)
    : platform_(platform), timeZone_(platform), ntSpecific_(platform), internet_(platform), localeInfo_(platform) {}

void TOperatingSystem::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.enumeration("ExceptionMode", kExceptionModeTypeName, kExceptionModeNames, exceptionMode_)
        .integer("MajorVersion", majorVersion_)
        .integer("MinorVersion", minorVersion_)
        .integer("BuildNumber", buildNumber_)
        .enumeration("Platform", "TOSPlatform", kOSPlatformNames, platformId_)
        .string("Version", version_)
        .string("CSD", csd_)
        .string("ProductID", productID_)
        .string("ProductKey", productKey_)
        .string("RegisteredUser", registeredUser_)
        .string("RegisteredOrg", registeredOrg_)
        .object("TimeZone", &timeZone_)
        .object("Environment", &environment_)
        .object("Folders", &folders_)
        .object("NTSpecific", &ntSpecific_)
        .string("DVDRegion", dvdRegion_)
        .object("Internet", &internet_)
        .object("LocaleInfo", &localeInfo_)
        .string("LanguageID", languageID_);
}

void TOperatingSystem::GetInfo() {
    folders_.clear();
    refreshSubObjects();
    readVersionRecord();
    version_.clear();
    registeredUser_.clear();
    registeredOrg_.clear();
    productID_.clear();
    readVersionKey();
    appendRegistryFolders();
    appendSystemFolders();
    appendShellFolders();
    GetEnvironment(platform_, environment_);
    languageID_ = LanguageIDText(platform_.locale().systemDefaultLanguage());
}

void TOperatingSystem::refreshSubObjects() {
    platform::UiNotifier& ui = platform_.ui();
    CallGetInfo(ui, "TTimeZone.GetInfo", exceptionMode_, &TTimeZone::GetInfo, timeZone_);
    CallGetInfo(ui, "TNTSpecific.GetInfo", exceptionMode_, &TNTSpecific::GetInfo, ntSpecific_);
    CallGetInfo(ui, "TInternet.GetInfo", exceptionMode_, &TInternet::GetInfo, internet_);
    CallGetInfo(ui, static_cast<int32_t>(platform::kLocaleSystemDefault), "TLocaleInfo.GetInfo", exceptionMode_,
                &TLocaleInfo::GetInfo, localeInfo_);
}

void TOperatingSystem::readVersionRecord() {
    const platform::OSVersionInfo record = platform_.system().versionInfo();
    majorVersion_ = static_cast<int32_t>(record.major);
    minorVersion_ = static_cast<int32_t>(record.minor);
    buildNumber_ = static_cast<int32_t>(record.build & 0xFFFF);
    const auto platformId = static_cast<uint32_t>(record.platform);
    if (platformId < std::size(kOSPlatformNames)) {
        platformId_ = static_cast<TOSPlatform>(platformId);
    }
    csd_ = CSDVersionText(record);
}

void TOperatingSystem::readVersionKey() {
    const std::unique_ptr<TRegistry> key = OpenCurrentVersionKey(platform_);
    if (!key) {
        return;
    }
    assignIfPresent(version_, key->readText(IsNTLine(platform_) ? "CurrentType" : "Version"));
    TWindowsRegistration registration = ReadWindowsRegistration(*key);
    assignIfPresent(registeredOrg_, std::move(registration.RegisteredOrganization));
    assignIfPresent(registeredUser_, std::move(registration.RegisteredOwner));
    assignIfPresent(productID_, std::move(registration.ProductID));
    assignIfPresent(productKey_, key->readText("ProductKey"));
    assignIfPresent(dvdRegion_, key->readText("DVD_Region"));
    readEdition();
}

void TOperatingSystem::readEdition() {
    EditionText.clear();
    if (IsNTLine(platform_)) {
        EditionText = csd_;
        if (csd_ == "Service Pack 6" && HotfixQ246009Installed(platform_.registry())) {
            csd_ = "Service Pack 6a";
        }
        return;
    }
    const TOSKind kind = RunningOSKind(platform_);
    for (const Edition& edition : k9xEditions) {
        if (edition.kind == kind) {
            EditionText = edition.text;
        }
    }
}

// The installation's folders, which both lines keep in the Windows version key
// (the NT line's own version key has none of them).
void TOperatingSystem::appendRegistryFolders() {
    const std::unique_ptr<TRegistry> key = openLocalMachine(platform_, kWindowsCurrentVersionKey);
    if (!key) {
        return;
    }
    for (const RegistryFolder& entry : kRegistryFolders) {
        addFolder(folders_, entry.name, key->readText(entry.value).value_or(""));
    }
}

void TOperatingSystem::appendSystemFolders() {
    platform::System& system = platform_.system();
    addFolder(folders_, "Windows", system.windowsDirectory());
    addFolder(folders_, "System", system.systemDirectory());
    addFolder(folders_, "Temp", system.tempDirectory());
}

// Every folder gets its line; one the shell cannot give has an empty path. The
// profile follows from the desktop's path.
void TOperatingSystem::appendShellFolders() {
    std::string desktop;
    for (const ShellFolder& entry : kShellFolders) {
        const std::string path = GetSpecialFolder(platform_, nullptr, entry.folder);
        if (entry.folder == folder::kDesktop) {
            desktop = path;
        }
        addFolder(folders_, entry.name, path);
    }
    addFolder(folders_, "Profile", ProfileOfDesktop(desktop));
}

void TOperatingSystem::Report(TStrings& report) const {
    addReportSection(report, "Operating System");
    addReportEntry(report, "Platform", kPlatformReportTexts[static_cast<size_t>(platformId_)]);
    addReportEntry(report, "VersionName", version_);
    addReportEntry(report, "Version", Format("%d.%d", {majorVersion_, minorVersion_}));
    addReportEntry(report, "BuildNumber", buildNumber_);
    addReportEntry(report, "CSD", csd_);
    addReportEntry(report, "ProductID", productID_);
    addReportEntry(report, "ProductKey", productKey_);
    addReportEntry(report, "RegUser", registeredUser_);
    addReportEntry(report, "RegOrganization", registeredOrg_);
    addReportEntry(report, "DVDRegion", dvdRegion_);
    ntSpecific_.Report(report);
    addSection(report, "Environment", environment_);
    addSection(report, "Folders", folders_);
    timeZone_.Report(report);
    internet_.Report(report);
    localeInfo_.Report(report);
}

}  // namespace vardak::probes
