#!/usr/bin/env bash
# tools/setup against a stand-in package manager (first on PATH; nothing is installed and no
# network is used): a mirror in mid-sync, a 32-bit Wine whose i386 libraries pair only from the
# release's own suite, and the failures that must still stop it; then tools/flavour against
# stand-in Wine loaders and tools/wine-session against a stand-in Wine and its prefix.
# Usage: setup-test.sh <project root>
set -u
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
stub() { printf '#!/usr/bin/env bash\n%s\n' "$2" > "$work/bin/$1"; chmod +x "$work/bin/$1"; }
# Nothing is installed; i386 is known; the locale is there; sudo runs the command.
# Installed: amd64 twins of i386 libraries, one of them (zlib1g) from the security suite.
stub dpkg-query '
[[ "$*" == *Multi-Arch* ]] || exit 1
printf "%s\n" "zlib1g amd64 same 1:1.2.13-1+deb12u1" "libfoo amd64 same 2.0-1+deb12u1" \
  "coreutils amd64 foreign 9.1-1"'
# The 32-bit Wine needs zlib1g:i386, not libfoo; the release suite has zlib1g 1:1.2.13-1.
stub apt-cache '
case $1 in
depends) printf "%s\n" "wine32:i386" "  Depends: zlib1g:i386" "  Depends: <libvirt:i386>" "zlib1g:i386" ;;
-o) [[ $2 == APT::Default-Release=?* ]] || exit 1
    for p in "${@:4}"; do printf "%s:\n  Installed: (none)\n  Candidate: 1:1.2.13-1\n" "$p"; done ;;
esac'
stub dpkg 'echo i386'
stub locale 'echo ja_JP.utf8'
stub sudo 'exec "$@"'
# apt-get: $UPDATE_FAILS updates fail as a mirror in mid-sync does (or, with UPDATE_OTHER, as
# a held lock does); install fails while wine32:i386 is asked for without the release's suite
# and its twin paired (WINE32_BROKEN), or even then (PINNED_BROKEN), or always
# (INSTALL_BROKEN). Each call is logged.
stub apt-get '
echo "$*" >> "$WORK/calls"
case $1 in
update)
  n=$(grep -c "^update" "$WORK/calls")
  if [ "$n" -le "$UPDATE_FAILS" ]; then
    [ -n "${UPDATE_OTHER:-}" ] && { echo "E: Could not get lock /var/lib/apt/lists/lock" >&2; exit 100; }
    echo "E: Failed to fetch http://mirror/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100
  fi ;;
install)
  [ -n "${INSTALL_BROKEN:-}" ] && { echo "E: Unable to locate package $INSTALL_BROKEN" >&2; exit 100; }
  pinned=
  [[ " $* " == *" APT::Default-Release="?*" "* && " $* " == *" zlib1g:amd64=1:1.2.13-1 "* &&
     " $* " != *libfoo* && -z "${PINNED_BROKEN:-}" ]] && pinned=1
  [[ -n "${WINE32_BROKEN:-}" && " $* " == *" wine32:i386 "* && -z "$pinned" ]] &&
    { echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100; } ;;
esac
exit 0'

# Wine's loaders: the 32-bit one runs, or cannot (a kernel without 32-bit emulation).
mkdir "$work/loaders"
printf '#!/bin/sh\n[ -z "$LOADER32_BROKEN" ]\n' > "$work/loaders/wine"
printf '#!/bin/sh\n' > "$work/loaders/wine64"
chmod +x "$work/loaders/"*

failures=0
cases=0
report() {
  cases=$((cases + 1))
  if [ -n "$problem" ]; then
    failures=$((failures + 1))
    printf 'FAIL %s: %s\n%s\n' "$1" "$problem" "$out"
  else
    echo "ok   $1"
  fi
}
# case | environment | exit status | flavour | installs asked for | a line the output must hold
while IFS='|' read -r name env status flavour installs said; do
  rm -f "$work/calls"
  out=$(cd "$root" && env -i HOME="$HOME" PATH="$work/bin:$PATH" WORK="$work" \
        SETUP_RETRY_PAUSE=0 WINE_LOADER_DIR="$work/loaders" $env bash -c \
        'source tools/setup && FLAVOUR_QUIET=1 source tools/flavour &&
         echo "flavour=$RUN_PRESET" && echo "why=$FLAVOUR_WHY"' 2>&1)
  got=$?
  got_flavour=$(printf '%s\n' "$out" | sed -n 's/^flavour=//p')
  got_installs=$(grep -c '^install' "$work/calls" 2>/dev/null)
  problem=
  [ "$got" = "$status" ] || problem="exit status $got, not $status"
  [ "$status" != 0 ] || [ "$flavour" = any ] || [ "$got_flavour" = "$flavour" ] ||
    problem="flavour '$got_flavour', not $flavour"
  [ "$got_installs" = "$installs" ] || problem="$got_installs installs, not $installs"
  printf '%s\n' "$out" | grep -qF -- "$said" || problem="no line '$said'"
  report "$name"
done <<'TABLE'
an index fails once|UPDATE_FAILS=1|0|any|1|setup: installing
an index always fails|UPDATE_FAILS=9|0|any|1|an index failed to download
wine32 pairs from the release's suite|UPDATE_FAILS=9 WINE32_BROKEN=1|0|i686-release|2|taken back to it: zlib1g 1:1.2.13-1+deb12u1 -> 1:1.2.13-1
wine32 that cannot pair stops setup|WINE32_BROKEN=1 PINNED_BROKEN=1|100|none|2|held broken packages
no 32-bit emulation runs the 64-bit flavour|LOADER32_BROKEN=1|0|x64-release|1|why=this machine cannot run 32-bit programs
a held lock stops setup|UPDATE_FAILS=9 UPDATE_OTHER=1|100|none|0|Could not get lock
a missing package stops setup|UPDATE_FAILS=0 INSTALL_BROKEN=nosuch|100|none|1|Unable to locate package nosuch
TABLE

# A stand-in Wine whose prefix says whether it was made with the 32-bit Wine (wow64); such a
# prefix alone starts the 32-bit command interpreter.
stub wineboot 'mkdir -p "$WINEPREFIX"; touch "$WINEPREFIX/system.reg" "$WINEPREFIX/wow64"'
stub wineserver 'exit 0'
stub wine '[[ "$*" != *syswow64* || -f "$WINEPREFIX/wow64" ]] ||
  { echo "wine: could not load kernel32.dll, status c0000135" >&2; exit 1; }'
# case | files the prefix holds before | a file it must hold after | a line the output must hold
while IFS='|' read -r name before after said; do
  prefix=$work/prefix
  rm -rf "$prefix" && mkdir -p "$prefix"
  for f in $before; do touch "$prefix/$f"; done
  out=$(cd "$root" && env -i HOME="$HOME" PATH="$work/bin:$PATH" WINE_SESSION_PREFIX="$prefix" \
        WINE_LOADER_DIR="$work/loaders" bash -c 'source tools/wine-session && echo "flavour=$RUN_PRESET"' 2>&1)
  problem=
  [ -f "$prefix/$after" ] || problem="the prefix lacks $after"
  printf '%s\n' "$out" | grep -qF -- "$said" || problem="no line '$said'"
  report "$name"
done <<'TABLE'
a prefix made without the 32-bit Wine is renewed|system.reg keepsake|wow64|renewing it
a prefix that starts 32-bit programs is kept|system.reg wow64 keepsake|keepsake|flavour=i686-release
no prefix is created|keepsake|wow64|creating the prefix
TABLE
echo "$((cases - failures)) passed, $failures failed"
[ "$failures" = 0 ]
