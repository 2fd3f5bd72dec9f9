// The engines probe: the versions of the installed data-access engines (ODBC, BDE,
// DAO, ADO), and two sub-objects: the DirectX version with its registered Direct3D
// drivers, DirectPlay service providers and DirectMusic synthesizers, and the ASPI
// layer's version with the SCSI devices it reaches.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {

// Where DirectX keeps its version, below the local-machine root.
inline constexpr std::string_view kDirectXKey = "\\SOFTWARE\\Microsoft\\DirectX";

class TDirectX : public TPersistent {
public:
    explicit TDirectX(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TDirectX"; }
    void publishProperties(PropertyTable& table) const override;

    // The version ("Version", else "InstalledVersion") and the three lists.
    void GetInfo();
    // Appends "[DirectX]" and, for a known version, "[Direct3D]", "[DirectPlay]" and
    // "[DirectMusic]".
    void Report(TStrings& report) const;

    const std::string& Version() const { return version_; }
    const TStrings& Direct3D() const { return direct3D_; }
    const TStrings& DirectPlay() const { return directPlay_; }
    const TStrings& DirectMusic() const { return directMusic_; }

private:
    void readVersion();
    void readDescriptions(std::string_view key, TStrings& list);

    platform::Platform& platform_;
    std::string version_;
    TStringList direct3D_;
    TStringList directPlay_;
    TStringList directMusic_;
};

class TASPI32 : public TPersistent {
public:
    // How long the scan waits for a SCSI command the layer finishes later. A command
    // still running then leaves its request to the layer for the rest of the program;
    // the device's status is 0, the layer's "pending": the command did not complete.
    static constexpr uint32_t kCommandWaitMs = 5000;

    explicit TASPI32(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TASPI32"; }
    void publishProperties(PropertyTable& table) const override;

    // Asks the layer bound at start (Ostrel_WnASPI32) for its host adapters and their
    // devices, and for a layer that answers, the version of "wnaspi32.dll".
    void GetInfo();
    // Appends "[ASPI32]" and, for a known layer, its version and the devices.
    void Report(TStrings& report) const;

    const std::string& ASPI() const { return aspi_; }
    int HostAdapterCount() const { return hostAdapterCount_; }
    const TStrings& DevAdapter() const { return devAdapter_; }
    const TStrings& DevTarget() const { return devTarget_; }
    const TStrings& DevVendor() const { return devVendor_; }
    const TStrings& DevProduct() const { return devProduct_; }
    const TStrings& DevType() const { return devType_; }
    const TStrings& DevStatus() const { return devStatus_; }
    const TStrings& DevVendorData() const { return devVendorData_; }
    const TStrings& DevRevision() const { return devRevision_; }

private:
    void clearDevices();
    void scanHostAdapter(uint8_t adapter);
    void addDevice(uint8_t adapter, uint8_t target, uint8_t type);
    void queryDevice(int device, uint8_t adapter, uint8_t target);
    std::unique_ptr<platform::AspiRequest> newRequest(uint8_t adapter, uint8_t target, size_t dataLength,
                                                      uint8_t flags);
    // Sends one execute-SCSI request and waits for it: its status, or nothing when it
    // did not complete in time (the request then goes back to the platform).
    std::optional<uint8_t> execute(std::unique_ptr<platform::AspiRequest>& request);
    void readInquiry(int device, std::span<const uint8_t> data);
    void findLayerVersion();

    platform::Platform& platform_;
    std::string aspi_;
    int hostAdapterCount_ = 0;
    TStringList devAdapter_;
    TStringList devTarget_;
    TStringList devVendor_;
    TStringList devProduct_;
    TStringList devType_;
    TStringList devStatus_;
    TStringList devVendorData_;
    TStringList devRevision_;
};

class TEngines : public TPersistent {
public:
    explicit TEngines(platform::Platform& platform)
        : platform_(platform), directX_(platform), aspi32_(platform) {}

    std::string_view className() const override { return "TEngines"; }
    void publishProperties(PropertyTable& table) const override;

    // The two sub-objects under ExceptionMode, then BDE, ODBC, DAO and ADO.
    void GetInfo();
    // Appends "[ODBC]", "[BDE]", "[DAO]", "[ADO]", the DirectX sections and "[ASPI32]".
    void Report(TStrings& report) const;

    TExceptionMode ExceptionMode() const { return exceptionMode_; }
    void setExceptionMode(TExceptionMode mode) { exceptionMode_ = mode; }

    const std::string& ODBC() const { return odbc_; }
    const std::string& BDE() const { return bde_; }
    const std::string& DAO() const { return dao_; }
    const std::string& ADO() const { return ado_; }
    const TDirectX& DirectX() const { return directX_; }
    const TASPI32& ASPI32() const { return aspi32_; }

private:
    void readBDE();
    void readODBC();
    void readAutomationVersions();

    platform::Platform& platform_;
    TExceptionMode exceptionMode_ = TExceptionMode::emRaise;
    std::string odbc_;
    std::string bde_;
    std::string dao_;
    std::string ado_;
    TDirectX directX_;
    TASPI32 aspi32_;
};

}  // namespace vardak::probes
