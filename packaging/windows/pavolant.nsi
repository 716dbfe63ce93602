; The installer for Windows users: per user (no administrator rights), into
; %LOCALAPPDATA%\Programs\Pavolant, with a Start-menu entry and an uninstaller that
; "Apps & features" lists. Made by scripts/package-windows.sh:
;   makensis -DINHALT=<the package's folder> -DZIEL=<setup.exe> -DVERSION=<x.y> pavolant.nsi
; A 64-bit installer for the 64-bit program (and for Windows on which 32-bit programs are
; not installed, as a 64-bit-only Wine prefix).
Target amd64-unicode
!include "MUI2.nsh"

Name "Pavolant"
OutFile "${ZIEL}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Pavolant"
InstallDirRegKey HKCU "Software\Pavolant" "InstallDir"
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pavolant"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

Section "Pavolant"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${INHALT}/*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Pavolant"
  CreateShortcut "$SMPROGRAMS\Pavolant\Pavolant.lnk" "$INSTDIR\pavolant.exe"
  CreateShortcut "$SMPROGRAMS\Pavolant\Uninstall Pavolant.lnk" "$INSTDIR\Uninstall.exe"
  WriteRegStr HKCU "Software\Pavolant" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Pavolant"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Pavolant"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pavolant.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there and the settings file the program kept beside
; itself; the user's roads and the settings under %APPDATA% stay.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Pavolant\Pavolant.lnk"
  Delete "$SMPROGRAMS\Pavolant\Uninstall Pavolant.lnk"
  RMDir "$SMPROGRAMS\Pavolant"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\imageformats"
  RMDir /r "$INSTDIR\translations"
  RMDir /r "$INSTDIR\locale"
  RMDir /r "$INSTDIR\licenses"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\pavolant.exe"
  Delete "$INSTDIR\pavolant-cli.exe"
  Delete "$INSTDIR\qt.conf"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Dorfstrasse.ini"
  Delete "$INSTDIR\Pavolant.ini"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Pavolant"
SectionEnd
