#include "flash/ChipCatalogue.h"

#include <array>

namespace varlin {

namespace {

// The kinds of chip that need more than a name.
constexpr ChipTraits kPageWrite{.pageWrite = true};
constexpr ChipTraits kStatusRegister{.protection = Protection::StatusRegister};
constexpr ChipTraits kFirmwareHub{.protection = Protection::FirmwareHub};
constexpr ChipTraits kLockoutJumpers{.protection = Protection::LockoutJumpers};
constexpr ChipTraits kLockableBootBlock{.protection = Protection::LockoutJumpers, .lockableBootBlock = true};

constexpr std::array<ChipEntry, 55> kCatalogue = {{
    {0x01, 0x23, "AMD 29F400BT /5V"},
    {0x89, 0xAD, "INTEL E82802AB /3.3V(4Mb)", kFirmwareHub},
    {0x89, 0xAC, "INTEL E82802AC /3.3V(8Mb)", kFirmwareHub},
    {0x89, 0x70, "INTEL E82F400B5"},
    {0xC2, 0x45, "MXIC 29F004(N)T /5V"},
    {0x40, 0x03, "MOSEL 29C51004T /5V"},
    {0xBF, 0xD7, "SST 39VF040 /2.7V"},
    {0xBF, 0x58, "SST 49LF004 /3.3V", kLockableBootBlock},
    {0xBF, 0x60, "SST 49LF004A /3.3V", kLockoutJumpers},
    {0x20, 0xD5, "SGS-THOMSON M29F400T  /5V"},
    {0x01, 0xB0, "AMD 29F002(N)T /5V"},
    {0x37, 0x8C, "AMIC A29002 /5V"},
    {0x9B, 0x01, "ARF35LV020"},
    {0x9B, 0x82, "AVF35LV020"},
    {0x1F, 0x08, "ATMEL 49F002T /5V"},
    {0x1F, 0xBA, "ATMEL 29LV020 /3V", kPageWrite},
    {0x1F, 0xDA, "ATMEL 29C020 /5V", kPageWrite},
    {0xDC, 0x02, "BRIGHT BM29FS020 /5V"},
    {0x31, 0x7C, "CSI CAT28F002T /12V", kStatusRegister},
    {0xAD, 0xB0, "HYUNDAI 29F002T /5V"},
    {0x1C, 0x92, "EN EN29F002T /5V"},
    {0x7F, 0xA1, "IMT IM29F002T /5V"},
    {0x89, 0x7C, "INTEL 28F002BX-T /12V", kStatusRegister},
    {0x40, 0x02, "MOSEL V29C51002T /5V"},
    {0xC2, 0x2A, "MXIC 28F2000PPC /12V"},
    {0xC2, 0x3C, "MXIC 28F2000TPC /12V"},
    {0xC2, 0x2D, "MXIC 28F002TTC /12V"},
    {0xC2, 0xB0, "MXIC 29F002(N)T /5V"},
    {0xC2, 0x36, "MXIC 29F022(N)T /5V"},
    {0x9D, 0x1D, "PMC PM29F002T /5V"},
    {0xBF, 0x10, "SST 29EE020 /5V", kPageWrite},
    {0xBF, 0x12, "SST 29LE020 /3V", kPageWrite},
    {0xBF, 0xB6, "SST 39SF020 /5V"},
    {0xBF, 0xBF, "SST 39VF020 /3V"},
    {0xBF, 0x57, "SST 49LF002A /3.3V", kLockoutJumpers},
    {0x20, 0xB0, "SGS-THOMSON M29F002T /5V"},
    {0x86, 0xBD, "INTEL/TI TMS28F020 /12V"},
    {0xDA, 0x45, "WINBOND 29C020 /5V", kPageWrite},
    {0xDA, 0x0B, "WINBOND 49F002U /5V"},
    {0xDA, 0xB0, "WINBOND 49V002 /5V"},
    {0xDA, 0x32, "WINBOND 49V002F /5V", kLockoutJumpers},
    {0x01, 0x20, "AMD 29F010 /5V"},
    {0x1F, 0xD5, "ATMEL 29C010A /5V", kPageWrite},
    {0x1F, 0x04, "ATMEL 49F001T /5V"},
    {0x31, 0x94, "CSI CAT28F001P /12V", kStatusRegister},
    {0x89, 0x94, "INTEL 28F001BX-T /12V", kStatusRegister},
    {0x40, 0x01, "MOSEL V29C51001T /5V"},
    {0xC2, 0x1A, "MXIC 28F1000AP /12V"},
    {0xC2, 0x11, "MXIC 28F1000P /12V"},
    {0xC2, 0x18, "MXIC 29F001T /5V"},
    {0xBF, 0x01, "SST 28EE010 & 28EE011 /5V", kPageWrite},
    {0xBF, 0x07, "SST 29EE010/5V", kPageWrite},
    {0xBF, 0xB5, "SST 39SF010 /5V"},
    {0xDA, 0xC1, "WINBOND 29EE011 /5V", kPageWrite},
    {0xFF, 0xA5, "Unknown Flash"},
}};

}  // namespace

std::span<const ChipEntry> ChipCatalogue() { return kCatalogue; }

const ChipEntry& ChipFor(uint16_t chipId)
{
    for (const ChipEntry& entry : kCatalogue) {
        if (entry.ChipId() == chipId) return entry;
    }
    return kCatalogue.back();
}

const char* ChipName(uint16_t chipId)
{
    const ChipEntry& entry = ChipFor(chipId);
    return entry.ChipId() == chipId ? entry.name : nullptr;
}

uint8_t ProtectedEraseStatus(const ChipEntry& entry)
{
    return entry.traits.protection == Protection::FirmwareHub ? chip::kEraseBlockLocked : chip::kEraseFailed;
}

}  // namespace varlin
