#!/usr/bin/env python3
"""Turns the picture list (assets/pictures.txt) into what the builds need.

    gen_pictures.py LIST files           prints the picture files, ';'-separated, for CMake
    gen_pictures.py LIST header OUT.h    the enum plat::Picture and the table of file names
    gen_pictures.py LIST rc OUT.rc       the resource script of Zephlora.scr

OUT is written only when its content changes, so that a rebuild compiles nothing new.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen_texts import table_lines  # noqa: E402  (one rule for the tables' comments and blank lines)

# Resource id of picture 0 in Zephlora.scr; picture n is RESOURCE_BASE + n.
RESOURCE_BASE = 100


def read_list(path):
    """[(name, file, comment)] in list order."""
    pictures = []
    with open(path, encoding="utf-8") as f:
        for number, raw in table_lines(f.read()):
            parts = raw.strip().split(None, 2)
            if len(parts) < 2 or not parts[0].isidentifier():
                raise SystemExit(f"{path}:{number}: expected NAME FILE [comment]")
            pictures.append((parts[0], parts[1], parts[2] if len(parts) > 2 else ""))
    names = [p[0] for p in pictures]
    if len(set(names)) != len(names):
        raise SystemExit(f"{path}: a name stands twice")
    return pictures


def header(pictures):
    width = max(len(name) for name, _, _ in pictures) + 1
    lines = ["// Written by tools/gen_pictures.py from assets/pictures.txt; do not edit.",
             "#pragma once", "", "namespace plat {", "",
             "// The pictures that ship inside the executable, numbered in list order.",
             "enum class Picture {"]
    for name, _, comment in pictures:
        entry = f"    {(name + ',').ljust(width)}"
        lines.append(f"{entry}  // {comment}".rstrip() if comment else entry.rstrip())
    lines += ["};", "",
              f"inline constexpr int kPictureCount = {len(pictures)};", "",
              "// Resource id of a picture in Zephlora.scr (RCDATA with the file's bytes).",
              f"inline constexpr int kPictureResourceBase = {RESOURCE_BASE};", "",
              "// The file in assets/pictures/ that holds each picture.",
              "inline constexpr const char* kPictureFiles[kPictureCount] = {"]
    lines += [f'    "{file}",' for _, file, _ in pictures]
    lines += ["};", "",
              "// The picture's file name; empty for a value outside the enum.",
              "constexpr const char* picture_file_name(Picture picture) {",
              "    const int i = static_cast<int>(picture);",
              '    return i >= 0 && i < kPictureCount ? kPictureFiles[i] : "";',
              "}", "", "}  // namespace plat"]
    return "\n".join(lines) + "\n"


def resource_script(pictures):
    lines = ["// Written by tools/gen_pictures.py from assets/pictures.txt; do not edit.",
             "// Resources of Zephlora.scr: the program icon, and every picture as the bytes of its file",
             f"// (RCDATA, id {RESOURCE_BASE} + the picture's number in plat::Picture), decoded at run time.",
             "", '1 ICON "pictures/zephlora.ico"', ""]
    for number, (_, file, _) in enumerate(pictures):
        lines.append(f'{RESOURCE_BASE + number} RCDATA "pictures/{file}"')
    return "\n".join(lines) + "\n"


def write_if_changed(path, text):
    try:
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    except OSError:
        pass
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main(argv):
    if len(argv) < 3 or argv[2] not in ("files", "header", "rc") or (argv[2] != "files") != (len(argv) == 4):
        raise SystemExit(__doc__)
    pictures = read_list(argv[1])
    if argv[2] == "files":
        sys.stdout.write(";".join(file for _, file, _ in pictures))
    elif argv[2] == "header":
        write_if_changed(argv[3], header(pictures))
    else:
        write_if_changed(argv[3], resource_script(pictures))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
