#!/usr/bin/env bash
# Packs the build as the Debian package and checks it is laid out as Debian
# wants and as the install rules say: the real executables in the program
# directory, relative links to them that work once unpacked, the copyright
# under the package's name.
# Usage: deb_test.sh BUILD_DIR, with INSTALL_BINDIR, INSTALL_PROGRAMDIR and
# INSTALL_DOCDIR as CMake has them (relative to /usr).
set -euo pipefail
build=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
debs=("$work"/pelko_*.deb)
[ -f "${debs[0]}" ] || fail "no pelko_*.deb made: $(ls "$work")"
dpkg-deb -x "${debs[0]}" "$work/root"
usr="$work/root/usr"

# Debian's own places, whatever the configuration calls them.
for f in share/doc/pelko/copyright share/lintian/overrides/pelko; do
  [ -f "$usr/$f" ] || fail "/usr/$f not in the package"
done
grep -q "usr/$INSTALL_PROGRAMDIR/\*\.jar" "$usr/share/lintian/overrides/pelko" ||
  fail "the lintian override names another folder than /usr/$INSTALL_PROGRAMDIR"

for f in block.jad block.jar puzzle.jad puzzle.jar back.png bg.png chara.png; do
  [ -f "$usr/$INSTALL_PROGRAMDIR/$f" ] || fail "/usr/$INSTALL_PROGRAMDIR/$f not in the package"
done
link="$usr/$INSTALL_BINDIR/pelko-cli"
[ -L "$link" ] && [[ $(readlink "$link") != /* ]] || fail "/usr/$INSTALL_BINDIR/pelko-cli is no relative link"
[ "$(readlink -f "$link")" = "$(readlink -f "$usr/$INSTALL_PROGRAMDIR/pelko-cli")" ] ||
  fail "/usr/$INSTALL_BINDIR/pelko-cli -> $(readlink "$link")"
"$link" --version >/dev/null || fail "the unpacked pelko-cli does not run"
echo "Debian package test passed"
