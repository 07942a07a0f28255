@echo off
rem Uploads one file to the partner's FTP server, into the login directory under its own name.
rem
rem   fileup.bat HOST USER PASSWORD FILE
rem
rem The Windows counterpart of fileup.sh, with the same arguments, tries and log. It uses the
rem curl.exe that ships with Windows 10 and later (SALDOR_CURL names another one). Passive FTP on
rem port SALDOR_FTP_PORT when that is set, port 21 otherwise. The account goes to curl as a
rem config on its standard input, never onto curl's command line, and never into the log.
rem
rem A failed transfer is tried again, 3 tries in all, after a pause of SALDOR_UPLOAD_RETRY_PAUSE_S
rem whole seconds (default 20) and then twice that. Every try appends one line to fileup.log
rem beside this script:
rem
rem   2026-12-31 10:00:01 +0100 "C:\SaldorAuto\temp\x.csv" to host:21 attempt 1/3 failed: curl 67: ...
rem
rem Exits 0 once the file is sent; otherwise with curl's status of the last try (2 for a wrong
rem call). The account's texts must not hold a double quote or a percent sign.
setlocal EnableExtensions DisableDelayedExpansion

set "tries=3"
set "log=%~dp0fileup.log"
if not defined SALDOR_CURL set "SALDOR_CURL=%SystemRoot%\System32\curl.exe"

set "host=%~1"
set "user=%~2"
set "password=%~3"
set "file=%~4"
set "port=21"
if defined SALDOR_FTP_PORT set "port=%SALDOR_FTP_PORT%"
set "attempt=1"
set "form=try"
set "outcome="
set "message="

if "%~4"=="" goto usage
if not "%~5"=="" goto usage

rem The pause: whole seconds, leading zeros dropped (set /a would read them as octal).
set "pause=20"
if defined SALDOR_UPLOAD_RETRY_PAUSE_S set "pause=%SALDOR_UPLOAD_RETRY_PAUSE_S%"
set "nondigit="
for /f "delims=0123456789" %%c in ("%pause%") do set "nondigit=%%c"
if defined nondigit goto bad_pause
for /f "tokens=* delims=0" %%p in ("%pause%") do set "pause=%%p"
if not defined pause set "pause=0"

rem An IPv6 address goes into the URL in brackets.
set "address=%host%"
if not "%host%"=="%host::=%" set "address=[%host%]"

:try
rem curl's messages go to a file of this upload's own: named for the file and a random number,
rem and a new number while one of that name is there.
:errors_name
set "errors=%TEMP%\fileup-%~nx4-%RANDOM%%RANDOM%.err"
if exist "%errors%" goto errors_name
rem With a URL ending in "/", curl appends the file's base name (escaped) itself.
echo user = "%user%:%password%"| "%SALDOR_CURL%" --silent --show-error --config - --ftp-pasv --connect-timeout 30 --speed-limit 1 --speed-time 60 --upload-file "%file%" "ftp://%address%:%port%/" >nul 2>"%errors%"
set "status=%errorlevel%"
call :curl_message
rem A curl that never ran (its messages' file could not be made) has not sent anything, whatever
rem the command processor left in errorlevel.
if "%status%"=="0" if not exist "%errors%" (
  set "status=1"
  set "message=curl did not run: its messages cannot go to %errors%"
)
del "%errors%" >nul 2>&1
if "%status%"=="0" (
  set "outcome=sent"
  call :note
  exit /b 0
)
set "outcome=failed: curl %status%"
call :note failed
if %attempt% geq %tries% exit /b %status%
set /a "wait=pause << (attempt - 1)"
if %wait% gtr 0 call :sleep %wait%
set /a "attempt+=1"
goto try

:usage
set "form=usage"
set "outcome=usage: 4 arguments expected; nothing sent"
call :note failed
echo usage: fileup.bat HOST USER PASSWORD FILE 1>&2
exit /b 2

:bad_pause
set "form=setting"
set "outcome=SALDOR_UPLOAD_RETRY_PAUSE_S="%pause%" is not a whole number of seconds; nothing sent"
call :note failed
exit /b 2

rem curl's message (its first line), without its "curl: (N) " prefix and without the password.
rem Only the %%var:x=y%% forms: Windows' own command processor and wine's both know them.
:curl_message
set "message="
if exist "%errors%" set /p message=<"%errors%"
if not defined message exit /b 0
if "%message:~0,7%"=="curl: (" set "message=%message:*) =%"
if defined password call set "message=%%message:%password%=***%%"
exit /b 0

rem Appends the line of this try to the log, whole: the command processor opens the log for
rem writing without sharing it, so an upload that ends at the same moment finds it busy, waits
rem and tries again. The line also goes to standard output (standard error with the argument
rem "failed"). The form of the line: "try" (file, server, attempt), "setting" (file, server) or
rem "usage" (the outcome alone).
:note
setlocal EnableDelayedExpansion
call :stamp
if "%form%"=="usage" (
  set "line=!stamp! !outcome!"
) else if "%form%"=="setting" (
  set "line=!stamp! "!file!" to !host!:!port!: !outcome!"
) else (
  set "line=!stamp! "!file!" to !host!:!port! attempt !attempt!/!tries! !outcome!"
  if defined message set "line=!line!: !message!"
)
set "round=0"
:append
rem errorlevel 0 first: an echo that succeeds leaves errorlevel as it was, and only a log that
rem cannot be opened sets it.
(call )
>>"!log!" echo !line!
if errorlevel 1 if !round! lss 40 (
  set /a "round+=1"
  call :sleep 1
  goto append
)
if "%~1"=="failed" (
  echo fileup: !line! 1>&2
) else (
  echo fileup: !line!
)
endlocal
exit /b 0

rem The time as "yyyy-mm-dd hh:mm:ss +hhmm", as fileup.sh writes it; the regional date and time
rem where PowerShell is not at hand.
:stamp
set "stamp="
for /f "delims=" %%t in ('powershell.exe -NoProfile -NonInteractive -Command "(Get-Date -Format 'yyyy-MM-dd HH:mm:ss zzz') -replace ':(\d\d)$','$1'" 2^>nul') do set "stamp=%%t"
if not defined stamp set "stamp=%date% %time%"
exit /b 0

rem Waits %1 seconds (ping sends one echo a second; timeout.exe refuses a redirected input).
:sleep
set /a "pings=%~1 + 1"
ping -n %pings% 127.0.0.1 >nul 2>&1
exit /b 0
