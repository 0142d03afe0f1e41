#!/usr/bin/env bash
# tools/setup against a stand-in package manager (first on PATH; nothing is installed and no
# network is used): a mirror in mid-sync, a 32-bit Wine that cannot be installed, and the
# failures that must still stop it. Usage: setup-test.sh <project root>
set -u
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
stub() { printf '#!/usr/bin/env bash\n%s\n' "$2" > "$work/bin/$1"; chmod +x "$work/bin/$1"; }
# Nothing is installed; i386 is known; the locale is there; sudo runs the command.
stub dpkg-query 'exit 1'
stub dpkg 'echo i386'
stub locale 'echo ja_JP.utf8'
stub sudo 'exec "$@"'
# apt-get: $UPDATE_FAILS updates fail as a mirror in mid-sync does (or, with UPDATE_OTHER, as
# a held lock does); install fails while wine32:i386 is asked for (WINE32_BROKEN) or always
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
  [[ -n "${WINE32_BROKEN:-}" && " $* " == *" wine32:i386 "* ]] &&
    { echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100; } ;;
esac
exit 0'

failures=0
# case | environment | exit status | flavour | installs asked for | a line the output must hold
while IFS='|' read -r name env status flavour installs said; do
  rm -f "$work/calls"
  out=$(cd "$root" && env -i HOME="$HOME" PATH="$work/bin:$PATH" WORK="$work" \
        SETUP_RETRY_PAUSE=0 $env bash -c \
        'source tools/setup && FLAVOUR_QUIET=1 source tools/flavour && echo "flavour=$RUN_PRESET"' 2>&1)
  got=$?
  got_flavour=$(printf '%s\n' "$out" | sed -n 's/^flavour=//p')
  got_installs=$(grep -c '^install' "$work/calls" 2>/dev/null)
  problem=
  [ "$got" = "$status" ] || problem="exit status $got, not $status"
  [ "$status" != 0 ] || [ "$flavour" = any ] || [ "$got_flavour" = "$flavour" ] ||
    problem="flavour '$got_flavour', not $flavour"
  [ "$got_installs" = "$installs" ] || problem="$got_installs installs, not $installs"
  printf '%s\n' "$out" | grep -qF -- "$said" || problem="no line '$said'"
  if [ "$status" = 0 ] && [ -n "$(grep '^install' "$work/calls" | tail -1 | grep wine32)" ] &&
     [ "$flavour" = x64-release ]; then
    problem="the last install still asked for wine32:i386"
  fi
  if [ -n "$problem" ]; then
    failures=$((failures + 1))
    printf 'FAIL %s: %s\n%s\n' "$name" "$problem" "$out"
  else
    echo "ok   $name"
  fi
done <<'TABLE'
an index fails once|UPDATE_FAILS=1|0|any|1|setup: installing
an index always fails|UPDATE_FAILS=9|0|any|1|an index failed to download
wine32 cannot be installed|UPDATE_FAILS=9 WINE32_BROKEN=1|0|x64-release|2|wine32:i386) cannot be installed
a held lock stops setup|UPDATE_FAILS=9 UPDATE_OTHER=1|100|none|0|Could not get lock
a missing package stops setup|UPDATE_FAILS=0 INSTALL_BROKEN=nosuch|100|none|2|Unable to locate package nosuch
TABLE
echo "$((5 - failures)) passed, $failures failed"
[ "$failures" = 0 ]
