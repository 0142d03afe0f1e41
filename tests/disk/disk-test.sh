#!/usr/bin/env bash
# Usage: disk-test.sh full|pipe <dist> <work folder> <wine-run>
#   full: /apply and registration on a disk that fills up leave every helper whole or absent
#         and no temporary file; once the disk has room, the next /apply makes every helper.
#   pipe: an "alias.ini" that is a pipe cannot be read, and nothing changes.
set -u
mode=$1 dist=$2 work=$3 winerun=$4
fail() { echo "FAIL: $*"; exit 1; }
# alias.exe in the folder: its exit code, and its output in $out (UTF-8, without CR).
run() {
  local o rc
  o=$(mktemp)
  (cd "$work" && timeout 120 "$winerun" alias.exe "$@" </dev/null >"$o")
  rc=$?
  out=$(iconv -f CP932 -t UTF-8 <"$o" | tr -d '\r')
  rm -f "$o"
  return $rc
}
win=$(printf 'Z:%s\\' "$work" | tr / '\\')
[ -d "$work" ] && { mountpoint -q "$work" && umount "$work"; rm -rf "$work"; }
mkdir -p "$work"
if [ "$mode" = pipe ]; then
  cp "$dist"/alias.exe "$dist"/dovoz.ex_ "$dist"/rudi.ex_ "$work"/
  cp "$dist/dovoz.ex_" "$work/a.exe" && cp "$dist/dovoz.ex_" "$work/orphan.exe"
  mkfifo "$work/alias.ini"
  run /apply
  [ $? = 1 ] && [ "$out" = "error: 定義ファイル${win}alias.iniを読み込めません。" ] ||
    fail "/apply said '$out'"
  cmp -s "$work/a.exe" "$dist/dovoz.ex_" && cmp -s "$work/orphan.exe" "$dist/dovoz.ex_" ||
    fail "a helper changed"
  echo "a pipe named alias.ini is not read; nothing changed"
  exit 0
fi
[ "$(id -u)" = 0 ] && mount -t tmpfs -o size=4m tmpfs "$work" 2>/dev/null ||
  { echo "skipped: no tmpfs can be mounted here (needs root)"; exit 77; }
trap 'umount "$work"' EXIT
cp "$dist"/alias.exe "$dist"/dovoz.ex_ "$dist"/rudi.ex_ "$work"/
for i in 1 2 3 4 5; do printf '[h%s]\r\ntype=console\r\napp=x\r\n' $i; done > "$work/alias.ini"
cp "$work/alias.ini" "$work/ini.before"
# Whole or absent: each helper a copy of the console template, nothing else of the change left.
helpers_sound() {
  for i in 1 2 3 4 5; do
    [ ! -e "$work/h$i.exe" ] || cmp -s "$work/h$i.exe" "$dist/dovoz.ex_" || fail "$1: h$i.exe is not whole"
  done
  ls "$work" | grep -q '~alias' && fail "$1: left $(ls "$work" | grep '~alias')"
  return 0
}
# About 56 KB free: room for one helper and part of the next.
used=$(df -k --output=used "$work" | tail -1)
mount -o remount,size=$((used + 56))k "$work" || fail "cannot shrink the tmpfs"
run /apply
[ $? = 1 ] && [[ "$out" == *の更新に失敗しました。* ]] || fail "/apply on a full disk said '$out'"
helpers_sound "/apply on a full disk"
run /con z x
[ $? = 1 ] && [[ "$out" == error:* ]] || fail "registration on a full disk said '$out'"
[ ! -e "$work/z.exe" ] && cmp -s "$work/alias.ini" "$work/ini.before" || fail "registration changed files"
helpers_sound "registration on a full disk"
mount -o remount,size=4m "$work" || fail "cannot grow the tmpfs"
run /apply
[ $? = 0 ] && [ -z "$out" ] || fail "/apply with room said '$out'"
for i in 1 2 3 4 5; do [ -e "$work/h$i.exe" ] || fail "h$i.exe missing after /apply with room"; done
helpers_sound "/apply with room"
echo "on a full disk every helper is whole or absent; with room /apply makes them all"
