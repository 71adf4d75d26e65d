#!/usr/bin/env python3
"""The include check on a small tree of its own: each case is one file with one include."""

import contextlib
import io
import pathlib
import tempfile
import unittest

import check_includes

# file, what it holds, whether the check must report it
CASES = [
    ("src/engine/Pure.cpp", '#include "gateway/TXml.h"', False),
    ("src/engine/Upward.cpp", '#include "editing/Lists.h"', True),
    ("src/gateway/Upward.cpp", '#include "engine/Kinds.h"', True),
    ("src/engine/SeesWidget.cpp", '#include "ui/widgets/Edit.h"', True),
    ("src/engine/AxDravikEngine.cpp", '#include "ui/TAxDravik.h"', False),
    ("src/engine/AxDravikEngine2.cpp", '#include "editing/Lists.h"', True),
    ("src/search/UsesCommon.cpp", '#include "common/Latin1.h"', False),
    ("src/search/Downward.cpp", '#include "editing/Lists.h"', False),
    ("src/common/Upward.cpp", '#include "app/IniFile.h"', True),
    ("src/ui/widgets/Edit.cpp", '#include "editing/Lists.h"', False),
    ("src/ui/widgets/SeesWindow.cpp", '#include "ui/TAxDravik.h"', True),
    ("src/ui/TAxDravik.cpp", '#include "reports/Sheet.h"', False),
    ("src/app/AxDravikShell.cpp", '#include "editing/Lists.h"', False),
    ("src/app/IniFile.cpp", '#include "platform/Clock.h"', True),
    ("server/Own.cpp", '#include "server/Own.h"\n#include "common/Latin1.h"', False),
    ("server/Client.cpp", '#include "engine/Kinds.h"', True),
    ("src/engine/SeesMemberHeader.cpp", '#include "app/AxDravikShell.h"', True),
    ("src/engine/AxDravikEngine3.cpp", '#include "app/AxDravikShell.h"', False),
    ("src/grids/Stray.cpp", "void TAxDravik::cTPVOChange(QObject *) { }", True),
    ("src/grids/AxDravikCosts.cpp", "void TAxDravik::cTPVOChange(QObject *) { }", False),
]

HEADERS = ["src/gateway/TXml.h", "src/editing/Lists.h", "src/engine/Kinds.h",
           "src/ui/widgets/Edit.h", "src/ui/TAxDravik.h", "src/common/Latin1.h",
           "src/app/IniFile.h", "src/app/AxDravikShell.h", "src/platform/Clock.h",
           "src/reports/Sheet.h", "server/Own.h"]

MEMBERS = {"engine": "AxDravikEngine.cpp AxDravikEngine2.cpp AxDravikEngine3.cpp", "app": "AxDravikShell.cpp",
           "grids": "AxDravikCosts.cpp"}


def make_tree(root):
    for path in HEADERS:
        (root / path).parent.mkdir(parents=True, exist_ok=True)
        (root / path).write_text("#pragma once\n")
    for folder, names in MEMBERS.items():
        (root / "src" / folder).mkdir(parents=True, exist_ok=True)
        (root / "src" / folder / "CMakeLists.txt").write_text(
            f"dravik_library(dravik_{folder} SOURCES Pure.cpp)\n"
            f"dravik_window_sources({names} # the members\n)\n")
    for path, text, _ in CASES:
        (root / path).parent.mkdir(parents=True, exist_ok=True)
        (root / path).write_text(text + "\n")


def run(root, known):
    listing = root / "known.txt"
    listing.write_text("".join(f"{f} {i}  # why\n" for f, i in known))
    out = io.StringIO()
    with contextlib.redirect_stdout(out):
        code = check_includes.main(["check", str(root), str(listing)])
    return code, out.getvalue()


class IncludeCheck(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = pathlib.Path(self.dir.name)
        make_tree(self.root)

    def tearDown(self):
        self.dir.cleanup()

    def test_each_case(self):
        reported = {file for file, _ in check_includes.violations(self.root)}
        for path, text, expected in CASES:
            with self.subTest(path=path, text=text):
                self.assertEqual(path in reported, expected)

    def test_prints_file_and_include(self):
        code, out = run(self.root, [])
        self.assertEqual(code, 1)
        self.assertIn("src/engine/Upward.cpp: editing/Lists.h", out)

    def test_known_violations_pass_and_stale_ones_fail(self):
        found = check_includes.violations(self.root)
        self.assertEqual(run(self.root, found)[0], 0)
        code, out = run(self.root, found + [("src/engine/Pure.cpp", "editing/Gone.h")])
        self.assertEqual(code, 1)
        self.assertIn("no longer present", out)


if __name__ == "__main__":
    unittest.main()
