; Vemlix Setup: a per-user installation that needs no administrator rights.
; Built by `make dist` (installer/CMakeLists.txt), which defines VERSION, FILES (the folder
; holding Vemlix.exe and Vemlix.chm), ICON and OUTFILE.
Unicode true
; A 32-bit installer does nothing at all under a 64-bit-only Wine; Vemlix is 64-bit anyway.
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vemlix"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SHORTCUT "$SMPROGRAMS\Vemlix.lnk"
; A running Vemlix holds this mutex from its start to its end, whether its window shows or not;
; it is the mark of this session's copy (another session's is out of reach anyway).
!define MUTEX "Local\Tarnwelt.Vemlix.SingleInstance"
!define WINDOW_CLASS "VEMLIX"
!define CMD_EXIT 177
!define SYNCHRONIZE 0x00100000
!define CLSID_ShellLink "{00021401-0000-0000-C000-000000000046}"
!define IID_IShellLinkW "{000214F9-0000-0000-C000-000000000046}"
!define IID_IPersistFile "{0000010B-0000-0000-C000-000000000046}"

Name "Vemlix"
Caption "Vemlix ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vemlix"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tarnwelt Vemlix ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install Vemlix ${VERSION} for your Windows account. It needs no administrator rights.$\r$\n$\r$\nIf Vemlix is running, Setup will ask to close it before it replaces any file.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vemlix.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Vemlix"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Vemlix"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Tarnwelt"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Vemlix ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) Tarnwelt"

; The files an installation consists of; each is replaced as a whole set or not at all.
!macro FOR_EACH_FILE action
  !insertmacro ${action} "Vemlix.exe"
  !insertmacro ${action} "Vemlix.chm"
  !insertmacro ${action} "Uninstall.exe"
!macroend

; Shared by Setup and the uninstaller, which NSIS needs as two copies ("un." prefixed).
!macro DEFINE_RUNNING_CHECKS un who
  ; $0 = 1 while a Vemlix runs in this session.
  Function ${un}IsVemlixRunning
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${MUTEX}") p.r0'
    ${If} $0 != 0
      System::Call 'kernel32::CloseHandle(p r0)'
      StrCpy $0 1
    ${EndIf}
  FunctionEnd

  ; Sends a running Vemlix its own Exit command and waits for the process to end. Exit saves
  ; nothing new (every change is already on disk) and the pictures taken are already saved.
  ; $0 = 1 when Vemlix still runs afterwards, or the user chose to leave it running.
  Function ${un}CloseVemlix
    Call ${un}IsVemlixRunning
    ${If} $0 == 0
      Return
    ${EndIf}
    MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Vemlix is running. ${who} needs to close it first; the pictures it has taken are kept.$\r$\n$\r$\nClick OK to close Vemlix now, or Cancel to stop." /SD IDOK IDOK close
    StrCpy $0 1
    Return
    close:
    FindWindow $1 "${WINDOW_CLASS}"
    ${If} $1 != 0
      System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2)'
      System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r2) p.r3'
      SendMessage $1 ${WM_COMMAND} ${CMD_EXIT} 0 /TIMEOUT=5000
      ${If} $3 != 0
        System::Call 'kernel32::WaitForSingleObject(p r3, i 10000)'
        System::Call 'kernel32::CloseHandle(p r3)'
      ${EndIf}
    ${EndIf}
    ; A Vemlix still starting up (or asking about an update) has no window yet: give it time.
    ${For} $4 1 50
      Call ${un}IsVemlixRunning
      ${If} $0 == 0
        ${Break}
      ${EndIf}
      Sleep 100
    ${Next}
  FunctionEnd
!macroend
!insertmacro DEFINE_RUNNING_CHECKS "" "Setup"
!insertmacro DEFINE_RUNNING_CHECKS "un." "The uninstaller"

!macro REFUSE_WHILE_RUNNING un what
  Call ${un}CloseVemlix
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONSTOP "Vemlix is still running, so ${what} changed nothing.$\r$\n$\r$\nChoose Exit Vemlix in the menu of its tray icon and run ${what} again." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
!macroend

; Files left by an interrupted earlier run of Setup.
!macro REMOVE_LEFTOVER name
  Delete "$INSTDIR\${name}.new"
  Delete "$INSTDIR\${name}.old"
!macroend

!macro MOVE_OLD_ASIDE name
  ${If} ${FileExists} "$INSTDIR\${name}"
    ClearErrors
    Rename "$INSTDIR\${name}" "$INSTDIR\${name}.old"
    ${If} ${Errors}
      Goto rollback
    ${EndIf}
  ${EndIf}
!macroend

!macro PUT_NEW_IN_PLACE name
  ClearErrors
  Rename "$INSTDIR\${name}.new" "$INSTDIR\${name}"
  ${If} ${Errors}
    Goto rollback
  ${EndIf}
!macroend

; Undoes both steps above, whichever files they had got to.
!macro TAKE_NEW_BACK name
  ${IfNot} ${FileExists} "$INSTDIR\${name}.new"
  ${AndIf} ${FileExists} "$INSTDIR\${name}"
    Rename "$INSTDIR\${name}" "$INSTDIR\${name}.new"
  ${EndIf}
!macroend
!macro RESTORE_OLD name
  ${If} ${FileExists} "$INSTDIR\${name}.old"
    Rename "$INSTDIR\${name}.old" "$INSTDIR\${name}"
  ${EndIf}
  Delete "$INSTDIR\${name}.new"
!macroend

; The old process may hold its program file for a moment after it has ended.
!macro DELETE_OLD name
  ${For} $4 1 20
    Delete "$INSTDIR\${name}.old"
    ${IfNot} ${FileExists} "$INSTDIR\${name}.old"
      ${Break}
    ${EndIf}
    Sleep 100
  ${Next}
!macroend

; $0 = 1 unless $INSTDIR holds an Uninstall.exe of another program: Setup would replace it, and
; that program could no longer be removed. Ours is where our installation is registered, or
; beside our program.
Function IsUninstallerOurs
  StrCpy $0 1
  ${IfNot} ${FileExists} "$INSTDIR\Uninstall.exe"
  ${OrIf} ${FileExists} "$INSTDIR\Vemlix.exe"
    Return
  ${EndIf}
  ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $1 != "$INSTDIR"
    StrCpy $0 0
  ${EndIf}
FunctionEnd

!define FOREIGN_UNINSTALLER "$INSTDIR holds the uninstaller of another program.$\r$\n$\r$\nChoose a folder of its own for Vemlix."

Function DirectoryLeave
  Call IsUninstallerOurs
  ${If} $0 == 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "${FOREIGN_UNINSTALLER}"
    Abort
  ${EndIf}
FunctionEnd

Section "Vemlix"
  ; A silent Setup sees no folder page.
  Call IsUninstallerOurs
  ${If} $0 == 0
    MessageBox MB_OK|MB_ICONSTOP "${FOREIGN_UNINSTALLER}" /SD IDOK
    SetErrorLevel 4
    Abort
  ${EndIf}
  !insertmacro REFUSE_WHILE_RUNNING "" "Setup"
  SetOutPath "$INSTDIR"
  !insertmacro FOR_EACH_FILE REMOVE_LEFTOVER

  ; The new files are written beside the old ones first and then renamed into place, so an
  ; error at any point leaves the previous installation as it was.
  SetOverwrite on
  File "/oname=Vemlix.exe.new" "${FILES}\Vemlix.exe"
  File "/oname=Vemlix.chm.new" "${FILES}\Vemlix.chm"
  WriteUninstaller "$INSTDIR\Uninstall.exe.new"
  !insertmacro FOR_EACH_FILE MOVE_OLD_ASIDE
  !insertmacro FOR_EACH_FILE PUT_NEW_IN_PLACE
  !insertmacro FOR_EACH_FILE DELETE_OLD
  Goto registered
  rollback:
  !insertmacro FOR_EACH_FILE TAKE_NEW_BACK
  !insertmacro FOR_EACH_FILE RESTORE_OLD
  MessageBox MB_OK|MB_ICONSTOP "Setup could not replace the files in $INSTDIR. The installation was left as it was." /SD IDOK
  SetErrorLevel 3
  Abort

  registered:
  CreateShortcut "${SHORTCUT}" "$INSTDIR\Vemlix.exe" "" "$INSTDIR\Vemlix.exe" 0 SW_SHOWNORMAL "" "Take screenshots now or on a schedule"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vemlix"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tarnwelt"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vemlix.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; $0 = the program the Start-menu shortcut starts, or "" when there is none.
Function un.ShortcutTarget
  StrCpy $0 ""
  System::Call 'ole32::CoCreateInstance(g "${CLSID_ShellLink}", p 0, i 1, g "${IID_IShellLinkW}", *p .r1) i .r2'
  ${If} $2 != 0
    Return
  ${EndIf}
  ; IUnknown::QueryInterface, IPersistFile::Load, IShellLinkW::GetPath, IUnknown::Release.
  System::Call '$1->0(g "${IID_IPersistFile}", *p .r3) i .r2'
  ${If} $2 == 0
    System::Call '$3->5(w "${SHORTCUT}", i 0) i .r2'
    ${If} $2 == 0
      System::Call '$1->3(w .r0, i ${NSIS_MAX_STRLEN}, p 0, i 0)'
    ${EndIf}
    System::Call '$3->2()'
  ${EndIf}
  System::Call '$1->2()'
FunctionEnd

; Removes what Setup and Vemlix put outside the user's data: never Documents\Vemlix, never a
; picture, and nothing in the program folder that Setup did not put there. The shortcut, the
; logon entry and the registration go only when they are this installation's: another copy of
; Vemlix may have put its own there since.
Section "Uninstall"
  !insertmacro REFUSE_WHILE_RUNNING "un." "the uninstaller"
  !insertmacro FOR_EACH_FILE REMOVE_LEFTOVER
  Delete "$INSTDIR\Vemlix.exe"
  Delete "$INSTDIR\Vemlix.chm"
  Delete "$INSTDIR\Uninstall.exe"
  Call un.ShortcutTarget
  ${If} $0 == "$INSTDIR\Vemlix.exe"
    Delete "${SHORTCUT}"
  ${EndIf}
  ; As Vemlix writes it.
  ReadRegStr $0 HKCU "${RUN_KEY}" "Vemlix"
  ${If} $0 == '"$INSTDIR\Vemlix.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "Vemlix"
  ${EndIf}
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
  ; Last, so that the folder going shows that the rest is done.
  RMDir "$INSTDIR"
SectionEnd
