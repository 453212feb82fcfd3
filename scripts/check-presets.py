#!/usr/bin/env python3
"""Checks that CMakePresets.json offers each host only its own presets: every configure preset
that is not for Visual Studio carries (itself or through what it inherits, as CMake reads it) the
condition "${hostSystemName} equals Linux", and every Visual Studio preset the condition
"${hostSystemName} equals Windows". Visual Studio then lists only the Windows presets, and never
configures a Linux one first.

Usage: check-presets.py [CMakePresets.json]
"""
import json
import sys


def field_of(name, presets, field):
    """A preset's field as CMake reads it: its own, else the first one its parents give."""
    preset = presets[name]
    if field in preset:
        return preset[field]
    parents = preset.get("inherits", [])
    for parent in [parents] if isinstance(parents, str) else parents:
        found = field_of(parent, presets, field)
        if found is not None:
            return found
    return None


def host_of(name, presets):
    """The host a preset's condition names, or None when it has no plain host condition."""
    condition = field_of(name, presets, "condition")
    if (isinstance(condition, dict) and condition.get("type") == "equals"
            and condition.get("lhs") == "${hostSystemName}"):
        return condition.get("rhs")
    return None


def faults(document):
    presets = {p["name"]: p for p in document.get("configurePresets", [])}
    found = []
    for name, preset in presets.items():
        if preset.get("hidden"):
            continue
        generator = field_of(name, presets, "generator") or ""
        wanted = "Windows" if generator.startswith("Visual Studio") else "Linux"
        host = host_of(name, presets)
        if host != wanted:
            found.append(f"configure preset {name} is for a {wanted} host, but its condition "
                         f"names {host or 'no host'}")
    if not any(host_of(n, presets) == "Windows" for n in presets if not presets[n].get("hidden")):
        found.append("no configure preset for a Windows host")
    return found


def main(argv):
    path = argv[0] if argv else "CMakePresets.json"
    with open(path, encoding="utf-8") as f:
        found = faults(json.load(f))
    for fault in found:
        print(f"check-presets: {path}: {fault}", file=sys.stderr)
    if not found:
        print(f"check-presets: {path}: every configure preset is conditioned on its host")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
