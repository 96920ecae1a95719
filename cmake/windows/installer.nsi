; The installer of one Windows edition, made by scripts/windows/package.sh:
;   makensis -DEDITION=x86_64|i686 -DVERSION=1.0.0 -DFILES=DIR -DLISTS=DIR
;            -DICON=FILE.ico -DOUTFILE=FILE -DSIZE_KB=N installer.nsi
; FILES is the staged program folder; LISTS holds install-files.nsh and
; uninstall-files.nsh, the commands that install and remove its files. The installer
; runs in its edition's width (a 64-bit installer for the 64-bit edition),
; so Program Files, System32 and the registry are the ones Update.dll's own
; hosts see. /S installs or uninstalls silently.

Unicode true
!include LogicLib.nsh

!define PRODUCT "Tarnwick Update"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TarnwickUpdate"
!if ${EDITION} == x86_64
  Target amd64-unicode
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
  !define WIDTH "64-bit"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
  !define WIDTH "32-bit"
!endif

Name "${PRODUCT} ${VERSION} (${WIDTH})"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
Icon "${ICON}"
UninstallIcon "${ICON}"
BrandingText "Tarnwick"
ManifestDPIAware true
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}.0"
VIAddVersionKey "FileVersion" "${VERSION}.0"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} (${WIDTH}) Setup"
VIAddVersionKey "CompanyName" "Tarnwick"
VIAddVersionKey "LegalCopyright" "Tarnwick"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Registers Update.dll in this process, as regsvr32 does, so that a failure
; can be told in the system's words: $1 is empty on success, else the reason.
Function Register
  StrCpy $1 ""
  ; LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS: the
  ; DLLs it needs come from its own folder.
  System::Call 'kernel32::LoadLibraryExW(w "$INSTDIR\Update.dll", p 0, i 0x1100) p .r2 ?e'
  Pop $3
  ${If} $2 P= 0
    Push $3
    Call SystemMessage
    Pop $1
    Return
  ${EndIf}
  System::Call 'kernel32::GetProcAddress(p r2, m "DllRegisterServer") p .r4'
  ${If} $4 P= 0
    StrCpy $1 "Update.dll has no DllRegisterServer."
  ${Else}
    System::Call '::$4() i .r3'
    ${If} $3 <> 0
      Push $3
      Call SystemMessage
      Pop $1
    ${EndIf}
  ${EndIf}
  System::Call 'kernel32::FreeLibrary(p r2)'
FunctionEnd

; The system's text for an error code or HRESULT on the stack.
Function SystemMessage
  Exch $5
  Push $6
  IntFmt $6 "0x%08X" $5
  ; FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS
  System::Call 'kernel32::FormatMessageW(i 0x1200, p 0, i r5, i 0, w .r5, i ${NSIS_MAX_STRLEN}, p 0) i .r7'
  ${If} $7 = 0
    StrCpy $5 "error $6"
  ${Else}
    StrCpy $7 $5 2 -2
    ${If} $7 == "$\r$\n"
      StrCpy $5 $5 -2
    ${EndIf}
    StrCpy $5 "$5 ($6)"
  ${EndIf}
  Pop $6
  Exch $5
FunctionEnd

; A text on the stack written to the standard error, when this run was
; given one (a deployment tool's log): a silent run shows no box.
Function WriteError
  Exch $5
  System::Call 'kernel32::GetStdHandle(i -12) p .r6'
  ${If} $6 P<> 0
  ${AndIf} $6 P<> -1
    StrLen $7 $5
    System::Call 'kernel32::WriteFile(p r6, m r5, i r7, *i 0, p 0)'
  ${EndIf}
  Pop $5
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  !include "${LISTS}/install-files.nsh"
  Call Register
  ${If} $1 != ""
    ; Nothing stays behind a failed installation; what the attempt left
    ; loaded in this process goes at the next restart.
    SetOutPath "$TEMP"
    !define DELETE_OPTIONS /REBOOTOK
    !include "${LISTS}/uninstall-files.nsh"
    !undef DELETE_OPTIONS
    RMDir /REBOOTOK "$INSTDIR"
    StrCpy $1 "Update.dll could not be registered: $1"
    MessageBox MB_ICONSTOP|MB_OK "$1" /SD IDOK
    Push "$1$\r$\n"
    Call WriteError
    Abort
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} (${WIDTH})"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}.0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tarnwick"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TarnwickUpdate.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; By regsvr32 of this width, in a process of its own: the compiler's
  ; run-time DLLs, once loaded, stay loaded in the process that loaded them,
  ; and could not be removed by this one. A registration that can't be
  ; undone (the DLL already gone) doesn't keep the rest from going.
  ExecWait '"$SYSDIR\regsvr32.exe" /u /s "$INSTDIR\Update.dll"' $0
  ${If} $0 <> 0
    DetailPrint "Update.dll could not be unregistered (regsvr32 ended with status $0)"
  ${EndIf}
  SetOutPath "$TEMP"
  !define DELETE_OPTIONS ""
  !include "${LISTS}/uninstall-files.nsh"
  !undef DELETE_OPTIONS
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
