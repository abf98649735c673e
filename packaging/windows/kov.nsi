; The Windows installer of KOV, made by tools/windows.sh:
;   makensis -DVERSION=<x.y> -DSTAGE=<installed tree> -DOUTFILE=<setup.exe> kov.nsi
; The tree is what `cmake --install` gives (bin\kov.exe with its DLLs and plugins, share\kov with the data), so an
; installed KOV finds its shipped data in ..\share\kov and keeps the person's own copies in %APPDATA%\KOV, which
; uninstalling leaves alone.

Unicode true
; A 64-bit installer for a 64-bit program (and for a Wine that runs 64-bit programs only).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

Name "KOV ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\KOV"
InstallDirRegKey HKLM "Software\KOV" "InstallDir"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KOV"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "KOV"
    SetRegView 64
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/bin"
    File /r "${STAGE}/share"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\KOV"
    CreateShortcut "$SMPROGRAMS\KOV\KOV.lnk" "$INSTDIR\bin\kov.exe"
    CreateShortcut "$SMPROGRAMS\KOV\Uninstall KOV.lnk" "$INSTDIR\uninstall.exe"

    ; Project files open in KOV on a double click.
    WriteRegStr HKLM "Software\Classes\.MSK" "" "KOV.Project"
    WriteRegStr HKLM "Software\Classes\KOV.Project" "" "KOV project"
    WriteRegStr HKLM "Software\Classes\KOV.Project\DefaultIcon" "" "$INSTDIR\bin\kov.exe,0"
    WriteRegStr HKLM "Software\Classes\KOV.Project\shell\open\command" "" '"$INSTDIR\bin\kov.exe" "%1"'

    WriteRegStr HKLM "Software\KOV" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "KOV"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetRegView 64
    RMDir /r "$INSTDIR\bin"
    RMDir /r "$INSTDIR\share"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    RMDir /r "$SMPROGRAMS\KOV"
    ReadRegStr $0 HKLM "Software\Classes\.MSK" ""
    StrCmp $0 "KOV.Project" 0 +2
    DeleteRegKey HKLM "Software\Classes\.MSK"
    DeleteRegKey HKLM "Software\Classes\KOV.Project"
    DeleteRegKey HKLM "Software\KOV"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
