; kolektor setup: finds ZRB's folder, backs up what it replaces there,
; installs the plug-in into it and the tools and documentation into their
; own folder, and writes the uninstall entry. The uninstaller reverses each
; step in the opposite order.
;
;   makensis -DVERSION=1.0.0 -DSTAGE=<staged files> -DOUTFILE=<setup.exe> setup.nsi
;
; Silent deployment: setup.exe /S [/ZRB=<ZRB folder>] [/SIMULATOR] [/D=<program folder>]
; /SIMULATOR also installs the terminal simulator (a rehearsal computer).
; Without a known ZRB folder a silent install changes nothing and exits 2.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define PRODUCT "kolektor"
!define HOST_KEY "Software\Orvisk\ZRBWin\Instalacja"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kolektor"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\kolektor"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "kolektor setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "kolektor"
VIAddVersionKey /LANG=0 "LegalCopyright" "kolektor"

Var ZrbDir      ; where ZRB is, and where kolektor.dll goes
Var Backup      ; the file name an earlier kolektor.dll was kept under

!define MUI_ABORTWARNING
; The language chosen at install is the uninstaller's too.
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "InstallerLanguage"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
; The ZRB folder, read from ZRB's own registry value, shown for confirmation.
!define MUI_PAGE_HEADER_TEXT "$(ZrbHeader)"
!define MUI_PAGE_HEADER_SUBTEXT "$(ZrbSubheader)"
!define MUI_DIRECTORYPAGE_TEXT_TOP "$(ZrbText)"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "$(ZrbDestination)"
!define MUI_DIRECTORYPAGE_VARIABLE $ZrbDir
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckZrbDir
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION RunForm
!define MUI_FINISHPAGE_RUN_TEXT "$(RunForm)"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\INSTALL.txt"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "English"

LangString WelcomeText ${LANG_POLISH} "Program zainstaluje wtyczkę kolektor ${VERSION} do inwentaryzacji w ZRB terminalem CipherLab 8x00, formularz testowy i dokumentację.$\r$\n$\r$\nIstniejąca wtyczka kolektor.dll zostanie zachowana jako kopia i wróci na miejsce przy deinstalacji."
LangString WelcomeText ${LANG_ENGLISH} "This installs the kolektor ${VERSION} plug-in for stocktaking in ZRB with a CipherLab 8x00 terminal, its test form and its documentation.$\r$\n$\r$\nAn existing kolektor.dll is kept as a backup and put back on uninstall."
LangString ZrbHeader ${LANG_POLISH} "Folder programu ZRB"
LangString ZrbHeader ${LANG_ENGLISH} "ZRB folder"
LangString ZrbSubheader ${LANG_POLISH} "Tu trafi kolektor.dll."
LangString ZrbSubheader ${LANG_ENGLISH} "kolektor.dll goes here."
LangString ZrbText ${LANG_POLISH} "Folder ZRB odczytany z rejestru (wartość Binaria). Potwierdź go albo wybierz inny: ZRB ładuje wtyczki z folderu swojego programu."
LangString ZrbText ${LANG_ENGLISH} "The ZRB folder as the registry names it (value Binaria). Confirm it or choose another: ZRB loads its plug-ins from its program folder."
LangString ZrbDestination ${LANG_POLISH} "Folder ZRB"
LangString ZrbDestination ${LANG_ENGLISH} "ZRB folder"
LangString ZrbMissing ${LANG_POLISH} "Ten folder nie istnieje. Wybierz folder, w którym jest zainstalowany ZRB."
LangString ZrbMissing ${LANG_ENGLISH} "This folder does not exist. Choose the folder where ZRB is installed."
LangString RunForm ${LANG_POLISH} "Uruchom formularz testowy"
LangString RunForm ${LANG_ENGLISH} "Start the test form"
LangString PluginSection ${LANG_POLISH} "Wtyczka, formularz testowy i dokumentacja"
LangString PluginSection ${LANG_ENGLISH} "Plug-in, test form and documentation"
LangString SimulatorSection ${LANG_POLISH} "Symulator terminala (tylko do prób)"
LangString SimulatorSection ${LANG_ENGLISH} "Terminal simulator (for trials only)"
LangString PluginDescription ${LANG_POLISH} "kolektor.dll do folderu ZRB; formularz testowy, zrbhost i dokumentacja do folderu programu."
LangString PluginDescription ${LANG_ENGLISH} "kolektor.dll into the ZRB folder; the test form, zrbhost and the documentation into the program folder."
LangString SimulatorDescription ${LANG_POLISH} "Zastępuje terminal i programy producenta przy próbach. Trafia do własnego podfolderu, nigdy obok ZRB."
LangString SimulatorDescription ${LANG_ENGLISH} "Stands in for the terminal and the vendor's programs in trials. Goes into its own subfolder, never beside ZRB."
LangString ShortcutForm ${LANG_POLISH} "Formularz testowy kolektor"
LangString ShortcutForm ${LANG_ENGLISH} "kolektor test form"
LangString ShortcutInstall ${LANG_POLISH} "Instrukcja dla administratora"
LangString ShortcutInstall ${LANG_ENGLISH} "Administrator's guide"
LangString ShortcutMessages ${LANG_POLISH} "Komunikaty wtyczki"
LangString ShortcutMessages ${LANG_ENGLISH} "Plug-in messages"
LangString ShortcutUninstall ${LANG_POLISH} "Odinstaluj kolektor"
LangString ShortcutUninstall ${LANG_ENGLISH} "Uninstall kolektor"
LangString DisplayName ${LANG_POLISH} "kolektor – wtyczka inwentaryzacji CipherLab 8x00 dla ZRB"
LangString DisplayName ${LANG_ENGLISH} "kolektor – CipherLab 8x00 stocktaking plug-in for ZRB"

Function .onInit
  ; A 32-bit host reads the 32-bit view of the registry on 64-bit Windows.
  SetRegView 32
  !insertmacro MUI_LANGDLL_DISPLAY
  ReadRegStr $ZrbDir HKLM "${HOST_KEY}" "Binaria"
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ZRB=" $1
  ${IfNot} ${Errors}
    StrCpy $ZrbDir $1
  ${EndIf}
  Call SimulatorFromCommandLine
  ${If} ${Silent}
    ; Deployment must not guess: no known ZRB folder, nothing installed.
    ${If} $ZrbDir == ""
    ${OrIfNot} ${FileExists} "$ZrbDir\*.*"
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

; The test form with the plug-in just installed in the ZRB folder.
Function RunForm
  Exec '"$INSTDIR\kolektor-test.exe" "$ZrbDir\kolektor.dll"'
FunctionEnd

Function CheckZrbDir
  ${IfNot} ${FileExists} "$ZrbDir\*.*"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(ZrbMissing)"
    Abort
  ${EndIf}
FunctionEnd

Section "!$(PluginSection)" SecPlugin
  SectionIn RO
  SetOutPath "$INSTDIR"
  SetOverwrite on

  ; An earlier kolektor.dll in the ZRB folder is kept under its version,
  ; never over an earlier backup; the uninstaller puts it back. When this
  ; setup installed the one there (a reinstall or an upgrade), the backup of
  ; what was there before it stays the one to put back.
  SetRegView 32
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "ZrbFolder"
  ReadRegStr $Backup HKLM "${UNINSTALL_KEY}" "Backup"
  ${If} $R0 != $ZrbDir
    StrCpy $Backup ""
  ${EndIf}
  ${If} $R0 != $ZrbDir
  ${AndIf} ${FileExists} "$ZrbDir\kolektor.dll"
    ClearErrors
    GetDLLVersion "$ZrbDir\kolektor.dll" $R0 $R1
    ${If} ${Errors}
      StrCpy $R9 "bez-wersji"
    ${Else}
      IntOp $R2 $R0 >> 16
      IntOp $R3 $R0 & 0xFFFF
      IntOp $R4 $R1 >> 16
      IntOp $R5 $R1 & 0xFFFF
      StrCpy $R9 "$R2.$R3.$R4.$R5"
    ${EndIf}
    StrCpy $Backup "kolektor.dll.$R9.bak"
    StrCpy $R8 1
    ${While} ${FileExists} "$ZrbDir\$Backup"
      IntOp $R8 $R8 + 1
      StrCpy $Backup "kolektor.dll.$R9-$R8.bak"
    ${EndWhile}
    Rename "$ZrbDir\kolektor.dll" "$ZrbDir\$Backup"
  ${EndIf}
  SetOutPath "$ZrbDir"
  File "${STAGE}\kolektor.dll"

  SetOutPath "$INSTDIR"
  File "${STAGE}\kolektor-test.exe"
  File "${STAGE}\zrbhost.exe"
  File "${STAGE}\INSTALL.txt"
  File "${STAGE}\KOMUNIKATY.txt"
  SetOutPath "$INSTDIR\examples"
  File "${STAGE}\examples\towary.txt"
  File "${STAGE}\examples\scans.txt"

  SetOutPath "$INSTDIR"
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\kolektor"
  CreateShortcut "$SMPROGRAMS\kolektor\$(ShortcutForm).lnk" "$INSTDIR\kolektor-test.exe" '"$ZrbDir\kolektor.dll"'
  CreateShortcut "$SMPROGRAMS\kolektor\$(ShortcutInstall).lnk" "$INSTDIR\INSTALL.txt"
  CreateShortcut "$SMPROGRAMS\kolektor\$(ShortcutMessages).lnk" "$INSTDIR\KOMUNIKATY.txt"
  CreateShortcut "$SMPROGRAMS\kolektor\$(ShortcutUninstall).lnk" "$INSTDIR\uninstall.exe"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  SetRegView 32
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "$(DisplayName)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "kolektor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kolektor-test.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; What the uninstaller needs to undo the step in the ZRB folder.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "ZrbFolder" "$ZrbDir"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Backup" "$Backup"
SectionEnd

Section /o "$(SimulatorSection)" SecSimulator
  ; Its own folder only: DLOOKUP2.EXE and IR_READ2.EXE beside ZRB would
  ; take the vendor utilities' place.
  SetOutPath "$INSTDIR\simulator"
  File "${STAGE}\simulator\DLOOKUP2.EXE"
  File "${STAGE}\simulator\IR_READ2.EXE"
  File "${STAGE}\simulator\terminal.exe"
SectionEnd

; After the sections, whose numbers it needs.
Function SimulatorFromCommandLine
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SIMULATOR" $1
  ${IfNot} ${Errors}
    ; Flag 1: selected.
    SectionGetFlags ${SecSimulator} $1
    IntOp $1 $1 | 1
    SectionSetFlags ${SecSimulator} $1
  ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPlugin} "$(PluginDescription)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSimulator} "$(SimulatorDescription)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
  SetRegView 32
  !insertmacro MUI_UNGETLANGUAGE
  ReadRegStr $ZrbDir HKLM "${UNINSTALL_KEY}" "ZrbFolder"
  ReadRegStr $Backup HKLM "${UNINSTALL_KEY}" "Backup"
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  SetRegView 32
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  RMDir /r "$SMPROGRAMS\kolektor"
  RMDir /r "$INSTDIR\simulator"
  RMDir /r "$INSTDIR\examples"
  Delete "$INSTDIR\kolektor-test.exe"
  Delete "$INSTDIR\zrbhost.exe"
  Delete "$INSTDIR\INSTALL.txt"
  Delete "$INSTDIR\KOMUNIKATY.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The plug-in goes; the one it replaced comes back.
  ${If} $ZrbDir != ""
    Delete "$ZrbDir\kolektor.dll"
    ${If} $Backup != ""
    ${AndIf} ${FileExists} "$ZrbDir\$Backup"
      Rename "$ZrbDir\$Backup" "$ZrbDir\kolektor.dll"
    ${EndIf}
  ${EndIf}
SectionEnd
