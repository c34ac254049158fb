; A real NSIS installer in the Orvalis item's place: silent, 64-bit, Unicode. It records
; the folder it runs from ($EXEDIR) beside the tests' log, in UTF-16 so the disc's name
; arrives whole (with a byte-order mark, written when the file is new).
Unicode true
Target amd64-unicode
Name "Orvalis test installer"
OutFile "Orvalis.exe"
SilentInstall silent
RequestExecutionLevel user

Section
  ReadEnvStr $1 BRELVAN_TEST_LOG
  FileOpen $0 "$1.nsis" a
  FileSeek $0 0 END
  FileWriteUTF16LE /BOM $0 "nsis exedir=$EXEDIR$\n"
  FileClose $0
SectionEnd
