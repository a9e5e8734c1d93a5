#!/usr/bin/env python3
"""Writes the bundled demo working directory (demo/) in Shift-JIS, the way the
hosts print their logs. Run it again after changing the texts below."""
import os
import struct
import sys

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "demo")
CRLF = "\r\n"
SEP = "=" * 39


def sjis(text):
    return text.encode("cp932")


def write(rel, data):
    path = os.path.join(root, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def lines(*ls):
    return CRLF.join(ls) + CRLF


# --- DIR.DEF: eleven values, 2-byte little-endian length + bytes, 300-byte slot
def dir_def(values):
    out = b""
    for v in values:
        b = sjis(v)
        out += struct.pack("<H", len(b)) + b
    assert len(out) <= 300
    return out + b"\0" * (300 - len(out))


write("DIR.DEF", dir_def(["LOG", "UP", "BL", "", "0", "0", "", "", "", "0", ""]))

# --- SET.def: nine flags in a 100-byte slot
write("SET.def", b"110010010" + b"\0" * 91)


# --- DATA.DEF: 1280-byte records of sixteen 80-byte fields
def field(text, terminated=False):
    b = sjis(text) + (b"\0" if terminated else b"")
    assert len(b) <= 80
    return b + b" " * (80 - len(b))


def net_record(name, header, up, bl, logpat, idl, serial, serial_header, sign):
    return b"".join([
        field(name), field(header),
        field("Main Command(?:Help)>", True), field("読み終わりました。", True),
        field("command (?:説明):", True), field("本当にメッセージを削除するんですか？ (y/n):", True),
        field(up), field(bl), field(logpat), field(idl), field(" "),
        field(serial), field(serial_header), field("何番に入りますか？ ([RET]:終了):", True),
        field(sign), field(" "),
    ])


write("DATA.DEF",
      net_record("かぶらネット", SEP + " ", "KABURA.up", "KABURA.bl", "KAB*.LOG", "KABURA.id", "0", "", "SIGN/kabura.sig")
      + net_record("みなとネット", SEP + " ", "MINATO.up", "MINATO.bl", "mnt*.log", "MINATO.id", "1", "■■ ", ""))

write("SIGN/kabura.sig", sjis(lines("――――――――――――――――", "  山田太郎 (KAV00100)  %_YEAR_%/%_MONTH_%/%_DAY_%(%_WEEK_%) %_HOUR_%:%_MIN_%")))
write("BL/.keep", b"")
write("UP/KABURA.up", sjis("\\ 3" + CRLF + "Wはじめまして" + CRLF + "山田太郎です。よろしくお願いします。" + CRLF + "." + CRLF + "yQ"))


def article(key, number, total, date, title, who, size, body, parent=None, answer=""):
    out = [SEP, f"{key}({number}/{total}) {date} {title}"]
    if parent:
        out.append(f" <{parent}:{parent_name(parent)}>への返信")
    out.append(f"  {size:>5} bytes {who} ")
    out.append(f"command (?:説明):{answer}")
    out.extend(body)
    return out


NAMES = {}


def parent_name(number):
    return NAMES.get(number, "")


def mail(date, sender, title, who, size, body):
    return [SEP, f"mail {date} ({sender}) {title}", f"  {size:>5} bytes {who} ", "command (?:説明):"] + body


login = ["ATDT 03-1234-5678", "CONNECT 9600", "", "かぶらネットへようこそ！", "ID:KAV00100", "パスワード:",
         "前回のアクセスは 26/12/05 20:11:08 です。"]
logout = ["Main Command(?:Help)>BYE", "ご利用ありがとうございました。", "NO CARRIER"]
read_end = "読み終わりました。"

# Older log of かぶらネット: one board read, one mail.
old = login + [
    "Main Command(?:Help)>MR",
    "No.0 ｢メールボックス｣",
] + mail("26/12/05 19:20:45", "KAV00123", "ようこそ！", "KAV00123:山田花子", 198,
         ["はじめまして、山田です。", "かぶらネットへようこそ。分からないことがあれば何でも聞いてください。"]) + [
    read_end,
    "Main Command(?:Help)>RN 3",
    "No.3 ｢パソコン通信の話題｣",
] + article("PC", 1199, 1200, "26/12/05 18:02:10", "モデムの設定について", "KAV00456:佐藤一郎", 356,
            ["佐藤です。", "9600bpsのモデムを買いました。初期化コマンドは何がよいでしょうか。"]) \
  + article("PC", 1200, 1200, "26/12/05 18:30:44", "ログの整理", "KAV00789:鈴木三郎", 280,
            ["鈴木です。", "ログがたまってきたので整理の方法を考えています。"]) + [
    read_end,
] + logout

NAMES.update({1201: "KAV00123", 1202: "KAV00456"})
new = login + [
    "Main Command(?:Help)>MR",
    "No.0 ｢メールボックス｣",
] + mail("26/12/06 21:03:11", "KAV00123", "来週の集まりについて", "KAV00123:山田花子", 412,
         ["山田です。", "来週土曜のオフ会ですが、駅前の喫茶店に１４時集合でいかがでしょう。"]) \
  + mail("26/12/06 22:40:02", "KAV00456", "ログ整理ソフトの件", "KAV00456:佐藤一郎", 288,
         ["佐藤です。", "先日お話ししたログ整理の件、試してみました。", "No.3 のボードにも書いておきます。"]) + [
    read_end,
    "Main Command(?:Help)>RN 3",
    "No.3 ｢パソコン通信の話題｣",
] + article("PC", 1201, 1204, "26/12/06 10:15:00", "新しいログリーダー", "KAV00123:山田花子", 521,
            ["山田です。", "ログを読むためのソフトを探しています。", "おすすめはありますか？"]) \
  + article("PC", 1202, 1204, "26/12/06 11:02:31", "Re:新しいログリーダー", "KAV00456:佐藤一郎", 402,
            ["佐藤です。", "> おすすめはありますか？", "スレッド表示ができるものが便利ですよ。"], parent=1201) \
  + article("PC", 1203, 1204, "26/12/06 12:47:09", "Re:Re:新しいログリーダー", "KAV00123:山田花子", 333,
            ["山田です。", "ありがとうございます。試してみます。"], parent=1202) \
  + article("PC", 1204, 1204, "26/12/06 13:20:18", "モデムの初期化コマンド", "KAV00789:鈴木三郎", 377,
            ["鈴木です。", "AT&F で工場出荷時の設定に戻せます。"]) + [
    read_end,
    "Main Command(?:Help)>RN 7",
    "No.7 ｢お知らせ｣",
    read_end,
    "Main Command(?:Help)>RN 12",
    "No.12 ｢趣味の部屋｣",
] + article("HOBBY", 305, 306, "26/12/06 09:00:12", "今日の一枚", "KAV00789:鈴木三郎", 1024,
            [], answer="n") \
  + article("HOBBY", 306, 306, "26/12/06 09:45:50", "週末の釣果", "KAV00456:佐藤一郎", 298,
            ["佐藤です。", "週末は海釣りに行ってきました。アジが二十匹です。"]) + [
    read_end,
    "Main Command(?:Help)>X",
    "何番に入りますか？ ([RET]:終了):1",
    "",
    "1.雑談ルーム",
    "現在の参加者は２人です。",
    "-----",
    "KAV00100さんが入室しました。",
    "[KAV00123] こんばんは",
    "[KAV00456] こんばんは、今日は寒いですね",
    "[KAV00100] こんばんは",
    "何番に入りますか？ ([RET]:終了):",
    "Main Command(?:Help)>RN 12",
    "No.12 ｢趣味の部屋｣",
] + article("HOBBY", 305, 306, "26/12/06 09:00:12", "今日の一枚", "KAV00789:鈴木三郎", 1024,
            ["鈴木です。", "近所の公園で撮った夕焼けの写真です。", "（写真はライブラリに登録しました）"]) + [
    read_end,
    "Main Command(?:Help)>X",
    "何番に入りますか？ ([RET]:終了):1",
    "",
    "1.雑談ルーム",
    "現在の参加者は１人です。",
    "-----",
    "KAV00100さんが入室しました。",
    "[KAV00789] 誰かいますか",
    "何番に入りますか？ ([RET]:終了):",
] + logout

write("LOG/KAB0605.LOG", sjis(lines(*old)))
write("LOG/KAB0606.LOG", sjis(lines(*new)))

# みなとネット prints a serial number after its article header mark.
def serial_article(serial, key, number, total, date, title, who, size, body, parent=None):
    out = [f"■■{serial}  {key}", f"{key}({number}/{total}) {date} {title}"]
    if parent:
        out.append(f" <{parent}:返信>")
    out.append(f"  {size:>5} bytes {who} ")
    out.append("command (?:説明):")
    out.extend(body)
    return out


minato = ["ATDT 045-987-6543", "CONNECT 14400", "", "みなとネット", "ID:MNT0042",
          "Main Command(?:Help)>R 5",
          "No.5 ｢港町だより｣"] \
    + serial_article(204501, "MINATO", 5010, 5012, "26/12/06 08:10:00", "朝市の案内", "MNT0007:高橋", 240,
                     ["高橋です。", "今度の日曜に朝市があります。"]) \
    + serial_article(204502, "MINATO", 5011, 5012, "26/12/06 08:55:21", "Re:朝市の案内", "MNT0042:田中", 180,
                     ["田中です。", "行きます！"], parent=5010) \
    + serial_article(204503, "MINATO", 5012, 5012, "26/12/06 09:30:47", "灯台の見学会", "MNT0007:高橋", 205,
                     ["高橋です。", "灯台の見学会の参加者を募集します。"]) \
    + [read_end, "Main Command(?:Help)>BYE", "NO CARRIER"]
write("LOG/mnt1206.log", sjis(lines(*minato)))
print("demo written to", os.path.normpath(root))
