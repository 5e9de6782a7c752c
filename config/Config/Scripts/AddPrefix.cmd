@echo off
rem AddPrefix.cmd - sample script for the Hot Folder plug-in.
rem Every file that arrives goes on under the name "HF_<name>"; a file whose
rem name already starts with "HF_" goes on unchanged.
rem
rem The plug-in starts it in the scripts folder (Config\Scripts) as
rem   "AddPrefix.cmd" "<scripting folder>\<file>" "<scripting folder>"
rem It leaves the arrived file where it is, writes the renamed copy into the
rem scripting folder and names the copy in newname.txt. See docs\SCRIPTING.md.

setlocal DisableDelayedExpansion
set "PREFIX=HF_"
set "SOURCE=%~1"
set "WORK=%~2"
set "NAME=%~nx1"
set "HEAD=%NAME:~0,3%"

rem The values are used through delayed expansion only, so that names holding
rem & ( ) ^ or blanks pass unharmed.
setlocal EnableDelayedExpansion
if /i "!HEAD!"=="!PREFIX!" exit /b 0

copy /y "!SOURCE!" "!WORK!\!PREFIX!!NAME!" >nul
if errorlevel 1 exit /b 1
>"!WORK!\newname.txt" echo NEWNAME=!PREFIX!!NAME!
exit /b 0
