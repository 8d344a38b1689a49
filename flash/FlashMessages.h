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

}  // namespace varlin::text
