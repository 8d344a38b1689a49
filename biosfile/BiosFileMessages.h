// The texts the BIOS file checks and the file services show, exactly as
// users see them, and the fixed file names they work with.
#pragma once

namespace varlin::text {

inline constexpr char kOpenFileCaption[] = "Open File";
inline constexpr char kNoFlashingUnderWindows[] = "Your system not support flashing under Windows mode!";
inline constexpr char kCouldntOpenFile[] = "Couldn't open the file!";
inline constexpr char kBiosSizeMismatch[] = "  Size of BIOS file is not match with\n   ROM size on mainboard.\n";
inline constexpr char kReadFileError[] = " \n    Read File Error!    \n";
inline constexpr char kBiosIdError[] =
    "  BIOS ID error!\n  This BIOS is not fit for your mainboard.\n  Are you sure to program ?\n";

inline constexpr char kBackupNotSupported[] = "Your system NOT support flashing under Windows mode!";
inline constexpr char kCouldntCreateFile[] = "Couldn't create the file!";

// The advice shown when the "bios" folder holds no file for this board:
// prefix, maker's web address, middle, then the folder's path.
inline constexpr char kAdvicePrefix[] = "Please download the correct bios from ";
inline constexpr char kMakerWebAddress[] = "http://www.varlin.example/bios";
inline constexpr char kAdviceMiddle[] = "\n or backup bios from mainboard and copy to\n";

}  // namespace varlin::text

namespace varlin {

inline constexpr char kBiosFolderName[] = "bios";
inline constexpr char kBoardBiosFileName[] = "yta.bin";

// The Save-As dialog of a backup.
inline constexpr char kBackupDefaultExtension[] = "BIN";
inline constexpr char kBackupInitialFileName[] = ".\\awdbios.bin";
inline constexpr char kBackupFilter[] = "Binary Files (*.BIN)|*.BIN|All Files (*.*)|*.*||";

}  // namespace varlin
