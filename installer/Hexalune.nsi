; Per-user installer for Hexalune: no administrator rights needed.
; makensis -DEXE=<path to Hexalune.exe> -DLICENSE=<path to LICENSE.txt> -DVERSION=<version>
;          "-DPUBLISHER=<publisher>" -DOUTFILE=<setup.exe> [-DTARGET=amd64-unicode] Hexalune.nsi
; The build's package-windows target runs it with the version and the publisher from CMakeLists.txt.

Unicode true
!ifdef TARGET
  Target ${TARGET}  ; amd64-unicode for the 64-bit program
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
; makensis (3.08) stores the modification time of every file it packs, and the installed copy gets
; it: two builds of one commit would then differ wherever the build left the exe at another time.
; Without it the installed file takes the time of installing. makensis writes no time or path of
; its own (the PE header keeps the stamp of the stub as NSIS was built), so nothing else varies.
SetDateSave off

!ifndef VERSION
  !error "VERSION must be given: makensis -DVERSION=<version> ..."
!endif
!ifndef PUBLISHER
  !error "PUBLISHER must be given: makensis -DPUBLISHER=<publisher> ..."
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Hexalune"

Name "Hexalune ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Hexalune"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!define WM_CLOSE 0x0010

; A running copy is asked to end, as Windows does at log-off.
!macro EndRunningCopy un
  Function ${un}EndRunningCopy
    StrCpy $1 0
    again:
      FindWindow $0 "HexaluneMainWindow" ""
      StrCmp $0 0 finished
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
      Sleep 200
      IntOp $1 $1 + 1
      IntCmp $1 20 finished again finished
    finished:
  FunctionEnd
!macroend
!insertmacro EndRunningCopy ""
!insertmacro EndRunningCopy "un."


Section "Hexalune"
  SetShellVarContext current
  Call EndRunningCopy
  SetOutPath "$INSTDIR"
  File "/oname=Hexalune.exe" "${EXE}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Hexalune.lnk" "$INSTDIR\Hexalune.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Hexalune"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Hexalune.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.EndRunningCopy
  Delete "$INSTDIR\Hexalune.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Hexalune.lnk"
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Hexalune"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The reading, the options and the journal of readings (%APPDATA%\Hexalune\<program name>)
  ; stay unless the user says otherwise (a silent removal keeps them).
  MessageBox MB_YESNO|MB_ICONQUESTION "Keep your Hexalune settings (display time, today's reading and start options) and your journal of readings?" /SD IDYES IDYES keep
    DeleteRegKey HKCU "Software\Hexalune"
    RMDir /r "$APPDATA\Hexalune"
  keep:
SectionEnd
