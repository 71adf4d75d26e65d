#!/usr/bin/env python3
"""Checks every project include of src/ and server/ against the library order.

Order, lowest first: app, platform, gateway, engine, editing, grids, search, photos, reports,
then ui/widgets and the window (src/ui). common is usable by all and uses none of them.

- A pure file of folder F includes common and folders up to F.
- A member file of F (listed by dravik_window_sources() in src/F/CMakeLists.txt, its header,
  or an executable's source) includes the same, plus src/ui (the window and its widgets).
  The member files of app are the program's entry and shell: they wire the real platform
  services and the gateway into the window, so they include any folder.
- src/ui/widgets includes the pure folders; src/ui includes everything.
- server/ includes server/ and common only.
- A file that defines TAxDravik members must be a member file.

Usage: check_includes.py ROOT [KNOWN_VIOLATIONS_FILE]
Prints each offending file and include; exits 1 when there is one not in the known list, or
when a known violation is gone (then remove it from the list).
"""

import pathlib
import re
import sys

ORDER = ["app", "platform", "gateway", "engine", "editing", "grids", "search", "photos",
         "reports"]
WIDGETS = len(ORDER)
WINDOW = len(ORDER) + 1
SOURCE_SUFFIXES = {".cpp", ".h", ".hpp", ".cc"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
MEMBER_DEFINITION = re.compile(r"\bTAxDravik::~?\w+\s*\(")


def cmake_calls(text, command):
    """Arguments of every call of command in a CMake text."""
    for match in re.finditer(command + r"\s*\(([^)]*)\)", text):
        body = re.sub(r"#[^\n]*", "", match.group(1))
        yield body.split()


def member_files(folder):
    """Names of the member files of a src/ folder: window sources, their headers, executables."""
    cmake = folder / "CMakeLists.txt"
    if not cmake.exists():
        return set()
    text = cmake.read_text()
    names = set()
    for args in cmake_calls(text, "dravik_window_sources"):
        names.update(args)
    for args in cmake_calls(text, r"add_executable"):
        names.update(args[1:])
    names.update(pathlib.Path(n).with_suffix(".h").name for n in list(names))
    return names


class Unit:
    """Where a file sits: its folder's level, and whether it may see src/ui."""

    def __init__(self, name, level, sees_ui):
        self.name, self.level, self.sees_ui = name, level, sees_ui


def unit_of(root, path):
    rel = path.relative_to(root)
    parts = rel.parts
    if parts[0] == "server":
        return Unit("server", None, False)
    folder = parts[1]
    if folder == "common":
        return Unit("common", -1, False)
    if folder == "ui":
        if len(parts) > 3 and parts[2] == "widgets":
            return Unit("ui/widgets", WIDGETS, False)
        return Unit("window", WINDOW, True)
    level = ORDER.index(folder) if folder in ORDER else None
    if path.name in member_files(root / "src" / folder):
        if folder == "app":
            return Unit("app (member)", WINDOW, True)
        return Unit(folder + " (member)", level, True)
    return Unit(folder, level, False)


def target_of(root, include):
    """Level of an included project file, or None when it is not one of src/."""
    path = root / "src" / include
    if not path.exists():
        return None
    parts = pathlib.Path(include).parts
    if parts[0] == "common":
        return -1
    if parts[0] == "ui":
        return WIDGETS if len(parts) > 2 and parts[1] == "widgets" else WINDOW
    if parts[0] in ORDER:
        if path.name in member_files(root / "src" / parts[0]):
            return WINDOW  # a member file's header belongs to the window
        return ORDER.index(parts[0])
    return None


def allowed(unit, target):
    if unit.name == "server":
        return target == -1
    if target == -1:
        return True
    if unit.level is None or unit.level == -1:
        return False
    if target >= WIDGETS and target > unit.level:
        return unit.sees_ui
    return target <= unit.level


def violations(root):
    found = []
    files = sorted(p for base in ("src", "server") for p in (root / base).rglob("*")
                   if p.suffix in SOURCE_SUFFIXES and p.is_file())
    for path in files:
        rel = path.relative_to(root).as_posix()
        text = path.read_text(encoding="utf-8", errors="replace")
        unit = unit_of(root, path)
        if (unit.name not in ("window", "server") and not unit.sees_ui
                and path.suffix == ".cpp" and MEMBER_DEFINITION.search(text)):
            found.append((rel, "defines TAxDravik members outside dravik_window_sources()"))
        for include in INCLUDE.findall(text):
            target = target_of(root, include)
            if target is not None and not allowed(unit, target):
                found.append((rel, include))
    return found


def read_known(path):
    known = set()
    if path is None:
        return known
    for line in pathlib.Path(path).read_text().splitlines():
        line = line.split("#", 1)[0].strip()
        if line:
            file, include = line.split(maxsplit=1)
            known.add((file, include))
    return known


def main(argv):
    root = pathlib.Path(argv[1]).resolve()
    known = read_known(argv[2] if len(argv) > 2 else None)
    found = violations(root)
    failed = False
    for file, include in found:
        if (file, include) in known:
            print(f"known violation: {file}: {include}")
        else:
            print(f"include against the library order: {file}: {include}")
            failed = True
    for file, include in sorted(known - set(found)):
        print(f"known violation no longer present, remove it from the list: {file}: {include}")
        failed = True
    if not failed:
        print(f"includes follow the library order ({len(found)} known violations)")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
