#!/usr/bin/env bash
# Starts the windowed template as ed.exe without a definition on a display of its own, finds
# the message box by its caption, saves a screenshot, closes it and checks exit code 1.
set -u
template=$1 work=$2 winerun=$3 ondesktop=$4
rm -rf "$work" && mkdir -p "$work" && cp "$template" "$work/ed.exe"
cp "$ondesktop" "$work/on_desktop.exe"
# Xvfb picks a free display and writes its number once it accepts clients; a program that
# starts earlier finds no display and its message box returns at once.
Xvfb -displayfd 3 -screen 0 800x600x24 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 1 200); do [ -s "$work/display" ] && break; sleep 0.1; done
if [ ! -s "$work/display" ]; then echo "FAIL: Xvfb did not start"; exit 1; fi
display=:$(head -n1 "$work/display")
(cd "$work" && WINE_TEST_DISPLAY=$display "$winerun" on_desktop.exe ed.exe; echo $? > "$work/rc") &
found=
for _ in $(seq 1 100); do
  # xdotool's pattern does not match the double-byte part; compare the whole name instead.
  for w in $(DISPLAY=$display xdotool search --name "Orvex" 2>/dev/null); do
    [ "$(DISPLAY=$display xdotool getwindowname "$w")" = "Orvex エラー" ] && found=$w
  done
  [ -n "$found" ] && break
  sleep 0.2
done
if [ -z "$found" ]; then echo "FAIL: no window captioned 'Orvex エラー'"; exit 1; fi
sleep 0.5
DISPLAY=$display import -window root "$work/messagebox.png"
echo "screenshot: $work/messagebox.png"
DISPLAY=$display xdotool windowactivate --sync "$found" key Return 2>/dev/null ||
  DISPLAY=$display xdotool key --window "$found" Return
for _ in $(seq 1 50); do [ -f "$work/rc" ] && break; sleep 0.2; done
rc=$(cat "$work/rc" 2>/dev/null || echo none)
if [ "$rc" != 1 ]; then echo "FAIL: exit code $rc, expected 1"; exit 1; fi
echo "message box shown and closed; exit code 1"
