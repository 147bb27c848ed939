#!/usr/bin/env bash
# Makes the README's pictures of the main window: the Results tab with the sample draws
# loaded, once in English and once in Russian. Runs the real program on a virtual screen.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" --target tallyra >/dev/null
mkdir -p "$top/docs"

shoot() {  # language output [dialog-output]
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
      # The entry dialog over the Stakes tab, a system stake being typed.
      xdotool mousemove $((X + 30)) $((Y + 56)) click 1
      sleep 0.3
      xdotool mousemove $((X + 148)) $((Y + 406)) click 1
      sleep 1
      xdotool type --delay 50 "5"; xdotool key Return; xdotool type "12"; xdotool key Return
      xdotool type "17"; xdotool key Return; xdotool type "23"; xdotool key Return
      xdotool type "38"; xdotool key Return; xdotool type "41"
      xdotool key Tab space; sleep 0.3; xdotool type "9"
      sleep 0.5
      dialog=$(xdotool getactivewindow 2>/dev/null || xdotool search --onlyvisible --class tallyra | tail -n 1)
      eval "$(xdotool getwindowgeometry --shell "$dialog")"
      import -window root -crop "$((WIDTH + 40))x$((HEIGHT + 40))+$((X - 20))+$((Y - 20))" +repage "$2"
      kill $app' "$top/build/tallyra" "$2" "$3")
  rm -rf "$dir"
}

shoot 1 "$top/docs/main-window-en.png" "$top/docs/entry-dialog-en.png"
shoot 0 "$top/docs/main-window-ru.png" "$top/docs/entry-dialog-ru.png"
echo "Wrote the pictures of the main window and the entry dialog into docs/"
