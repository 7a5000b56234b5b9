; ostrel-sweepkit-setup.exe: puts the signed installation folder into a
; per-user program folder and runs sweepkit-install.exe /install there, which
; checks the loader's signature, writes the two desktop shortcuts and starts
; the loader. A failure is reported by the meaning of the installer's exit
; code, and becomes the setup's own exit code. /S installs silently.
; makensis -DKIT_DIR=<folder> -DOUT_FILE=<setup.exe> ostrel-sweepkit-setup.nsi
Unicode true
!include LogicLib.nsh

!ifndef KIT_DIR | OUT_FILE
  !error "give -DKIT_DIR=<signed installation folder> and -DOUT_FILE=<setup program>"
!endif

Name "Ostrel Sweepkit"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\Ostrel Sweepkit"
RequestExecutionLevel user
SetCompressor /SOLID lzma
LoadLanguageFile "${NSISDIR}\Contrib\Language files\Spanish.nlf"
VIProductVersion 1.0.0.4
VIAddVersionKey /LANG=1034 ProductName "Ostrel Sweepkit"
VIAddVersionKey /LANG=1034 FileDescription "Programa de instalación de Ostrel Sweepkit"
VIAddVersionKey /LANG=1034 FileVersion 1.0.0.4
VIAddVersionKey /LANG=1034 LegalCopyright "The Ostrel Sweepkit developers"

Page directory
Page instfiles

Section "Ostrel Sweepkit"
  SetOutPath "$INSTDIR"
  File "${KIT_DIR}/sweepkit-install.exe"
  File "${KIT_DIR}/lexmsg.dll"
  File "${KIT_DIR}/zrfetchpad.exe"
  File "${KIT_DIR}/Uninstall.vbs"
  File "${KIT_DIR}/sweepkit.ico"
  File "${KIT_DIR}/sweepkit_uninstall.ico"

  ClearErrors
  ExecWait '"$INSTDIR\sweepkit-install.exe" /install' $0
  ${If} ${Errors}
    StrCpy $1 "no se pudo iniciar sweepkit-install.exe"
    StrCpy $0 255
  ${ElseIf} $0 == 0
    Return
  ${ElseIf} $0 == 1
    StrCpy $1 "sweepkit-install.exe no aceptó su línea de órdenes"
  ${ElseIf} $0 == 3
    StrCpy $1 "otra instancia de sweepkit-install.exe está en marcha"
  ${ElseIf} $0 == 5
    StrCpy $1 "la firma de zrfetchpad.exe no es válida: no se creó ningún acceso directo ni se inició nada"
  ${Else}
    StrCpy $1 "sweepkit-install.exe terminó de forma inesperada"
  ${EndIf}
  DetailPrint "Código $0: $1."
  MessageBox MB_OK|MB_ICONSTOP "La instalación no se completó (código $0): $1." /SD IDOK
  SetErrorLevel $0
SectionEnd
