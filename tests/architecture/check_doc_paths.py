#!/usr/bin/env python3
"""Checks that every repository path a document names in backticks exists.

A path is a backtick span with a "/" and no blank, call or scope sign: `src/ui/TAxDravik.h`,
`src/ui/widgets`. Usage: check_doc_paths.py ROOT DOCUMENT...
Prints each missing path with its document and line; exits 1 when one is missing.
"""

import pathlib
import re
import sys

SPAN = re.compile(r"`([^`\s]+)`")


def named_paths(text):
    """(line number, path) of every repository path named in text."""
    for number, line in enumerate(text.splitlines(), 1):
        for span in SPAN.findall(line):
            if "/" in span and not re.search(r"::|[()=<>]|^https?:", span):
                yield number, span


def missing(root, document):
    text = pathlib.Path(document).read_text(encoding="utf-8")
    return [(n, p) for n, p in named_paths(text) if not (root / p.rstrip("/")).exists()]


def main(argv):
    root = pathlib.Path(argv[1]).resolve()
    failed = False
    for document in argv[2:]:
        found = list(named_paths(pathlib.Path(document).read_text(encoding="utf-8")))
        gone = missing(root, document)
        for number, path in gone:
            print(f"{document}:{number}: no such path in the repository: {path}")
        if not found:
            print(f"{document}: names no repository path")
        failed = failed or bool(gone) or not found
        if not gone and found:
            print(f"{document}: all {len(found)} named paths exist")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
