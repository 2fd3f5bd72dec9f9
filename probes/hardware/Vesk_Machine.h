// The machine probe: the computer's network name, the logged-on user, the last
// start and the time since, the keyboard lock keys and the computer's description
// from the device list; it owns the SMBIOS reader and the BIOS texts.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Classes.h"
#include "platform/Platform.h"
#include "probes/core/Ostrel_Datetime.h"
#include "probes/core/Vesk_Common.h"
#include "probes/hardware/Vesk_SMBIOS.h"

namespace vardak::probes {

// The BIOS texts: on the 95/98 line read from the BIOS area itself, on the NT line
// from the hardware description in the registry.
class TBIOS : public TPersistent {
public:
    explicit TBIOS(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TBIOS"; }
    void publishProperties(PropertyTable& table) const override;

    void GetInfo();
    // Appends "[BIOS]".
    void Report(TStrings& report) const;

    const std::string& Copyright() const { return copyright_; }
    const std::string& Date() const { return date_; }
    const std::string& ExtendedInfo() const { return extendedInfo_; }
    const std::string& Name() const { return name_; }

private:
    void read9x();
    void readNT();

    platform::Platform& platform_;
    std::string copyright_;
    std::string date_;
    std::string extendedInfo_;
    std::string name_;
};

// Where the 95/98 BIOS keeps its texts, as offsets into segment F000h.
inline constexpr uint32_t kBIOSNameOffset = 0xE061;
inline constexpr uint32_t kBIOSCopyrightOffset = 0xE091;
inline constexpr uint32_t kBIOSExtendedInfoOffset = 0xEC71;
inline constexpr uint32_t kBIOSDateOffset = 0xFFF5;
inline constexpr uint32_t kBIOSDateLength = 8;

// The NUL-terminated text at `offset` of the segment, at most `longest` bytes and
// never past the segment's end.
std::string BIOSAreaText(const std::vector<uint8_t>& segment, uint32_t offset, uint32_t longest);

// The computer description: the friendly name (else the description) of the first
// device of class "Computer" a fresh device probe lists, refreshed under `mode`.
std::string ReadComputerDescription(platform::Platform& platform, TExceptionMode mode);

class TMachine : public TPersistent {
public:
    explicit TMachine(platform::Platform& platform);

    std::string_view className() const override { return "TMachine"; }
    void publishProperties(PropertyTable& table) const override;

    // Mode 1 reads the SMBIOS tables as well.
    void GetInfo(int32_t mode);
    // Appends "[Machine]", "[SMBIOS]" and "[BIOS]".
    void Report(TStrings& report) const;

    TExceptionMode ExceptionMode() const { return exceptionMode_; }
    void setExceptionMode(TExceptionMode mode) { exceptionMode_ = mode; }

    const std::string& Name() const { return name_; }
    const std::string& User() const { return user_; }
    double SystemUpTime() const { return systemUpTime_; }
    TDateTime LastBoot() const { return lastBoot_; }
    bool CapsLock() const { return capsLock_; }
    bool NumLock() const { return numLock_; }
    bool ScrollLock() const { return scrollLock_; }
    const std::string& Computer() const { return computer_; }
    TSMBIOS& SMBIOS() { return smbios_; }
    const TSMBIOS& SMBIOS() const { return smbios_; }
    TBIOS& BIOS() { return bios_; }
    const TBIOS& BIOS() const { return bios_; }

private:
    void readLockKeys();

    platform::Platform& platform_;
    TExceptionMode exceptionMode_ = TExceptionMode::emMessage;
    std::string name_;
    std::string user_;
    double systemUpTime_ = 0;
    TDateTime lastBoot_ = 0;
    bool capsLock_ = false;
    bool numLock_ = false;
    bool scrollLock_ = false;
    std::string computer_;
    TSMBIOS smbios_;
    TBIOS bios_;
};

}  // namespace vardak::probes
