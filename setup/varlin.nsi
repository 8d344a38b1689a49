; The setup program of the 32-bit build: installs the program folder, a
; Start-menu shortcut and a removal entry; its removal program has the
; uninstall library remove the driver service, then takes away what the
; setup put there and nothing else.
;
;   makensis -DVERSION=1.0.0 -DFILES=DIR -DOUTFILE=SETUP.EXE -DICON=ICO
;            -DUNINSTALLER_COPY=FILE varlin.nsi
;
; FILES is the program folder as the user gets it (see CMakeLists.txt);
; UNINSTALLER_COPY receives a copy of the removal program, whose imports
; the build checks like the program's.

Unicode false                ; ANSI: Windows 98 has no Unicode API
SetCompressor /SOLID lzma
RequestExecutionLevel admin  ; the removal entry and the driver service need it

!define PRODUCT "VARLIN"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VARLIN"
!define REMOVAL_PROGRAM "uninst.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
; A second setup goes where the first one went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "CompanyName" "VARLIN developers"
VIAddVersionKey "LegalCopyright" "VARLIN developers"

!uninstfinalize 'cp "%1" "${UNINSTALLER_COPY}"'

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; Only pages of the installer itself: no plug-in to unpack and load.
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; What the setup installs, by name: the removal deletes exactly these.
!macro ProgramFiles action
  !insertmacro ${action} "varlin.exe"
  !insertmacro ${action} "uninstall.dll"
  !insertmacro ${action} "BIOS_L1.dll"
  !insertmacro ${action} "BIOS_L2.dll"
  !insertmacro ${action} "BIOS_L3.dll"
  !insertmacro ${action} "BIOS_L4.dll"
  !insertmacro ${action} "BIOS_LB1.dll"
  !insertmacro ${action} "BIOS_LB2.dll"
  !insertmacro ${action} "README.txt"
!macroend
!macro InstallFile name
  File "${FILES}/${name}"
!macroend
!macro RemoveFile name
  Delete "$INSTDIR\${name}"
!macroend
; The program's working files in its folder (and in the current folder,
; which is the program's when it is started from the shortcut).
!macro RemoveWorkingFiles
  !insertmacro RemoveFile "yta.bin"
  !insertmacro RemoveFile "tmp.bin"
  !insertmacro RemoveFile "tmp.tbp"
  !insertmacro RemoveFile "tmp_b_pic"
  !insertmacro RemoveFile "tmp.jpg"
  !insertmacro RemoveFile "chack_pallete"
!macroend

Section "VARLIN"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !insertmacro ProgramFiles InstallFile
  ; The board's BIOS files go here; the program looks for its board's.
  CreateDirectory "$INSTDIR\bios"
  WriteUninstaller "$INSTDIR\${REMOVAL_PROGRAM}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\varlin.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\varlin.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "VARLIN developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${REMOVAL_PROGRAM}"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The uninstall library removes the driver service the program installed:
; loaded from the program folder, UninstInitialize with this window as the
; owner of its message, then UninstUnInitialize; both are stdcall with three
; arguments.  Without the library there is no service of ours to remove.
Function un.RemoveDriverService
  System::Call 'kernel32::LoadLibraryA(t "$INSTDIR\uninstall.dll") i .r0'
  StrCmp $0 0 done
  System::Call 'kernel32::GetProcAddress(i r0, t "UninstInitialize") i .r1'
  StrCmp $1 0 +2
  System::Call '::$1(i $HWNDPARENT, i 0, i 0) i'
  System::Call 'kernel32::GetProcAddress(i r0, t "UninstUnInitialize") i .r1'
  StrCmp $1 0 +2
  System::Call '::$1(i 0, i 0, i 0) i'
  System::Call 'kernel32::FreeLibrary(i r0)'
done:
FunctionEnd

; Takes away what the setup installed and the program's working files; the
; user's BIOS files in "bios", backups and anything else stay, and with them
; the folders that hold them.
Section "Uninstall"
  SetShellVarContext all
  Call un.RemoveDriverService
  !insertmacro ProgramFiles RemoveFile
  !insertmacro RemoveWorkingFiles
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${REMOVAL_PROGRAM}"
  RMDir "$INSTDIR\bios"
  RMDir "$INSTDIR"
SectionEnd
