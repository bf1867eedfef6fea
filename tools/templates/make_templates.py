#!/usr/bin/env python3
"""Builds the two carrier-bundle template archives from the logos in logos/ (drawn by make_logos.sh).

    make_templates.py OUTPUT_FOLDER    -> OUTPUT_FOLDER/template_unicom.zip, OUTPUT_FOLDER/template_cmcc.zip

Deterministic: fixed time stamps, fixed entry order, property lists written with sorted keys.
Layout of both archives (eight entries, in this order):
    Payload/  Payload/<bundle>/  carrier.plist  Default logo  FSO logo  Info.plist  TS logo  version.plist
Directory entries are stored and empty; property lists are deflated. China Unicom: logos deflated and an
NTFS time-stamp extra field on every entry
(central directory). China Mobile: logos stored, no extra fields.
"""
import hashlib
import os
import plistlib
import struct
import sys
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
STAMP = (2012, 10, 12, 9, 30, 0)
# 2012-10-12 09:30:00 UTC as a Windows FILETIME (100 ns ticks since 1601).
FILETIME = (1350034200 * 10_000_000) + 116444736000000000

CARRIERS = {
    "unicom": dict(
        bundle="Unicom_cn", stem="China-Unicom", name="中国联通", sims=["46001", "46006", "46009"],
        data_apn="3gnet", mms_apn="3gwap", mmsc="http://mmsc.myuni.com.cn", bookmark="http://wap.10010.com",
        deflate_logos=True, ntfs_extra=True),
    "cmcc": dict(
        bundle="CMCC_cn", stem="China-Mobile", name="中国移动", sims=["46000", "46002", "46007", "46008"],
        data_apn="cmnet", mms_apn="cmwap", mmsc="http://mmsc.monternet.com", bookmark="http://wap.monternet.com",
        deflate_logos=False, ntfs_extra=False),
}
VARIANTS = ["Default", "FSO", "TS"]


def ntfs_extra():
    # Tag 0x000A, reserved 4 bytes, attribute 1 of 24 bytes: modification, access, creation FILETIMEs.
    body = struct.pack("<IHH", 0, 1, 24) + struct.pack("<QQQ", FILETIME, FILETIME, FILETIME)
    return struct.pack("<HH", 0x000A, len(body)) + body


def signature(label, payload):
    # Stand-in for the vendor's signature blobs: fixed, content-derived bytes of a plausible length.
    seed = hashlib.sha256((label + "\0").encode() + payload).digest()
    return b"".join(hashlib.sha256(seed + bytes([i])).digest() for i in range(4))


def carrier_plist(c):
    logo = lambda v: f"{v}_CARRIER_{c['stem']}_1only_.png"
    images = {
        "DefaultImage": logo("Default"),
        "FullScreenOpaqueImage": logo("FSO"),
        "TransparentShadowedImage": logo("TS"),
        "AllowPrefixMatching": True,
    }
    settings = {
        "CarrierName": c["name"],
        "SupportedSIMs": c["sims"],
        "apns": [{"apn": c["data_apn"], "username": "", "password": ""}],
        "MMS": {
            "Enabled": True,
            "apn": c["mms_apn"],
            "MMSC": c["mmsc"],
            "MMSCProxy": "10.0.0.172",
            "MMSCProxyPort": 80,
            "MaxMessageSize": 307200,
            "MaxImageWidth": 640,
            "MaxImageHeight": 480,
        },
        "CarrierBookmarks": [{"Name": c["name"], "URL": c["bookmark"]}],
        "ShowCallForwarded": True,
        "SupportsNITZ": True,
        "AllowEDGEEditing": True,
        "StatusBarImages": [
            dict(images, CarrierName=c["name"], StatusBarCarrierName=c["name"]),
            dict(images, CarrierName=c["stem"].replace("-", " "), StatusBarCarrierName=c["name"]),
        ],
    }
    body = plistlib.dumps(settings, fmt=plistlib.FMT_BINARY, sort_keys=True)
    settings["signature"] = signature("carrier", body)
    settings["MMS"]["signature"] = signature("mms", body)
    return plistlib.dumps(settings, fmt=plistlib.FMT_BINARY, sort_keys=True)


def info_plist(c):
    name = c["bundle"]
    info = {
        "CFBundleIdentifier": f"com.apple.{name}",
        "CFBundleName": name,
        "CFBundleExecutable": name,
        "CFBundlePackageType": "BNDL",
        "CFBundleSignature": "????",
        "CFBundleVersion": "20.12",
        "CFBundleShortVersionString": "20.12.0",
        "CFBundleInfoDictionaryVersion": "6.0",
        "CFBundleDevelopmentRegion": "English",
        "CFBundleSupportedPlatforms": ["iPhoneOS"],
        "MinimumOSVersion": "5.0",
        "UIDeviceFamily": [1],
        "DTCompiler": "com.apple.compilers.llvm.clang.1_0",
        "DTPlatformBuild": "",
        "DTPlatformName": "iphoneos",
        "DTPlatformVersion": "5.0",
        "DTSDKBuild": "9A316",
        "DTSDKName": "iphoneos5.0.internal",
        "DTXcode": "0420",
        "DTXcodeBuild": "4C175",
        "BuildMachineOSBuild": "10H575",
    }
    return plistlib.dumps(info, fmt=plistlib.FMT_BINARY, sort_keys=True)


def version_plist():
    version = {
        "BuildVersion": "1",
        "CFBundleShortVersionString": "20.12.0",
        "CFBundleVersion": "20.12",
        "ProjectName": "CarrierBundles",
        "SourceVersion": "4450000",
    }
    return plistlib.dumps(version, fmt=plistlib.FMT_XML, sort_keys=True)


def build(key, path):
    c = CARRIERS[key]
    folder = f"Payload/{c['bundle']}.bundle/"
    logo = lambda v: f"{folder}{v}_CARRIER_{c['stem']}_1only_@2x.png"
    read_logo = lambda v: open(os.path.join(HERE, "logos", os.path.basename(logo(v))), "rb").read()
    logo_method = zipfile.ZIP_DEFLATED if c["deflate_logos"] else zipfile.ZIP_STORED
    entries = [
        ("Payload/", None, zipfile.ZIP_STORED),
        (folder, None, zipfile.ZIP_STORED),
        (folder + "carrier.plist", carrier_plist(c), zipfile.ZIP_DEFLATED),
        (logo("Default"), read_logo("Default"), logo_method),
        (logo("FSO"), read_logo("FSO"), logo_method),
        (folder + "Info.plist", info_plist(c), zipfile.ZIP_DEFLATED),
        (logo("TS"), read_logo("TS"), logo_method),
        (folder + "version.plist", version_plist(), zipfile.ZIP_DEFLATED),
    ]
    write_zip(path, entries, ntfs_extra() if c["ntfs_extra"] else b"")


def write_zip(path, entries, central_extra):
    """A plain zip writer, so that every header field is under control (zipfile puts an entry's extra field
    into both headers; the NTFS field goes into the central directory only, because the zip library that
    edits the China Unicom template mis-copies entries whose local header carries an extra field)."""
    dos_time = (STAMP[3] << 11) | (STAMP[4] << 5) | (STAMP[5] // 2)
    dos_date = ((STAMP[0] - 1980) << 9) | (STAMP[1] << 5) | STAMP[2]
    body, central = bytearray(), bytearray()
    for name, data, method in entries:
        raw_name = name.encode("utf-8")
        data = data or b""
        if method == zipfile.ZIP_DEFLATED:
            c = zlib.compressobj(9, zlib.DEFLATED, -15, 8)
            packed = c.compress(data) + c.flush()
        else:
            packed = data
        crc = zlib.crc32(data) & 0xFFFFFFFF
        attributes = 0x10 if name.endswith("/") else 0x20
        offset = len(body)
        body += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0x800, method, dos_time, dos_date, crc,
                            len(packed), len(data), len(raw_name), 0)
        body += raw_name + packed
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0x800, method, dos_time, dos_date, crc,
                               len(packed), len(data), len(raw_name), len(central_extra), 0, 0, 0, attributes,
                               offset)
        central += raw_name + central_extra
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central), len(body), 0)
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(bytes(body + central + end))
    os.replace(tmp, path)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for key in CARRIERS:
        build(key, os.path.join(out, f"template_{key}.zip"))


if __name__ == "__main__":
    main()
