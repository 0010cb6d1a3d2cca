#!/usr/bin/python3
"""puzzle15.exe as Windows loads it: a 64-bit GUI program that imports only
Windows' own DLLs (Qt, the C++ runtime and winpthreads linked in), with no
link time in its header, carrying the icon group, the version record "1.00"
and the application manifest; and the zip beside it holding that same
program with its licence and Qt's notice.

Usage: check_exe.py PUZZLE15_EXE ZIP WINE_DLL_DIR QT_VERSION
Needs python3-pefile (Debian's python3; scripts/windows.sh installs it).
"""

import os
import re
import sys
import zipfile

import pefile

exe_path, zip_path, wine_dlls = sys.argv[1], sys.argv[2], sys.argv[3]
qt_version = tuple(int(part) for part in sys.argv[4].split("."))
failures = []


def check(condition, what):
    print("%s: %s" % ("PASS" if condition else "FAIL", what))
    if not condition:
        failures.append(what)


pe = pefile.PE(exe_path)
check(pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"], "x86-64")
check(pe.OPTIONAL_HEADER.Subsystem == pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
      "a GUI program: no console window")
check(pe.FILE_HEADER.TimeDateStamp == 0, "no link time in the header (%#x)" % pe.FILE_HEADER.TimeDateStamp)
size = os.path.getsize(exe_path)
# Qt linked in statically is nearly all of it; what Qt leaves out for this
# program (scripts/windows-qt.sh) keeps it under 12 MB. From Qt 6.7 on Qt
# needs more of itself: the Windows 11 style with the graphics scene and the
# style-sheet style, and (6.8) Direct3D and DirectWrite in Gui.
limit = 12_000_000 if qt_version < (6, 7) else 15_000_000
check(size < limit, "under %.1f MB for Qt %s (%d bytes)" % (limit / 1e6, sys.argv[4], size))
with open(exe_path, "rb") as exe:
    contents = exe.read()
# A static Qt registers its plugins only where the project asks for them: the
# program cannot open a window without the platform plugin.
check(b"QWindowsIntegrationPlugin" in contents, "Qt's Windows platform plugin is linked in")
check(b"QWindowsVistaStylePlugin" in contents or b"QModernWindowsStylePlugin" in contents,
      "and Qt's Windows style")

# Imports: each one a DLL that Windows itself has, as Wine's own builds of
# those DLLs show; none of the libraries a dynamic MinGW or Qt build needs.
imports = sorted({entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])})
print("imports: %s" % " ".join(imports))
windows_dlls = {name.lower() for name in os.listdir(wine_dlls)}
foreign = [dll for dll in imports if re.match(r"(qt6|libstdc\+\+|libgcc|libwinpthread)", dll)
           or (dll not in windows_dlls and not dll.startswith("api-ms-win-"))]
check(imports and not foreign, "only Windows' own DLLs (not: %s)" % " ".join(foreign))

# Resources.
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
resources = {}
for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
    for name in kind.directory.entries:
        for language in name.directory.entries:
            data = pe.get_data(language.data.struct.OffsetToData, language.data.struct.Size)
            resources.setdefault(kind.id, []).append((name.name and str(name.name) or name.id, data))

groups = resources.get(RT_GROUP_ICON, [])
check(len(groups) == 1, "one icon group")
if groups:
    data = groups[0][1]
    count = int.from_bytes(data[4:6], "little")
    entries = [data[6 + 14 * i:20 + 14 * i] for i in range(count)]
    sizes = [(e[0] or 256, int.from_bytes(e[6:8], "little")) for e in entries]
    print("icon images (size, bits): %s" % sizes)
    check(sizes[:1] == [(32, 8)], "the first image is the 32x32 in 256 colours")
    check(sorted(sizes[1:]) == [(64, 32), (128, 32), (256, 32)], "and true-colour 64, 128 and 256")
check(len(resources.get(RT_ICON, [])) == 4, "four icon images")

strings = {}
for info in getattr(pe, "FileInfo", []):
    for block in info:
        for table in getattr(block, "StringTable", []):
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
check(strings.get("FileVersion") == "1.00" and strings.get("ProductVersion") == "1.00", "version 1.00")
check(strings.get("ProductName") == "Пъзел 15", "product name (%s)" % strings.get("ProductName"))
fixed = pe.VS_FIXEDFILEINFO[0] if getattr(pe, "VS_FIXEDFILEINFO", None) else None
check(fixed is not None and fixed.FileVersionMS == 0x10000, "fixed file version 1.0")

manifests = resources.get(RT_MANIFEST, [])
check(len(manifests) == 1 and manifests[0][0] == 1, "one manifest, resource 1")
if manifests:
    text = manifests[0][1].decode("utf-8")
    for what in ('level="asInvoker"', '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}', ">PerMonitorV2<"):
        check(what in text, "the manifest says %s" % what)

# The zip.
with zipfile.ZipFile(zip_path) as archive:
    names = sorted(archive.namelist())
    print("zip: %s" % " ".join(names))
    check(names == sorted(["puzzle15.exe", "LICENSE", "QT-NOTICE.txt", "LGPL-3.txt", "GPL-3.txt"]),
          "the zip holds the program, LICENSE, Qt's notice and the LGPL/GPL texts")
    with open(exe_path, "rb") as f:
        check(archive.read("puzzle15.exe") == f.read(), "the zip's program is the one built")
    notice = archive.read("QT-NOTICE.txt").decode("utf-8")
    check(re.search(r"Qt 6\.\d+\.\d+", notice) and "apt-get source qt6-base=" in notice
          and "LGPL-3.txt" in notice, "Qt's notice names its version, its source and the licence")

print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
