#!/usr/bin/env bash
# Takes docs/screenshot.png: the main window on a scratch copy of the demo, with
# かぶらネット's newest log open on board No.3 and its second row shown, under
# Xvfb with the Japanese fonts installed.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/screenshot-demo.sh
cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24" "$build/src/app/kavrel-screenshot" "$src/docs/screenshot.png" 0 KAB0606.LOG 1 1
echo "wrote docs/screenshot.png"
