#!/usr/bin/env bash
# Builds the Debian package in a Release build folder of its own (or the one named by
# TALLYRA_PACKAGE_BUILD, which the test command points at its Release build), checks it
# with lintian (errors fail, warnings are shown), validates its desktop entry and metainfo,
# unpacks it into a temporary root and starts the unpacked program with an empty home folder,
# checking that its data folder was made and seeded.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYRA_PACKAGE_BUILD:-$top/build-package}
jobs=$(nproc)

echo "-- building the package in $build"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLYRA_TESTS=OFF \
  -DTALLYRA_BENCH=OFF -DTALLYRA_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs" >/dev/null
rm -f "$build"/tallyra_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$build/tallyra_1.0_amd64.deb"
[ -f "$deb" ] || { echo "no $deb was made" >&2; exit 1; }
echo "-- $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"

echo "-- lintian"
# Errors fail the check; warnings and the rest are listed.
lintian --fail-on error --tag-display-limit 0 "$deb" || {
  echo "lintian found errors" >&2
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
dpkg -x "$deb" "$root"

echo "-- desktop entry and metainfo"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
for size in 16 24 32 48 64 128 256; do
  test -f "$root/usr/share/icons/hicolor/${size}x${size}/apps/example.tallyra.Tallyra.png"
done
test -f "$root/usr/share/icons/hicolor/scalable/apps/example.tallyra.Tallyra.svg"
for page in tallyra tallyra-cli; do
  MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" >/dev/null
done

echo "-- the unpacked programs"
"$root/usr/bin/tallyra" --version
"$root/usr/bin/tallyra-cli" --version
if ldd "$root/usr/bin/tallyra" | grep -q "not found"; then
  echo "the program misses a library:" >&2
  ldd "$root/usr/bin/tallyra" | grep "not found" >&2
  exit 1
fi
home="$work/home"
mkdir -p "$home"
run=(env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" "$root/usr/bin/tallyra" --quit-after 3000)
if command -v xvfb-run >/dev/null; then
  # A real window system: the package's plugin and libraries are tried as a user's would be.
  xvfb-run -a -s "-screen 0 1024x768x24" "${run[@]}"
else
  QT_QPA_PLATFORM=offscreen "${run[@]}"
fi
data="$home/.local/share/tallyra"
for file in Results.txt help.chm; do
  cmp "$root/usr/share/tallyra/$file" "$data/$file" || {
    echo "the data folder $data was not seeded with $file" >&2
    exit 1
  }
done
echo "-- the package check passed"
