#!/usr/bin/env bash
# Starts the windowed template as ed.exe without a definition on a display of its own, finds
# the message box by its caption, saves a screenshot, closes it and checks exit code 1.
set -u
template=$1 work=$2 winerun=$3
rm -rf "$work" && mkdir -p "$work" && cp "$template" "$work/ed.exe"
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 800x600x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
(cd "$work" && WINE_TEST_DISPLAY=$display "$winerun" ed.exe; echo $? > "$work/rc") &
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
