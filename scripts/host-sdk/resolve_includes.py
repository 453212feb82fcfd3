#!/usr/bin/env python3
"""Copies the host SDK's include/ folder to OUT so that its includes resolve on a case-sensitive
file system, as they do with MSVC on Windows.

The SDK's headers name one another in other letter cases than the files have, once with
backslashes, and once relative to the header that included theirs (MSVC searches the folders of
every header on the include stack). For each include that does not resolve as written, this adds
a link at the path as written, pointing to the one file that path means.

Usage: resolve_includes.py SDK_INCLUDE_DIR OUT_DIR
"""
import os
import re
import shutil
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def headers(root):
    for folder, _, files in os.walk(root):
        for name in files:
            if name.lower().endswith((".h", ".hpp", ".inl")):
                yield os.path.join(folder, name)


def resolve(written, bases, by_lower, out):
    """The real file an include means: as written, then without regard to letter case, from each
    folder MSVC would search, then the one file whose path ends the same way."""
    for base in bases:
        candidate = os.path.normpath(os.path.join(base, written))
        if os.path.isfile(candidate):
            return candidate, True, base
        relative = os.path.relpath(candidate, out)
        if not relative.startswith(".."):
            found = by_lower.get(relative.lower())
            if found:
                return found, False, base
    tail = os.sep + os.path.normpath(written).lstrip("." + os.sep).lower()
    matches = [path for lower, path in by_lower.items() if (os.sep + lower).endswith(tail)]
    return (matches[0], False, bases[0]) if len(matches) == 1 else (None, False, None)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source, out = sys.argv[1], os.path.abspath(sys.argv[2])
    if os.path.exists(out):
        shutil.rmtree(out)
    # Plain copies, writable whatever the SDK folder's own permissions, so links can be added.
    shutil.copytree(source, out, copy_function=shutil.copyfile)
    by_lower = {os.path.relpath(path, out).lower(): path for path in headers(out)}
    includers = {}  # header -> the headers that include it, for the searches through an includer
    pending = []
    for header in list(headers(out)):
        with open(header, encoding="utf-8", errors="replace") as text:
            for written in INCLUDE.findall(text.read()):
                pending.append((header, written))
    linked = unresolved = 0
    for header, written in pending:
        native = written.replace("\\", os.sep)
        bases = [os.path.dirname(header), out] + [os.path.dirname(h) for h in includers.get(header, [])]
        real, as_is, base = resolve(native, bases, by_lower, out)
        if real is None:
            unresolved += 1
            continue
        includers.setdefault(real, []).append(header)
        # GCC searches only the header's own folder and the include root, and reads the include
        # exactly as written (a backslash is part of the name): the link goes where it looks.
        own = os.path.dirname(header)
        where = base if base in (own, out) else own
        if as_is and written == native and where == base:
            continue
        link = os.path.join(where, written)
        if not os.path.abspath(link).startswith(out) or os.path.lexists(link):
            continue
        os.makedirs(os.path.dirname(link), exist_ok=True)
        os.symlink(os.path.relpath(real, os.path.dirname(link)), link)
        linked += 1
    print(f"host SDK headers: {len(by_lower)} copied, {linked} links for other spellings, "
          f"{unresolved} includes of files the SDK does not ship")


if __name__ == "__main__":
    main()
