"""The third-party notices of the program: which libraries are linked into it, where their licence texts come
from, and the text of THIRD-PARTY-NOTICES.txt.

Every archive member the linker takes from outside the project belongs to one component below (by the
archive's file name, or by the member's name for the libraries that Poco Foundation carries inside itself);
the notices test holds the executable's link map against this table, so a new dependency cannot go unnoticed.
"""
import os
import re
import subprocess

# The licence texts that tools/bootstrap.sh keeps in the deps cache; this marker says they are all there.
LICENSES_MARKER = ".complete-r2"

# Debian's spelling of the mingw architectures in package names, and the editions' names.
DEBIAN_ARCH = {"x86_64-w64-mingw32": "x86-64", "i686-w64-mingw32": "i686"}
EDITION = {"x86_64-w64-mingw32": "x64", "i686-w64-mingw32": "x86"}

POCO_FOUNDATION = "libPocoFoundation.a"


class Component:
    """A library of the notices: name, licence summary, the archives that are wholly its own, and a pattern of
    member names inside Poco Foundation that are its code (for the libraries Poco carries)."""

    def __init__(self, name, summary, archives=(), poco_members=None):
        self.name, self.summary, self.archives = name, summary, set(archives)
        self.poco_members = re.compile(poco_members) if poco_members else None


ZLIB = Component("zlib", "zlib License", ["libz.a"],
                 r"^(adler32|compress|crc32|deflate|gzclose|gzlib|gzread|gzwrite|infback|inffast|inflate|inftrees|"
                 r"trees|uncompr|zutil)\.c\.obj$")
PCRE = Component("PCRE", "BSD License (3-clause)", [], r"^pcre_\w+\.c\.obj$")
DOUBLE_CONVERSION = Component("double-conversion", "BSD License (3-clause)", [],
                              r"^(bignum|bignum-dtoa|cached-powers|diy-fp|double-conversion|fast-dtoa|fixed-dtoa|"
                              r"strtod)\.cc\.obj$")
POCO = Component("Poco (Foundation, Zip)", "Boost Software License 1.0", [POCO_FOUNDATION, "libPocoZip.a"])
LIBPNG = Component("libpng", "PNG Reference Library License version 2", ["libpng16.a", "libpng.a"])
LIBJPEG = Component("libjpeg-turbo", "IJG License, Modified (3-clause) BSD License, zlib License", ["libjpeg.a"])
MINGW = Component("MinGW-w64 runtime and winpthreads",
                  "ZPL 2.1, MIT (expat) and BSD-style licences; parts in the public domain",
                  ["libmingw32.a", "libmingwex.a", "libmoldname.a", "libmsvcrt.a", "libwinpthread.a",
                   "libpthread.a"])
GCC = Component("GCC runtime (libstdc++, libgcc)", "GPL 3 with the GCC Runtime Library Exception 3.1",
                ["libstdc++.a", "libgcc.a", "libgcc_eh.a", "libssp.a", "libssp_nonshared.a"])

COMPONENTS = [POCO, ZLIB, PCRE, DOUBLE_CONVERSION, LIBPNG, LIBJPEG, MINGW, GCC]


def component_of(archive, member):
    """The component an archive member belongs to; None when no component claims it."""
    base = os.path.basename(archive)
    if base == POCO_FOUNDATION:
        for component in COMPONENTS:
            if component.poco_members and component.poco_members.match(member):
                return component
    for component in COMPONENTS:
        if base in component.archives:
            return component
    return None


def _read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def _leading_comment(path):
    """The comment a C or C++ source file starts with: its licence."""
    text = _read(path)
    block = re.match(r"\s*/\*(.*?)\*/", text, re.S)
    if block:
        return block.group(1).strip("\n")
    lines = re.match(r"((?:[ \t]*//[^\n]*\n)+)", text)
    if lines:
        return "\n".join(re.sub(r"^\s*// ?", "", line) for line in lines.group(1).splitlines())
    raise RuntimeError(f"{path} starts with no comment")


def _define(path, pattern):
    match = re.search(pattern, _read(path))
    return match.group(1) if match else "?"


def _package_version(package):
    out = subprocess.run(["dpkg-query", "-W", "-f=${Version}", package], capture_output=True, text=True)
    return out.stdout.strip() or "?"


def _gcc_exception():
    text = _read("/usr/share/doc/gcc-mingw-w64-base/copyright")
    start = text.find("GCC RUNTIME LIBRARY EXCEPTION")
    end_text = "requirements of the license of GCC."
    end = text.find(end_text, start)
    if start < 0 or end < 0:
        raise RuntimeError("no GCC Runtime Library Exception in gcc-mingw-w64-base's copyright file")
    return text[start:end + len(end_text)]


def _kept(licenses, folder):
    """(Debian version, [(file name, text)]) of a folder of licence texts the bootstrap kept."""
    path = os.path.join(licenses, folder)
    names = sorted(n for n in os.listdir(path) if n != "VERSION")
    if not names:
        raise RuntimeError(f"no licence texts in {path}")
    return _read(os.path.join(path, "VERSION")).strip(), [(n, _read(os.path.join(path, n))) for n in names]


def _version_and_texts(component, licenses, sysroot, triplet):
    bundled = os.path.join(licenses, "poco-bundled")
    poco_version = _read(os.path.join(bundled, "VERSION")).strip()
    if component is POCO:
        return _kept(licenses, "poco")
    if component is LIBPNG:
        return _kept(licenses, "libpng")
    if component is LIBJPEG:
        return _kept(licenses, "libjpeg-turbo")
    if component is ZLIB:
        zlib_h = os.path.join(bundled, "zlib.h")
        bundled_version = _define(zlib_h, r'#define ZLIB_VERSION "([^"]+)"')
        mingw_version = _package_version("libz-mingw-w64-dev")
        version = (f"{bundled_version}, the copy inside Poco Foundation {poco_version} "
                   f"(libz.a of libz-mingw-w64 {mingw_version} where linked)")
        return version, [("zlib.h", _leading_comment(zlib_h))]
    if component is PCRE:
        pcre_h = os.path.join(bundled, "pcre.h")
        major, minor = _define(pcre_h, r"#define PCRE_MAJOR\s+(\d+)"), _define(pcre_h, r"#define PCRE_MINOR\s+(\d+)")
        version = f"{major}.{minor}, the copy inside Poco Foundation {poco_version}"
        return version, [("pcre.h", _leading_comment(pcre_h))]
    if component is DOUBLE_CONVERSION:
        header = os.path.join(bundled, "double-conversion.h")
        return f"the copy inside Poco Foundation {poco_version}", [("double-conversion.h", _leading_comment(header))]
    if component is MINGW:
        package = f"mingw-w64-{DEBIAN_ARCH[triplet]}-dev"
        return _package_version(package), [(f"{package} copyright", _read(f"/usr/share/doc/{package}/copyright"))]
    if component is GCC:
        statement = ("libstdc++ and libgcc are licensed under the GNU General Public License version 3 with the\n"
                     "GCC Runtime Library Exception, version 3.1, which allows them to be linked into a program\n"
                     "under any licence. The text of the exception:\n\n")
        runtime = f"gcc-mingw-w64-{DEBIAN_ARCH[triplet]}-posix-runtime"
        return _package_version(runtime), [("GCC Runtime Library Exception", statement + _gcc_exception())]
    raise ValueError(component.name)


def notices_text(program_version, licenses, sysroot, triplet):
    """The whole THIRD-PARTY-NOTICES.txt (line ends \\n; the caller writes Windows ones)."""
    rule = "=" * 78
    listing, sections = [], []
    for component in COMPONENTS:
        version, texts = _version_and_texts(component, licenses, sysroot, triplet)
        listing.append(f"  {component.name}, {version}\n      {component.summary}")
        body = "\n\n".join(f"--- {title} ---\n\n{text.rstrip()}" for title, text in texts)
        sections.append(f"{rule}\n{component.name} {version}\n{rule}\n\n{body}\n")
    head = (f"iOSLogora {program_version} ({EDITION[triplet]}): third-party notices\n"
            f"iOSLogora {program_version}：第三方软件许可声明\n\n"
            "iOSLogora.exe contains the following libraries, linked statically, each under the licence\n"
            "given with it below. The versions are those of the Debian packages the program was built from.\n"
            "iOSLogora.exe 静态链接了以下程序库，各自的许可声明附在下文。\n\n")
    return head + "\n".join(listing) + "\n\n\n" + "\n\n".join(sections)
