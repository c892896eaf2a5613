; tavrel-setup.exe: TAVREL CONTROL for 64-bit Windows. Built by the Windows
; build (cmake/windows_installer.cmake), which stages the files first:
;   makensis -DSTAGE=<staged files> -DOUTFILE=<setup.exe> -DVERSION=<x.y.z> tavrel.nsi
; Silent install: tavrel-setup.exe /S [/D=folder]; silent removal:
; uninstall.exe /S (both need an administrator).
Unicode true
!include LogicLib.nsh
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "TAVREL CONTROL"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TAVREL"
!define MENU_FOLDER "$SMPROGRAMS\TAVREL CONTROL"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Talbrook\TAVREL"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "TAVREL CONTROL (required)" SectionProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\tavrel.exe"
  File "${STAGE}\tavrelctl.exe"
  File "${STAGE}\clsersim.dll"
  File "${STAGE}\README-Windows.txt"
  SetOutPath "$INSTDIR\licenses"
  File /r "${STAGE}\licenses\*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\TAVREL CONTROL.lnk" "$INSTDIR\tavrel.exe" "" "$INSTDIR\tavrel.exe" 0

  ; The settings file type. The extension goes to it only when no other
  ; program has it yet.
  WriteRegStr HKLM "Software\Classes\TAVDX.Document" "" "TAVDX Document"
  WriteRegStr HKLM "Software\Classes\TAVDX.Document\DefaultIcon" "" "$INSTDIR\tavrel.exe,0"
  WriteRegStr HKLM "Software\Classes\TAVDX.Document\shell\open\command" "" '"$INSTDIR\tavrel.exe" "%1"'
  ReadRegStr $0 HKCR ".tdx" ""
  ${If} $0 == ""
    WriteRegStr HKLM "Software\Classes\.tdx" "" "TAVDX.Document"
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Talbrook"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tavrel.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Explorer shows the new file type's icon without a new log-on.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; The program's object files and a CMake project that links them with a Qt
; of the user's choosing, as the LGPL lets every user do with Qt.
Section /o "Relinking kit (object files, LGPL)" SectionRelink
  SetOutPath "$INSTDIR\relink"
  File /r "${STAGE}\relink\*"
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "${MENU_FOLDER}\TAVREL CONTROL.lnk"
  RMDir "${MENU_FOLDER}"

  ReadRegStr $0 HKLM "Software\Classes\.tdx" ""
  ${If} $0 == "TAVDX.Document"
    DeleteRegKey HKLM "Software\Classes\.tdx"
  ${EndIf}
  DeleteRegKey HKLM "Software\Classes\TAVDX.Document"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  Delete "$INSTDIR\tavrel.exe"
  Delete "$INSTDIR\tavrelctl.exe"
  Delete "$INSTDIR\clsersim.dll"
  Delete "$INSTDIR\README-Windows.txt"
  RMDir /r "$INSTDIR\licenses"
  RMDir /r "$INSTDIR\relink"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The maker's folder, unless something else is in it.
  RMDir "$INSTDIR\.."
SectionEnd
