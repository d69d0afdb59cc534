; The Tarvelin installer: puts Tarvelin.exe in a folder of the user's own (no elevation, so
; the program can later write its updates there), a Start-menu shortcut and an uninstaller
; registered under the user's Add/Remove Programs entries. /S installs silently.
;   makensis -DVERSION=1.0.359 -DEXE=path\Tarvelin.exe -DOUTFILE=Tarvelin-1.0.359-setup.exe
Unicode true
!include MUI2.nsh
!include LogicLib.nsh

!ifndef VERSION
  !define VERSION "0.0.0"
!endif
!ifndef EXE
  !define EXE "Tarvelin.exe"
!endif
!ifndef OUTFILE
  !define OUTFILE "Tarvelin-${VERSION}-setup.exe"
!endif

; Held by a running Tarvelin (its single-instance lock).
!define MUTEX "VexrGPRSHelperMutex"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvelin"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Tarvelin"
; How long to wait for a Tarvelin that has just started this installer to finish closing.
!define CLOSE_WAIT_TENTHS 100

Name "Tarvelin"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tarvelin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1049 "ProductName" "Tarvelin"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка Tarvelin"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "QVT"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tarvelin.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

; Sets $0 to 1 while Tarvelin runs, 0 otherwise.
!macro TarvelinRunning
  System::Call 'kernel32::OpenMutexW(i 0x100000, i 0, w "${MUTEX}") p .r1'
  ${If} $1 P<> 0
    System::Call 'kernel32::CloseHandle(p r1)'
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
!macroend

; Waits a little for a closing Tarvelin (an update starts this installer just before the
; program ends), then asks the user to close it; silent runs give up instead.
!macro WaitForTarvelin un
Function ${un}WaitForTarvelin
  StrCpy $2 0
  wait:
    !insertmacro TarvelinRunning
    ${If} $0 == 0
      Return
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 < ${CLOSE_WAIT_TENTHS}
      Sleep 100
      Goto wait
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Программа Tarvelin запущена. Закройте её и нажмите $\"Повтор$\"." \
      /SD IDCANCEL IDRETRY wait
    SetErrorLevel 2
    Quit
FunctionEnd
!macroend
!insertmacro WaitForTarvelin ""
!insertmacro WaitForTarvelin "un."

Function .onInit
  Call WaitForTarvelin
FunctionEnd

Function un.onInit
  Call un.WaitForTarvelin
FunctionEnd

Section "Tarvelin"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "/oname=Tarvelin.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tarvelin.lnk" "$INSTDIR\Tarvelin.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tarvelin"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "QVT"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tarvelin.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\Tarvelin.exe"
  ; Installers and unfinished downloads the program's update left in its folder.
  Delete "$INSTDIR\*-setup.exe"
  Delete "$INSTDIR\~*.part"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tarvelin.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
