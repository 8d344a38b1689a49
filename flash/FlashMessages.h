// The texts the flash subsystem shows, exactly as users see them.
#pragma once

namespace varlin::text {

inline constexpr char kMallocError[] = "Malloc memory error!";

// Driver service: system boxes with this caption, kept above every window.
inline constexpr char kDriverErrorCaption[] = "Error";
inline constexpr char kCreateServiceFailure[] = "CreateService failure!";
inline constexpr char kOpenServiceFailure[] = "OpenService failure!";
inline constexpr char kOpenServiceFailureOnDelete[] = "OpenService failure";
inline constexpr char kStartServiceAlreadyRunning[] = "Failure: StartService, ERROR_SERVICE_ALREADY_RUNNING";
inline constexpr char kStartServiceFailure[] = "StartService failure!";
inline constexpr char kCantGetHandle[] = "Can't get a handle to %s\n";
inline constexpr char kControlServiceFailure[] = "ControlService failure!";
inline constexpr char kDeleteServiceFailure[] = "DeleteService failure!";
// The driver file, named with the folder it belongs in, before the service's
// own messages: missing, or there and refused by the service.
inline constexpr char kDriverFileMissing[] =
    "The driver file \"%s\" is missing.\n\nIt belongs in the program's folder:\n%s";
inline constexpr char kDriverFileNotStarted[] =
    "The driver file \"%s\" in the program's folder\n%s\ncould not be started.";

// Write protection: system boxes with this caption.
inline constexpr char kEraseErrorCaption[] = "Erase Error Message";
inline constexpr char kFlashIsWriteProtected[] = " \n     Flash ROM is write protected  \n\n";
inline constexpr char kFwhIsWriteProtected[] =
    " \n       FWH ROM  is write-protected  \n\n"
    "   Please make sure whether lockout jumpers\n  is set to correct or not";
inline constexpr char kFlashRomIsWriteProtected[] = " \n     Flash ROM  is write protected  \n\n";
inline constexpr char kDisableCmosWriteProtect[] =
    "Please disable 'Flash Write Protect' in CMOS setup \nand set write-protect jumper on mainboard to open.";

// A request the driver or the BIOS refused: the text, then the address as
// kRomAddressFormat gives it ("Couldn't read the flash ROM at 0xFFFE0000!").
inline constexpr char kRomReadFailed[] = "Couldn't read the flash ROM at ";
inline constexpr char kRomEraseFailed[] = "Couldn't erase the flash ROM block at ";
inline constexpr char kRomProgramFailed[] = "Couldn't program the flash ROM at ";
inline constexpr char kRomAddressFormat[] = "0x%08X!";

// Backup.
inline constexpr char kBackupWriteFailed[] = "Couldn't write the file!";

// Update: the step texts put the region's name ("Main", "DMI", "PNP",
// "Boot") between a prefix and kBlockSuffix ("Erasing Main Block").
inline constexpr char kErasingPrefix[] = "Erasing ";
inline constexpr char kProgrammingPrefix[] = "Programming ";
inline constexpr char kVerifyingPrefix[] = "Verifying ";
inline constexpr char kBlockSuffix[] = " Block";

// An update that stopped: first why, naming the region...
inline constexpr char kRegionOutsideImage[] = "The %s block lies outside the BIOS file!";
inline constexpr char kRegionEraseFailed[] = "Couldn't erase the %s block!";
inline constexpr char kRegionProgramFailed[] = "Couldn't program the %s block!";
inline constexpr char kRegionReadBackFailed[] = "Couldn't read back the %s block!";
inline constexpr char kRegionMismatch[] =
    "The %s block did not verify: the flash ROM at 0x%08X reads 0x%02X, the BIOS file has 0x%02X!";
inline constexpr char kRegionWriteProtected[] = "The %s block is write-protected!";
inline constexpr char kRegionOutsideRom[] = "The %s block at 0x%08X lies outside the flash ROM!";
inline constexpr char kRegionOffLayout[] =
    "The %s block at 0x%08X does not fit the flash ROM's erase blocks and regions!";
inline constexpr char kKeptAreaUnreadable[] = "Couldn't read the flash ROM's data that the update keeps!";
inline constexpr char kKeptAreaChanged[] =
    "The flash ROM changed outside the blocks written: at 0x%08X it reads 0x%02X, it held 0x%02X!";
// ...then the state the ROM is left in (there is no way back to the old
// BIOS): one line for each group of regions that has members, each a
// prefix, the names ("Main, DMI") and a full stop.
inline constexpr char kUpdateIncomplete[] = "The BIOS update is incomplete.";
inline constexpr char kRegionsRewritten[] = "Already rewritten: ";
inline constexpr char kRegionsBroken[] = "Not completely rewritten: ";
inline constexpr char kRegionsUnchanged[] = "Not changed: ";
inline constexpr char kChangedOutsideRegions[] = "The flash ROM also changed outside these regions.";
inline constexpr char kRomUnchanged[] = "The flash ROM was not changed.";
inline constexpr char kMayNotStart[] = "The computer may not start until a BIOS file has been programmed completely.";

}  // namespace varlin::text
