; The iOSLogora installer: a per-user install that needs no administrator rights, a Start-menu entry, and an
; uninstaller registered under Apps & features that removes exactly what the installer put there.
; Built by tools/release.sh:
;   makensis -DVERSION=<string> -DVERSION_NUMBER=<a.b.c.d> -DEXE=<exe> -DREADME=<txt> -DNOTICES=<txt>
;            -DICON=<ico> -DOUTFILE=<setup.exe> installer.nsi
; A 64-bit installer for the 64-bit program: it runs (and is tested) wherever the program does.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "iOSLogora实用工具"
!define UNINSTALL_PARENT "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define UNINSTALL_KEY "${UNINSTALL_PARENT}\iOSLogora"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\iOSLogora"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\iOSLogora.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString StillRunning ${LANG_SIMPCHINESE} "iOSLogora 正在运行，请先关闭它。"
LangString StillRunning ${LANG_ENGLISH} "iOSLogora is running. Please close it first."

VIProductVersion "${VERSION_NUMBER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} ${VERSION} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "iOSLogora"

; Replaces or removes FILE, asking the user to close the program while the file is in use.
!macro RemoveInUse FILE
  ${Do}
    ClearErrors
    Delete "${FILE}"
    ${IfNot} ${FileExists} "${FILE}"
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
!macroend

Section "iOSLogora"
  ; The parent folder and the parent registry key are removed again at uninstall only when this installer
  ; (or an earlier one of ours) made them.
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "CreatedParentFolder"
  ${IfNot} ${FileExists} "$INSTDIR\..\*.*"
    StrCpy $0 1
  ${EndIf}
  ReadRegDWORD $5 HKCU "${UNINSTALL_KEY}" "CreatedParentKey"
  ClearErrors
  EnumRegKey $1 HKCU "${UNINSTALL_PARENT}" 0
  ${If} ${Errors}
    StrCpy $5 1
  ${EndIf}
  !insertmacro RemoveInUse "$INSTDIR\iOSLogora.exe"
  SetOutPath "$INSTDIR"
  File "/oname=iOSLogora.exe" "${EXE}"
  File "/oname=README.txt" "${README}"
  File "/oname=THIRD-PARTY-NOTICES.txt" "${NOTICES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\iOSLogora.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "iOSLogora"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\iOSLogora.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  IntOp $0 $0 + 0
  IntOp $5 $5 + 0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "CreatedParentFolder" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "CreatedParentKey" $5
  ${GetSize} "$INSTDIR" "/S=0K" $2 $3 $4
  IntFmt $2 "0x%08X" $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $2
SectionEnd

Section "Uninstall"
  !insertmacro RemoveInUse "$INSTDIR\iOSLogora.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\uninstall.exe"
  Delete "${SHORTCUT}"
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "CreatedParentFolder"
  ReadRegDWORD $1 HKCU "${UNINSTALL_KEY}" "CreatedParentKey"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${If} $1 == 1
    DeleteRegKey /ifempty HKCU "${UNINSTALL_PARENT}"
  ${EndIf}
  ; Only empty folders go: whatever the user put there stays.
  RMDir "$INSTDIR"
  ${If} $0 == 1
    RMDir "$INSTDIR\.."
  ${EndIf}
  ; The uninstaller runs as a temporary copy of itself, which cannot delete itself while it runs: the copy
  ; and then its folder are removed at the next restart, in that order.
  ${If} $EXEDIR != $INSTDIR
    Delete /REBOOTOK "$EXEDIR\$EXEFILE"
    RMDir /REBOOTOK "$EXEDIR"
  ${EndIf}
SectionEnd
