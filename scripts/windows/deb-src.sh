#!/usr/bin/env bash
# Makes `apt-get source` work on this machine. Where apt knows no source
# entry for this Debian release, one is derived from the machine's own binary
# entries (same mirrors, suites, components and keys, as `deb-src`), so no
# host is named here and the sources come from where the packages come from.
set -euo pipefail

DERIVED=/etc/apt/sources.list.d/pelko-deb-src.sources
SUDO=()
if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo); fi
APT=("${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=600)

codename=$(. /etc/os-release && echo "${VERSION_CODENAME:?no release code name in /etc/os-release}")

# The files apt reads: the one-line list files and the deb822 .sources files.
source_files() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    if [ -f "$f" ] && [ "$f" != "$DERIVED" ]; then echo "$f"; fi
  done
}

# deb822 stanzas of this release that list `deb` but not `deb-src`, rewritten
# as `deb-src` with their URIs, Suites, Components and Signed-By (continuation
# lines included: Signed-By may hold a whole key).
derive_from_deb822() {
  awk -v codename="$codename" '
    function flush() {
      if (has_deb && !has_src && ours && kept != "") print "Types: deb-src\n" kept
      kept = ""; has_deb = has_src = ours = 0; copying = 0
    }
    /^[[:space:]]*#/ { next }
    /^[[:space:]]*$/ { flush(); next }
    /^[[:space:]]/ { if (copying) kept = kept $0 "\n"; next }
    {
      field = tolower($1); copying = 0
      if (field == "types:") {
        for (i = 2; i <= NF; i++) { if ($i == "deb") has_deb = 1; if ($i == "deb-src") has_src = 1 }
      } else if (field == "uris:" || field == "suites:" || field == "components:" || field == "signed-by:") {
        kept = kept $0 "\n"; copying = 1
        if (field == "suites:")
          for (i = 2; i <= NF; i++) if ($i == codename || index($i, codename "-") == 1) ours = 1
      }
    }
    END { flush() }
  ' "$@"
}

# One-line entries: `deb [options] URI suite component...`.
derive_from_one_line() {
  awk -v codename="$codename" '
    $1 != "deb" { next }
    {
      i = 2; signed = ""
      if ($2 ~ /^\[/) {
        while (i <= NF) {
          if ($i ~ /^\[?signed-by=/) { signed = $i; sub(/^\[?signed-by=/, "", signed); sub(/\]$/, "", signed) }
          if ($i ~ /\]$/) { i++; break }
          i++
        }
      }
      uri = $i; suite = $(i + 1)
      if (suite != codename && index(suite, codename "-") != 1) next
      components = ""
      for (j = i + 2; j <= NF; j++) components = components " " $j
      printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:%s\n", uri, suite, components
      if (signed != "") printf "Signed-By: %s\n", signed
      print ""
    }
  ' "$@"
}

has_source_entry() {
  local f
  while read -r f; do
    if grep -Eq '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' "$f"; then return 0; fi
  done < <(source_files)
  return 1
}

if apt-cache showsrc libzip 2>/dev/null | grep -q '^Package:'; then
  exit 0
fi

if ! has_source_entry && [ ! -f "$DERIVED" ]; then
  derived=""
  while read -r f; do
    case "$f" in
      *.sources) derived+=$(derive_from_deb822 "$f")$'\n\n' ;;
      *) derived+=$(derive_from_one_line "$f")$'\n\n' ;;
    esac
  done < <(source_files)
  if ! grep -q '^URIs:' <<<"$derived"; then
    echo "deb-src: no Debian entry for $codename to derive a source entry from" >&2
    exit 1
  fi
  echo "deb-src: adding source entries derived from the machine's own ($DERIVED)" >&2
  tmp=$(mktemp)
  cat -s <<<"$derived" > "$tmp"
  "${SUDO[@]}" install -m 644 "$tmp" "$DERIVED"
  rm -f "$tmp"
fi

"${APT[@]}" update -qq
