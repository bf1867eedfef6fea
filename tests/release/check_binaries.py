#!/usr/bin/env python3
"""Checks that the program and the simulated device libraries are built for one architecture and keep the
contract a loader relies on:
   check_binaries.py x86|x64 OBJDUMP EXE MOBILEDEVICE.dll MOBILEDEVICE.def COREFOUNDATION.dll COREFOUNDATION.def

- every file is a PE image of the architecture asked for;
- each library exports exactly the names of its .def file, undecorated (a __stdcall or C++ name would carry
  "@n" or a mangled form, and the program's GetProcAddress by plain name would miss it);
- the program imports system DLLs only (everything else is linked statically), and the mobile-device library
  imports the core-foundation library, which the binding's "PATH" must let the loader find.
Prints every fault and exits 1 when there is one."""
import re
import struct
import subprocess
import sys

MACHINES = {0x14C: "x86", 0x8664: "x64"}
SYSTEM_DLLS = {"kernel32", "user32", "gdi32", "msimg32", "comctl32", "comdlg32", "shell32", "ole32", "oleaut32",
               "ws2_32", "psapi", "advapi32", "iphlpapi", "msvcrt", "shlwapi", "uxtheme", "ntdll", "version",
               "rpcrt4", "bcrypt", "crypt32", "winmm", "imm32", "dbghelp", "userenv", "secur32", "mswsock"}


def machine(path):
    with open(path, "rb") as f:
        head = f.read(4096)
    if head[:2] != b"MZ":
        return "not a PE image"
    pe = struct.unpack_from("<I", head, 0x3C)[0]
    if head[pe:pe + 4] != b"PE\0\0":
        return "not a PE image"
    return MACHINES.get(struct.unpack_from("<H", head, pe + 4)[0], "unknown")


def dump(objdump, path):
    return subprocess.run([objdump, "-p", path], capture_output=True, text=True, check=True).stdout


def exports(text):
    table = text.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return set()
    return set(re.findall(r"^\s*\[\s*\d+\]\s+(\S+)\s*$", table[1], re.M))


def imports(text):
    return {name.lower() for name in re.findall(r"DLL Name: (\S+)", text)}


def def_names(path):
    names, in_exports = set(), False
    with open(path) as f:
        for line in f:
            line = line.split(";", 1)[0].strip()
            if line.upper() == "EXPORTS":
                in_exports = True
            elif in_exports and line:
                names.add(line.split()[0].split("=")[0])
    return names


def main(argv):
    if len(argv) != 8:
        sys.exit(__doc__)
    arch, objdump, exe, md_dll, md_def, cf_dll, cf_def = argv[1:]
    faults = []
    for path in (exe, md_dll, cf_dll):
        if machine(path) != arch:
            faults.append(f"{path} is {machine(path)}, not {arch}")
    for dll, def_file in ((md_dll, md_def), (cf_dll, cf_def)):
        got, want = exports(dump(objdump, dll)), def_names(def_file)
        if not want:
            faults.append(f"{def_file} lists no exports")
        for name in sorted(want - got):
            faults.append(f"{dll} does not export {name} under its plain name")
        for name in sorted(got - want):
            faults.append(f"{dll} exports {name}, which {def_file} does not list")
    for dll in sorted(imports(dump(objdump, exe))):
        if dll.removesuffix(".dll") not in SYSTEM_DLLS and not dll.startswith("api-ms-win-"):
            faults.append(f"{exe} imports {dll}, which is not part of Windows")
    if "corefoundation.dll" not in imports(dump(objdump, md_dll)):
        faults.append(f"{md_dll} does not import CoreFoundation.dll")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
