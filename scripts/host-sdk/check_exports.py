#!/usr/bin/env python3
"""Checks that every function of the host's SDK that the plugin calls is exported by the SDK's
import library with the same signature, and prints the table.

The plugin's objects are compiled by MinGW-w64 against the SDK's headers, where every SDK class is
declared for import: each call is an undefined `__imp_` symbol, Itanium-mangled (a member of a
class template instance, such as ArrayWrapper<PriWrapper>, is a plain undefined symbol of an SDK
class). pluginsdk.lib names the same functions MSVC-mangled. Both are demangled and brought to one spelling: the
qualified name, the parameter types and the const of the method.

Usage: check_exports.py PLUGINSDK_LIB SDK_INCLUDE_DIR OBJECT...
"""
import os
import re
import subprocess
import sys

WORDS = ("class ", "struct ", "enum ", "__cdecl", "__ptr64", "public: ", "private: ", "protected: ",
         "virtual ", "static ")


def run(command, text=None):
    return subprocess.run(command, input=text, capture_output=True, text=True, check=True).stdout


def symbols(path, undefined):
    flags = ["--undefined-only"] if undefined else ["--defined-only"]
    return {line.split()[-1] for line in run(["llvm-nm", *flags, path]).splitlines() if line.strip()
            and not line.endswith(":")}


def demangle(names, tool):
    out = run([tool], "\n".join(names) + "\n").splitlines()
    if tool == "llvm-undname":  # it echoes each name, then its meaning, then a blank line
        out = [line for line in out if line.strip() and line not in names]
    return dict(zip(names, out))


def top_level_paren(s):
    depth = 0
    for i, c in enumerate(s):
        if c == "<":
            depth += 1
        elif c == ">":
            depth -= 1
        elif c == "(" and depth == 0:
            return i
    return -1


def close_paren(s, start):
    depth = 0
    for i in range(start, len(s)):
        depth += {"(": 1, ")": -1}.get(s[i], 0)
        if depth == 0:
            return i
    return len(s) - 1


def signature(text):
    """name(params)[const] of a demangled function, in one spelling for both manglings."""
    for word in WORDS:
        text = text.replace(word, "")
    text = text.replace("[abi:cxx11]", "").replace("::__cxx11::", "::").replace("std::__cxx11::", "std::")
    text = text.replace("unsigned __int64", "unsigned long long").replace("__int64", "long long")
    text = re.sub(r"\s+", " ", text).strip()
    open_at = top_level_paren(text)
    if open_at < 0:
        return None
    head = text[:open_at].rstrip()
    name = re.search(r"(\S+::operator \S+|\S+)$", head).group(1)  # a conversion has a space
    close_at = close_paren(text, open_at)
    params = text[open_at:close_at + 1]
    const = " const" if "const" in text[close_at + 1:] else ""
    joined = re.sub(r"\s+", "", name + params) + const
    joined = joined.replace("std::basic_string<char,std::char_traits<char>,std::allocator<char>>", "std::string")
    while True:
        shorter = re.sub(r"std::vector<([^<>]*(?:<[^<>]*>)?),std::allocator<\1>>", r"std::vector<\1>", joined)
        if shorter == joined:
            break
        joined = shorter
    # MSVC names a class template's constructors and destructor with the template's arguments.
    joined = re.sub(r"(\w+)(<[^()]*>)::(~?)\1\2\(", r"\1\2::\3\1(", joined)
    return joined.replace("(void)", "()").replace("::operator", "::operator ")


def sdk_classes(include_dir):
    names = set()
    for folder, _, files in os.walk(include_dir):
        for name in files:
            with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as text:
                names |= set(re.findall(r"class\s+BAKKESMOD_PLUGIN_IMPORT\s+(\w+)", text.read()))
    return names


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    library, include_dir, objects = sys.argv[1], sys.argv[2], sys.argv[3:]
    classes = sdk_classes(include_dir)
    calls, plain, defined = set(), set(), set()
    for path in objects:
        for name in symbols(path, True):
            if name.startswith("__imp__Z"):
                calls.add(name[len("__imp_"):])
            elif name.startswith("_Z"):
                plain.add(name)
        defined |= symbols(path, False)
    for name, text in demangle(sorted(plain - defined), "c++filt").items():
        owner = re.match(r"(\w+)(<[^()]*>)?::", text)
        if owner and owner.group(1) in classes:
            calls.add(name)
    exported = sorted(name for name in symbols(library, False) if name.startswith("?"))
    by_signature = {}
    for name, text in demangle(exported, "llvm-undname").items():
        sig = signature(text)
        if sig:
            by_signature.setdefault(sig, name)
    rows, missing = [], []
    for name, text in sorted(demangle(sorted(calls), "c++filt").items(), key=lambda item: item[1]):
        sig = signature(text)
        found = by_signature.get(sig)
        (rows if found else missing).append((sig or text, found))
    width = max((len(sig) for sig, _ in rows + missing), default=10)
    print(f"{'SDK function the plugin calls':<{width}}  exported by pluginsdk.lib as")
    for sig, found in rows + missing:
        print(f"{sig:<{width}}  {found or 'MISSING'}")
    print(f"{len(rows)} of {len(rows) + len(missing)} calls exported with the same signature")
    if missing or not rows:
        sys.exit(1)


if __name__ == "__main__":
    main()
