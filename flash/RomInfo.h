// What identification found out about the flash ROM, and the program-wide
// decisions taken on it.  One record lives inside the ROM device for the
// whole run of the program.
#pragma once

#include <array>
#include <cstdint>

#include "platform/KordexDevicePort.h"

namespace varlin {

// Values of `platformMode`; only the NT family goes through the driver.
inline constexpr uint32_t kPlatformNt = 0x2000;
inline constexpr uint32_t kPlatformWin32s = 0x31;
inline constexpr uint32_t kPlatformWin9x = 0x98;

inline constexpr uint16_t kUnknownChipId = 0xA5FF;
inline constexpr uint16_t kDefaultSmiPort = 0x0080;
inline constexpr uint32_t kRomUnitSize = 0x10000;  // the ROM size is counted in 64 KiB units

struct RomInfo {
    uint32_t platformMode = 0;
    DeviceHandle deviceHandle = kNoDevice;
    uint16_t smiPort = kDefaultSmiPort;
    uint8_t smiLevel = 0;
    uint16_t chipId = kUnknownChipId;  // low byte maker code, high byte device code
    bool flashInfoFound = false;
    // Up to ten pairs (block size in KiB, number of blocks) from romBase up;
    // a pair with no blocks ends the table.
    std::array<uint8_t, 20> blockTable{};
    uint8_t layoutType = 0;
    uint8_t romSizeUnits = 0;
    uint32_t romBase = 0;
    bool flashInWindowsAllowed = false;
    bool hasDmiRegion = false;
    bool hasPnpRegion = false;
    uint32_t bootStart = 0;
    uint32_t bootSize = 0;
    uint32_t dmiStart = 0;
    uint32_t dmiSize = 0;
    uint32_t pnpStart = 0;
    uint32_t pnpSize = 0;
    uint32_t extraStart = 0;
    uint32_t extraSize = 0;
    uint32_t mainSize = 0;
    bool clearDmi = false;  // the ROM's DMI area lacks "IMD$": rewrite it
    bool clearPnp = false;  // the ROM's PNP area lacks "ACFG"

    bool DriverMode() const { return platformMode == kPlatformNt; }
    uint32_t RomSizeBytes() const { return romSizeUnits * kRomUnitSize; }

    // The Main region is what the ROM holds besides the Boot, PNP, DMI and
    // extra regions; it follows every change of those sizes.
    void ComputeMainSize() { mainSize = RomSizeBytes() - bootSize - pnpSize - dmiSize - extraSize; }
};

}  // namespace varlin
