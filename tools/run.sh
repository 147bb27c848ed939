#!/usr/bin/env bash
# Builds Tallyra and starts it in the folder run/, which holds its settings and draw history.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" --target tallyra help_chm

mkdir -p "$top/run"
[ -e "$top/run/Results.txt" ] || cp "$top/assets/Results.txt" "$top/run/Results.txt"
cp "$top/build/help.chm" "$top/run/help.chm"
cd "$top/run"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$top/build/tallyra"
fi
echo "No display is available: starting Tallyra under xvfb-run (a virtual screen)."
exec xvfb-run -a -s "-screen 0 1024x768x24" "$top/build/tallyra"
