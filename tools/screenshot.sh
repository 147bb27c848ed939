#!/usr/bin/env bash
# Makes the README's pictures of the main window: the Results tab with the sample draws
# loaded, once in English and once in Russian. Runs the real program on a virtual screen.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" --target tallyra >/dev/null
mkdir -p "$top/docs"

shoot() {  # language output
  local dir
  dir=$(mktemp -d)
  printf '49\r\n%s\r\n' "$1" >"$dir/ini.tly"
  cp "$top/assets/Results.txt" "$dir/"
  (cd "$dir" && xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
      "$0" & app=$!
      for _ in $(seq 50); do
        win=$(xdotool search --onlyvisible --class tallyra 2>/dev/null | head -n 1) && [ -n "$win" ] && break
        sleep 0.2
      done
      sleep 1
      eval "$(xdotool getwindowgeometry --shell "$win")"
      # The Results tab, third of the five tab buttons.
      xdotool mousemove $((X + 310)) $((Y + 56)) click 1
      sleep 0.5
      import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
      kill $app' "$top/build/tallyra" "$2")
  rm -rf "$dir"
}

shoot 1 "$top/docs/main-window-en.png"
shoot 0 "$top/docs/main-window-ru.png"
echo "Wrote docs/main-window-en.png and docs/main-window-ru.png"
