#!/usr/bin/env python3
"""The document path check on a tree and a document of its own."""

import contextlib
import io
import pathlib
import tempfile
import unittest

import check_doc_paths

# text of a document line, whether the check must fail on it
CASES = [
    ("`src/ui/TAxDravik.h` and `src/ui/`", False),
    ("`src/ui/Gone.h`", True),
    ("`TAxDravik::FieldChange`, `Change=cPrixVenteChange`, `bash bench/run-all.sh`", True),
]


class DocPaths(unittest.TestCase):
    def run_on(self, line):
        with tempfile.TemporaryDirectory() as dir:
            root = pathlib.Path(dir)
            (root / "src/ui").mkdir(parents=True)
            (root / "src/ui/TAxDravik.h").write_text("")
            document = root / "doc.md"
            document.write_text(line + "\n")
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                code = check_doc_paths.main(["check", str(root), str(document)])
            return code, out.getvalue()

    def test_cases(self):
        for line, fails in CASES:
            with self.subTest(line=line):
                self.assertEqual(self.run_on(line)[0], 1 if fails else 0)

    def test_names_the_missing_path(self):
        self.assertIn("doc.md:1: no such path in the repository: src/ui/Gone.h",
                      self.run_on("`src/ui/Gone.h`")[1])


if __name__ == "__main__":
    unittest.main()
