; The installer of TransQuendraValencia for Windows, made with Debian's NSIS
; by scripts/windows. It installs for the current user, without
; administrator rights, into a folder the user chooses (the one of
; Quendrix, which reads Quendrix.ini beside the utility). /S installs
; silently; /D=FOLDER, last on the command line, chooses the folder.
;   makensis -DVERSION=x.y.z -DSTAGE=dir -DOUTFILE=setup.exe installer.nsi
; A 64-bit installer, like the programs: it runs where they run, Wine's
; 64-bit-only prefixes included.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define PRODUCT "TransQuendraValencia"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "Software\${PRODUCT}" "Carpeta"

!define MUI_DIRECTORYPAGE_TEXT_TOP "Elija la carpeta de Quendrix: Quendrix abre la utilidad y lee Quendrix.ini en la carpeta donde esté."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

Section "Programa"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\TransQuendraValencia.exe"
  File "${STAGE}\transquendra.exe"
  File "${STAGE}\LEEME.txt"
  File "${STAGE}\LiberationSans-LICENCIA.txt"
  WriteUninstaller "$INSTDIR\Desinstalar.exe"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\TransQuendraValencia.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Léame.lnk" "$INSTDIR\LEEME.txt"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Desinstalar.lnk" "$INSTDIR\Desinstalar.exe"
  WriteRegStr HKCU "Software\${PRODUCT}" "Carpeta" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Desinstalar.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Desinstalar.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes only what the installer put there: Quendrix's own files and the
; Quendrix.ini it reads stay in its folder.
Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\TransQuendraValencia.exe"
  Delete "$INSTDIR\transquendra.exe"
  Delete "$INSTDIR\LEEME.txt"
  Delete "$INSTDIR\LiberationSans-LICENCIA.txt"
  Delete "$INSTDIR\Desinstalar.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Léame.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Desinstalar.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\${PRODUCT}"
SectionEnd
