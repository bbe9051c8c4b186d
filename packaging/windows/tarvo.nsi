; The installer of a station PC, made by scripts/package-windows.sh:
;   makensis -DVERSION=0.1.0 -DVERSION4=0.1.0.0 -DFILES=install.nsh -DREMOVE=uninstall.nsh
;            -DOUTFILE=setup.exe [-DPROGRAM] tarvo.nsi
; FILES holds one File line per file shipped, REMOVE the Delete line of each, so the uninstaller
; takes away exactly what the installer put there. PROGRAM: Tarvo.exe is among them.
; "setup.exe /S" installs without a window (line roll-outs), "/D=C:\path" as the last argument
; chooses the folder; the uninstaller also takes /S.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "Tarvo"
!define PUBLISHER "Tarvo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvo"
!define MENU "$SMPROGRAMS\Tarvo"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Tarvo"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Tarvo"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; For everyone on the station PC; a shortcut starts in the folder it is made from.
  SetShellVarContext all
  CreateDirectory "${MENU}"
!ifdef PROGRAM
  CreateShortcut "${MENU}\Tarvo.lnk" "$INSTDIR\Tarvo.exe"
!endif
  CreateShortcut "${MENU}\Tarvo command line.lnk" "$SYSDIR\cmd.exe" "/K tarvo-cli.exe --help"
  CreateShortcut "${MENU}\Uninstall Tarvo.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
!ifdef PROGRAM
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tarvo.exe"
!endif
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !include "${REMOVE}"
  Delete "$INSTDIR\uninstall.exe"
  ; Files the station's work left in the folder (settings files, chart files) keep it.
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "${MENU}\Tarvo.lnk"
  Delete "${MENU}\Tarvo command line.lnk"
  Delete "${MENU}\Uninstall Tarvo.lnk"
  RMDir "${MENU}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
