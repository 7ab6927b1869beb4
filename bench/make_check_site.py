#!/usr/bin/env python3
"""Writes pages for measuring `vorlintex check`.

  make_check_site.py big DIR [--lines N]   one page, N lines (default 2,000,000) each a finding
  make_check_site.py site DIR [--pages N]  N pages (default 246) of 35 findings each, every one
                                           including the same 300-line include file
The site's pages have upper-case names, Windows-1252 bytes and long lines, as real sites do.
"""
import argparse
import os


def big(folder, lines):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "big.asp"), "wb") as page:
        line = b"Hi <% x = 10 %>\r\n"  # text before "<%": one finding per line
        chunk = line * 10000
        for _ in range(lines // 10000):
            page.write(chunk)
        page.write(line * (lines % 10000))


def site(folder, pages):
    os.makedirs(folder, exist_ok=True)
    include = []
    for i in range(300):
        if i % 10 == 0:
            include.append(b"<p>caf\xe9 \x93quoted\x94 menu %d</p>" % i)  # not-ascii
        elif i % 10 == 5:
            include.append(b"Menu <%% m = %d %%>" % i)  # text-before-code
        else:
            include.append(b"<td class=\"menu\">item %d</td>" % i)
    with open(os.path.join(folder, "MENU.INC"), "wb") as f:
        f.write(b"\r\n".join(include) + b"\r\n")
    filler = b"<td>" + b"x" * 400 + b"</td>"
    for p in range(pages):
        lines = [b"<%@ LANGUAGE=\"VBSCRIPT\" %>", b"<!-- #include file=\"menu.inc\" -->"]
        for i in range(34):
            lines.append(b"<td>Row %d of the order list, with its price</td>" % i + b" " * 120 + b"<%% total = total + %d %%>" % i)
            lines.append(filler)
        with open(os.path.join(folder, "PAGE_%03d.ASP" % p), "wb") as f:
            f.write(b"\r\n".join(lines) + b"\r\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("what", choices=["big", "site"])
    parser.add_argument("folder")
    parser.add_argument("--lines", type=int, default=2000000)
    parser.add_argument("--pages", type=int, default=246)
    args = parser.parse_args()
    if args.what == "big":
        big(args.folder, args.lines)
    else:
        site(args.folder, args.pages)


if __name__ == "__main__":
    main()
