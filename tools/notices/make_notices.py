#!/usr/bin/env python3
"""Writes THIRD-PARTY-NOTICES.txt (UTF-8 with a byte-order mark, Windows line ends):
   make_notices.py OUT PROGRAM-VERSION LICENSES-DIR MINGW-SYSROOT TRIPLET"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from notices import LICENSES_MARKER, notices_text  # noqa: E402


def main(argv):
    if len(argv) != 6:
        sys.exit(__doc__)
    out, version, licenses, sysroot, triplet = argv[1:]
    if not os.path.isfile(os.path.join(licenses, LICENSES_MARKER)):
        sys.exit(f"no licence texts in {licenses}: run tools/bootstrap.sh")
    text = notices_text(version, licenses, sysroot, triplet)
    tmp = out + ".tmp"
    with open(tmp, "w", encoding="utf-8-sig", newline="\r\n") as f:
        f.write(text)
    os.replace(tmp, out)


if __name__ == "__main__":
    main(sys.argv)
