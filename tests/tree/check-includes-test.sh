#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The floor check itself: on a small tree, it reports exactly the includes that
# run sideways, upwards or nowhere, and a folder of code with no floor.
# Usage: check-includes-test.sh SOURCE_DIR
set -euo pipefail
checker="$1/scripts/check-includes"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

# folder, included path, reported?
cases=(
  "geo text/text.h no"
  "geo geo/locator.h no"
  "maintenance setup/settings.h no"
  "ui radio/hamlibradio.h no"
  "companions ui/filedialog.h no"
  "text geo/locator.h yes"
  "geo logbook/text.h yes"
  "printing maintenance/search.h yes"
  "station radio/radiopoller.h yes"
  "logbook locator.h yes"
  "logbook ../geo/locator.h yes"
  "tests ui/mainwindow.h no"
)
expected=""
for i in "${!cases[@]}"; do
  read -r folder target reported <<<"${cases[$i]}"
  mkdir -p "$tree/$folder"
  printf '#include <string>\n  #  include "%s" // why\n' "$target" >"$tree/$folder/case$i.cpp"
  [[ $reported == yes ]] && expected+="$folder/case$i.cpp:2: $folder/ may not include \"$target\""$'\n'
done
mkdir -p "$tree/newfloor" && touch "$tree/newfloor/a.h"
expected+="newfloor/: a folder of code on no floor: give it one in docs/ARCHITECTURE.md and $checker"$'\n'
# A build tree's generated sources are not ours.
mkdir -p "$tree/build/ui" && touch "$tree/build/CMakeCache.txt" &&
  printf '#include "companions/x.h"\n' >"$tree/build/ui/moc.cpp"

status=0
actual=$(bash "$checker" "$tree") || status=$?
if [[ $status -ne 1 ]]; then
  echo "the checker ended with $status, not 1"
  exit 1
fi
if [[ "$(sort <<<"$actual")" != "$(sort <<<"${expected%$'\n'}")" ]]; then
  diff <(sort <<<"${expected%$'\n'}") <(sort <<<"$actual") || true
  exit 1
fi
# And the real tree stands on its floors.
bash "$checker" "$1"
