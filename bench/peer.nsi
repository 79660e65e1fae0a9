; The peer uninstaller that bench/run measures beside uninstall.exe: an
; installer of the most used open-source installer system whose only work is
; to write its uninstaller beside itself. The uninstaller removes the bench
; tree as the included file says: one Delete per listed file, or RMDir /r per
; directory, as uninstall.exe's listed and delete-all modes do.
;   makensis -DOUT=install.exe -DBODY=body.nsh peer.nsi
Unicode true
Name "Bench"
OutFile "${OUT}"
RequestExecutionLevel user
SilentInstall silent
ShowUninstDetails show

Section
  WriteUninstaller "$EXEDIR\uninst.exe"
SectionEnd

Section "Uninstall"
  ; It closes itself when done, so that its end can be timed.
  SetAutoClose true
  !include "${BODY}"
SectionEnd
