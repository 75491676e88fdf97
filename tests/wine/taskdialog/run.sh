#!/usr/bin/env bash
# Runs the task dialog's Windows test under Wine and Xvfb and checks what it
# wrote: every check passed, and as many as expected were made.
#
#   tests/wine/taskdialog/run.sh PROGRAM.exe OUTPUT_DIR [SCENARIO]
#
# PROGRAM.exe is taskdialog_wine_test.exe of a mingw build (i686 or x86_64).
# The Wine prefix is private to the build that made the program
# (<build>/wineprefix-td, or $TASKDIALOG_WINEPREFIX) and is stopped at the end. OUTPUT_DIR receives
# results.txt and the screenshots, as PNG, each scenario's platform dialog
# and emulation side by side in <name>.png. Exits 0 when every check passed,
# 1 when something failed, 3 when this machine cannot run the program's
# bitness at all.
set -euo pipefail
program=$(realpath "$1")
output=$(realpath -m "$2")
scenario=${3:-}
# <build>/<mingw tree>/tests/wine/taskdialog/PROGRAM.exe: one prefix for both trees.
build=$(dirname "$(dirname "$(dirname "$(dirname "$(dirname "$program")")")")")
# The loader of the program's bitness: the PE header's machine field.
pe=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$program" | tr -d ' ')
case "$machine" in
  8664) wine=/usr/lib/wine/wine64 ;;
  014c) wine=/usr/lib/wine/wine ;;
  *) echo "run.sh: $program is not a Windows program (machine '$machine')"; exit 1 ;;
esac
for tool in "$wine" xvfb-run xauth convert; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is missing: run scripts/install-deps.sh"; exit 1; }
done
# A 32-bit loader on a kernel without 32-bit support cannot start at all:
# say so (exit 3) rather than count a run that showed nothing.
if ! "$wine" --version >/dev/null 2>&1; then
  echo "run.sh: not run: this machine cannot execute $wine"
  exit 3
fi

export WINEPREFIX=${TASKDIALOG_WINEPREFIX:-$build/wineprefix-td}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
stop_wine() { "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; }
trap stop_wine EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "run.sh: making the Wine prefix $WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1
  "$(dirname "$wine")/wineserver" -w
fi
# Tahoma and the other Wine fonts: without them the dialogs' texts fall back.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

rm -rf "$output"
mkdir -p "$output"
windows_output="Z:${output//\//\\}"
# A virtual desktop gives the dialogs Wine's frames and title bars.
xvfb-run -a -s "-screen 0 1024x768x24" \
  "$wine" explorer "/desktop=taskdialog,1024x768" "$program" "$windows_output" $scenario \
  >"$output/wine.log" 2>&1 || true
"$(dirname "$wine")/wineserver" -w

results="$output/results.txt"
if [ ! -s "$results" ]; then
  echo "run.sh: the program wrote no results (see $output/wine.log)"
  exit 1
fi
cat "$results"

# The screenshots as PNG, and each pair side by side.
for bmp in "$output"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
for native in "$output"/*-native.png; do
  [ -e "$native" ] || continue
  emulated="${native%-native.png}-emulated.png"
  [ -e "$emulated" ] || continue
  convert "$native" "$emulated" -background '#808080' -splice 12x0 +append \
    "${native%-native.png}.png"
done

summary=$(grep '^taskdialog-wine: ' "$results" | tail -n 1)
checks=$(sed -n 's/^taskdialog-wine: \([0-9]*\) checks, \([0-9]*\) failed$/\1/p' <<<"$summary")
failed=$(sed -n 's/^taskdialog-wine: \([0-9]*\) checks, \([0-9]*\) failed$/\2/p' <<<"$summary")
if [ -z "$checks" ]; then
  echo "run.sh: the program did not finish (no summary line)"
  exit 1
fi
# A run that shows no dialog makes few checks: require the full set.
minimum=${TASKDIALOG_WINE_MIN_CHECKS:-150}
[ -n "$scenario" ] && minimum=1
if [ "$checks" -lt "$minimum" ]; then
  echo "run.sh: only $checks checks were made, expected at least $minimum"
  exit 1
fi
if [ "$failed" -ne 0 ] || grep -q '^FAIL ' "$results"; then
  echo "run.sh: $failed of $checks checks failed"
  exit 1
fi
echo "run.sh: all $checks checks passed; screenshots in $output"
