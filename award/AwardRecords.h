// Where the Award BIOS keeps what the program reads about the flash ROM: the
// records of the F000 segment and the marks near the end of a BIOS image.
// The ROM device reads them; the emulated board writes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace varlin::award {

// Offsets within the 64 KiB F000 segment.
inline constexpr size_t kChipIdOffset = 0xE059;            // 16-bit chip id
inline constexpr size_t kBiosIdLengthOffset = 0xEC70;      // signed length byte of the identification string
inline constexpr size_t kBiosIdTextOffset = 0xEC71;        // its characters
inline constexpr size_t kBiosIdPrefixMarkOffset = 0xEC7B;  // '-' here: the prefix is 8 characters, else 10
inline constexpr size_t kShortPrefixLength = 8;
inline constexpr size_t kLongPrefixLength = 10;

// Records start at multiples of 8.
inline constexpr size_t kRecordAlignment = 8;

inline constexpr std::string_view kFlashRecordSignature = "$@AWDFLASH";
inline constexpr size_t kFlashRecordSmiPortOffset = 0x2A;  // 16-bit SMI command port

inline constexpr std::string_view kFlashInfoSignature = "KAFLASH";
inline constexpr size_t kFlashInfoSizeOffset = 7;  // ROM size in 128 KiB units
inline constexpr size_t kFlashInfoLayoutOffset = 8;
inline constexpr size_t kFlashInfoFlagsOffset = 9;
inline constexpr size_t kFlashInfoTableOffset = 14;  // 16-bit segment offset of the block table
inline constexpr size_t kFlashInfoRecordSize = 16;
inline constexpr uint8_t kFlagPnpRegion = 0x01;
inline constexpr uint8_t kFlagDmiRegion = 0x02;
inline constexpr uint8_t kFlagFlashInWindows = 0x04;
inline constexpr size_t kBlockTableSize = 20;  // ten pairs (KiB, count)

// Marks near the end of a BIOS image of S bytes.
inline constexpr size_t kSizeCodeFromEnd = 8103;  // one character: the image's ROM size
inline constexpr size_t kBiosIdFromEnd = 24;      // the 8-byte BIOS ID
inline constexpr size_t kBiosIdLength = 8;
inline constexpr uint32_t kBiosIdAddress = 0xFFFFFFE8;  // the same 8 bytes in the ROM

// ROM size units (64 KiB) from the size character; any other character means 2.
inline constexpr char kSizeCode256K = 'Z';
inline constexpr char kSizeCode512K = '[';
inline constexpr char kSizeCode1M = '\\';

// Areas of the ROM that a BIOS update may keep.
inline constexpr std::string_view kDmiSignature = "IMD$";  // at the start of the DMI area
inline constexpr std::string_view kPnpSignature = "ACFG";  // 2 bytes into the PNP (ESCD) area
inline constexpr size_t kPnpSignatureOffset = 2;
inline constexpr std::string_view kLhaMethod = "-lh5-";  // 2 bytes into an LHA member
inline constexpr size_t kLhaMethodOffset = 2;

// The record that tells whether the extra 64 KiB region exists.
inline constexpr std::string_view kExtraRegionRecord = "*BS1";
inline constexpr size_t kExtraRegionSearchStart = 0x60000;
inline constexpr size_t kExtraRegionSearchEnd = 0x70000;
inline constexpr size_t kExtraRegionFlagOffset = 6;
inline constexpr uint8_t kExtraRegionFlag = 0x08;

// The first offset from `first` up to, not including, `end`, on `step`
// steps, at which the pattern lies whole inside the block; -1 when none.
inline long FindPattern(const uint8_t* data, size_t size, std::string_view pattern, size_t first, size_t end,
                        size_t step = 1)
{
    for (size_t at = first; at < end && at + pattern.size() <= size; at += step) {
        if (std::string_view(reinterpret_cast<const char*>(data + at), pattern.size()) == pattern) {
            return static_cast<long>(at);
        }
    }
    return -1;
}

}  // namespace varlin::award
