#!/usr/bin/env bash
# The user's steps behind the README's pictures; run by screenshot.sh on a virtual screen.
# Positions are relative to the main window, whose layout is fixed.
set -u
program=$1 scene=$2
# The Options and Help menus stand further right in Russian.
if grep -q $'^0\r' ini.tly; then options=385 help=455 stats=608 check=303 every=300; else options=293 help=345 stats=530 check=237 every=255; fi
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
  more)
    click "$stats" 56 0.5           # the Statistics tab, sorted by frequency
    click 364 406 0.5
    shot "$3"
    click "$options" 8; click $((options + 36)) 53 1  # Options > Preferences, then Change
    dialog=$(xdotool search --onlyvisible --name "Options|Настройки программы" | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    click 92 84 0.5
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$4"
    xdotool key Escape; sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$win")"
    click "$help" 8; click $((help + 55)) 53 1          # Help > About program
    dialog=$(xdotool search --onlyvisible --name "About program|О программе" | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$5"
    ;;
  wheels)
    printf 'price; 2.00\r\ncurrency; EUR\r\n' >prizes.tly  # so that the wheel has a cost
    # Check > Wheels... by the keyboard: Stakes, then three menus right, then its last item.
    click 30 8 0.3; xdotool key Right Right Right Up Return; sleep 1
    dialog=$(xdotool search --onlyvisible --name "^(Wheels|Сокращённые системы)$" | head -n 1)
    xdotool type --delay 20 "3 7 9 12 15 18 21 26 30 33 38 41 44 47"
    xdotool key Return; sleep 13  # Build, with the preset "3 if 4" and ten seconds
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$3"
    ;;
  winnings)
    click 105 8; click 102 30 1.5   # System game > Load, then take the preset System.txt
    xdotool key Return; sleep 2
    click "$check" 8; click $((check + 33)) 76 3  # Check > Winnings, the latest draw
    dialog=$(xdotool search --onlyvisible --name "^Winnings|^Выигрыши ставок" | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    click "$every" 21 0.3             # every draw, then Compute
    click $((WIDTH - 52)) 21 4
    click 432 49 3; click 432 49 3    # sorted by the winnings, highest first
    shot "$3"
    ;;
  import)
    # Results > Import... by the keyboard: Stakes, two menus right, its last item; then the
    # history's path typed into the file dialog.
    click 30 8 0.3; xdotool key Right Right Up Return; sleep 1.5
    xdotool type --delay 10 "$4"; xdotool key Return; sleep 3
    dialog=$(xdotool search --onlyvisible --name "^(Import|Импорт)$" | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$3"
    ;;
  generator)
    # Stakes > Generate stakes through filters..., then eight filters added with their bounds
    # as they come: each kind is picked in the box under the list and added.
    click 30 8 0.5; click 130 141 2
    window=$(xdotool search --onlyvisible --name "^(Generate stakes|Генерация ставок)" | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    click 366 480
    for kind in 1 2 3 4 5 6 7 8 9 10 11 12 13 14; do
      click 171 480 0.3; xdotool key Down Return; sleep 0.2
      case $kind in 1 | 3 | 4 | 11 | 12 | 13 | 14) click 366 480 ;; esac
    done
    sleep 2
    shot "$3"
    ;;
  analysis)
    # The Statistics tab's button opens the analysis; its Patterns page shows a distribution.
    click "$stats" 56 1; click 595 347 2
    window=$(xdotool search --onlyvisible --name "Analysis of the draws|Анализ тиражей" | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    click 303 123 1
    shot "$3"
    ;;
esac
kill "$app"
