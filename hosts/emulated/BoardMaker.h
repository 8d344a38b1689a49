// Making an emulated board from a BIOS image: rom.bin is the image, and
// segment.bin carries the records the program identifies the ROM by
// ("$@AWDFLASH" with the SMI port, "KAFLASH" with size, layout, flags and a
// block table that fits the layout's regions, the chip id and a BIOS
// identification string holding the image's BIOS ID).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/support/Files.h"

namespace varlin::emulated {

struct BoardOptions {
    std::optional<uint16_t> chipId;  // default: a part of the image's size
    std::optional<uint8_t> layout;   // default: a layout that suits the size
    bool dmiRegion = false;
    bool pnpRegion = false;
    bool flashInWindows = true;
    bool protectBoot = false;           // the Boot region refuses erase and program
    std::optional<std::string> biosId;  // the board's BIOS ID instead of the image's
};

struct BoardSummary {
    uint32_t romSize = 0;
    uint16_t chipId = 0;
    uint8_t layout = 0;
    std::array<uint8_t, 20> blockTable{};
    std::string identification;  // the BIOS identification string
};

// Segment offsets the maker puts its records at.
inline constexpr size_t kFlashRecordAt = 0xD000;
inline constexpr size_t kFlashInfoAt = 0xD100;
inline constexpr size_t kBlockTableAt = 0xD120;
inline constexpr uint16_t kBoardSmiPort = 0x00B2;

// A board's three files.
struct BoardFiles {
    Bytes rom;
    Bytes segment;
    std::string settings;
};

// The files of a board made from an image; false, with the reason in
// `error`, for images and options no board can have.
bool ComposeBoard(const Bytes& image, const BoardOptions& options, BoardSummary& summary, BoardFiles& files,
                  std::string& error);

// Writes rom.bin, segment.bin and board.conf into `directory` (made when
// missing).  False, with the reason in `error`, for images and options no
// board can have.
bool WriteBoard(const std::string& directory, const Bytes& image, const BoardOptions& options, BoardSummary& summary,
                std::string& error);

// The same from a BIOS file.
bool CreateBoard(const std::string& biosPath, const std::string& directory, const BoardOptions& options,
                 BoardSummary& summary, std::string& error);

}  // namespace varlin::emulated
