// The BIOS flash service raised as a system-management interrupt: the
// command byte written to the SMI port, the functions of its control command
// and the bus-delay writes that follow each command.
#pragma once

#include <cstdint>

namespace varlin::smi {

inline constexpr uint8_t kControl = 0x2E;     // AH = function; AL comes back
inline constexpr uint8_t kRead16 = 0x28;      // ESI = address; EAX, ECX, EDX, EBX come back
inline constexpr uint8_t kEraseBlock = 0x29;  // EDI = block, ECX = size; carry on failure, AX = status
inline constexpr uint8_t kWrite16 = 0x2F;     // EDI = address; the 16 bytes in EBX, ECX, EDX/EAX high, ESI
inline constexpr uint8_t kQueryLevel = 0;
inline constexpr uint8_t kOpenFlashAccess = 2;
inline constexpr uint8_t kCloseFlashAccess = 3;
inline constexpr uint8_t kLevelNeedingOpen = 4;  // from this level on, open and close are needed
inline constexpr int kReadDelays = 1;            // bus-delay writes after each command
inline constexpr int kEraseDelays = 6;
inline constexpr int kWriteDelays = 3;

}  // namespace varlin::smi
