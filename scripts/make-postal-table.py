#!/usr/bin/env python3
"""Converts Japan Post's postal codes from jquery-jpostal-ja's json/*.json
(inside the npm tarball) into the table the programs read: UTF-8 text, a
comment line naming the source, then one line per code and town, sorted by
code, fields between tabs. A line "@prefecture<TAB>city" gives the area of the
code lines after it, until the next:

    @prefecture  city
    code  town  street  office

street and office are set for a large office's own code. A code that covers
several towns has a line for each. The last line, "#codes<TAB>N", counts the
code lines, so that a table cut short is known by the programs.

Usage: make-postal-table.py SOURCE.tgz OUT.tsv
"""
import json
import sys
import tarfile


def rows(source):
    with tarfile.open(source) as tar:
        for member in sorted(tar.getmembers(), key=lambda m: m.name):
            if not (member.name.startswith("package/json/") and member.name.endswith(".json")):
                continue
            text = tar.extractfile(member).read().decode("utf-8")
            for row in json.loads(text[text.index("(") + 1 : text.rindex(")")]):
                code = row[0][1:]
                if len(code) == 7 and code.isdigit():
                    yield code, row[1], row[2], row[3], row[4], row[5]
                elif row[0] == "_000info":
                    yield "info", row[2]


def main():
    source, out = sys.argv[1], sys.argv[2]
    info = ""
    table = []
    for row in rows(source):
        if row[0] == "info":
            info = row[1]
            continue
        if any("\t" in f or "\n" in f for f in row):
            sys.exit("a field holds a tab or a line end: " + repr(row))
        table.append(row)
    table.sort(key=lambda r: r[0])
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write("# Japan Post postal codes, from jquery-jpostal-ja (%s)\n" % info)
        area = None
        for code, prefecture, city, town, street, office in table:
            if (prefecture, city) != area:
                area = (prefecture, city)
                f.write("@%s\t%s\n" % area)
            f.write("\t".join((code, town, street, office)) + "\n")
        f.write("#codes\t%d\n" % len(table))


if __name__ == "__main__":
    main()
