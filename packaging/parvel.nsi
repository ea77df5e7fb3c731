; Parvel setup: installs both builds of the add-in for the current user and
; registers the one that matches Outlook, without administrator rights.
;
; Defines from packaging/CMakeLists.txt: VERSION (major.minor.patch), X64_DLL,
; X86_DLL (stripped copies of the two builds), ICON (packaging/parvel.ico) and
; OUTFILE; TARGET=amd64-unicode
; makes a 64-bit setup program (for test runs on machines that cannot start
; 32-bit programs); without it the setup program is a 32-bit one, which runs
; on every Windows.
;
; Command line (besides NSIS's own /S and /D=folder):
;   /BITNESS=x64|x86|both  register that build whatever Outlook says
; Exit codes: 0 installed, 1 cancelled by the user, 2 refused (an unknown
; /BITNESS, or x64 on a 32-bit Windows), 3 registration failed.

!ifdef TARGET
  Target ${TARGET}
!else
  Unicode true
!endif
; "Setup" in the file name is what users look for; the manifest's execution
; level already keeps Windows' installer detection away from it.
!pragma warning disable 9000
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define PRODUCT "Parvel"
!define PUBLISHER "Zintara"
!define ADDIN_DLL "ParvelAddin.dll"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Parvel"
!define EXIT_REFUSED 2
!define EXIT_REGISTRATION_FAILED 3

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey FileDescription "${PRODUCT} setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright "Copyright (C) ${PUBLISHER}"
VIAddVersionKey OriginalFilename "${PRODUCT}Setup-${VERSION}.exe"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; "x64", "x86" or "both": which builds get registered.
Var Bitness

; Runs regsvr32 of the given bitness silently on a DLL; $0 is "0" on success.
; For a 32-bit setup program System32 is the 64-bit folder only with the file
; system redirection switched off; for a 64-bit one the 32-bit regsvr32 is in
; SysWOW64.
!macro RunRegsvr32 BITS OPTIONS DLL
  StrCpy $0 "not run"
  ClearErrors
  !if ${NSIS_PTR_SIZE} > 4
    !if ${BITS} == 64
      ExecWait '"$SYSDIR\regsvr32.exe" ${OPTIONS} "${DLL}"' $0
    !else
      ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" ${OPTIONS} "${DLL}"' $0
    !endif
  !else if ${BITS} == 64
    ${DisableX64FSRedirection}
    ExecWait '"$SYSDIR\regsvr32.exe" ${OPTIONS} "${DLL}"' $0
    ${EnableX64FSRedirection}
  !else
    ExecWait '"$SYSDIR\regsvr32.exe" ${OPTIONS} "${DLL}"' $0
  !endif
  ${If} ${Errors}
    StrCpy $0 "not run"
  ${EndIf}
!macroend

; Unregisters both builds, ignoring "not registered" and missing files: the
; add-in's own unregistration removes its keys whichever build wrote them.
!macro UnregisterBoth
  ${If} ${RunningX64}
  ${AndIf} ${FileExists} "$INSTDIR\x64\${ADDIN_DLL}"
    DetailPrint "Unregistering the 64-bit add-in"
    !insertmacro RunRegsvr32 64 "/u /s" "$INSTDIR\x64\${ADDIN_DLL}"
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\x86\${ADDIN_DLL}"
    DetailPrint "Unregistering the 32-bit add-in"
    !insertmacro RunRegsvr32 32 "/u /s" "$INSTDIR\x86\${ADDIN_DLL}"
  ${EndIf}
!macroend

; Removes what setup put in place. The user's settings stay in the registry,
; and a folder holding templates ("ZNSMSTemplates.txt" beside the DLL) stays
; with them: RMDir without /r leaves a folder that is not empty.
!macro RemoveInstallation
  !insertmacro UnregisterBoth
  ; The working folder cannot be removed.
  SetOutPath "$TEMP"
  Delete "$INSTDIR\x64\${ADDIN_DLL}"
  Delete "$INSTDIR\x86\${ADDIN_DLL}"
  RMDir "$INSTDIR\x64"
  RMDir "$INSTDIR\x86"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
!macroend

; Sets $Bitness from the value "Bitness" that Outlook 2010 and later keep
; for themselves in either registry view, the newest version first.
!macro ReadOutlookBitness VIEW VERSION
  ${If} $Bitness == ""
    SetRegView ${VIEW}
    ReadRegStr $0 HKLM "SOFTWARE\Microsoft\Office\${VERSION}\Outlook" "Bitness"
    ${If} $0 == "x64"
    ${OrIf} $0 == "x86"
      StrCpy $Bitness $0
    ${EndIf}
  ${EndIf}
!macroend

; Same for the platform of a Click-to-Run Office.
!macro ReadClickToRunPlatform VIEW
  ${If} $Bitness == ""
    SetRegView ${VIEW}
    ReadRegStr $0 HKLM "SOFTWARE\Microsoft\Office\ClickToRun\Configuration" "Platform"
    ${If} $0 == "x64"
    ${OrIf} $0 == "x86"
      StrCpy $Bitness $0
    ${EndIf}
  ${EndIf}
!macroend

Function DetectOutlookBitness
  StrCpy $Bitness ""
  !insertmacro ReadOutlookBitness 64 "16.0"
  !insertmacro ReadOutlookBitness 32 "16.0"
  !insertmacro ReadOutlookBitness 64 "15.0"
  !insertmacro ReadOutlookBitness 32 "15.0"
  !insertmacro ReadOutlookBitness 64 "14.0"
  !insertmacro ReadOutlookBitness 32 "14.0"
  !insertmacro ReadClickToRunPlatform 64
  !insertmacro ReadClickToRunPlatform 32
  SetRegView default
  ; Outlook not found or not telling: whichever Outlook the user starts
  ; later finds its build registered.
  ${If} $Bitness == ""
    StrCpy $Bitness "both"
  ${EndIf}
FunctionEnd

Function .onInit
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/BITNESS=" $Bitness
  ${If} ${Errors}
    Call DetectOutlookBitness
  ${ElseIf} $Bitness != "x64"
  ${AndIf} $Bitness != "x86"
  ${AndIf} $Bitness != "both"
    MessageBox MB_ICONSTOP|MB_OK "Unknown bitness $\"$Bitness$\": use /BITNESS=x64, x86 or both." /SD IDOK
    SetErrorLevel ${EXIT_REFUSED}
    Quit
  ${EndIf}
  ${If} $Bitness == "x64"
  ${AndIfNot} ${RunningX64}
    MessageBox MB_ICONSTOP|MB_OK "The 64-bit add-in needs a 64-bit Windows." /SD IDOK
    SetErrorLevel ${EXIT_REFUSED}
    Quit
  ${EndIf}
  ; A 32-bit Windows runs a 32-bit Outlook only.
  ${If} $Bitness == "both"
  ${AndIfNot} ${RunningX64}
    StrCpy $Bitness "x86"
  ${EndIf}
FunctionEnd

Section "Parvel"
  SetOutPath "$INSTDIR\x64"
  File "/oname=${ADDIN_DLL}" "${X64_DLL}"
  SetOutPath "$INSTDIR\x86"
  File "/oname=${ADDIN_DLL}" "${X86_DLL}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; Both builds register the same ProgID, type library and Outlook add-in
  ; key: the one not wanted (left by an earlier setup) goes first, so that
  ; its unregistration cannot take the shared keys from the wanted one.
  ${If} $Bitness == "x86"
  ${AndIf} ${RunningX64}
    !insertmacro RunRegsvr32 64 "/u /s" "$INSTDIR\x64\${ADDIN_DLL}"
  ${ElseIf} $Bitness == "x64"
    !insertmacro RunRegsvr32 32 "/u /s" "$INSTDIR\x86\${ADDIN_DLL}"
  ${EndIf}

  ; The 64-bit build last: where the two builds share the class key (Wine
  ; does not keep a 32-bit view of the user's classes) it wins, as the
  ; more likely Outlook.
  StrCpy $0 "0"
  ${If} $Bitness != "x64"
    DetailPrint "Registering the 32-bit add-in"
    !insertmacro RunRegsvr32 32 "/s" "$INSTDIR\x86\${ADDIN_DLL}"
  ${EndIf}
  ${If} $0 == "0"
  ${AndIf} $Bitness != "x86"
    DetailPrint "Registering the 64-bit add-in"
    !insertmacro RunRegsvr32 64 "/s" "$INSTDIR\x64\${ADDIN_DLL}"
  ${EndIf}
  ${If} $0 != "0"
    StrCpy $1 $0
    !insertmacro RemoveInstallation
    MessageBox MB_ICONSTOP|MB_OK "The add-in could not be registered (regsvr32: $1). Nothing was installed." /SD IDOK
    SetErrorLevel ${EXIT_REGISTRATION_FAILED}
    Abort
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  ; Silent, and waiting until everything is removed, for scripts and
  ; deployment tools: started plainly, the uninstaller copies itself away and
  ; returns at once, before anything is removed. Run in place (_?=, the last
  ; option, unquoted) it waits, but cannot remove itself and its folder: cmd
  ; does that after it succeeded (a folder that still holds templates stays).
  ; The exit code is the uninstaller's ("(call )" sets 0 after rmdir).
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$SYSDIR\cmd.exe" /c start "" /wait "$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR& if not errorlevel 1 (del "$INSTDIR\${UNINSTALLER}" & rmdir "$INSTDIR" 2>nul & (call ))'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${UNINSTALLER},0"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  !insertmacro RemoveInstallation
SectionEnd
