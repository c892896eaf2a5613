; tavrel-setup.exe: TAVREL CONTROL for 64-bit Windows. Built by the Windows
; build (cmake/windows_installer.cmake), which stages the files first
; (stage.cmake: the files under files\ and relink\, their lists as
; program-files.nsh and relink-files.nsh, the licence page and the icon):
;   makensis -DSTAGE=<staged files> -DOUTFILE=<setup.exe> -DVERSION=<x.y.z> tavrel.nsi
; Silent install: tavrel-setup.exe /S [/RELINK] [/D=folder]; silent removal:
; uninstall.exe /S (both need an administrator).
;
; What the uninstaller removes is what this installer made: every file it
; installed and every folder it created are written to install.log in the
; program's folder as they are made; the uninstaller deletes those files by
; name and those folders only when they are empty. A folder that was there
; before, and anything of anyone else's in it, stays.
Unicode true
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include StrFunc.nsh
!include TextFunc.nsh
${UnStrStr}
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "TAVREL CONTROL"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TAVREL"
!define MENU_FOLDER "$SMPROGRAMS\TAVREL CONTROL"
!define LOG "install.log"
; The exit status of a run refused while the programs run.
!define EXIT_PROGRAM_RUNNING 3

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Talbrook\TAVREL"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${STAGE}\tavrel.ico"
!define MUI_UNICON "${STAGE}\tavrel.ico"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}, the remote control for \
  the LOMIRA, PAVON, SOVELI, RINDAL, KESTRA, QUESSA and TEMBRA CameraLink cameras: the \
  window program tavrel.exe, the command-line tool tavrelctl.exe and a CameraLink test \
  library.$\r$\n$\r$\nClose tavrel.exe and tavrelctl.exe if they run from an earlier \
  installation.$\r$\n$\r$\n$_CLICK"
!define MUI_LICENSEPAGE_TEXT_TOP "The terms of ${PRODUCT} and the notices of the libraries in it"
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "The same texts are installed in the folder licenses. \
  Press Next to continue."
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_NOAUTOCLOSE

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\licence-page.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var Log

; A program that runs from the folder has its file open as a running
; image, which cannot be opened for writing: then nothing is changed.
!macro RefuseWhileRunning UN
Function ${UN}RefuseWhileRunning
  Push $0
  Push $1
  StrCpy $0 ""
  ${If} ${FileExists} "$INSTDIR\tavrel.exe"
    ClearErrors
    FileOpen $1 "$INSTDIR\tavrel.exe" a
    ${If} ${Errors}
      StrCpy $0 "tavrel.exe"
    ${Else}
      FileClose $1
    ${EndIf}
  ${EndIf}
  ${If} $0 == ""
  ${AndIf} ${FileExists} "$INSTDIR\tavrelctl.exe"
    ClearErrors
    FileOpen $1 "$INSTDIR\tavrelctl.exe" a
    ${If} ${Errors}
      StrCpy $0 "tavrelctl.exe"
    ${Else}
      FileClose $1
    ${EndIf}
  ${EndIf}
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONSTOP "$0 is running from $INSTDIR.$\r$\n$\r$\nClose it (and \
      every other TAVREL CONTROL program started from that folder), then run this again. \
      Nothing was changed." /SD IDOK
    SetErrorLevel ${EXIT_PROGRAM_RUNNING}
    Quit
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro RefuseWhileRunning ""
!insertmacro RefuseWhileRunning "un."

; Creates $INSTDIR and those of its parents that are missing, and notes
; each folder made (outermost first) on the stack for the log.
Function MakeInstallFolder
  Push "|end|"
  StrCpy $0 $INSTDIR
  ${DoWhile} $0 != ""
    ${If} ${FileExists} "$0\*.*"
      ${Break}
    ${EndIf}
    Push $0
    ${GetParent} $0 $0
  ${Loop}
  CreateDirectory "$INSTDIR"
FunctionEnd

; A folder under $INSTDIR, made when missing and then logged.
!macro InstallFolder RELATIVE
  ${IfNot} ${FileExists} "$INSTDIR\${RELATIVE}\*.*"
    CreateDirectory "$INSTDIR\${RELATIVE}"
    FileWrite $Log "D $INSTDIR\${RELATIVE}$\r$\n"
  ${EndIf}
!macroend

; A file under $INSTDIR, from where it was staged.
!macro InstallFile STAGED RELATIVE
  File "/oname=$INSTDIR\${RELATIVE}" "${STAGE}\${STAGED}"
  FileWrite $Log "F ${RELATIVE}$\r$\n"
!macroend

Section "TAVREL CONTROL (required)" SectionProgram
  SectionIn RO
  SetShellVarContext all
  ; The folder chosen on the directory page may hold running programs too.
  Call RefuseWhileRunning
  Call MakeInstallFolder
  ; The log is kept from an earlier installation into the same folder: the
  ; folders that one made are still this program's to remove.
  FileOpen $Log "$INSTDIR\${LOG}" a
  FileSeek $Log 0 END
  ${Do}
    Pop $0
    ${If} $0 == "|end|"
      ${Break}
    ${EndIf}
    FileWrite $Log "D $0$\r$\n"
  ${Loop}
  SetOutPath "$INSTDIR"
  !include "${STAGE}\program-files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ${IfNot} ${FileExists} "${MENU_FOLDER}\*.*"
    CreateDirectory "${MENU_FOLDER}"
    FileWrite $Log "D ${MENU_FOLDER}$\r$\n"
  ${EndIf}
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
  SetOutPath "$INSTDIR"
  !include "${STAGE}\relink-files.nsh"
SectionEnd

Section "-Finish"
  FileClose $Log
  ; What Windows' list of programs shows as the program's size: what the
  ; chosen parts installed (in KB).
  SectionGetSize ${SectionProgram} $0
  ${If} ${SectionIsSelected} ${SectionRelink}
    SectionGetSize ${SectionRelink} $1
    IntOp $0 $0 + $1
  ${EndIf}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; /RELINK chooses the relinking kit, also in a silent installation.
Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/RELINK" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SectionRelink} ${SF_SELECTED}
  ${EndIf}
  Call RefuseWhileRunning
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionProgram} "tavrel.exe (the window program), \
    tavrelctl.exe (the command-line tool), clsersim.dll (a CameraLink test library with a \
    virtual camera), a Start-menu entry, the .tdx file type and the licence texts."
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionRelink} "The program's own code as object \
    files with a CMake project that links them with another Qt, so that you can use a \
    changed Qt with tavrel.exe (GNU LGPL). Not needed to use the program."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
  Call un.RefuseWhileRunning
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "${MENU_FOLDER}\TAVREL CONTROL.lnk"
  ; Files by name, as the log lists them; the folders the installation made,
  ; innermost first, each only when it is empty.
  Push "|end|"
  ClearErrors
  FileOpen $0 "$INSTDIR\${LOG}" r
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileRead $0 $1
      ${If} ${Errors}
        ${Break}
      ${EndIf}
      ${TrimNewLines} $1 $1
      StrCpy $2 $1 2
      StrCpy $3 $1 "" 2
      ${If} $2 == "F "
        ; Only names inside the program's folder.
        ${UnStrStr} $4 $3 ".."
        ${If} $4 == ""
          Delete "$INSTDIR\$3"
        ${EndIf}
      ${ElseIf} $2 == "D "
        Push $3
      ${EndIf}
    ${Loop}
    FileClose $0
  ${EndIf}
  Delete "$INSTDIR\${LOG}"
  Delete "$INSTDIR\uninstall.exe"
  ${Do}
    Pop $1
    ${If} $1 == "|end|"
      ${Break}
    ${EndIf}
    RMDir $1
  ${Loop}

  ReadRegStr $0 HKLM "Software\Classes\.tdx" ""
  ${If} $0 == "TAVDX.Document"
    DeleteRegKey HKLM "Software\Classes\.tdx"
  ${EndIf}
  DeleteRegKey HKLM "Software\Classes\TAVDX.Document"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
