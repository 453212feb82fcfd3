#!/usr/bin/env python3
"""What a release of Vistorb is made of, read from the repository (Python 3, any platform):

  release.py version             the version, as CMakeLists.txt writes it (the one place it is)
  release.py check-tag TAG       TAG must be "v" and that version (v1.1.0.6): a release tag
                                 that names another version is refused
  release.py players-text [OUT]  the players' text: the part of README.md between the markers
                                 <!-- players --> and <!-- /players -->, to OUT or standard output
  release.py check               the version, the players' text and CHANGELOG.md agree: the
                                 changelog's newest section is this version
  release.py notes               that section's text, for the release's description
  release.py package DLL OUTDIR  OUTDIR/Vistorb-<version>.zip with Vistorb.dll, README.txt (the
                                 players' text) and CHANGELOG.md

Every fault ends the run with one line and exit status 1.
"""
import os
import re
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
VERSION = re.compile(r"^\s*project\(\s*Vistorb\s+VERSION\s+(\S+)", re.MULTILINE)
TAG = re.compile(r"^v(\d+\.\d+\.\d+(?:\.\d+)?)$")
PLAYERS = re.compile(r"<!-- players -->\n(.*?)<!-- /players -->", re.DOTALL)
SECTION = re.compile(r"^## (\S+)", re.MULTILINE)


class Refused(Exception):
    pass


def read(root, name):
    with open(os.path.join(root, name), encoding="utf-8") as f:
        return f.read()


def version(root=ROOT):
    found = VERSION.findall(read(root, "CMakeLists.txt"))
    if len(found) != 1 or not TAG.match("v" + found[0]):
        raise Refused("CMakeLists.txt must give project(Vistorb VERSION X.Y.Z[.W]) once")
    return found[0]


def check_tag(tag, root=ROOT):
    match = TAG.match(tag)
    if not match:
        raise Refused(f"the tag {tag} is no release tag: vX.Y.Z or vX.Y.Z.W")
    if match.group(1) != version(root):
        raise Refused(f"the tag {tag} names another version than CMakeLists.txt ({version(root)})")


def players_text(root=ROOT):
    found = PLAYERS.findall(read(root, "README.md"))
    if len(found) != 1 or not found[0].strip():
        raise Refused("README.md must hold the players' text once, between <!-- players --> and <!-- /players -->")
    return found[0].strip() + "\n"


def check(root=ROOT):
    players_text(root)
    sections = SECTION.findall(read(root, "CHANGELOG.md"))
    if not sections or sections[0] != version(root):
        newest = sections[0] if sections else "none"
        raise Refused(f"CHANGELOG.md's newest section ({newest}) is not this version ({version(root)})")
    if len(set(sections)) != len(sections):
        raise Refused("CHANGELOG.md has two sections for one version")


def notes(root=ROOT):
    check(root)
    changelog = read(root, "CHANGELOG.md")
    sections = list(SECTION.finditer(changelog))
    end = sections[1].start() if len(sections) > 1 else len(changelog)
    return changelog[sections[0].end():end].strip() + "\n"


def package(dll, outdir, root=ROOT):
    check(root)
    if os.path.basename(dll) != "Vistorb.dll" or not os.path.isfile(dll):
        raise Refused(f"{dll} is not a built Vistorb.dll")
    os.makedirs(outdir, exist_ok=True)
    path = os.path.join(outdir, f"Vistorb-{version(root)}.zip")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        archive.write(dll, "Vistorb.dll")
        # CR LF: the text is read on Windows, in whatever editor opens a .txt there.
        archive.writestr("README.txt", players_text(root).replace("\n", "\r\n"))
        archive.writestr("CHANGELOG.md", read(root, "CHANGELOG.md"))
    return path


def write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main(argv):
    commands = {
        ("version", 0): lambda: print(version()),
        ("check-tag", 1): lambda: check_tag(argv[1]),
        ("players-text", 0): lambda: sys.stdout.write(players_text()),
        ("players-text", 1): lambda: write(argv[1], players_text()),
        ("check", 0): lambda: check(),
        ("notes", 0): lambda: sys.stdout.write(notes()),
        ("package", 2): lambda: print(package(argv[1], argv[2])),
    }
    command = commands.get((argv[0], len(argv) - 1)) if argv else None
    if command is None:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        command()
    except (Refused, OSError) as error:
        print(f"release: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
