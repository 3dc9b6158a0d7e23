#!/usr/bin/env bash
# The installer and its uninstaller, both silent: the program, the uninstaller
# and the current user's shortcuts come and go; the user's list, own files and
# settings stay.
source "$(dirname "$0")/lib.sh"
installer=${5:-}
[ -f "$installer" ] || { echo "$OW_TEST: not built: installer [$installer] (scripts/build-windows.sh makes it)" >&2; exit 1; }
version=$(basename "$installer" | sed -n 's/^OstrelWallpapers-\(.*\)-setup\.exe$/\1/p')
[ -n "$version" ] || { echo "$OW_TEST: no version in the installer's name $installer" >&2; exit 1; }
ow_setup "$@"
exe=$1
ow_data_dir

shell='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ostrel Wallpapers'
program_files=$(reg_get 'HKLM\Software\Microsoft\Windows\CurrentVersion' ProgramFilesDir) || ow_die "no ProgramFilesDir"
desktop=$(reg_get "$shell" Desktop) || ow_die "no Desktop shell folder"
programs=$(reg_get "$shell" Programs) || ow_die "no Programs shell folder"
app_dir=$(win_to_unix "$program_files\\Ostrel Wallpapers")
desktop_lnk=$(win_to_unix "$desktop\\Ostrel Wallpapers.lnk")
menu_dir=$(win_to_unix "$programs\\Ostrel Wallpapers")
listing() { (cd "$1" 2>/dev/null && ls -A | tr '\n' ' '); }
# Linux pid and command line of each Wine process of this prefix that runs a
# program of its own, not one of Wine's from C:\windows. Programs started from a
# shortcut, and the uninstaller's copy of itself, are no children of this
# script; waiting for the prefix's wineserver instead would not do either, as
# Wine's services sometimes outlive the last program.
user_programs() {
  local p cmd
  for p in /proc/[0-9]*; do
    cmd=; read -r -d "" cmd 2>/dev/null <"$p/cmdline"
    [[ $cmd =~ ^\"?[A-Za-z]:\\ && ! $cmd =~ ^\"?[Cc]:\\windows\\ ]] || continue
    grep -qzxF "WINEPREFIX=$WINEPREFIX" "$p/environ" 2>/dev/null && printf '%s %s\n' "${p#/proc/}" "$cmd"
  done
}
no_user_programs() { [ -z "$(user_programs)" ]; }

# A shell link holds its target's path in the ANSI code page too.
names_program() { grep -qsaF "$program_files\\Ostrel Wallpapers\\OstrelWallpapers.exe" "$1"; }

# ---- silent install ----
cp "$installer" "$OW_DIR/prefix/drive_c/Ostrel/setup.exe"
wine 'C:\Ostrel\setup.exe' /S >>"$OW_DIR/app.log" 2>&1
check_eq "the silent installer ends with exit code 0" 0 "$?"
check "the program is installed in Program Files" cmp -s "$exe" "$app_dir/OstrelWallpapers.exe"
check_eq "its folder holds the program and the uninstaller only" "OstrelWallpapers.exe Uninstall.exe " "$(listing "$app_dir")"
check "the desktop shortcut is in the user's Desktop folder" test -f "$desktop_lnk"
check_eq "the Start-menu folder in the user's Programs folder holds the program's shortcut" \
  "Ostrel Wallpapers.lnk " "$(listing "$menu_dir")"
check "the Start-menu shortcut starts the installed program" names_program "$menu_dir/Ostrel Wallpapers.lnk"
check_eq "nothing is made for all users" "" \
  "$(find "$OW_DIR/prefix/drive_c/users/Public" "$OW_DIR/prefix/drive_c/ProgramData" -iname '*Ostrel*' 2>/dev/null)"
check_eq "the uninstall entry names the program" "Ostrel Wallpapers" "$(reg_get "$uninstall_key" DisplayName)"
check_eq "the uninstall entry's version is the installer's" "$version" "$(reg_get "$uninstall_key" DisplayVersion)"

# ---- the desktop shortcut starts the program ----
# Only the installed copy is left to start. "start" returns at once, even with
# /wait: the link's target is no child of it.
rm -f "$OW_DIR/prefix/drive_c/Ostrel/OstrelWallpapers.exe"
wine start "$desktop\\Ostrel Wallpapers.lnk" >>"$OW_DIR/app.log" 2>&1 || ow_die "start could not open the desktop shortcut"
wt wait-window 30000 >/dev/null || ow_die "the desktop shortcut showed no main window within 30 s"
check "the program started from the shortcut shows its window" wt wait-visible 1 30000
OW_APP_PID=$(user_programs | awk '/OstrelWallpapers\.exe/ { print $1; exit }')
[ -n "$OW_APP_PID" ] || ow_die "no OstrelWallpapers.exe among the prefix's processes: $(user_programs)"
ow_exit_program || ow_die "no clean exit"

# The user's data: the list the program wrote at exit, a file of the user's own, the settings.
test -f "$OW_DATA/Default.tav" || ow_die "the program wrote no Default.tav at exit"
write_tav "$OW_DATA/Mine.tav" 'C:\Pictures\sea.jpg' 1280x1024
cp "$OW_DATA/Default.tav" "$OW_DIR/Default.tav"
settings=$(reg_dump 'HKCU\RZ')
[ -n "$settings" ] || ow_die "the program saved no settings at exit"

# ---- silent uninstall, the way Windows would run it ----
uninstaller=$(reg_get "$uninstall_key" QuietUninstallString | sed -n 's/^"\(.*\)" \/S$/\1/p')
check_eq "the quiet uninstall command runs the installed uninstaller" \
  "$program_files\\Ostrel Wallpapers\\Uninstall.exe" "$uninstaller"
wine "$uninstaller" /S >>"$OW_DIR/app.log" 2>&1 || ow_die "the uninstaller did not start"
# It copies itself to the temporary folder and goes on from there.
check "the uninstaller finishes within 60 s" wait_until 60 no_user_programs || user_programs
check "the program and its folder are removed" test ! -e "$app_dir"
check "the desktop shortcut is removed" test ! -e "$desktop_lnk"
check "the Start-menu folder is removed" test ! -e "$menu_dir"
no_uninstall_entry() { ! wine reg query "$uninstall_key" >/dev/null 2>&1; }
check "the uninstall entry is removed" no_uninstall_entry
check "the working list is kept" cmp -s "$OW_DIR/Default.tav" "$OW_DATA/Default.tav"
check "the user's own file in the data folder is kept" test -f "$OW_DATA/Mine.tav"
check_eq "the settings are kept" "$settings" "$(reg_dump 'HKCU\RZ')"

ow_finish
