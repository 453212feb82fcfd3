#!/usr/bin/env python3
"""The checks around what ships, on tables and files they are fed: the DLL table check
(scripts/check-dll-tables.py), the release rules (scripts/release.py) and the presets' host
conditions (scripts/check-presets.py). Run: python3 tests/scripts/test_shipping.py
"""
import copy
import importlib.util
import json
import os
import re
import tempfile
import unittest
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def load(name):
    path = os.path.join(ROOT, "scripts", name + ".py")
    found = importlib.util.spec_from_file_location(name.replace("-", "_"), path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


tables = load("check-dll-tables")
release = load("release")
presets = load("check-presets")

with open(os.path.join(ROOT, "tests", "data", "dll-tables", "dumpbin-vistorb.txt"), encoding="utf-8") as f:
    DUMPBIN = f.read()
OBJDUMP = """The Export Tables (interpreted .edata section contents)

[Ordinal/Name Pointer] Table
\t[   0] _ZN9BakkesMod6Plugin15BakkesModPlugin6onLoadEv
\t[   1] _ZTVN9BakkesMod6Plugin15BakkesModPluginE
\t[   2] deleteMe
\t[   3] exports
\t[   4] getPlugin

The Import Tables (interpreted .idata section contents)
\tDLL Name: KERNEL32.dll
\tDLL Name: msvcrt.dll
\tDLL Name: pluginsdk.dll
"""


def with_dependent(text, dll):
    return text.replace("    pluginsdk.dll\n", f"    pluginsdk.dll\n    {dll}\n")


def with_export(text, name):
    return text.replace("\n\n  Summary", f"\n         13    C 00012990 {name} = {name}\n\n  Summary")


class DllTables(unittest.TestCase):
    def test_faults(self):
        vc_export = "?LogLine@@YAXV?$basic_string@DU?$char_traits@D@std@@V?$allocator@D@2@@std@@@Z"
        cases = [
            ("the MSVC build as it must be", DUMPBIN, "msvc", [], []),
            ("fmt as a DLL", with_dependent(DUMPBIN, "fmt.dll"), "msvc", [], ["needs fmt.dll: fmt must be"]),
            ("the Debug C++ library", with_dependent(DUMPBIN, "MSVCP140D.dll"), "msvc", [], ["MSVCP140D.dll, a Debug runtime"]),
            ("the Debug vcruntime", with_dependent(DUMPBIN, "VCRUNTIME140_1D.dll"), "msvc", [], ["a Debug runtime"]),
            ("the Debug C runtime", with_dependent(DUMPBIN, "ucrtbased.dll"), "msvc", [], ["ucrtbased.dll, a Debug runtime"]),
            ("another library", with_dependent(DUMPBIN, "SDL2.dll"), "msvc", [], ["needs SDL2.dll, which is neither"]),
            ("getPlugin missing", re.sub(r".*getPlugin = getPlugin\n", "", DUMPBIN), "msvc", [], ["does not export getPlugin"]),
            ("a plugin function exported", with_export(DUMPBIN, vc_export), "msvc", [], [f"exports {vc_export}, which"]),
            ("ImGui exported", with_export(DUMPBIN, "?Begin@ImGui@@YA_NPEBDPEA_NH@Z"), "msvc", [], ["exports ?Begin@ImGui"]),
            ("a further name allowed", with_export(DUMPBIN, "VistorbDiagnosticState"), "msvc", ["VistorbDiagnosticState"], []),
            ("a further name missing", DUMPBIN, "msvc", ["VistorbDiagnosticState"], ["does not export VistorbDiagnosticState"]),
            ("MSVC's runtime in a MinGW build", DUMPBIN, "mingw", [],
             ["needs MSVCP140.dll", "needs VCRUNTIME140.dll", "needs VCRUNTIME140_1.dll"]),
            ("the MinGW build as it must be", OBJDUMP, "mingw", [], []),
            ("MinGW's C++ runtime as a DLL", OBJDUMP.replace("msvcrt.dll", "libstdc++-6.dll"), "mingw", [], ["needs libstdc++-6.dll"]),
            ("an Itanium name of the plugin", OBJDUMP.replace("[   2] deleteMe", "[   2] _ZN7Vistorb6onLoadEv\n\t[   5] deleteMe"),
             "mingw", [], ["exports _ZN7Vistorb6onLoadEv"]),
            ("no tables at all", "Dump of file x.dll\n", "msvc", [], ["no export table found"]),
            ("exports but no imports", OBJDUMP.split("The Import")[0], "mingw", [], ["no import table found"]),
        ]
        for what, text, runtime, extra, expected in cases:
            with self.subTest(what):
                found = tables.faults(text, runtime, extra)
                self.assertEqual(len(found), len(expected), found)
                for fault, start in zip(found, expected):
                    self.assertIn(start, fault)


class Repository:
    """A scratch copy of the files a release reads."""

    def __init__(self, version="1.2.0", readme="# V\n<!-- players -->\nInstall it.\n<!-- /players -->\n",
                 changelog="# Changelog\n\n## 1.2.0\n\n- new\n\n## 1.1.0\n\n- old\n"):
        self.folder = tempfile.TemporaryDirectory()
        self.root = self.folder.name
        for name, text in [("CMakeLists.txt", f"cmake_minimum_required(VERSION 3.20)\nproject(Vistorb VERSION {version} LANGUAGES CXX)\n"),
                           ("README.md", readme), ("CHANGELOG.md", changelog)]:
            with open(os.path.join(self.root, name), "w", encoding="utf-8") as f:
                f.write(text)


class Release(unittest.TestCase):
    def repo(self, *args, **kwargs):
        made = Repository(*args, **kwargs)
        self.addCleanup(made.folder.cleanup)
        return made

    def test_tags(self):
        repo = self.repo()
        for tag, accepted in [("v1.2.0", True), ("v1.2.0.0", False), ("1.2.0", False), ("v1.2", False),
                              ("v1.2.1", False), ("v1.2.0-rc1", False)]:
            with self.subTest(tag):
                if accepted:
                    release.check_tag(tag, repo.root)
                else:
                    self.assertRaises(release.Refused, release.check_tag, tag, repo.root)
        four, bad = self.repo("1.1.0.6"), self.repo("1.x")
        self.assertEqual(release.version(four.root), "1.1.0.6")
        self.assertRaises(release.Refused, release.version, bad.root)

    def test_what_a_release_refuses(self):
        cases = [
            ("no players' text", self.repo(readme="# V\nno markers\n"), "players' text"),
            ("an empty players' text", self.repo(readme="<!-- players -->\n \n<!-- /players -->\n"), "players' text"),
            ("the players' text twice", self.repo(readme="<!-- players -->\na\n<!-- /players -->\n" * 2), "players' text"),
            ("an older changelog", self.repo(changelog="## 1.1.0\n\n- old\n"), "newest section (1.1.0)"),
            ("no changelog sections", self.repo(changelog="# Changelog\n"), "newest section (none)"),
            ("a version twice", self.repo(changelog="## 1.2.0\n\n## 1.2.0\n"), "two sections"),
        ]
        for what, repo, message in cases:
            with self.subTest(what):
                with self.assertRaises(release.Refused) as caught:
                    release.check(repo.root)
                self.assertIn(message, str(caught.exception))

    def test_the_zip_holds_the_dll_the_players_text_and_the_changelog(self):
        repo = self.repo()
        dll = os.path.join(repo.root, "Vistorb.dll")
        with open(dll, "wb") as f:
            f.write(b"MZ dll bytes")
        path = release.package(dll, os.path.join(repo.root, "dist"), repo.root)
        self.assertEqual(os.path.basename(path), "Vistorb-1.2.0.zip")
        with zipfile.ZipFile(path) as archive:
            self.assertEqual(sorted(archive.namelist()), ["CHANGELOG.md", "README.txt", "Vistorb.dll"])
            self.assertEqual(archive.read("Vistorb.dll"), b"MZ dll bytes")
            self.assertEqual(archive.read("README.txt"), b"Install it.\r\n")
            self.assertIn(b"## 1.2.0", archive.read("CHANGELOG.md"))
        self.assertEqual(release.notes(repo.root), "- new\n")
        self.assertRaises(release.Refused, release.package, os.path.join(repo.root, "Other.dll"), repo.root, repo.root)

    def test_this_repository_is_ready_to_release(self):
        release.check()
        text = release.players_text()
        for needed in ["Vistorb-<version>.zip", "%APPDATA%\\bakkesmod\\bakkesmod\\plugins", "plugin load vistorb",
                       "plugin manager", '"Open"', "togglemenu Vistorb",
                       "%APPDATA%\\bakkesmod\\bakkesmod\\data\\Vistorb\\presets", "plugin unload vistorb"]:
            self.assertIn(needed, text)
        self.assertNotIn("<!--", text)


class Presets(unittest.TestCase):
    def test_each_host_sees_only_its_presets(self):
        with open(os.path.join(ROOT, "CMakePresets.json"), encoding="utf-8") as f:
            document = json.load(f)
        self.assertEqual(presets.faults(document), [])

        def changed(change):
            variant = copy.deepcopy(document)
            change({p["name"]: p for p in variant["configurePresets"]}, variant["configurePresets"])
            return presets.faults(variant)

        linux = [p["name"] for p in document["configurePresets"]
                 if not p.get("hidden") and p["name"] != "windows-msvc"]
        faults = changed(lambda by_name, _: by_name["linux"].pop("condition"))
        self.assertEqual(len(faults), len(linux), faults)
        faults = changed(lambda by_name, _: by_name["windows-msvc"].pop("condition"))
        self.assertIn("windows-msvc is for a Windows host, but its condition names no host", faults[0])
        faults = changed(lambda _, listed: listed.append({"name": "plain", "generator": "Ninja"}))
        self.assertEqual(faults, ["configure preset plain is for a Linux host, but its condition names no host"])
        faults = changed(lambda by_name, _: by_name["fuzz"].update(
            condition={"type": "notEquals", "lhs": "${hostSystemName}", "rhs": "Windows"}))
        self.assertEqual(len(faults), 1, faults)


if __name__ == "__main__":
    unittest.main()
