#!/usr/bin/env python3
"""Writes a manual page from its template, with the help's messages page as
its MESSAGES section, so that the two never tell a message differently.

    make_man_page.py TEMPLATE MESSAGES_HTML OUTPUT

The template's line "@MESSAGES@" becomes one tagged paragraph per message: the
message as the program shows it, then what it means and what to do.
"""

import html
import re
import sys

HEADING = re.compile(r'<h2><a name="[^"]*">(.*?)</a></h2>\s*<p>(.*?)</p>', re.S)


def plain(fragment):
    text = re.sub(r"<[^>]+>", "", fragment)
    return " ".join(html.unescape(text).split())


def roff(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    # A line may not begin with a control character.
    return "\\&" + text if text[:1] in (".", "'") else text


def messages(page):
    entries = []
    for title, body in HEADING.findall(page):
        entries.append(f'.TP\n.B "{roff(plain(title))}"\n{roff(plain(body))}')
    if not entries:
        raise SystemExit("make_man_page.py: no messages found")
    return "\n".join(entries)


def main():
    template, page, output = sys.argv[1:4]
    with open(page, encoding="utf-8") as f:
        section = messages(f.read())
    with open(template, encoding="utf-8") as f:
        text = f.read()
    if "@MESSAGES@\n" not in text:
        raise SystemExit(f"make_man_page.py: {template} has no @MESSAGES@ line")
    with open(output, "w", encoding="utf-8") as f:
        f.write(text.replace("@MESSAGES@\n", section + "\n"))


if __name__ == "__main__":
    main()
