; The per-user installer of Quillmoor for Windows, built by tools/windows.sh:
;   makensis -DVERSION=... -DSTAGE=<the zip's folder> -DOUT=<setup.exe> installer.nsi
; It needs no administrator rights: the game goes into the player's own
; %LOCALAPPDATA%\Programs\Quillmoor, where it runs, reads settings.ini and
; writes its screenshots. Uninstalling removes what was installed and keeps
; those two, the player's.
Unicode true
; A 64-bit stub: the 32-bit one does not start on a 64-bit-only Windows.
Target amd64-unicode
!include MUI2.nsh

Name "Quillmoor ${VERSION}"
OutFile "${OUT}"
RequestExecutionLevel user
; Drawn at the screen's own scale rather than stretched into a blur.
ManifestDPIAware true
InstallDir "$LOCALAPPDATA\Programs\Quillmoor"
InstallDirRegKey HKCU "Software\Quillmoor" "InstallDir"
SetCompressor /SOLID lzma
; Installed files take the time of installing, not the time they were built:
; the same sources make the same installer.
SetDateSave off

!define MUI_ICON "${__FILEDIR__}\quillmoor.ico"
!define MUI_UNICON "${__FILEDIR__}\quillmoor.ico"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmoor"
!define MUI_FINISHPAGE_RUN "$INSTDIR\quillmoor.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Properties > Details of the installer, its version the project's.
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Quillmoor"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Quillmoor ${VERSION} installer"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "the Quillmoor developers"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 the Quillmoor developers, MIT licence"

Section "Quillmoor"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\quillmoor.exe"
  File "${STAGE}\SDL.dll"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  File /r "${STAGE}\Media"
  File /r "${STAGE}\licences"
  ; The player's settings survive a reinstall or an upgrade.
  SetOverwrite off
  File "${STAGE}\settings.ini"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Shortcuts start in the game's folder, where it finds Media and settings.ini.
  CreateDirectory "$SMPROGRAMS\Quillmoor"
  CreateShortcut "$SMPROGRAMS\Quillmoor\Quillmoor.lnk" "$INSTDIR\quillmoor.exe"
  CreateShortcut "$SMPROGRAMS\Quillmoor\Quillmoor folder (settings and screenshots).lnk" "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\Quillmoor\Uninstall Quillmoor.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "Software\Quillmoor" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quillmoor"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "the Quillmoor developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillmoor.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  RMDir /r "$SMPROGRAMS\Quillmoor"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Quillmoor"
  Delete "$INSTDIR\quillmoor.exe"
  Delete "$INSTDIR\SDL.dll"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  RMDir /r "$INSTDIR\Media"
  RMDir /r "$INSTDIR\licences"
  ; Last, so that its going tells that the rest has gone.
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: settings.ini and the screenshots are the player's.
  RMDir "$INSTDIR"
SectionEnd
