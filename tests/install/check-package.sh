#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The .deb that `make package` builds, as Debian's own checker sees it: no
# error and no warning from lintian (the placeholder maintainer's address
# excepted, by the override the package carries). Then the manual pages it
# installs: one per program in each language, and `man ondelog` in French
# under a French locale, in English otherwise.
set -uo pipefail
build=$1
command -v lintian >/dev/null || { echo "lintian absent : test sauté"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
problem() { echo "ÉCHEC : $*"; fail=1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "ÉCHEC : cpack"; exit 1; }
deb=$(ls "$work"/*.deb)

report=$(lintian "$deb" 2>&1 | grep -v '^running with root privileges')
echo "$report"
grep -qE '^[EW]: ' <<<"$report" && problem "lintian signale des erreurs ou des avertissements"

dpkg-deb -x "$deb" "$work/root"
usr="$work/root/usr"
for program in ondelog fabribase versabase horalink; do
  [ -x "$usr/bin/$program" ] || continue
  for page in "$usr/share/man/man1/$program.1.gz" "$usr/share/man/fr/man1/$program.1.gz"; do
    [ -f "$page" ] || problem "$page manque"
  done
done

# man finds the pages beside the programs' folder on the PATH, as once installed.
manpage() { env -u MANPATH PATH="$usr/bin:$PATH" MANWIDTH=80 man "$@" ondelog 2>/dev/null | head -4; }
french=$(locale -a 2>/dev/null | grep -im1 '^fr_FR\.utf-\?8$')
if [ -n "$french" ]; then
  fr=$(LC_ALL="$french" manpage)
else
  fr=$(LC_ALL=C.UTF-8 manpage -L fr) # no French locale on this machine: asked for by name
fi
grep -q "cahier de trafic pour station radioamateur" <<<"$fr" || problem "man ondelog en français : $fr"
en=$(LC_ALL=C.UTF-8 LANGUAGE= manpage)
grep -q "logbook for an amateur radio station" <<<"$en" || problem "man ondelog en anglais : $en"

[ $fail -eq 0 ] && echo "paquet $(basename "$deb") propre pour lintian, pages de manuel en place"
exit $fail
