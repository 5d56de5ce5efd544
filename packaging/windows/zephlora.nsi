; The Windows setup program of Zephlora, made by the MinGW tree (packaging/CMakeLists.txt):
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.1.0 -DVERSION4=1.1.0.0 -DFILES=<folder of
;            Zephlora.scr, .zpk, .html> -DICON=<zephlora.ico> -DOUTFILE=<setup.exe> zephlora.nsi
;
; It puts the saver, its pack and its page into the system folder, where the Screen Saver
; Settings list finds screen savers (they must lie together: the saver finds its pack beside
; it), makes Zephlora the user's screen saver if the box stays ticked, and registers an
; uninstaller in Apps and Features. The installer is a 64-bit program, as the saver is: it sees
; the real System32 and the 64-bit registry with no redirection to turn off.
;
; Silent use, as administrators deploy:
;   Zephlora-<version>-setup.exe /S         install and make Zephlora the screen saver
;   Uninstall.exe /S [/REMOVESETTINGS]      remove it (and the user's settings file too)

Target amd64-unicode
; The name ends in "-setup.exe", as users look for; makensis warns that Windows treats such a
; name as an installer's and applies its compatibility shims, which is what this program is.
!pragma warning disable 9000
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zephlora"
!define DESKTOP_KEY "Control Panel\Desktop"
!define PUBLISHER "Zephlora開発者"
; SystemParametersInfo: SPI_SETSCREENSAVEACTIVE, written to the user's profile and announced.
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_SEND 3

Name "Zephlora ${VERSION}"
OutFile "${OUTFILE}"
; The uninstaller's own folder; the saver's files go into the system folder.
InstallDir "$PROGRAMFILES64\Zephlora"
BrandingText "Zephlora ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=1041 "ProductName" "Zephlora"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "Zephlora セットアップ"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!define MUI_WELCOMEPAGE_TEXT "緑に光る点の雲が回りながら九つの形へ姿を変えるスクリーン セーバー、Zephlora ${VERSION} をこのコンピューターにインストールします。$\r$\n$\r$\nスクリーン セーバーは Windows のシステム フォルダーに置かれるため、管理者の権限が必要です。$\r$\n$\r$\n続けるには [次へ] をクリックしてください。"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Zephlora をインストールしました。「スクリーン セーバーの設定」で選べます。$\r$\n$\r$\n削除は「アプリと機能」からできます。"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Zephlora の設定を開く"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenSettings
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "スクリーン セーバー Zephlora (システム フォルダーの Zephlora.scr、Zephlora.zpk、Zephlora.html) と、次のフォルダーのアンインストーラーを削除します。"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

; Adds the size of a file in bytes to the variable `total`.
!macro AddFileSize total path
  FileOpen $9 "${path}" r
  FileSeek $9 0 END $8
  FileClose $9
  IntOp ${total} ${total} + $8
!macroend

; ---- Install ------------------------------------------------------------------------------

Section "Zephlora (スクリーン セーバー本体)" SecFiles
  SectionIn RO
  SetOutPath "$SYSDIR"
  File "${FILES}/Zephlora.scr"
  File "${FILES}/Zephlora.zpk"
  File "${FILES}/Zephlora.html"
  CreateDirectory "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Apps and Features.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Zephlora"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\Zephlora.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  StrCpy $0 0
  !insertmacro AddFileSize $0 "$SYSDIR\Zephlora.scr"
  !insertmacro AddFileSize $0 "$SYSDIR\Zephlora.zpk"
  !insertmacro AddFileSize $0 "$SYSDIR\Zephlora.html"
  !insertmacro AddFileSize $0 "$INSTDIR\Uninstall.exe"
  IntOp $0 $0 + 1023
  IntOp $0 $0 / 1024
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The installing user's screen saver: the saver's short path, as the Screen Saver Settings
; write it.
Section "スクリーン セーバーを Zephlora にする" SecActivate
  GetFullPathName /SHORT $0 "$SYSDIR\Zephlora.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  System::Call "user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_SEND})"
SectionEnd

Function .onInit
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_ICONSTOP|MB_OK "Zephlora のインストールには管理者の権限が必要です。" /SD IDOK
    SetErrorLevel 740  ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
FunctionEnd

; The settings dialog must run as the user, not as the elevated installer: an elevated copy
; may write into the system folder and would save its settings there, where the saver does
; not look. runas with the basic-user trust level drops the administrator rights; Wine has no
; runas and no elevation to drop.
Function OpenSettings
  ${If} ${FileExists} "$SYSDIR\runas.exe"
    Exec '"$SYSDIR\runas.exe" /trustlevel:0x20000 "$SYSDIR\Zephlora.scr /c"'
  ${Else}
    Exec '"$SYSDIR\Zephlora.scr" /c'
  ${EndIf}
FunctionEnd

; ---- Uninstall ----------------------------------------------------------------------------

Section "un.Zephlora (スクリーン セーバー本体)" SecUnFiles
  SectionIn RO
  ; 'No screen saver' again when Zephlora is the current one (by its short or its long path).
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 != ""
    GetFullPathName /SHORT $1 "$SYSDIR\Zephlora.scr"
    System::Call "kernel32::GetLongPathNameW(w r0, w .r2, i ${NSIS_MAX_STRLEN}) i .r3"
    ${If} $3 == 0
      StrCpy $2 $0
    ${EndIf}
    ${If} $0 == $1
    ${OrIf} $2 == "$SYSDIR\Zephlora.scr"
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
      WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "0"
      System::Call "user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_UPDATE_AND_SEND})"
    ${EndIf}
  ${EndIf}

  Delete /REBOOTOK "$SYSDIR\Zephlora.scr"
  Delete "$SYSDIR\Zephlora.zpk"
  Delete "$SYSDIR\Zephlora.html"
  ; The shapes split from the pack: beside the saver after a run with the rights to write
  ; there, else in the user's temporary folder of the program's own.
  Delete "$SYSDIR\Zephlora00?.zpk"
  RMDir /r "$TEMP\Zephlora"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.設定ファイルも削除する" SecUnSettings
  SetShellVarContext current
  Delete "$APPDATA\Zephlora\Zephlora.ini"
  RMDir "$APPDATA\Zephlora"
  ; What a run with the rights to write into the system folder saved there.
  Delete "$SYSDIR\Zephlora.ini"
SectionEnd

Function un.onInit
  ${GetOptions} $CMDLINE "/REMOVESETTINGS" $0
  ${IfNot} ${Errors}
    SectionSetFlags ${SecUnSettings} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
