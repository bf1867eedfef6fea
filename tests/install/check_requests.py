"""Reads the program's three requests with independent readers: Python's plistlib and xmllint."""
import plistlib
import subprocess
import sys
import tempfile

dump = sys.argv[1]
expected = {
    "carrier.plist": ({"ClientOptions": {"PackageType": "CarrierBundle"}, "Command": "Install",
                       "PackagePath": "/PublicStaging/01234567"}, 497),
    "package.plist": ({"Command": "Install", "PackagePath": "/PublicStaging/01234567.ipa"}, 299),
    "uninstall.plist": ({"ApplicationIdentifier": "com.example.a&b", "Command": "Uninstall"}, 318 - 32 + 19),
}
failures = []
with tempfile.TemporaryDirectory() as folder:
    subprocess.run([dump, folder], check=True)
    for name, (value, length) in expected.items():
        path = f"{folder}/{name}"
        data = open(path, "rb").read()
        if len(data) != length:
            failures.append(f"{name}: {len(data)} bytes, expected {length}")
        # The first request's system identifier carries an apostrophe; readers that fetch the DTD would
        # stumble on it, readers that do not (these two) must still accept the document.
        try:
            got = plistlib.loads(data)
            if got != value:
                failures.append(f"{name}: plistlib read {got!r}")
        except Exception as e:  # noqa: BLE001 - any failure to read is the finding
            failures.append(f"{name}: plistlib failed: {e}")
        lint = subprocess.run(["xmllint", "--nonet", "--noout", path], capture_output=True, text=True)
        if lint.returncode != 0:
            failures.append(f"{name}: xmllint: {lint.stderr.strip()}")
for f in failures:
    print(f)
sys.exit(1 if failures else 0)
