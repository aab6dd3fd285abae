; The Windows installer: both programs into Program Files for every user,
; a Start menu entry, and an uninstaller that Windows lists.
; makensis -DVERSION=x.y -DBINDIR=<folder of the .exe files> -DOUTFILE=<setup.exe> tessiva.nsi
Unicode true
Target amd64-unicode
!include "MUI2.nsh"

Name "Tessiva ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tessiva"
InstallDirRegKey HKLM "Software\Tessiva" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessiva"

!define MUI_PAGE_CUSTOMFUNCTION_SHOW FitButtons
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.FitButtons
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; The buttons are made for the Windows faces. Where a stand-in face draws
; the caption of the button that goes on ("Install", "Uninstall") wider
; than the button, the button grows to the left, and the Back button moves
; with it, so that the caption is never cut.
!macro FIT_BUTTONS UN
Function ${UN}FitButtons
    GetDlgItem $0 $HWNDPARENT 1
    System::Call 'user32::GetWindowTextW(p r0, w .r1, i ${NSIS_MAX_STRLEN})'
    StrLen $6 $1
    SendMessage $0 ${WM_GETFONT} 0 0 $2
    System::Call 'user32::GetDC(p r0) p .r3'
    System::Call 'gdi32::SelectObject(p r3, p r2) p .r4'
    System::Call '*(i 0, i 0) p .r5'
    System::Call 'gdi32::GetTextExtentPoint32W(p r3, w r1, i r6, p r5)'
    System::Call '*$5(i .r6, i)'
    System::Free $5
    System::Call 'gdi32::SelectObject(p r3, p r4)'
    System::Call 'user32::ReleaseDC(p r0, p r3)'
    ; The caption's width and a margin on each side, against the button's.
    IntOp $6 $6 + 16
    System::Call '*(i 0, i 0, i 0, i 0) p .r5'
    System::Call 'user32::GetWindowRect(p r0, p r5)'
    System::Call 'user32::MapWindowPoints(p 0, p $HWNDPARENT, p r5, i 2)'
    System::Call '*$5(i .r7, i .r8, i .r9, i .r1)'
    System::Free $5
    IntOp $2 $9 - $7
    IntCmp $6 $2 fits fits
    IntOp $6 $6 - $2
    IntOp $7 $7 - $6
    IntOp $2 $9 - $7
    IntOp $1 $1 - $8
    System::Call 'user32::SetWindowPos(p r0, p 0, i r7, i r8, i r2, i r1, i 0x14)'
    GetDlgItem $0 $HWNDPARENT 3
    System::Call '*(i 0, i 0, i 0, i 0) p .r5'
    System::Call 'user32::GetWindowRect(p r0, p r5)'
    System::Call 'user32::MapWindowPoints(p 0, p $HWNDPARENT, p r5, i 2)'
    System::Call '*$5(i .r7, i .r8, i, i)'
    System::Free $5
    IntOp $7 $7 - $6
    System::Call 'user32::SetWindowPos(p r0, p 0, i r7, i r8, i 0, i 0, i 0x15)'
fits:
FunctionEnd
!macroend
!insertmacro FIT_BUTTONS ""
!insertmacro FIT_BUTTONS "un."

Section "Tessiva"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${BINDIR}\tessiva.exe"
    File "${BINDIR}\tessiva-batch.exe"
    File /oname=README.md "${BINDIR}\README.md"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Tessiva.lnk" "$INSTDIR\tessiva.exe"
    WriteRegStr HKLM "Software\Tessiva" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tessiva"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Morvane"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tessiva.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Tessiva.lnk"
    Delete "$INSTDIR\tessiva.exe"
    Delete "$INSTDIR\tessiva-batch.exe"
    Delete "$INSTDIR\README.md"
    ; A settings file left beside the programs is the user's; it stays.
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\Tessiva"
SectionEnd
