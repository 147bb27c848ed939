#!/usr/bin/env bash
# The user's steps behind the README's pictures; run by screenshot.sh on a virtual screen.
# Positions are relative to the main window, whose layout is fixed.
set -u
program=$1 scene=$2
"$program" &
app=$!
for _ in $(seq 50); do
  win=$(xdotool search --onlyvisible --class tallyra 2>/dev/null | head -n 1) && [ -n "$win" ] && break
  sleep 0.2
done
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"
shot() { import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"; }
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; sleep "${3:-0.4}"; }

case $scene in
  main)
    click 310 56 0.5  # the Results tab
    shot "$3"
    click 30 56 0.3   # the Stakes tab, then its Add button
    click 148 406 1
    xdotool type --delay 50 "5"; xdotool key Return; xdotool type "12"; xdotool key Return
    xdotool type "17"; xdotool key Return; xdotool type "23"; xdotool key Return
    xdotool type "38"; xdotool key Return; xdotool type "41"
    xdotool key Tab space; sleep 0.3; xdotool type "9"; sleep 0.5
    dialog=$(xdotool search --onlyvisible --name "Enter stake|Ввод ставки" | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    import -window root -crop "$((WIDTH + 40))x$((HEIGHT + 40))+$((X - 20))+$((Y - 20))" +repage "$4"
    ;;
  check)
    click 105 8; click 102 30 1.5   # System game > Load, then take the preset System.txt
    xdotool key Return; sleep 2
    click 105 8; click 108 75 4     # System game > Collate
    shot "$3"
    click 420 335 1.5               # the list of three
    xdotool key ctrl+End; sleep 0.5
    viewer=$(xdotool search --onlyvisible --name "Coincidence|Совпадение" | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$viewer")"
    shot "$4"
    ;;
esac
kill "$app"
