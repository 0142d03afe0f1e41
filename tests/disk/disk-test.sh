#!/usr/bin/env bash
# Usage: disk-test.sh full|pipe <dist> <work folder> <wine-run>
#   full: /apply and registration on a disk that fills up leave every helper whole or absent
#         and no temporary file; once the disk has room, the next /apply makes every helper.
#   pipe: an "alias.ini" that is a pipe cannot be read, and nothing changes.
set -u
shopt -s nullglob
mode=$1 dist=$2 work=$3 winerun=$4
fail() { echo "FAIL: $*"; exit 1; }
# alias.exe run in the folder: its exit code, and its output (UTF-8, no CR) in $out.
run() {
  (cd "$work" && timeout 120 "$winerun" alias.exe "$@" </dev/null >"$log")
  local rc=$?
  out=$(iconv -f CP932 -t UTF-8 <"$log" | tr -d '\r')
  return $rc
}
log=$(mktemp) && trap 'rm -f "$log"' EXIT
mountpoint -q "$work" && umount "$work"
rm -rf "$work" && mkdir -p "$work"
if [ "$mode" = pipe ]; then
  cp "$dist"/alias.exe "$dist"/*.ex_ "$work"/ && cp "$dist/dovoz.ex_" "$work/a.exe"
  mkfifo "$work/alias.ini"
  run /apply
  [ $? = 1 ] && [[ "$out" == "error: 定義ファイル"*"alias.iniを読み込めません。" ]] || fail "/apply: '$out'"
  cmp -s "$work/a.exe" "$dist/dovoz.ex_" || fail "a.exe changed"
  exit 0
fi
[ "$(id -u)" = 0 ] && mount -t tmpfs -o size=4m tmpfs "$work" 2>/dev/null ||
  { echo "skipped: no tmpfs can be mounted here (needs root)"; exit 77; }
trap 'rm -f "$log"; umount "$work"' EXIT
cp "$dist"/alias.exe "$dist"/*.ex_ "$work"/
ini=$(for i in 1 2 3 4 5; do printf '[h%s]\r\napp=x\r\n' $i; done) && printf '%s' "$ini" >"$work/alias.ini"
# Whole or absent: each helper a copy of the console template, and no file of a change left.
sound() {
  for h in "$work"/h*; do cmp -s "$h" "$dist/dovoz.ex_" || fail "$1: $(basename "$h") is not whole"; done
  [ "$(cat "$work/alias.ini")" = "$ini" ] || fail "$1: alias.ini changed"
  ! ls "$work" | grep '~alias' || fail "$1: a file of the change is left"
}
# About 56 KB free: room for one helper and part of the next.
mount -o remount,size=$(($(df -k --output=used "$work" | tail -1) + 56))k "$work" || fail "remount"
run /apply
[ $? = 1 ] && [[ "$out" == *の更新に失敗しました。* ]] || fail "/apply on a full disk: '$out'"
sound "/apply on a full disk"
run /con z x
[ $? = 1 ] && [ ! -e "$work/z.exe" ] || fail "registration on a full disk: '$out'"
sound "registration on a full disk"
mount -o remount,size=4m "$work" || fail "remount"
run /apply
[ $? = 0 ] && [ "$(ls "$work" | grep -c '^h.\.exe$')" = 5 ] || fail "/apply with room: '$out'"
sound "/apply with room"
