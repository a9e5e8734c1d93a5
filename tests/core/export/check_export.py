#!/usr/bin/env python3
"""Reads exports as other programs do and compares them with what the title
list and the article view showed.

    check_export.py CHECKS.json

CHECKS is a list of {"format": "mbox"|"html", "file": PATH, "rows": [...]}, one
row per exported article in list order: {"title", "parent", "lines"}, parent
being the index of the row answered or -1. Prints every difference found and
exits 1 when there is one; exits 3 when a module is missing.
"""

import email
import email.policy
import json
import mailbox
import re
import sys

problems = []


def problem(job, text):
    problems.append("%s: %s" % (job["file"], text))


def mboxrd_quoted(line):
    return ">" + line if re.match(r"^>*From ", line) else line


def check_mbox(job):
    rows = job["rows"]
    box = mailbox.mbox(job["file"], factory=lambda f: email.message_from_binary_file(f, policy=email.policy.default),
                       create=False)
    messages = [box[key] for key in box.keys()]
    if len(messages) != len(rows):
        problem(job, "%d messages for %d rows" % (len(messages), len(rows)))
        return
    with open(job["file"], "rb") as f:
        raw = f.read().decode("utf-8")
    in_header = False
    for line in raw.split("\n"):
        if line.startswith("From ") and not in_header:
            in_header = True
        elif in_header and line == "":
            in_header = False
        elif in_header and len(line) > 78:
            problem(job, "header line longer than 78: %r" % line)
    ids = [str(m["Message-ID"]) for m in messages]
    if len(set(ids)) != len(ids):
        problem(job, "Message-IDs are not unique")
    by_id = {mid: i for i, mid in enumerate(ids)}
    for i, (m, row) in enumerate(zip(messages, rows)):
        if m.defects:
            problem(job, "message %d: %s" % (i, m.defects))
        for name in ("From", "Subject", "Message-ID", "In-Reply-To", "References", "Date"):
            if m[name] is not None and m[name].defects:
                problem(job, "message %d %s: %s" % (i, name, m[name].defects))
        if str(m["Subject"]) != row["title"]:
            problem(job, "message %d: Subject %r, title %r" % (i, str(m["Subject"]), row["title"]))
        if m.get_content_type() != "text/plain" or m.get_content_charset() != "utf-8":
            problem(job, "message %d: content type %s" % (i, m["Content-Type"]))
        if m["Date"] is not None and m["Date"].datetime.utcoffset().total_seconds() != 9 * 3600:
            problem(job, "message %d: Date %s is not +0900" % (i, m["Date"]))
        # The threading, rebuilt from In-Reply-To alone.
        reply = m["In-Reply-To"]
        parent = by_id.get(str(reply).strip(), -2) if reply is not None else -1
        if parent != row["parent"]:
            problem(job, "message %d: In-Reply-To gives %d, the list %d" % (i, parent, row["parent"]))
        chain = []
        p = row["parent"]
        while p >= 0:
            chain.insert(0, ids[p])
            p = rows[p]["parent"]
        if len(chain) > 21:  # the top of the thread and the 20 nearest ancestors
            chain = chain[:1] + chain[-20:]
        refs = str(m["References"]).split() if m["References"] is not None else []
        if refs != chain:
            problem(job, "message %d: References %r, ancestors %r" % (i, refs, chain))
        body = m.get_content().rstrip("\n")
        expected = "\n".join(mboxrd_quoted(line) for line in row["lines"]).rstrip("\n")
        if body != expected:
            problem(job, "message %d: body %r, article %r" % (i, body, expected))


def check_html(job):
    try:
        import html5lib
    except ImportError:
        print("python3-html5lib is not installed (tools/install-deps.sh installs it)")
        sys.exit(3)
    rows = job["rows"]
    with open(job["file"], "rb") as f:
        data = f.read()
    parser = html5lib.HTMLParser(strict=True, namespaceHTMLElements=False)
    try:
        doc = parser.parse(data, transport_encoding="utf-8")
    except Exception as e:  # html5lib raises ParseError on the first error
        problem(job, "not valid HTML5: %s at %s" % (e, parser.errors[:3]))
        return
    if parser.errors:
        problem(job, "parse errors: %s" % parser.errors[:5])
    if doc.find(".//link") is not None or doc.find(".//script") is not None or doc.find(".//img") is not None:
        problem(job, "the page refers to external resources")
    pres = doc.findall(".//pre")
    if len(pres) != len(rows):
        problem(job, "%d articles for %d rows" % (len(pres), len(rows)))
        return
    for i, (pre, row) in enumerate(zip(pres, rows)):
        text = "".join(pre.itertext())
        lines = text.split("\n")
        if lines and lines[-1] == "":
            lines.pop()
        if lines != row["lines"]:
            problem(job, "article %d: %r, the view %r" % (i, lines[:3], row["lines"][:3]))
    # The thread tree: each link's nearest enclosing list item of another link is its parent.
    anchors = {}
    order = []
    def walk(element, parent_target):
        for child in element:
            target = parent_target
            if child.tag == "li":
                link = child.find("a")
                if link is not None:
                    target = link.get("href")[1:]
                    anchors[target] = parent_target
                    order.append(target)
            walk(child, target)
    nav = doc.find(".//nav")
    if nav is None:
        problem(job, "no thread tree")
        return
    walk(nav, None)
    sections = [s.get("id") for s in doc.findall(".//section")]
    if order != sections:
        problem(job, "the tree lists %r, the page holds %r" % (order[:5], sections[:5]))
        return
    for i, row in enumerate(rows):
        parent = anchors[sections[i]]
        got = sections.index(parent) if parent is not None else -1
        if got != row["parent"]:
            problem(job, "tree row %d under %d, the list %d" % (i, got, row["parent"]))


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        checks = json.load(f)
    for job in checks:
        if job["format"] == "mbox":
            check_mbox(job)
        else:
            check_html(job)
    for p in problems[:40]:
        print(p)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
