#!/usr/bin/env python3
"""Checks THIRD-PARTY-NOTICES.txt against what the executable links:
   check_notices.py MAP NOTICES EXE DLLTOOL BUILD-DIR

- every archive member the linker took (the link map) is the project's own (inside BUILD-DIR), from an
  import library of a system DLL (DLLTOOL identifies its DLL), or belongs to a component of the notices table
  (tools/notices/notices.py), and that component has its section in the notices file;
- the executable carries the notices file (embedded as a resource).
Prints every fault and exits 1 when there is one."""
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "notices"))
from notices import component_of  # noqa: E402

# "archive(member)" at the start of a line of the map's "Archive member included" list.
MEMBER = re.compile(r"^(\S+\.a)\(([^)]+)\)")


def linked_members(map_path):
    """(archive, member) of every archive member the link took."""
    with open(map_path, encoding="utf-8", errors="replace") as f:
        return sorted({(m.group(1), m.group(2)) for m in map(MEMBER.match, f.read().splitlines()) if m})


def is_import_library(dlltool, archive):
    return subprocess.run([dlltool, "--identify", archive], capture_output=True).returncode == 0


def main(argv):
    if len(argv) != 6:
        sys.exit(__doc__)
    map_path, notices_path, exe, dlltool, build = argv[1:]
    build = os.path.realpath(build)
    with open(notices_path, encoding="utf-8-sig") as f:
        notices = f.read()
    members = linked_members(map_path)
    faults = []
    if not members:
        faults.append(f"{map_path} lists no archive members: not a link map?")
    import_libraries = {}
    for archive, member in members:
        if not os.path.isabs(archive) or os.path.realpath(archive).startswith(build + os.sep):
            continue
        component = component_of(archive, member)
        if component is None:
            if archive not in import_libraries:
                import_libraries[archive] = is_import_library(dlltool, archive)
            if not import_libraries[archive]:
                faults.append(f"{archive}({member}) is linked in but no component of the notices claims it")
            continue
        if f"\n{component.name} " not in notices:
            faults.append(f"{archive}({member}) belongs to {component.name}, which has no section in {notices_path}")
    with open(notices_path, "rb") as f:
        notices_head = f.read(4096)
    with open(exe, "rb") as f:
        if notices_head not in f.read():
            faults.append(f"{exe} does not carry the notices text")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
