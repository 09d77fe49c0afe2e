#!/usr/bin/env python3
"""Copies the help sources into the folder the help compiler works in,
converted from UTF-8 to Shift-JIS (code page 932); the release zip's
readme.txt takes the same road.

The help viewer of a Japanese Windows reads the compiled pages, the contents
file and the project's title in code page 932, so that is what goes into
kyvane.chm; the sources stay UTF-8 like the rest of the project. Pages and
the contents file declare their character set in a Content-Type meta
element, which is rewritten to match. A plain text file gets CR LF line
ends: the Notepad of older Windows breaks lines at nothing else.

    sjis.py OUTDIR FILE...
"""

import os
import re
import sys

DECLARED_UTF8 = re.compile(r'(<meta\s+http-equiv="Content-Type"\s+content="text/html;\s*charset=)UTF-8(")',
                           re.IGNORECASE)
MARKUP = (".htm", ".html", ".hhc", ".hhk")
PLAIN_TEXT = (".txt",)


class ConversionError(Exception):
    pass


def convert(path, outdir):
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except UnicodeDecodeError as e:
        raise ConversionError("%s: not UTF-8 (%s)" % (path, e.reason))
    if path.lower().endswith(MARKUP):
        text, count = DECLARED_UTF8.subn(r"\1Shift_JIS\2", text)
        if count != 1:
            raise ConversionError("%s: expected one Content-Type meta element declaring UTF-8, found %d"
                                  % (path, count))
    if path.lower().endswith(PLAIN_TEXT):
        text = text.replace("\n", "\r\n")
    try:
        data = text.encode("cp932")
    except UnicodeEncodeError as e:
        line = text.count("\n", 0, e.start) + 1
        raise ConversionError("%s:%d: %r has no Shift-JIS form" % (path, line, text[e.start:e.end]))
    target = os.path.join(outdir, os.path.basename(path))
    with open(target, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    outdir = argv[1]
    try:
        os.makedirs(outdir, exist_ok=True)
        for path in argv[2:]:
            convert(path, outdir)
    except (ConversionError, OSError) as e:
        sys.stderr.write("sjis.py: %s\n" % e)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
