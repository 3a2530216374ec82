# Sourced with the prefix as argument: the environment of every wine call of
# the Windows build. Debian's wine64 lives outside PATH, in /usr/lib/wine.
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX=${1:?wine-env.sh needs the prefix}
export WINEDEBUG=-all
# No menu entries on the host, no prompts to install Mono or Gecko.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
