#!/usr/bin/env bash
# Takes docs/preview.png: the 送信予定の確認 window of かぶらネット, in a scratch
# copy of the demo whose up file holds, besides the demo's waiting write, a
# response, a mail, a response to an article of no log and a write with a
# line over 80 columns, its second row chosen, under Xvfb with the Japanese
# fonts installed.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/screenshot-demo.sh
# One command as Kavrel writes it: CR LF after each line but the last.
up_command() { printf '%s\r\n' "${@:1:$#-1}"; printf '%s' "${@: -1}"; }
{
  iconv -f CP932 -t UTF-8 demo/UP/KABURA.up
  up_command '\ 3' '1202' 'PRe:Re:新しいログリーダー' '> 私はエディタで書いています。' \
    '佐藤さん、ありがとうございます。' 'しばらく試してみます。' '.' 'yQ'
  up_command 'mw' ' KAV00456' '' '' '例会のご案内' '佐藤さん、こんにちは。' \
    '来月の例会は港町の公民館で開きます。' '.' 'y'
  up_command '\ 3' '1150' 'PRe:古いモデムの話' '先月のお話の続きです。' '.' 'yQ'
  up_command '\ 12' 'W釣果報告' \
    '日曜日は朝から堤防に出て、アジを三十匹、サバを五匹、それに思いがけずカワハギを一匹釣りました。' '.' 'yQ'
} | iconv -f UTF-8 -t CP932 > "$work/UP/KABURA.up"
cd "$work"
xvfb-run -a -s "-screen 0 1024x768x24" "$build/src/app/kavrel-screenshot" --preview "$src/docs/preview.png" \
  0 KAB0606.LOG 1 1
echo "wrote docs/preview.png"
