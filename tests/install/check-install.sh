#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed tree as a packager lays it out (DESTDIR), checked by the
# desktop's own validators when they are there, and every installed program
# answering its command line without any display.
set -uo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail=0
problem() { echo "ÉCHEC : $*"; fail=1; }

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null || { echo "ÉCHEC : cmake --install"; exit 1; }
usr="$stage/usr"

[ -x "$usr/bin/ondelog" ] || problem "bin/ondelog manque"
[ -f "$usr/share/metainfo/org.ondelog.Ondelog.metainfo.xml" ] || problem "metainfo manque"
[ -f "$usr/share/doc/ondelog/copyright" ] || problem "doc/ondelog/copyright manque"
[ -f "$usr/share/doc/ondelog/changelog.gz" ] || problem "doc/ondelog/changelog.gz manque"
programs=0
for program in ondelog fabribase versabase horalink; do
  [ -x "$usr/bin/$program" ] || continue
  programs=$((programs + 1))
  id="$(tr '[:lower:]' '[:upper:]' <<<"${program:0:1}")${program:1}"
  desktop="$usr/share/applications/org.ondelog.$id.desktop"
  [ -f "$desktop" ] || problem "$desktop manque"
  [ -f "$usr/share/icons/hicolor/scalable/apps/$program.svg" ] || problem "icône de $program manque"
  for page in "$usr/share/man/man1/$program.1.gz" "$usr/share/man/fr/man1/$program.1.gz"; do
    [ -f "$page" ] || problem "$page manque"
  done
  if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$desktop" 2>&1 | grep -v ': hint: ')
    [ -z "$out" ] || problem "$out"
  fi

  # No display at all: the answers must not need one.
  run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/$program" "$@"; }
  version=$(run --version 2>&1); status=$?
  [ $status -eq 0 ] && grep -q "^$id [0-9]" <<<"$version" || problem "$program --version : $status, $version"
  help=$(run --help 2>&1); status=$?
  [ $status -eq 0 ] && grep -q "^Utilisation : $program" <<<"$help" || problem "$program --help : $status"
  wrong=$(run --inconnue 2>&1 >/dev/null); status=$?
  [ $status -eq 2 ] && grep -q "option inconnue" <<<"$wrong" || problem "$program --inconnue : $status, $wrong"
done
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$usr/share/metainfo/org.ondelog.Ondelog.metainfo.xml" >/dev/null ||
    problem "appstreamcli validate"
fi
[ $fail -eq 0 ] && echo "$programs programmes installés et vérifiés"
exit $fail
