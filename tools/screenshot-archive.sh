#!/usr/bin/env bash
# Takes docs/archive.png: the 通し読み window on board No.3 of かぶらネット, in a
# scratch copy of the demo given six older captures of its log of 26/12/05
# (one a month from June, each with its own two articles), its last three
# months chosen on the timeline, under Xvfb with the Japanese fonts installed.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/screenshot-demo.sh
month=6
for n in 1100 1102 1104 1106 1108 1110; do
  mm=$(printf '%02d' "$month")
  sed -e "s#26/12/05#26/$mm/05#g" -e "s#PC(1199/#PC($n/#" -e "s#PC(1200/#PC($((n + 1))/#" \
    demo/LOG/KAB0605.LOG > "$work/LOG/KAB$mm.LOG"
  touch -d "2026-$mm-05 21:30:00" "$work/LOG/KAB$mm.LOG"
  month=$((month + 1))
done
cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24" "$build/src/app/kavrel-screenshot" --archive "$src/docs/archive.png" \
  0 KAB0606.LOG 1 3 4 6
echo "wrote docs/archive.png"
