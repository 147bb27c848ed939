#!/usr/bin/env bash
# Makes the README's pictures: the main window with the sample draws, the entry dialog, the
# Check tab after collating 99 999 system stakes with each other, the list viewer at the end
# of the longest list, the Statistics tab with its chart, the winnings report over every draw,
# a wheel built in the wheels dialog, the import preview of a foreign history, a distribution
# of the draws beside its expectation and the funnel of a set of filters. Runs the real
# program on a virtual screen, in English and Russian.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" --target tallyra >/dev/null
mkdir -p "$top/docs"

# Runs the program in a fresh folder and plays one of the scenes below against it.
scene() {  # language scene outputs...
  local dir
  dir=$(mktemp -d)
  printf '49\r\n%s\r\n' "$1" >"$dir/ini.tly"
  cp "$top/assets/Results.txt" "$dir/"
  printf 'price; 2.00\r\n3; 5.00\r\n4; 50.00\r\n5; 3000.00\r\n6; 1000000.00\r\ncurrency; EUR\r\n' \
    >"$dir/prizes.tly"
  # 99 999 system stakes of twelve different numbers.
  awk 'BEGIN { srand(7); for (i = 1; i <= 99999; i++) { delete seen; n = 0; line = "";
         while (n < 12) { v = int(rand() * 49) + 1; if (!(v in seen)) { seen[v] = 1; n++;
           line = line (n > 1 ? "," : "") v } }
         printf "%d - %s;\r\n", i, line } }' >"$dir/System.txt"
  (cd "$dir" && xvfb-run -a -s "-screen 0 1280x900x24" bash "$top/tools/scenes.sh" \
     "$top/build/tallyra" "${@:2}")
  rm -rf "$dir"
}

scene 1 main "$top/docs/main-window-en.png" "$top/docs/entry-dialog-en.png"
scene 0 main "$top/docs/main-window-ru.png" "$top/docs/entry-dialog-ru.png"
scene 1 check "$top/docs/check-tab-en.png" "$top/docs/viewer-en.png"
scene 0 check "$top/docs/check-tab-ru.png" "$top/docs/viewer-ru.png"
scene 1 more "$top/docs/statistics-en.png" "$top/docs/options-en.png" "$top/docs/about-en.png"
scene 0 more "$top/docs/statistics-ru.png" "$top/docs/options-ru.png" "$top/docs/about-ru.png"
scene 1 wheels "$top/docs/wheels-en.png"
scene 0 wheels "$top/docs/wheels-ru.png"
scene 1 winnings "$top/docs/winnings-en.png"
scene 1 import "$top/docs/import-preview-en.png" \
  "$top/tests/data/real/mega-sena-6of60-semicolon-quoted.csv"
scene 0 winnings "$top/docs/winnings-ru.png"
scene 1 analysis "$top/docs/analysis-en.png"
scene 1 generator "$top/docs/generator-en.png"
echo "Wrote the pictures into docs/"
