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

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

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
