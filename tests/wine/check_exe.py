"""Checks an executable's header and embedded manifest against the architecture it was built for:
PE32 for x86 and PE32+ for x64, a GUI program, and a manifest whose every processorArchitecture
names that architecture (Windows refuses to start a program whose manifest names another one).

    check_exe.py WINDRES EXE x86|x64
"""

import codecs
import re
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

from winebed import ARCHITECTURES, pe_header

IMAGE_SUBSYSTEM_WINDOWS_GUI = 2


def manifest(windres, exe):
    """The text of the manifest resource (RT_MANIFEST, id 1), as windres decompiles it."""
    script = subprocess.run([windres, "-i", exe, "-O", "rc"], check=True, capture_output=True, text=True,
                            timeout=60).stdout
    block = script.split("1 24 /* RT_MANIFEST */\nBEGIN\n", 1)[1].split("\nEND", 1)[0]
    literals = re.findall(r'"((?:[^"]|"")*)"', block)
    return codecs.decode("".join(literal.replace('""', '"') for literal in literals), "unicode_escape")


def main(windres, exe, architecture):
    arch = ARCHITECTURES[architecture]
    machine, magic, name = arch["machine"], arch["magic"], arch["manifest"]
    problems = []
    found = pe_header(exe)
    if found != (machine, magic, IMAGE_SUBSYSTEM_WINDOWS_GUI):
        problems.append(f"header: machine {found[0]:#x}, magic {found[1]:#x}, subsystem {found[2]}; expected "
                        f"{machine:#x}, {magic:#x}, {IMAGE_SUBSYSTEM_WINDOWS_GUI}")
    named = [element.get("processorArchitecture") for element in ElementTree.fromstring(manifest(windres, exe)).iter()
             if element.get("processorArchitecture") is not None]
    print(f"{exe}: machine {found[0]:#x}, manifest architectures {named}")
    if len(named) < 2 or any(value != name for value in named):
        problems.append(f"manifest: the program and the common controls must both name {name!r}, found {named}")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
