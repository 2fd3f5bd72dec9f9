#include "probes/hardware/Vesk_Engines.h"

#include <array>
#include <memory>
#include <optional>

#include "framework/Registry.h"
#include "platform/Bytes.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Ostrel_WnASPI32.h"

namespace vardak::probes {
namespace {

using platform::RootKey;
namespace srb = platform::srb;

// The first place that holds the file: the current folder (as ".\NAME"), then each
// folder in turn; nothing when none does.
std::optional<std::string> searchFile(platform::Platform& platform, std::string_view name,
                                      std::initializer_list<std::string> folders) {
    const std::string inCurrentFolder = ".\\" + std::string(name);
    if (platform.files().fileExists(inCurrentFolder)) {
        return inCurrentFolder;
    }
    for (const std::string& folder : folders) {
        const std::string path = folder + "\\" + std::string(name);
        if (platform.files().fileExists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- DirectX


// "InstalledVersion" as the installer writes it: the major and the minor number, each
// a 32-bit number with its most significant byte first; a 4-byte value holds the major
// number only. Nothing for a value of another size.
std::optional<std::string> installedVersionText(std::span<const uint8_t> value) {
    if (value.size() != 4 && value.size() != 8) {
        return std::nullopt;
    }
    return Format("%d.%d", {bytes::be32(value, 0), bytes::be32(value, 4)});
}

struct DirectXList {
    std::string_view key;
    TStringList TDirectX::*list;
};

// ---------------------------------------------------------------- engines

constexpr std::string_view kBDEKey = "\\SOFTWARE\\Borland\\Database Engine";
constexpr std::string_view kODBCFileListKey = "\\SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Core\\FileList";
constexpr std::string_view kODBCLibrary = "ODBC32.DLL";
constexpr std::string_view kASPILibrary = "wnaspi32.dll";

// Tried in order; the first that gives an object names the engine's version.
constexpr std::string_view kDAOProgramIds[] = {"DAO.DBEngine.36", "DAO.DBEngine.35", "DAO.DBEngine"};
constexpr std::string_view kADOProgramIds[] = {"adodb.connection"};

std::string automationVersion(platform::Automation& automation, std::span<const std::string_view> programIds) {
    for (const std::string_view programId : programIds) {
        if (const std::unique_ptr<platform::AutomationObject> engine = automation.object(std::string(programId))) {
            return engine->propertyText("Version").value_or("");
        }
    }
    return {};
}

// ---------------------------------------------------------------- SCSI

constexpr uint8_t kTargets = 16;
constexpr uint8_t kSenseLength = 14;
constexpr uint8_t kCdbLength = 6;
constexpr uint8_t kInquiryLength = 100;

struct InquiryField {
    size_t offset;
    size_t length;
    TStringList TASPI32::*list;
};

std::string decimal(int64_t value) {
    return Format("%d", {value});
}

}  // namespace

// ---------------------------------------------------------------- TDirectX

void TDirectX::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("Version", version_)
        .object("Direct3D", &direct3D_)
        .object("DirectPlay", &directPlay_)
        .object("DirectMusic", &directMusic_);
}

void TDirectX::GetInfo() {
    static constexpr DirectXList kLists[] = {
        {"\\SOFTWARE\\Microsoft\\Direct3D\\Drivers", &TDirectX::direct3D_},
        {"\\SOFTWARE\\Microsoft\\DirectPlay\\Services", &TDirectX::directPlay_},
        {"\\SOFTWARE\\Microsoft\\DirectMusic\\SoftwareSynths", &TDirectX::directMusic_},
    };
    readVersion();
    for (const DirectXList& entry : kLists) {
        readDescriptions(entry.key, this->*entry.list);
    }
}

void TDirectX::readVersion() {
    version_.clear();
    const auto key = TRegistry::openReadOnly(platform_.registry(), RootKey::LocalMachine, kDirectXKey);
    if (!key) {
        return;
    }
    version_ = key->readText("Version").value_or("");
    if (!version_.empty()) {
        return;
    }
    if (const std::optional<std::vector<uint8_t>> installed = key->readBytes("InstalledVersion")) {
        version_ = installedVersionText(*installed).value_or("");
    }
}

void TDirectX::readDescriptions(std::string_view key, TStrings& list) {
    list.clear();
    const auto parent = TRegistry::openReadOnly(platform_.registry(), RootKey::LocalMachine, key);
    if (!parent) {
        return;
    }
    for (const std::string& name : parent->subkeyNames()) {
        const auto entry =
            TRegistry::openReadOnly(platform_.registry(), RootKey::LocalMachine, std::string(key) + "\\" + name);
        if (entry) {
            if (std::optional<std::string> description = entry->readText("Description")) {
                list.add(*description);
            }
        }
    }
}

void TDirectX::Report(TStrings& report) const {
    addReportSection(report, "DirectX");
    if (version_.empty()) {
        return;
    }
    addReportEntry(report, "Version", version_);
    const std::pair<std::string_view, const TStrings*> lists[] = {
        {"Direct3D", &direct3D_}, {"DirectPlay", &directPlay_}, {"DirectMusic", &directMusic_}};
    for (const auto& [section, list] : lists) {
        addReportSection(report, section);
        AddListToReport(*list, "Count", "Device", report);
    }
}

// ---------------------------------------------------------------- TASPI32

void TASPI32::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("ASPI", aspi_);
}

void TASPI32::GetInfo() {
    clearDevices();
    hostAdapterCount_ = 0;
    const uint32_t support = ASPI32SupportInfo();
    if ((support >> 8 & 0xFF) != srb::kStatusCompleted) {
        return;
    }
    hostAdapterCount_ = static_cast<int>(support & 0xFF);
    for (int adapter = 0; adapter < hostAdapterCount_; ++adapter) {
        scanHostAdapter(static_cast<uint8_t>(adapter));
    }
    findLayerVersion();
}

void TASPI32::clearDevices() {
    for (TStringList* list : {&devAdapter_, &devTarget_, &devVendor_, &devProduct_, &devType_, &devStatus_,
                              &devVendorData_, &devRevision_}) {
        list->clear();
    }
}

void TASPI32::scanHostAdapter(uint8_t adapter) {
    std::array<uint8_t, srb::kHostAdapterInquirySize> inquiry{};
    inquiry[srb::kCommand] = srb::kHostAdapterInquiry;
    inquiry[srb::kAdapter] = adapter;
    if (ASPI32SendCommand(inquiry.data()) != srb::kStatusCompleted) {
        return;
    }
    for (uint8_t target = 0; target < kTargets; ++target) {
        std::array<uint8_t, srb::kGetDeviceTypeSize> device{};
        device[srb::kCommand] = srb::kGetDeviceType;
        device[srb::kAdapter] = adapter;
        device[srb::kDeviceTarget] = target;
        if (ASPI32SendCommand(device.data()) == srb::kStatusCompleted) {
            addDevice(adapter, target, device[srb::kDeviceType]);
            queryDevice(devAdapter_.count() - 1, adapter, target);
        }
    }
}

void TASPI32::addDevice(uint8_t adapter, uint8_t target, uint8_t type) {
    devAdapter_.add(decimal(adapter));
    devTarget_.add(decimal(target));
    devType_.add(decimal(type));
    for (TStringList* list : {&devStatus_, &devVendor_, &devProduct_, &devRevision_, &devVendorData_}) {
        list->add("");
    }
}

// A zeroed execute-SCSI request to one device, with a 6-byte command block.
std::unique_ptr<platform::AspiRequest> TASPI32::newRequest(uint8_t adapter, uint8_t target, size_t dataLength,
                                                           uint8_t flags) {
    std::unique_ptr<platform::AspiRequest> request = platform_.aspi().create(dataLength);
    const std::span<uint8_t> block = request->block();
    block[srb::kCommand] = srb::kExecuteScsiCommand;
    block[srb::kAdapter] = adapter;
    block[srb::kFlags] = flags;
    block[srb::kExecuteTarget] = target;
    bytes::putLittleEndian(block, srb::kDataLength, 4, dataLength);
    block[srb::kSenseLength] = kSenseLength;
    block[srb::kCdbLength] = kCdbLength;
    return request;
}

// TEST UNIT READY, then INQUIRY; a command that does not complete ends the device's
// queries, its status left at "pending".
void TASPI32::queryDevice(int device, uint8_t adapter, uint8_t target) {
    std::unique_ptr<platform::AspiRequest> unitReady = newRequest(adapter, target, 0, srb::kFlagEventNotify);
    unitReady->block()[srb::kCdb] = platform::scsi::kTestUnitReady;
    const std::optional<uint8_t> ready = execute(unitReady);
    devStatus_.setString(device, decimal(ready.value_or(srb::kStatusPending)));
    if (!ready) {
        return;
    }
    std::unique_ptr<platform::AspiRequest> inquiry =
        newRequest(adapter, target, kInquiryLength, srb::kFlagDataIn | srb::kFlagEventNotify);
    inquiry->block()[srb::kCdb] = platform::scsi::kInquiry;
    inquiry->block()[srb::kCdb + platform::scsi::kInquiryAllocationLength] = kInquiryLength;
    const std::optional<uint8_t> status = execute(inquiry);
    devStatus_.setString(device, decimal(status.value_or(srb::kStatusPending)));
    if (status == srb::kStatusCompleted) {
        readInquiry(device, inquiry->data());
    }
}

std::optional<uint8_t> TASPI32::execute(std::unique_ptr<platform::AspiRequest>& request) {
    const uint32_t answer = ASPI32SendCommand(request->block().data());
    if (answer == srb::kStatusPending && !request->waitForCompletion(kCommandWaitMs)) {
        platform_.aspi().abandon(std::move(request));
        return std::nullopt;
    }
    return request->block()[srb::kStatus];
}

void TASPI32::readInquiry(int device, std::span<const uint8_t> data) {
    static constexpr InquiryField kFields[] = {
        {8, 8, &TASPI32::devVendor_},
        {16, 16, &TASPI32::devProduct_},
        {32, 4, &TASPI32::devRevision_},
        {36, 20, &TASPI32::devVendorData_},
    };
    for (const InquiryField& field : kFields) {
        (this->*field.list).setString(device, bytes::textUpToNul(data, field.offset, field.length));
    }
}

void TASPI32::findLayerVersion() {
    const std::optional<std::string> layer =
        searchFile(platform_, kASPILibrary, {GetWinDir(platform_), GetSysDir(platform_)});
    aspi_ = layer ? GetFileVersion(platform_, *layer) : std::string();
}

void TASPI32::Report(TStrings& report) const {
    addReportSection(report, "ASPI32");
    if (aspi_.empty()) {
        return;
    }
    addReportEntry(report, "Version", aspi_);
    AddListToReport(devVendor_, "Count", "Vendor", report);
    const std::pair<std::string_view, const TStrings*> lists[] = {
        {"Product", &devProduct_}, {"Adapter", &devAdapter_}, {"ID", &devTarget_},
        {"Type", &devType_},       {"Status", &devStatus_},
    };
    for (const auto& [prefix, list] : lists) {
        AddListToReport(*list, "", prefix, report);
    }
}

// ---------------------------------------------------------------- TEngines

void TEngines::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.enumeration("ExceptionMode", kExceptionModeTypeName, kExceptionModeNames, exceptionMode_)
        .string("ODBC", odbc_)
        .string("BDE", bde_)
        .string("DAO", dao_)
        .string("ADO", ado_)
        .object("DirectX", &directX_)
        .object("ASPI32", &aspi32_);
}

void TEngines::GetInfo() {
    platform::UiNotifier& ui = platform_.ui();
    CallGetInfo(ui, "TDirectX.GetInfo", exceptionMode_, &TDirectX::GetInfo, directX_);
    CallGetInfo(ui, "TASPI32.GetInfo", exceptionMode_, &TASPI32::GetInfo, aspi32_);
    readBDE();
    readODBC();
    readAutomationVersions();
}

void TEngines::readBDE() {
    bde_.clear();
    const auto key = TRegistry::openReadOnly(platform_.registry(), RootKey::LocalMachine, kBDEKey);
    const std::optional<std::string> folder = key ? key->readText("DLLPATH") : std::nullopt;
    if (folder) {
        bde_ = GetFileVersion(platform_, *folder + "\\IDAPI32.DLL");
    }
}

void TEngines::readODBC() {
    odbc_.clear();
    if (const auto key = TRegistry::openReadOnly(platform_.registry(), RootKey::LocalMachine, kODBCFileListKey)) {
        if (const std::optional<std::string> path = key->readText(kODBCLibrary)) {
            odbc_ = GetFileVersion(platform_, *path);
        }
        return;
    }
    if (const std::optional<std::string> found = searchFile(platform_, kODBCLibrary, {GetSysDir(platform_)})) {
        odbc_ = GetFileVersion(platform_, *found);
    }
}

// The engines' automation objects, with the component object model started on this
// thread for the time they are asked.
void TEngines::readAutomationVersions() {
    platform::Automation& automation = platform_.automation();
    const platform::AutomationSession session(automation);
    dao_ = automationVersion(automation, kDAOProgramIds);
    ado_ = automationVersion(automation, kADOProgramIds);
}

void TEngines::Report(TStrings& report) const {
    const std::pair<std::string_view, const std::string*> engines[] = {
        {"ODBC", &odbc_}, {"BDE", &bde_}, {"DAO", &dao_}, {"ADO", &ado_}};
    for (const auto& [section, version] : engines) {
        addReportSection(report, section);
        if (!version->empty()) {
            addReportEntry(report, "Version", *version);
        }
    }
    directX_.Report(report);
    aspi32_.Report(report);
}

}  // namespace vardak::probes
