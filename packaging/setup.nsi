; kolektor setup: finds ZRB's folder, waits until nobody holds the files it
; replaces, backs up what it replaces there, installs the plug-in into it and
; the tools and documentation into their own folder, and writes the
; uninstall entry. The uninstaller reverses each step in the opposite order
; and removes the uninstall entry last, so that one that stops can be run
; again.
;
;   makensis -DVERSION=1.0.0 -DSTAGE=<staged files> -DOUTFILE=<setup.exe> setup.nsi
; The 64-bit test build (never shipped) adds -DTARGET=amd64-unicode.
;
; Silent deployment: setup.exe /S [/ZRB=<ZRB folder>] [/SIMULATOR] [/D=<program folder>]
; /SIMULATOR also installs the terminal simulator (a rehearsal computer).
; Exit codes (INSTALL.txt lists them for the administrator):
;   0  installed (uninstalled)
;   1  cancelled by the person
;   2  nothing installed: no ZRB folder known, or the folder does not exist
;   3  nothing changed: kolektor.dll or one of the programs is in use
;      (ZRB or the test form is running)
;   4  installed, but ZRB's registry value Binaria is missing, so the
;      export cannot find ZRB's folder until ZRB is installed

!ifdef TARGET
Target ${TARGET}
!endif
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
!define EXIT_NO_ZRB_FOLDER 2
!define EXIT_IN_USE 3
!define EXIT_NO_BINARIA 4

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

Var Binaria     ; ZRB's folder as ZRB's installer wrote it; empty without ZRB
Var ZrbDir      ; where kolektor.dll goes (the uninstaller: where it went)
Var Backup      ; the file name an earlier kolektor.dll was kept under
Var OldZrbDir   ; the ZRB folder an earlier install of kolektor changed
Var OldBackup   ; and the backup it left there
Var PageText    ; texts that depend on what the setup found
Var PageHeader
Var PageSubheader
Var Held        ; the first file found in use, or empty

!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
; The ZRB folder, read from ZRB's own registry value, shown for confirmation.
!define MUI_PAGE_HEADER_TEXT "$PageHeader"
!define MUI_PAGE_HEADER_SUBTEXT "$PageSubheader"
!define MUI_DIRECTORYPAGE_TEXT_TOP "$PageText"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "$(ZrbDestination)"
!define MUI_DIRECTORYPAGE_VARIABLE $ZrbDir
!define MUI_PAGE_CUSTOMFUNCTION_PRE ZrbPagePre
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckZrbDir
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE WaitUntilFree
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$PageText"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION RunForm
!define MUI_FINISHPAGE_RUN_TEXT "$(RunForm)"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\INSTALL.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(ShowInstall)"
!insertmacro MUI_PAGE_FINISH
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$PageText"
!define MUI_PAGE_CUSTOMFUNCTION_PRE un.ConfirmPagePre
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE un.WaitUntilFree
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The setup speaks the language of Windows (Polish where there is no match),
; without asking; the uninstaller speaks the one the setup spoke.
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "English"

LangString WelcomeText ${LANG_POLISH} "Program zainstaluje wtyczkę kolektor ${VERSION} do inwentaryzacji w ZRB terminalem CipherLab 8x00, formularz testowy i dokumentację.$\r$\n$\r$\nPrzed instalacją zamknij ZRB i formularz testowy kolektor.$\r$\n$\r$\nJeśli w folderze ZRB jest już plik kolektor.dll, zostanie zachowany jako kopia i wróci na miejsce przy deinstalacji."
LangString WelcomeText ${LANG_ENGLISH} "This installs the kolektor ${VERSION} plug-in for stocktaking in ZRB with a CipherLab 8x00 terminal, its test form and its documentation.$\r$\n$\r$\nClose ZRB and the kolektor test form before you go on.$\r$\n$\r$\nA kolektor.dll already in the ZRB folder is kept as a backup and put back on uninstall."
LangString ZrbHeader ${LANG_POLISH} "Folder programu ZRB"
LangString ZrbHeader ${LANG_ENGLISH} "ZRB folder"
LangString ZrbSubheader ${LANG_POLISH} "Tu trafi kolektor.dll."
LangString ZrbSubheader ${LANG_ENGLISH} "kolektor.dll goes here."
LangString ZrbText ${LANG_POLISH} "Folder programu ZRB według rejestru (wartość Binaria, którą zapisuje instalator ZRB). ZRB ładuje wtyczki z tego folderu. Zmień go tylko wtedy, gdy ZRB jest gdzie indziej."
LangString ZrbText ${LANG_ENGLISH} "The ZRB program folder as the registry names it (value Binaria, written by ZRB's installer). ZRB loads its plug-ins from this folder. Change it only if ZRB is elsewhere."
LangString NoZrbHeader ${LANG_POLISH} "ZRB nie jest zainstalowany"
LangString NoZrbHeader ${LANG_ENGLISH} "ZRB is not installed"
LangString NoZrbSubheader ${LANG_POLISH} "Rejestr nie zna folderu ZRB."
LangString NoZrbSubheader ${LANG_ENGLISH} "The registry does not name a ZRB folder."
LangString NoZrbText ${LANG_POLISH} "W rejestrze nie ma wartości Binaria, którą zapisuje instalator ZRB. Wtyczka jej potrzebuje: bez niej wysyłanie towarów się nie uda. Najpierw zainstaluj ZRB. Na stanowisku do prób wskaż folder, do którego ma trafić kolektor.dll."
LangString NoZrbText ${LANG_ENGLISH} "The registry has no value Binaria, which ZRB's installer writes. The plug-in needs it: without it sending the goods fails. Install ZRB first. On a trial computer, choose the folder for kolektor.dll."
LangString NoZrbConfirm ${LANG_POLISH} "ZRB nie jest zainstalowany: w rejestrze nie ma wartości Binaria.$\r$\n$\r$\nWtyczka trafi do folderu$\r$\n$ZrbDir,$\r$\nale wysyłanie towarów nie zadziała, dopóki nie zainstalujesz ZRB albo nie zapiszesz tej wartości poleceniem zrbhost setup (INSTALL.txt, punkt 2).$\r$\n$\r$\nZainstalować wtyczkę mimo to?"
LangString NoZrbConfirm ${LANG_ENGLISH} "ZRB is not installed: the registry has no value Binaria.$\r$\n$\r$\nThe plug-in goes into$\r$\n$ZrbDir,$\r$\nbut sending the goods will fail until ZRB is installed or zrbhost setup writes that value (INSTALL.txt, section 2).$\r$\n$\r$\nInstall the plug-in anyway?"
LangString ZrbDestination ${LANG_POLISH} "Folder ZRB"
LangString ZrbDestination ${LANG_ENGLISH} "ZRB folder"
LangString ZrbMissing ${LANG_POLISH} "Ten folder nie istnieje. Wybierz folder, w którym jest zainstalowany ZRB."
LangString ZrbMissing ${LANG_ENGLISH} "This folder does not exist. Choose the folder where ZRB is installed."
LangString FileHeld ${LANG_POLISH} "Plik $Held jest używany przez inny program.$\r$\n$\r$\nZamknij ZRB i formularz testowy kolektor (także u innych użytkowników tego komputera) i naciśnij Ponów próbę. Anuluj kończy instalację bez żadnych zmian."
LangString FileHeld ${LANG_ENGLISH} "The file $Held is in use by another program.$\r$\n$\r$\nClose ZRB and the kolektor test form (for other users of this computer too) and press Retry. Cancel ends the setup without changing anything."
LangString ChangeFailed ${LANG_POLISH} "Nie udało się zmienić pliku $Held. Instalacja została przerwana. Zamknij ZRB i formularz testowy kolektor, sprawdź, czy plik nie jest tylko do odczytu, i uruchom instalację jeszcze raz."
LangString ChangeFailed ${LANG_ENGLISH} "The file $Held could not be changed. The setup has stopped. Close ZRB and the kolektor test form, check that the file is not read-only, and run the setup again."
LangString RunForm ${LANG_POLISH} "Uruchom formularz testowy"
LangString RunForm ${LANG_ENGLISH} "Start the test form"
LangString ShowInstall ${LANG_POLISH} "Pokaż INSTALL.txt"
LangString ShowInstall ${LANG_ENGLISH} "Show INSTALL.txt"
LangString FinishText ${LANG_POLISH} "Wtyczka kolektor ${VERSION} jest w folderze ZRB:$\r$\n$ZrbDir$\r$\n$\r$\nPrzed pierwszą inwentaryzacją zrób próbę w formularzu testowym (INSTALL.txt, punkt 6)."
LangString FinishText ${LANG_ENGLISH} "The kolektor ${VERSION} plug-in is in the ZRB folder:$\r$\n$ZrbDir$\r$\n$\r$\nBefore the first stocktaking, rehearse with the test form (INSTALL.txt, section 6)."
LangString FinishNoZrbText ${LANG_POLISH} "Wtyczka kolektor ${VERSION} jest w folderze:$\r$\n$ZrbDir$\r$\n$\r$\nZRB nie jest zainstalowany. Zanim wyślesz towary, zainstaluj ZRB albo zapisz wartość Binaria poleceniem zrbhost setup (INSTALL.txt, punkt 2)."
LangString FinishNoZrbText ${LANG_ENGLISH} "The kolektor ${VERSION} plug-in is in the folder:$\r$\n$ZrbDir$\r$\n$\r$\nZRB is not installed. Before sending the goods, install ZRB or write the value Binaria with zrbhost setup (INSTALL.txt, section 2)."
LangString PluginSection ${LANG_POLISH} "Wtyczka kolektor"
LangString PluginSection ${LANG_ENGLISH} "kolektor plug-in"
LangString SimulatorSection ${LANG_POLISH} "Symulator terminala"
LangString SimulatorSection ${LANG_ENGLISH} "Terminal simulator"
LangString PluginDescription ${LANG_POLISH} "kolektor.dll trafia do folderu ZRB, a formularz testowy, zrbhost i dokumentacja do folderu programu kolektor."
LangString PluginDescription ${LANG_ENGLISH} "kolektor.dll goes into the ZRB folder; the test form, zrbhost and the documentation into kolektor's program folder."
LangString SimulatorDescription ${LANG_POLISH} "Tylko do prób bez terminala: zastępuje terminal i programy producenta. Trafia do własnego podfolderu, nigdy obok ZRB."
LangString SimulatorDescription ${LANG_ENGLISH} "For trials without a terminal only: stands in for the terminal and the vendor's programs. Goes into its own subfolder, never beside ZRB."
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
LangString un.FileHeld ${LANG_POLISH} "Plik $Held jest używany przez inny program.$\r$\n$\r$\nZamknij ZRB i formularz testowy kolektor (także u innych użytkowników tego komputera) i naciśnij Ponów próbę. Anuluj kończy deinstalację bez żadnych zmian."
LangString un.FileHeld ${LANG_ENGLISH} "The file $Held is in use by another program.$\r$\n$\r$\nClose ZRB and the kolektor test form (for other users of this computer too) and press Retry. Cancel ends the uninstall without changing anything."
LangString un.ChangeFailed ${LANG_POLISH} "Nie udało się usunąć pliku $Held. Deinstalacja została przerwana, a kolektor pozostaje na liście zainstalowanych programów. Zamknij ZRB i formularz testowy kolektor i uruchom deinstalację jeszcze raz."
LangString un.ChangeFailed ${LANG_ENGLISH} "The file $Held could not be removed. The uninstall has stopped, and kolektor stays in the list of installed programs. Close ZRB and the kolektor test form and run the uninstall again."
LangString un.ConfirmBackup ${LANG_POLISH} "Deinstalacja usunie kolektor.dll z folderu ZRB ($ZrbDir) i przywróci tam wtyczkę sprzed instalacji ($Backup)."
LangString un.ConfirmBackup ${LANG_ENGLISH} "The uninstall removes kolektor.dll from the ZRB folder ($ZrbDir) and puts back the plug-in that was there before ($Backup)."
LangString un.ConfirmNoBackup ${LANG_POLISH} "Deinstalacja usunie kolektor.dll z folderu ZRB ($ZrbDir); innej wtyczki kolektor.dll nie było tam przed instalacją."
LangString un.ConfirmTrace ${LANG_POLISH} "Wyłączy też ślad diagnostyczny (jego treść zostanie w kolektor.log.bak)."
LangString un.ConfirmTrace ${LANG_ENGLISH} "It also switches the trace off (its text stays in kolektor.log.bak)."
LangString un.ConfirmNoBackup ${LANG_ENGLISH} "The uninstall removes kolektor.dll from the ZRB folder ($ZrbDir); there was no other kolektor.dll there before."

; Sets $Held to the first file that another program holds open, or empty.
; A running ZRB or test form keeps kolektor.dll loaded, and Windows refuses
; to open a loaded module for writing; opening changes neither the bytes nor
; the time of the file.
!macro CheckHeld FILE
  ${If} $Held == ""
  ${AndIf} ${FileExists} "${FILE}"
    ClearErrors
    FileOpen $R0 "${FILE}" a
    ${If} ${Errors}
      StrCpy $Held "${FILE}"
    ${Else}
      FileClose $R0
    ${EndIf}
  ${EndIf}
!macroend

; Everything the setup or the uninstaller replaces or removes.
!macro FindHeldFunction un
Function ${un}FindHeld
  StrCpy $Held ""
  ${If} $ZrbDir != ""
    !insertmacro CheckHeld "$ZrbDir\kolektor.dll"
  ${EndIf}
  ${If} $OldZrbDir != ""
    !insertmacro CheckHeld "$OldZrbDir\kolektor.dll"
  ${EndIf}
  !insertmacro CheckHeld "$INSTDIR\kolektor-test.exe"
  !insertmacro CheckHeld "$INSTDIR\zrbhost.exe"
  !insertmacro CheckHeld "$INSTDIR\simulator\terminal.exe"
  !insertmacro CheckHeld "$INSTDIR\simulator\DLOOKUP2.EXE"
  !insertmacro CheckHeld "$INSTDIR\simulator\IR_READ2.EXE"
FunctionEnd

; Asks the person to close what holds a file (Retry / Cancel) until nothing
; does; Cancel, and any held file in silent mode, end the program with
; nothing changed.
Function ${un}WaitUntilFree
  ${Do}
    Call ${un}FindHeld
    ${If} $Held == ""
      Return
    ${EndIf}
    ${If} ${Silent}
      SetErrorLevel ${EXIT_IN_USE}
      Quit
    ${EndIf}
    ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(${un}FileHeld)" IDCANCEL`
      SetErrorLevel ${EXIT_IN_USE}
      Quit
    ${EndIf}
  ${Loop}
FunctionEnd

; A step that the check said would work and did not: said so, and the
; program ends; the uninstall entry stays.
Function ${un}ChangeFailed
  MessageBox MB_OK|MB_ICONSTOP "$(${un}ChangeFailed)" /SD IDOK
  SetErrorLevel ${EXIT_IN_USE}
  Quit
FunctionEnd

; The trace switches itself on by the presence of kolektor.log: a folder
; kolektor leaves keeps the trace's text as kolektor.log.bak (.bak2 and on
; when taken; the file keeps its time), switched off.
Function ${un}TraceOff
  Exch $R1
  ${If} ${FileExists} "$R1\kolektor.log"
    StrCpy $R2 ".bak"
    StrCpy $R3 1
    ${Do}
      ${IfNot} ${FileExists} "$R1\kolektor.log$R2"
      ${AndIfNot} ${FileExists} "$R1\kolektor.log.1$R2"
        ${Break}
      ${EndIf}
      IntOp $R3 $R3 + 1
      StrCpy $R2 ".bak$R3"
    ${Loop}
    Rename "$R1\kolektor.log.1" "$R1\kolektor.log.1$R2"
    Rename "$R1\kolektor.log" "$R1\kolektor.log$R2"
  ${EndIf}
  Pop $R1
FunctionEnd

; The plug-in leaves a ZRB folder: its kolektor.dll goes and the one it
; replaced comes back.
Function ${un}RestoreZrbFolder
  Exch $R1  ; the folder
  Exch
  Exch $R2  ; the backup's name, or empty
  ${If} ${FileExists} "$R1\kolektor.dll"
    ClearErrors
    Delete "$R1\kolektor.dll"
    ${If} ${Errors}
      StrCpy $Held "$R1\kolektor.dll"
      Call ${un}ChangeFailed
    ${EndIf}
  ${EndIf}
  ${If} $R2 != ""
  ${AndIf} ${FileExists} "$R1\$R2"
    Rename "$R1\$R2" "$R1\kolektor.dll"
  ${EndIf}
  Push $R1
  Call ${un}TraceOff
  Pop $R2
  Pop $R1
FunctionEnd
!macroend
!insertmacro FindHeldFunction ""
!insertmacro FindHeldFunction "un."

; The folder without a trailing backslash, as ZRB's installer writes it.
!macro TrimSlash VAR
  StrCpy $R0 ${VAR} 1 -1
  ${If} $R0 == "\"
    StrCpy ${VAR} ${VAR} -1
  ${EndIf}
!macroend

; /ZRB= written in quotes as a whole ("/ZRB=C:\Program Files\ZRB"), which
; GetOptions passes over: its folder in $1, or the error flag when the
; parameters $0 have no such option. Never left to fall back on Binaria,
; which would install elsewhere than asked and report success.
Function QuotedZrbOption
  StrCpy $1 ""
  StrLen $R1 $0
  StrCpy $R2 0
  ${DoWhile} $R2 < $R1
    StrCpy $R3 $0 6 $R2
    ${If} $R3 == '"/ZRB='
      IntOp $R2 $R2 + 6
      StrCpy $R4 $R2
      ${Do}
        StrCpy $R3 $0 1 $R4
        ${If} $R3 == '"'
        ${OrIf} $R3 == ""
          ${Break}
        ${EndIf}
        IntOp $R4 $R4 + 1
      ${Loop}
      IntOp $R4 $R4 - $R2
      StrCpy $1 $0 $R4 $R2
      ClearErrors
      Return
    ${EndIf}
    IntOp $R2 $R2 + 1
  ${Loop}
  SetErrors
FunctionEnd

Function .onInit
  ; A 32-bit host reads the 32-bit view of the registry on 64-bit Windows.
  SetRegView 32
  ReadRegStr $Binaria HKLM "${HOST_KEY}" "Binaria"
  !insertmacro TrimSlash $Binaria
  StrCpy $ZrbDir $Binaria
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ZRB=" $1
  ${If} ${Errors}
    Call QuotedZrbOption
  ${EndIf}
  ${IfNot} ${Errors}
    StrCpy $ZrbDir $1
    !insertmacro TrimSlash $ZrbDir
  ${EndIf}
  ReadRegStr $OldZrbDir HKLM "${UNINSTALL_KEY}" "ZrbFolder"
  ReadRegStr $OldBackup HKLM "${UNINSTALL_KEY}" "Backup"
  Call SimulatorFromCommandLine
  ${If} ${Silent}
    ; Deployment must not guess: no known ZRB folder, nothing installed.
    ${If} $ZrbDir == ""
    ${OrIfNot} ${FileExists} "$ZrbDir\*.*"
      SetErrorLevel ${EXIT_NO_ZRB_FOLDER}
      Quit
    ${EndIf}
    Call WaitUntilFree
  ${EndIf}
FunctionEnd

; The page's texts say whether ZRB was found. Chosen here, since a text
; taken in .onInit may still be in another language than the pages.
Function ZrbPagePre
  ${If} $Binaria == ""
    StrCpy $PageHeader "$(NoZrbHeader)"
    StrCpy $PageSubheader "$(NoZrbSubheader)"
    StrCpy $PageText "$(NoZrbText)"
  ${Else}
    StrCpy $PageHeader "$(ZrbHeader)"
    StrCpy $PageSubheader "$(ZrbSubheader)"
    StrCpy $PageText "$(ZrbText)"
  ${EndIf}
FunctionEnd

Function CheckZrbDir
  !insertmacro TrimSlash $ZrbDir
  ${If} $ZrbDir == ""
  ${OrIfNot} ${FileExists} "$ZrbDir\*.*"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(ZrbMissing)"
    Abort
  ${EndIf}
  ; Without ZRB only a deliberate choice goes on.
  ${If} $Binaria == ""
    ${IfNot} ${Cmd} `MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "$(NoZrbConfirm)" IDYES`
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

; The test form with the plug-in just installed in the ZRB folder.
Function RunForm
  Exec '"$INSTDIR\kolektor-test.exe" "$ZrbDir\kolektor.dll"'
FunctionEnd

Section "!$(PluginSection)" SecPlugin
  SectionIn RO
  ; Again: a program may have started since the person was asked.
  Call WaitUntilFree
  SetRegView 32

  ; The plug-in lives in one ZRB folder. Installed before into another one,
  ; that folder first gets back what it had, and the uninstall entry stops
  ; naming it, so that a stop further on leaves nothing half-undone.
  ${If} $OldZrbDir != ""
  ${AndIf} $OldZrbDir != $ZrbDir
    Push $OldBackup
    Push $OldZrbDir
    Call RestoreZrbFolder
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "ZrbFolder"
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "Backup"
    StrCpy $OldZrbDir ""
    StrCpy $OldBackup ""
  ${EndIf}

  ; The new plug-in is written beside the old one first; only then is the
  ; old one moved aside (somebody else's: kept under its version, never
  ; over an earlier backup) or removed (kolektor's own: a reinstall or an
  ; upgrade, where the backup of what was there before stays the one to put
  ; back), and the new one takes its name.
  StrCpy $Backup $OldBackup
  StrCpy $Held "$ZrbDir\kolektor.dll"
  SetOutPath "$ZrbDir"
  Delete "$ZrbDir\kolektor.dll.new"
  File "/oname=kolektor.dll.new" "${STAGE}\kolektor.dll"
  ${IfNot} ${FileExists} "$ZrbDir\kolektor.dll.new"
    Call ChangeFailed
  ${EndIf}
  ClearErrors
  ${If} $OldZrbDir == $ZrbDir
  ${AndIf} ${FileExists} "$ZrbDir\kolektor.dll"
    Delete "$ZrbDir\kolektor.dll"
  ${ElseIf} ${FileExists} "$ZrbDir\kolektor.dll"
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
    ClearErrors
    Rename "$ZrbDir\kolektor.dll" "$ZrbDir\$Backup"
  ${EndIf}
  ${If} ${Errors}
  ${OrIf} ${FileExists} "$ZrbDir\kolektor.dll"
    Delete "$ZrbDir\kolektor.dll.new"
    Call ChangeFailed
  ${EndIf}
  Rename "$ZrbDir\kolektor.dll.new" "$ZrbDir\kolektor.dll"

  SetOutPath "$INSTDIR"
  SetOverwrite on
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
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "$(DisplayName)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "kolektor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kolektor-test.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallerLanguage" "$LANGUAGE"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; What the uninstaller needs to undo the step in the ZRB folder.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "ZrbFolder" "$ZrbDir"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Backup" "$Backup"

  ; The finish page and the exit code say what is still missing.
  ${If} $Binaria == ""
    StrCpy $PageText "$(FinishNoZrbText)"
    SetErrorLevel ${EXIT_NO_BINARIA}
  ${Else}
    StrCpy $PageText "$(FinishText)"
  ${EndIf}
SectionEnd

Section /o "$(SimulatorSection)" SecSimulator
  ; Its own folder only: DLOOKUP2.EXE and IR_READ2.EXE beside ZRB would
  ; take the vendor utilities' place.
  SetOutPath "$INSTDIR\simulator"
  File "${STAGE}\simulator\DLOOKUP2.EXE"
  File "${STAGE}\simulator\IR_READ2.EXE"
  File "${STAGE}\simulator\terminal.exe"
SectionEnd

; After the sections, whose numbers it needs. The simulator is chosen by
; /SIMULATOR, and kept chosen when it is installed already: an upgrade
; replaces it instead of leaving the old one beside the new plug-in.
Function SimulatorFromCommandLine
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SIMULATOR" $1
  ${IfNot} ${Errors}
  ${OrIf} ${FileExists} "$INSTDIR\simulator\terminal.exe"
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
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallerLanguage"
  ${If} $0 != ""
    StrCpy $LANGUAGE $0
  ${EndIf}
  ReadRegStr $ZrbDir HKLM "${UNINSTALL_KEY}" "ZrbFolder"
  ReadRegStr $Backup HKLM "${UNINSTALL_KEY}" "Backup"
  ${If} ${Silent}
    Call un.WaitUntilFree
  ${EndIf}
FunctionEnd

; The language read in un.onInit holds from its end on: the text is taken
; here. The page holds three lines: the program folder is shown below it,
; so the text names only what changes in ZRB's folder.
Function un.ConfirmPagePre
  ${If} $Backup != ""
  ${AndIf} ${FileExists} "$ZrbDir\$Backup"
    StrCpy $PageText "$(un.ConfirmBackup)"
  ${Else}
    StrCpy $PageText "$(un.ConfirmNoBackup)"
  ${EndIf}
  ${If} ${FileExists} "$ZrbDir\kolektor.log"
    StrCpy $PageText "$PageText $(un.ConfirmTrace)"
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.WaitUntilFree
  SetShellVarContext all
  SetRegView 32
  ; The ZRB folder first: the one step that can meet a held file, taken
  ; while nothing else has changed.
  ${If} $ZrbDir != ""
    Push $Backup
    Push $ZrbDir
    Call un.RestoreZrbFolder
  ${EndIf}
  RMDir /r "$INSTDIR\simulator"
  RMDir /r "$INSTDIR\examples"
  Delete "$INSTDIR\kolektor-test.exe"
  Delete "$INSTDIR\zrbhost.exe"
  Delete "$INSTDIR\INSTALL.txt"
  Delete "$INSTDIR\KOMUNIKATY.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir /r "$SMPROGRAMS\kolektor"
  ; Last: an uninstall that stopped can be run again from the list.
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
