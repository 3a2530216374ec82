#!/usr/bin/env bash
# Installs the build into a temporary prefix with DESTDIR and uses what was
# installed: the links to the executables, the program directory with the
# samples, and a user template in a temporary XDG_DATA_HOME whose relative
# file value names a file beside it.
# Usage: install_test.sh CMAKE BUILD_DIR SAMPLES_DIR, with the folders of the
# installation in INSTALL_BINDIR, INSTALL_PROGRAMDIR, INSTALL_DATADIR,
# INSTALL_MANDIR and INSTALL_DOCDIR as CMake has them.
set -euo pipefail
cmake=$1 build=$2 samples=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=/opt/pelko-test
DESTDIR="$work/stage" "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" ||
  { cat "$work/install.log" >&2; fail "cmake --install"; }
# Where a folder of the installation lies in the staged tree.
staged() { case $1 in /*) echo "$work/stage$1" ;; *) echo "$work/stage$prefix/$1" ;; esac; }
bin=$(staged "$INSTALL_BINDIR") program=$(staged "$INSTALL_PROGRAMDIR")
share=$(staged "$INSTALL_DATADIR") man=$(staged "$INSTALL_MANDIR") doc=$(staged "$INSTALL_DOCDIR")

# The links are relative, so the staged tree works where it stands, and the
# program directory holds the real executable beside the samples.
for exe in pelko-cli $( [ -e "$build/bin/pelko" ] && echo pelko ); do
  [ -L "$bin/$exe" ] || fail "$INSTALL_BINDIR/$exe is not a link"
  [ "$(readlink "$bin/$exe")" = "$(realpath -s --relative-to="$bin" "$program/$exe")" ] ||
    fail "$INSTALL_BINDIR/$exe -> $(readlink "$bin/$exe")"
  [ -x "$program/$exe" ] && [ ! -L "$program/$exe" ] || fail "$INSTALL_PROGRAMDIR/$exe"
done
for f in "$program"/{block,puzzle}.{jad,jar} "$program"/{back,bg,chara}.png "$man/man1/pelko-cli.1.gz" \
         "$share/bash-completion/completions/pelko-cli" "$doc/copyright" "$doc/changelog.gz"; do
  [ -f "$f" ] || fail "${f#"$work/stage"} not installed"
done
if [ -e "$build/bin/pelko" ]; then
  for f in "$share/applications/net.pelko.Pelko.desktop" "$share/metainfo/net.pelko.Pelko.metainfo.xml" \
           "$share/icons/hicolor/scalable/apps/net.pelko.Pelko.svg" "$man/man1/pelko.1.gz"; do
    [ -f "$f" ] || fail "${f#"$work/stage"} not installed"
  done
fi
gzip -t "$man/man1/pelko-cli.1.gz" || fail "manual page not gzip"

cli="$bin/pelko-cli"
version=$(sed -n 's/^#define PELKO_VERSION "\(.*\)"$/\1/p' "$build/generated/pelko/Version.h")
[ -n "$version" ] || fail "no version in the generated header"
[ "$("$cli" --version)" = "pelko-cli $version" ] || fail "--version: $("$cli" --version)"

# A user template: the block sample under another name, with the picture its
# file option names by a relative path lying beside it.
data="$work/data"
user="$data/pelko/templates"
mkdir -p "$user"
cp "$samples/block.jad" "$user/Mine.jad"
cp "$samples/block.jar" "$user/Mine.jar"
cp "$samples/block.jad" "$user/another.jad"
cp "$samples/block.jar" "$user/another.jar"
head -c 4321 /dev/urandom >"$user/back.png"

export XDG_DATA_HOME="$data" HOME="$work/home"
cd "$work"

# Program directory first, then the user's, each in file-name order.
listed=$("$cli" templates | cut -f2)
expected=$(printf '%s\n' "$program/block.jad" "$program/puzzle.jad" \
                         "$user/another.jad" "$user/Mine.jad")
[ "$listed" = "$expected" ] || fail "templates listed:"$'\n'"$listed"

# An installed sample, found by its bare name; its file option is set here.
head -c 1234 /dev/urandom >"$work/sky.png"
"$cli" make block.jad -o "$work/sample" --author dev01 --set 背景画像="$work/sky.png" >"$work/make1.log" ||
  { cat "$work/make1.log" >&2; fail "make of the installed sample"; }
grep -q '^\[O\]' "$work/make1.log" || fail "no [O] line: $(cat "$work/make1.log")"
"$cli" inspect "$work/sample.kjx" >"$work/inspect1.log" || { cat "$work/inspect1.log" >&2; fail "inspect sample"; }
grep -qx ok "$work/inspect1.log" || fail "inspect sample not ok"
grep -Eq '^ +1234 +[0-9]+ +back\.png$' "$work/inspect1.log" || fail "sample package lacks sky.png as back.png"

# Each installed sample with its defaults: the pictures its File options
# name lie beside it, so the build says nothing but its result.
for sample in block puzzle; do
  "$cli" make "$sample.jad" -o "$work/$sample-default" --author dev03 --strict >"$work/$sample.log" ||
    { cat "$work/$sample.log" >&2; fail "default build of the installed $sample sample"; }
done

# The user's template, by its bare name: back.png comes from its own folder.
"$cli" make Mine.jad -o "$work/mine" --author dev02 >"$work/make2.log" ||
  { cat "$work/make2.log" >&2; fail "make of the user template"; }
grep -q '^\[O\]' "$work/make2.log" || fail "no [O] line: $(cat "$work/make2.log")"
"$cli" inspect "$work/mine.kjx" >"$work/inspect2.log" || { cat "$work/inspect2.log" >&2; fail "inspect mine"; }
grep -qx ok "$work/inspect2.log" || fail "inspect mine not ok"
grep -Eq '^ +4321 +[0-9]+ +back\.png$' "$work/inspect2.log" || fail "user package lacks its own back.png"

# Without XDG_DATA_HOME the user's templates are under ~/.local/share.
unset XDG_DATA_HOME
mkdir -p "$HOME/.local/share"
mv "$data/pelko" "$HOME/.local/share/pelko"
"$cli" templates | cut -f2 | grep -qx "$HOME/.local/share/pelko/templates/Mine.jad" ||
  fail "~/.local/share/pelko/templates not listed"
echo "install test passed"
