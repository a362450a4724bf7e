#!/usr/bin/env python3
"""Writes a small sample phone book (VexaTel.txt, VexaType.txt) into a folder,
by default data/samples/: code page 932, CR LF, made up from short lists of
common family and given names and towns, the same every run (fixed seed).

    python3 scripts/make-sample-book.py [FOLDER]
    build/telbora --dir data/samples      # look at it (work on a copy to keep it as it is)
"""
import os
import random
import sys

FAMILY = [("さとう", "佐藤"), ("すずき", "鈴木"), ("たかはし", "高橋"), ("たなか", "田中"), ("わたなべ", "渡辺"),
          ("いとう", "伊藤"), ("やまもと", "山本"), ("なかむら", "中村"), ("こばやし", "小林"), ("かとう", "加藤"),
          ("よしだ", "吉田"), ("やまだ", "山田"), ("ささき", "佐々木"), ("やまぐち", "山口"), ("まつもと", "松本"),
          ("いのうえ", "井上"), ("きむら", "木村"), ("はやし", "林"), ("しみず", "清水"), ("おがわ", "小川")]
GIVEN = [("たろう", "太郎"), ("はなこ", "花子"), ("けんじ", "健二"), ("みさき", "美咲"), ("ひろし", "博"),
         ("ゆうこ", "裕子"), ("まこと", "誠"), ("あや", "彩"), ("しょうた", "翔太"), ("さくら", "さくら")]
TOWNS = [("100-0001", "東京都千代田区千代田", "03"), ("060-0042", "北海道札幌市中央区大通西", "011"),
         ("530-0001", "大阪府大阪市北区梅田", "06"), ("460-0008", "愛知県名古屋市中区栄", "052"),
         ("812-0011", "福岡県福岡市博多区博多駅前", "092"), ("980-0811", "宮城県仙台市青葉区一番町", "022"),
         ("180-0004", "東京都武蔵野市吉祥寺本町", "0422"), ("100-1511", "東京都八丈島八丈町", "04996")]
CATEGORIES = ["1|親戚", "2|友人", "3|お店", "4|仕事", "5|病院", "6|趣味", "7|", "8|同窓会", "9|", "10|"]
SHOPS = [("ぱんや", "パン屋　こむぎ"), ("はなや", "花屋　ミモザ"), ("くりーにんぐ", "クリーニング白鳥")]
LATIN = [("Smith", "John Smith"), ("Garcia", "Maria Garcia"), ("Lee", "Min-jun Lee")]


def katakana(text):
    return "".join(chr(ord(c) + 0x60) if "ぁ" <= c <= "ゖ" else c for c in text)


def number(area, rng, digits=10):
    rest = digits - len(area)
    # No 0 right after the prefix: 080-0… would be a free-dial 0800 number.
    local = rng.choice("123456789") + "".join(rng.choice("0123456789") for _ in range(rest - 1))
    middle = 4 if rest == 8 else rest - 4
    return f"{area}-{local[:middle]}-{local[middle:]}"


def entries(rng):
    lines = []
    for i in range(48):
        fam_reading, fam = FAMILY[i % len(FAMILY)]
        giv_reading, giv = rng.choice(GIVEN)
        reading = fam_reading + giv_reading
        if i % 7 == 3:
            reading = katakana(reading)  # some readings typed in katakana
        postal, town, area = rng.choice(TOWNS)
        address = f"{town}{rng.randint(1, 5)}-{rng.randint(1, 30)}"
        phone = number(area, rng)
        fax = number(area, rng) if i % 4 == 0 else ""
        mobile = number(rng.choice(["090", "080", "070"]), rng, 11) if i % 3 else ""
        mail = f"user{i:02d}@example.jp" if i % 2 else ""
        category = rng.choice([1, 2, 2, 4, 4, 5, 6, 8])
        printed = "T" if i % 5 == 0 else "F"
        lines.append("|".join([reading, f"{fam}　{giv}", postal if i % 6 else "", address, phone, fax, mobile,
                               mail, str(category), printed]))
    for reading, name in SHOPS:
        postal, town, area = rng.choice(TOWNS)
        lines.append("|".join([reading, name, postal, town, number(area, rng), "", "", "", "3", "F"]))
    for reading, name in LATIN:
        lines.append("|".join([reading, name, "", "", "", "", number("090", rng, 11), reading.lower() + "@example.com",
                               "2", "F"]))
    lines.insert(20, "")  # a blank line, as hand-edited files have
    return lines


def write(path, lines):
    with open(path, "wb") as out:
        out.write("".join(line + "\r\n" for line in lines).encode("cp932"))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data", "samples")
    os.makedirs(folder, exist_ok=True)
    write(os.path.join(folder, "VexaTel.txt"), entries(random.Random(360)))
    write(os.path.join(folder, "VexaType.txt"), CATEGORIES)


if __name__ == "__main__":
    main()
