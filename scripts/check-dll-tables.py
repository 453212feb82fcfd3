#!/usr/bin/env python3
"""Checks what a built plugin library exports and which DLLs it needs, from its tables as the
toolchain's dumper prints them: `dumpbin /exports /dependents Vistorb.dll` (Visual Studio) or
`objdump -p Vistorb.dll` (MinGW-w64). The format is told from the text.

Exports: exactly the host-facing names (the record `exports`, `getPlugin`, `deleteMe`, any
--export given) and the members of the SDK's plugin base, which its header declares for export
(`BakkesMod::Plugin::BakkesModPlugin`, in MSVC's or the Itanium decoration).

Imports: the host's pluginsdk.dll, system DLLs, and the C++ runtime of the build: Visual
Studio's release runtime (--runtime msvc), or none beside the system's msvcrt for MinGW, whose
runtime is linked in (--runtime mingw). Never a Debug runtime, never fmt (it is header-only).

Usage: check-dll-tables.py TABLES_FILE --runtime msvc|mingw [--export NAME]...
Exit status 0 when the tables are as they must be; 1 with one line per fault otherwise.
"""
import argparse
import re
import sys

HOST_FACING = ("exports", "getPlugin", "deleteMe")
PLUGIN_BASE = (
    re.compile(r"\?\?_?[0-9A-Z]BakkesModPlugin@Plugin@BakkesMod@@"),    # MSVC: special members, vftable
    re.compile(r"\?[A-Za-z_][A-Za-z0-9_]*@BakkesModPlugin@Plugin@BakkesMod@@"),  # MSVC: onLoad, onUnload
    re.compile(r"_ZN9BakkesMod6Plugin15BakkesModPlugin"),             # Itanium: members
    re.compile(r"_ZT[VIS]N9BakkesMod6Plugin15BakkesModPluginE$"),     # Itanium: vtable, type info
)
SYSTEM = re.compile(r"(kernel32|user32|imm32|api-ms-win-crt-[a-z0-9-]+)\.dll$")
RUNTIMES = {
    "msvc": re.compile(r"(msvcp140(_1|_2|_atomic_wait|_codecvt_ids)?|vcruntime140(_1)?)\.dll$"),
    "mingw": re.compile(r"msvcrt\.dll$"),
}
DEBUG_RUNTIME = re.compile(r"(msvcp\d+|vcruntime\d+|ucrtbase)(_\w+)?d\.dll$")


def dumpbin_tables(text):
    """Export names and DLL names from dumpbin's /exports and /dependents sections."""
    exports, dlls, section = [], [], None
    for line in text.splitlines():
        stripped = line.strip()
        if re.match(r"ordinal\s+hint\s+RVA\s+name$", stripped):
            section = "exports"
        elif re.match(r"Image has the following (delay load )?dependencies:$", stripped):
            section = "dependents"
        elif stripped == "Summary" or stripped.startswith("Section contains"):
            section = None
        elif section == "exports":
            # "ordinal hint RVA name [= decorated (undecorated)]"; a forwarder has no RVA.
            match = re.match(r"\d+\s+[0-9A-Fa-f]+\s+(?:[0-9A-Fa-f]{8}\s+)?(\S+)", stripped)
            if match:
                exports.append(match.group(1))
        elif section == "dependents" and stripped:
            if stripped.lower().endswith(".dll"):
                dlls.append(stripped)
            else:
                section = None
    return exports, dlls


def objdump_tables(text):
    """Export names and DLL names from `objdump -p`: the name pointer table and the imports."""
    exports, dlls, in_names = [], [], False
    for line in text.splitlines():
        if "[Ordinal/Name Pointer] Table" in line:
            in_names = True
        elif in_names and not line.strip():
            in_names = False
        elif in_names:
            match = re.match(r"\s*\[\s*\d+\]\s+(\S+)", line)
            if match:
                exports.append(match.group(1))
        match = re.match(r"\s*DLL Name:\s*(\S+)", line)
        if match:
            dlls.append(match.group(1))
    return exports, dlls


def read_tables(text):
    """(export names, DLL names) from either dumper's text."""
    return dumpbin_tables(text) if "Dump of file" in text else objdump_tables(text)


def faults(text, runtime, extra_exports):
    """Every fault of the tables, one line each."""
    exports, dlls = read_tables(text)
    if not exports:
        return ["no export table found: give the output of dumpbin /exports /dependents or objdump -p"]
    if not dlls:
        return ["no import table found: give the output of dumpbin /exports /dependents or objdump -p"]
    found = []
    wanted = HOST_FACING + tuple(extra_exports)
    found += [f"does not export {name}" for name in wanted if name not in exports]
    found += [f"exports {name}, which is not host-facing" for name in exports
              if name not in wanted and not any(p.match(name) for p in PLUGIN_BASE)]
    for dll in dlls:
        name = dll.lower()
        if DEBUG_RUNTIME.match(name):
            found.append(f"needs {dll}, a Debug runtime")
        elif name.startswith("fmt"):
            found.append(f"needs {dll}: fmt must be compiled in header-only")
        elif name != "pluginsdk.dll" and not SYSTEM.match(name) and not RUNTIMES[runtime].match(name):
            found.append(f"needs {dll}, which is neither pluginsdk.dll, the {runtime} runtime nor a system DLL")
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("tables")
    parser.add_argument("--runtime", choices=sorted(RUNTIMES), required=True)
    parser.add_argument("--export", action="append", default=[], help="a further host-facing name")
    args = parser.parse_args()
    with open(args.tables, encoding="utf-8", errors="replace") as f:
        text = f.read()
    found = faults(text, args.runtime, args.export)
    exports, dlls = read_tables(text)
    print(f"exports: {' '.join(exports)}")
    print(f"imports: {' '.join(dlls)}")
    for fault in found:
        print(f"check-dll-tables: {args.tables}: {fault}", file=sys.stderr)
    if not found:
        print(f"check-dll-tables: {args.tables}: exports and imports as they must be")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
