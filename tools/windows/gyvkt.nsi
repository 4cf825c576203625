; The installer of gyermek VKT for 64-bit Windows: the two programs with the Qt and compiler DLLs
; and plugins they need, the Hungarian catalogues, the installation's data tree, a Start-menu entry
; and an uninstaller. The examinations in c:\tavrix are the examiner's: the uninstaller leaves them.
;   makensis -DSTAGE=<cmake --install prefix> -DOUTFILE=<gyvkt-setup.exe> -DVERSION=<x.y.z> gyvkt.nsi
; A 64-bit installer for the 64-bit programs: it runs where they do, Wine's 64-bit prefix too.
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "gyermek VKT"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\gyermek VKT"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1038 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1038 "FileDescription" "${PRODUCT} telepítő"
VIAddVersionKey /LANG=1038 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1038 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1038 "LegalCopyright" "A ${PRODUCT} fejlesztői"

!define MUI_UNCONFIRMPAGE_TEXT_TOP "A program eltávolítása a vizsgálatok adatait (c:\tavrix) nem érinti, azok megmaradnak."
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\gyvkt.exe"
!define MUI_FINISHPAGE_RUN_TEXT "A ${PRODUCT} indítása"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Hungarian"

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "A ${PRODUCT} 64 bites Windowst igényel." /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section
    SetShellVarContext all
    ; An older installation's files go first, so that nothing it had and this one lacks stays.
    RMDir /r "$INSTDIR\bin"
    RMDir /r "$INSTDIR\share"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\${PRODUCT}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\bin\gyvkt.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\A ${PRODUCT} eltávolítása.lnk" "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\gyvkt.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    ; Only what the installer put there: a folder chosen by hand may hold other things too.
    RMDir /r "$INSTDIR\bin"
    RMDir /r "$INSTDIR\share"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}\A ${PRODUCT} eltávolítása.lnk"
    RMDir "$SMPROGRAMS\${PRODUCT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
