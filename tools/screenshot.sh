#!/usr/bin/env bash
# Takes docs/screenshot.png: the main window on a scratch copy of the demo, with
# かぶらネット's newest log open on board No.3 and its second row shown, under
# Xvfb with the Japanese fonts installed.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
build=$(realpath -m "${KAVREL_BUILD_DIR:-$src/build/default}")
if [ ! -x "$build/src/app/kavrel-screenshot" ]; then
  cmake --preset default
  cmake --build --preset default --target kavrel-screenshot
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R demo/. "$work/"
touch -d '2026-12-05 21:30:00' "$work/LOG/KAB0605.LOG"
touch -d '2026-12-06 23:10:00' "$work/LOG/KAB0606.LOG"
touch -d '2026-12-06 09:40:00' "$work/LOG/mnt1206.log"
mkdir -p docs
cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24" "$build/src/app/kavrel-screenshot" "$src/docs/screenshot.png" 0 KAB0606.LOG 1 1
echo "wrote docs/screenshot.png"
