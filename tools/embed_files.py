#!/usr/bin/env python3
"""Writes a C++ source that holds files as byte arrays, for the native build's pictures.

    embed_files.py OUTPUT.cpp FILE...

The table kEmbeddedPictures lists the files in the order given."""
import sys


def main():
    out, files = sys.argv[1], sys.argv[2:]
    parts = ["// Written by tools/embed_files.py at build time; do not edit.",
             "#include <cstddef>", "", "namespace assets {", "",
             "struct EmbeddedFile {", "    const unsigned char* data;", "    std::size_t size;", "};", ""]
    for i, path in enumerate(files):
        data = open(path, "rb").read()
        parts.append(f"// {path.replace(chr(92), '/').split('/')[-1]}")
        parts.append(f"static const unsigned char file{i}[{len(data)}] = {{")
        for k in range(0, len(data), 24):
            parts.append("    " + ",".join(str(b) for b in data[k:k + 24]) + ",")
        parts.append("};")
    parts.append("")
    parts.append("extern const EmbeddedFile kEmbeddedPictures[];")
    parts.append("extern const std::size_t kEmbeddedPictureCount;")
    parts.append(f"const EmbeddedFile kEmbeddedPictures[] = {{")
    for i, path in enumerate(files):
        parts.append(f"    {{file{i}, sizeof file{i}}},")
    parts.append("};")
    parts.append(f"const std::size_t kEmbeddedPictureCount = {len(files)};")
    parts.append("")
    parts.append("}  // namespace assets")
    text = "\n".join(parts) + "\n"
    try:
        if open(out).read() == text:
            return 0
    except OSError:
        pass
    with open(out, "w") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
