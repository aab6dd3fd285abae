; The Windows installer: both programs into Program Files for every user,
; a Start menu entry, the program's folder on the user's PATH (offered, on
; by default), and an uninstaller that Windows lists.
; makensis -DVERSION=x.y -DBINDIR=<folder of the .exe files> -DOUTFILE=<setup.exe> tessiva.nsi
Unicode true
Target amd64-unicode
!include "MUI2.nsh"
!include "StrFunc.nsh"
${StrStr}
${UnStrRep}

Name "Tessiva ${VERSION}"
; Every page names the program, not the tool that made the installer.
BrandingText "Tessiva ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tessiva"
InstallDirRegKey HKLM "Software\Tessiva" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessiva"

!define MUI_PAGE_CUSTOMFUNCTION_SHOW FitButtons
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FitButtons
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.FitConfirmPage
; What stays: the settings are the user's.
!define MUI_UNCONFIRMPAGE_TEXT_TOP "Tessiva をアンインストールします。先に Tessiva を終了してください。設定ファイル tessiva.ini (プログラムのフォルダと %LOCALAPPDATA%\tessiva) は残ります。不要なら削除してください。"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"
; The one half-width caption of the language's words, beside full-width
; ones on the same pages.
LangString ^UninstallBtn ${LANG_JAPANESE} "アンインストール(&U)"

; The pages are made for the Windows faces. Where a stand-in face draws a
; caption wider than its control, the control grows: the button that goes on
; ("Install", "Uninstall") to the left, with the Back button moving along,
; and the uninstaller's "Uninstalling from" label to the right, into its
; folder field.
!macro FIT_CAPTIONS UN
; $R0: a control; $R8: the margin its caption needs. Leaves in $R1 how much
; wider the caption is drawn than the control holds it, or 0.
Function ${UN}TextOverflow
    System::Call 'user32::GetWindowTextW(p R0, w .R2, i ${NSIS_MAX_STRLEN})'
    StrLen $R3 $R2
    SendMessage $R0 ${WM_GETFONT} 0 0 $R4
    System::Call 'user32::GetDC(p R0) p .R5'
    System::Call 'gdi32::SelectObject(p R5, p R4) p .R6'
    System::Call '*(i 0, i 0) p .R7'
    System::Call 'gdi32::GetTextExtentPoint32W(p R5, w R2, i R3, p R7)'
    System::Call '*$R7(i .R3, i)'
    System::Free $R7
    System::Call 'gdi32::SelectObject(p R5, p R6)'
    System::Call 'user32::ReleaseDC(p R0, p R5)'
    System::Call '*(i 0, i 0, i 0, i 0) p .R7'
    System::Call 'user32::GetClientRect(p R0, p R7)'
    System::Call '*$R7(i, i, i .R4, i)'
    System::Free $R7
    IntOp $R1 $R3 + $R8
    IntOp $R1 $R1 - $R4
    IntCmp $R1 0 fits fits
    Return
fits:
    StrCpy $R1 0
FunctionEnd

; $R0: a control of the window $R9; its left edge moves by $R1 and its
; right edge by $R2.
Function ${UN}MoveEdges
    System::Call '*(i 0, i 0, i 0, i 0) p .R7'
    System::Call 'user32::GetWindowRect(p R0, p R7)'
    System::Call 'user32::MapWindowPoints(p 0, p R9, p R7, i 2)'
    System::Call '*$R7(i .R3, i .R4, i .R5, i .R6)'
    System::Free $R7
    IntOp $R3 $R3 + $R1
    IntOp $R5 $R5 + $R2
    IntOp $R5 $R5 - $R3
    IntOp $R6 $R6 - $R4
    System::Call 'user32::SetWindowPos(p R0, p 0, i R3, i R4, i R5, i R6, i 0x14)'
FunctionEnd

Function ${UN}FitButtons
    StrCpy $R9 $HWNDPARENT
    GetDlgItem $R0 $HWNDPARENT 1
    StrCpy $R8 16
    Call ${UN}TextOverflow
    IntCmp $R1 0 done
    IntOp $R1 0 - $R1
    StrCpy $R2 0
    Call ${UN}MoveEdges
    GetDlgItem $R0 $HWNDPARENT 3
    StrCpy $R2 $R1
    Call ${UN}MoveEdges
done:
FunctionEnd
!macroend
!insertmacro FIT_CAPTIONS ""
!insertmacro FIT_CAPTIONS "un."

Function un.FitConfirmPage
    Call un.FitButtons
    FindWindow $R9 "#32770" "" $HWNDPARENT
    GetDlgItem $R0 $R9 1029
    StrCpy $R8 4
    Call un.TextOverflow
    IntCmp $R1 0 done
    StrCpy $R2 $R1
    StrCpy $R1 0
    Call un.MoveEdges
    GetDlgItem $R0 $R9 1000
    StrCpy $R1 $R2
    StrCpy $R2 0
    Call un.MoveEdges
done:
FunctionEnd

Section "Tessiva" SecPrograms
    SectionIn RO
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${BINDIR}\tessiva.exe"
    File "${BINDIR}\tessiva-batch.exe"
    File "${BINDIR}\README-ja.txt"
    CreateShortCut "$SMPROGRAMS\Tessiva お読みください.lnk" "$INSTDIR\README-ja.txt"
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

; tessiva-batch.exe by its bare name in a command prompt: the folder joins
; the PATH of the user who installs, once; the uninstaller takes it away.
; The caption is short enough for the component list; the description says
; the rest.
Section "PATH に追加" SecPath
    ReadRegStr $0 HKCU "Environment" "Path"
    StrCmp $0 "" 0 +4
    WriteRegExpandStr HKCU "Environment" "Path" "$INSTDIR"
    DetailPrint "PATH に追加しました: $INSTDIR"
    Goto announce
    ${StrStr} $1 ";$0;" ";$INSTDIR;"
    StrCmp $1 "" 0 already
    WriteRegExpandStr HKCU "Environment" "Path" "$0;$INSTDIR"
    DetailPrint "PATH に追加しました: $INSTDIR"
    Goto announce
    already:
    DetailPrint "PATH には既にあります: $INSTDIR"
    announce:
    WriteRegDWORD HKLM "Software\Tessiva" "OnPath" 1
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
SectionEnd

LangString DESC_Programs ${LANG_JAPANESE} "DXF 図面をまとめて変換するバッチファイルを作る Tessiva のウィンドウと、同じことをコマンドプロンプトから行う tessiva-batch、その説明（お読みください）。"
LangString DESC_Path ${LANG_JAPANESE} "tessiva-batch.exe を、フォルダを指定せずにコマンドプロンプトから実行できるようにします。"
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecPrograms} $(DESC_Programs)
    !insertmacro MUI_DESCRIPTION_TEXT ${SecPath} $(DESC_Path)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; A program file that a running Tessiva holds cannot be deleted: before
; anything is removed the user is asked to close it and try again, and a
; cancel leaves the installation whole, reported as not uninstalled.
!macro WAIT_UNTIL_CLOSED ID FILE
    retry_${ID}:
    IfFileExists "$INSTDIR\${FILE}" 0 closed_${ID}
    ClearErrors
    FileOpen $0 "$INSTDIR\${FILE}" a
    IfErrors 0 writable_${ID}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${FILE} は使用中です。${FILE} を終了してから「再試行」を押してください。" /SD IDCANCEL IDRETRY retry_${ID}
    SetErrorLevel 2
    Abort "${FILE} が使用中のため、アンインストールを中止しました。"
    writable_${ID}:
    FileClose $0
    closed_${ID}:
!macroend
; A file that is still there after its deletion ends the uninstall as
; failed, before the entry that could remove it later is gone.
!macro MUST_BE_GONE ID FILE
    IfFileExists "$INSTDIR\${FILE}" 0 gone_${ID}
    MessageBox MB_OK|MB_ICONSTOP "${FILE} を削除できませんでした。${FILE} を終了してから、もう一度アンインストールしてください。" /SD IDOK
    SetErrorLevel 2
    Abort "${FILE} を削除できませんでした。"
    gone_${ID}:
!macroend

Section "Uninstall"
    SetShellVarContext all
    !insertmacro WAIT_UNTIL_CLOSED window tessiva.exe
    !insertmacro WAIT_UNTIL_CLOSED tool tessiva-batch.exe
    Delete "$INSTDIR\tessiva.exe"
    Delete "$INSTDIR\tessiva-batch.exe"
    !insertmacro MUST_BE_GONE window tessiva.exe
    !insertmacro MUST_BE_GONE tool tessiva-batch.exe
    Delete "$SMPROGRAMS\Tessiva.lnk"
    Delete "$SMPROGRAMS\Tessiva お読みください.lnk"
    Delete "$INSTDIR\README-ja.txt"
    Delete "$INSTDIR\README.md"
    ; A settings file left beside the programs is the user's; it stays.
    ; Its lock file is no one's once every Tessiva has closed.
    Delete "$INSTDIR\tessiva.ini.lock"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ; The folder off the PATH again, where the installer put it there.
    ReadRegDWORD $0 HKLM "Software\Tessiva" "OnPath"
    IntCmp $0 1 0 pathDone pathDone
    ReadRegStr $0 HKCU "Environment" "Path"
    ${UnStrRep} $1 ";$0;" ";$INSTDIR;" ";"
    StrCpy $1 $1 "" 1
    StrCpy $1 $1 -1
    StrCmp $1 "" 0 +3
    DeleteRegValue HKCU "Environment" "Path"
    Goto pathAnnounce
    WriteRegExpandStr HKCU "Environment" "Path" "$1"
    pathAnnounce:
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
    pathDone:
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\Tessiva"
    ; The user's own settings folder keeps its settings, not their lock.
    SetShellVarContext current
    Delete "$LOCALAPPDATA\tessiva\tessiva.ini.lock"
SectionEnd
