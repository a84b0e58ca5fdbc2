#!/usr/bin/env python3
"""Checks tavoScribe.exe as Windows will see it: a console program of its kind,
with ASLR and DEP, importing no DLL beyond those every Windows has, with the
release's version and names, and a manifest that asks for no elevation and
names Windows 7 to 11.
usage: pe_check.py tavoScribe.exe VERSION win32|win64"""
import sys

import pefile

SUPPORTED_OS = {  # Windows 7, 8, 8.1, 10 and 11
    "35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
    "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}
# The format, the processor and the address space flags of each kind.
KINDS = {
    "win32": ("PE32 for i386", pefile.OPTIONAL_HEADER_MAGIC_PE, "I386", ()),
    "win64": ("PE32+ for AMD64", pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS, "AMD64",
              ("HIGH_ENTROPY_VA",)),
}


def problems(pe, version, kind):
    name, magic, machine, flags = KINDS[kind]
    header = pe.OPTIONAL_HEADER
    if (header.Magic != magic or
            pe.FILE_HEADER.Machine != pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_" + machine]):
        yield f"not a {name}"
    if header.Subsystem != pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_CUI"]:
        yield "not a console program"
    for flag in ("DYNAMIC_BASE", "NX_COMPAT", *flags):
        if not header.DllCharacteristics & pefile.DLL_CHARACTERISTICS["IMAGE_DLLCHARACTERISTICS_" + flag]:
            yield f"{flag} is off"
    dlls = sorted(d.dll.decode().lower() for d in pe.DIRECTORY_ENTRY_IMPORT)
    if dlls != ["kernel32.dll", "msvcrt.dll"]:
        yield f"imports {dlls}"

    if not hasattr(pe, "VS_FIXEDFILEINFO") or not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        yield "no version resource"
        return
    numbers = tuple(int(n) for n in version.split(".")) + (0,)
    fixed = pe.VS_FIXEDFILEINFO[0]
    for name, ms, ls in (("FileVersion", fixed.FileVersionMS, fixed.FileVersionLS),
                         ("ProductVersion", fixed.ProductVersionMS, fixed.ProductVersionLS)):
        if (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF) != numbers:
            yield f"fixed {name} is not {numbers}"
    strings = {k.decode(): v.decode() for info in pe.FileInfo[0] if info.Key == b"StringFileInfo"
               for table in info.StringTable for k, v in table.entries.items()}
    want = {"FileVersion": version, "ProductVersion": version, "ProductName": "tavoScribe",
            "OriginalFilename": "tavoScribe.exe", "InternalName": "tavoScribe.exe"}
    for key, value in want.items():
        if strings.get(key) != value:
            yield f"{key} is {strings.get(key)!r}, not {value!r}"
    for key in ("FileDescription", "LegalCopyright"):
        if not strings.get(key):
            yield f"no {key}"

    manifests = [(e.id, r.id, r.directory.entries[0].data.struct)
                 for e in pe.DIRECTORY_ENTRY_RESOURCE.entries
                 if e.id == pefile.RESOURCE_TYPE["RT_MANIFEST"] for r in e.directory.entries]
    if [m[:2] for m in manifests] != [(24, 1)]:
        yield f"manifests {[m[:2] for m in manifests]}, not one of type 24, id 1"
        return
    data = manifests[0][2]
    text = pe.get_data(data.OffsetToData, data.Size).decode("utf-8").lower()
    if 'requestedexecutionlevel level="asinvoker"' not in text:
        yield "the manifest does not ask to run as the invoker"
    missing = [g for g in SUPPORTED_OS if "{" + g + "}" not in text]
    if missing:
        yield f"the manifest lacks the supportedOS {missing}"


def main():
    exe, version, kind = sys.argv[1:]
    found = list(problems(pefile.PE(exe), version, kind))
    for p in found:
        print(f"{exe}: {p}", file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
