; The Tolvi installer: tolvi.exe, Text.txt and ReadMe.htm under Program
; Files, with "DefSet.txt" beside the program so that an installed copy keeps
; its data in the user's application-data folder; a Start-menu entry; an
; uninstaller that removes the program and leaves the user's data alone.
;   makensis -DVERSION=1.91 -DSTAGE=DIR -DOUTFILE=FILE tolvi.nsi
; 64-bit stub: the program is 64-bit, and so is the Wine that tests it.
Target amd64-unicode

Name "Tolvi ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tolvi"
InstallDirRegKey HKLM "Software\Drovik\Tolvi" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvi"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Tolvi"
  SetRegView 64
  SetOutPath "$INSTDIR"
  File "${STAGE}\tolvi.exe"
  File "${STAGE}\Text.txt"
  File "${STAGE}\ReadMe.htm"
  ; The marker: an installed copy keeps its data out of Program Files.
  FileOpen $0 "$INSTDIR\DefSet.txt" w
  FileClose $0
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Tolvi.lnk" "$INSTDIR\tolvi.exe"
  WriteRegStr HKLM "Software\Drovik\Tolvi" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tolvi ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Drovik"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tolvi.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only the installed files go: the data in the application-data folder, and
; the log-on entry the user chose in Options, stay.
Section "Uninstall"
  SetRegView 64
  Delete "$INSTDIR\tolvi.exe"
  Delete "$INSTDIR\Text.txt"
  Delete "$INSTDIR\ReadMe.htm"
  Delete "$INSTDIR\DefSet.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tolvi.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\Drovik\Tolvi"
SectionEnd
