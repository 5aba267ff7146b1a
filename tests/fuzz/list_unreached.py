#!/usr/bin/env python3
"""Lists what the inputs of velkor_fuzz_receive never reached of the unit link.

Reads what `llvm-cov export -format=text` says of the target built with VELKOR_FUZZ_COVERAGE and
run over its inputs. Prints one line per function of a source file of src/link that no input
entered (file:line and name), and one per source file of src/link that the target does not hold
at all (an exchange nothing in the target uses); exits 1 when it printed anything. The files
below hold no conversation with the unit: what the target leaves of them is not listed.

Usage: list_unreached.py EXPORT.json SRC_LINK_FOLDER"""
import json
import pathlib
import subprocess
import sys

NOT_CONVERSATIONS = {
    "comport.cpp": "the real serial port; the target plays the port itself",
    "linkconnection.cpp": "opening the port, retrying it and giving it up, for the window",
    "portname.cpp": "the names of ports",
    "linkclock.cpp": "the system's clock; the target runs the link on a stepped one",
    "parameterset.cpp": "a set as a value",
    "unitidentity.cpp": "a unit's serial number and year",
    "unitset.cpp": "the tool's own set, edited by the pages",
    "unitdata.cpp": "the data the pages share",
    "diagnosticrecord.cpp": "the record as it came, kept for the report",
}


def demangle(names):
    if not names:
        return []
    # A function local to its file is exported as "file.cpp:mangled name".
    bare = [name.rsplit(":", 1)[-1] for name in names]
    out = subprocess.run(["llvm-cxxfilt-14"], input="\n".join(bare), capture_output=True, text=True, check=True)
    return out.stdout.splitlines()


def main():
    export, link = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]).resolve()
    checked = {path.name for path in link.glob("*.cpp")} - set(NOT_CONVERSATIONS)
    functions = json.loads(export.read_text())["data"][0]["functions"]
    held, unreached = set(), []
    for function in functions:
        path = pathlib.Path(function["filenames"][0]).resolve()
        if path.parent != link or path.name not in checked:
            continue
        held.add(path.name)
        if function["count"] == 0:
            # A region is [line start, column start, line end, column end, count, ...].
            unreached.append((path.name, function["regions"][0][0], function["name"]))
    unreached.sort()
    lines = [f"src/link/{name} not in the target at all" for name in sorted(checked - held)]
    names = demangle([name for _, _, name in unreached])
    lines += [f"src/link/{file}:{line} {name}" for (file, line, _), name in zip(unreached, names)]
    for line in lines:
        print(line)
    return 1 if lines else 0


if __name__ == "__main__":
    sys.exit(main())
