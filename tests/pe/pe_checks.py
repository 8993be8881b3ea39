#!/usr/bin/python3
"""Checks the shipped 32- and 64-bit trical.exe files as bytes.

What is checked: the target they were built for, that they run on a bare
Windows install (system DLLs only), the entry points other programs look up
by name, the resources the program loads by name at start-up, the version
Windows shows for it (as version.h has it), its manifest, and that nothing
in it depends on when or where it was built.

pefile reads the files. Each check returns the problems it finds, and
every one is shown failing on a copy of a real executable broken in the
one way that check is there to catch.

    pe_checks.py --win32 EXE --win64 EXE --res DIR --source DIR [unittest args]
"""

import argparse
import ast
import os
import re
import sys
import tempfile
import unittest
from typing import NamedTuple

import pefile

# Names other programs look up in trical.exe with GetProcAddress; a name
# joins this list when its entry point is added.
REQUIRED_EXPORTS = ("CalDlg", "About")

# Looked up by name when the program starts and when it shows its about box.
NAMED_RESOURCES = (
    ("RT_DIALOG", "CAL"),
    ("RT_DIALOG", "ABOUTBOX"),
    ("RT_GROUP_ICON", "WCODE"),
)

SYSTEM_DLLS = {
    "kernel32", "user32", "gdi32", "msvcrt", "comctl32",
    "advapi32", "shell32", "ole32", "comdlg32", "uxtheme",
}
SYSTEM_DLL_PREFIXES = ("api-ms-win-crt-", "api-ms-win-core-")
MINGW_RUNTIME_PREFIXES = ("libgcc_s", "libstdc++", "libwinpthread")

# Version strings Explorer shows, and the version.h macro each comes from.
VERSION_STRINGS = {
    "CompanyName": "TRICAL_COMPANY_NAME",
    "FileDescription": "TRICAL_DESCRIPTION",
    "FileVersion": "TRICAL_VERSION_TEXT",
    "InternalName": "TRICAL_INTERNAL_NAME",
    "LegalCopyright": "TRICAL_COPYRIGHT",
    "OriginalFilename": "TRICAL_FILE_NAME",
    "ProductName": "TRICAL_PRODUCT_NAME",
    "ProductVersion": "TRICAL_VERSION_TEXT",
}
VS_FFI_SIGNATURE = 0xFEEF04BD
VOS_NT_WINDOWS32 = 0x00040004
VFT_APP = 1

# The program runs with its user's rights and tells Windows 7 to 11 it knows
# them. The dialogs are laid out for the classic controls, so the manifest
# asks for no visual styles; it paints at each monitor's DPI, so it asks for
# per-monitor awareness in both the Windows 8.1 and the Windows 10 form,
# each in the namespace that Windows reads it from. Compared in lower case.
MANIFEST_REQUIRED = (
    'level="asinvoker"',
    'uiaccess="false"',
    'id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"',  # Windows 7
    'id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"',  # Windows 8
    'id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"',  # Windows 8.1
    'id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"',  # Windows 10 and 11
    '<dpiaware xmlns="http://schemas.microsoft.com/smi/2005/windowssettings">'
    'true/pm</dpiaware>',
    '<dpiawareness xmlns="http://schemas.microsoft.com/smi/2016/'
    'windowssettings">permonitorv2, permonitor</dpiawareness>',
)
MANIFEST_UNWANTED = ("microsoft.windows.common-controls",)


class Want(NamedTuple):
    """What one shipped executable must be."""
    label: str
    path: str
    machine: int
    magic: int
    version: dict  # the #defines of version.h
    manifest: bytes  # res/trical.manifest
    source_dir: str


def read_version_h(path):
    """The TRICAL_* values of version.h, numbers as ints, texts as str."""
    with open(path, encoding="utf-8") as header:
        found = re.findall(r"^#define (TRICAL_\w+) (.+)$", header.read(), re.M)
    return {name: ast.literal_eval(value) for name, value in found}


def join(items):
    return ", ".join(items) or "(none)"


def directory_entry(pe, name):
    return pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY[name]]


def resources(pe, type_name):
    """The resources of one type: name (str) or number (int) -> the data
    entry of its first language."""
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in root.entries if root else ():
        if kind.id == pefile.RESOURCE_TYPE[type_name]:
            return {str(entry.name) if entry.name else entry.id:
                    entry.directory.entries[0].data.struct
                    for entry in kind.directory.entries}
    return {}


def resource_bytes(pe, entry):
    return pe.get_data(entry.OffsetToData, entry.Size)


def labels(found):
    return [f'"{key}"' if isinstance(key, str) else f"#{key}"
            for key in found]


def resource_directories(directory):
    yield directory
    for entry in directory.entries:
        if hasattr(entry, "directory"):
            yield from resource_directories(entry.directory)


# --- The checks: each returns what is wrong, an empty list when nothing ---

def check_target(pe, want):
    problems = []
    header = pe.FILE_HEADER
    if header.Machine != want.machine:
        problems.append(f"machine {header.Machine:#x}, not {want.machine:#x}")
    if pe.OPTIONAL_HEADER.Magic != want.magic:
        problems.append(f"optional header magic {pe.OPTIONAL_HEADER.Magic:#x}"
                        f", not {want.magic:#x}")
    gui = pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"]
    if pe.OPTIONAL_HEADER.Subsystem != gui:
        problems.append(f"subsystem {pe.OPTIONAL_HEADER.Subsystem}, "
                        f"not {gui} (Windows GUI)")
    if not header.IMAGE_FILE_EXECUTABLE_IMAGE:
        problems.append("not marked as an executable image")
    if header.IMAGE_FILE_DLL:
        problems.append("marked as a DLL; exports must not turn the program "
                        "into one")
    return problems


def dll_verdict(name):
    """Why a bare Windows install lacks this DLL, or None if it has it."""
    base = name.lower().removesuffix(".dll")
    if base.startswith(MINGW_RUNTIME_PREFIXES):
        return "MinGW runtime"
    if base in SYSTEM_DLLS or any(
            base.startswith(prefix) and len(base) > len(prefix)
            for prefix in SYSTEM_DLL_PREFIXES):
        return None
    return "not a Windows system DLL"


# A function of the ANSI code page: CreateWindowExA, wsprintfA. The program
# speaks UTF-16 to Windows, and text outside the code page needs it.
ANSI_FUNCTION = re.compile(rb"[a-z0-9]A$")
# Except where GCC's own 32-bit start-up code (crtbegin.o) looks for its
# runtime DLL by name, with these two, before any code of ours runs.
RUNTIME_ANSI = {"win32": (b"GetModuleHandleA", b"LoadLibraryA")}

# msvcrt's time_t is 32 bits in a 32-bit program: its clock ends in 2038.
# The date comes from Windows itself (GetLocalTime).
C_TIME_FUNCTION = re.compile(
    rb"_?(time|localtime|gmtime|mktime|ftime|tzset|ctime|asctime|strftime|wcsftime)"
    rb"(32|64)?(_s)?$")


def check_imports(pe, want):
    dlls = [entry.dll.decode() for entry in
            getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    ansi = [imp.name.decode() for entry in
            getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) for imp in entry.imports
            if imp.name and ANSI_FUNCTION.search(imp.name)
            and imp.name not in RUNTIME_ANSI.get(want.label, ())]
    clock = [imp.name.decode() for entry in
             getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) for imp in entry.imports
             if imp.name and C_TIME_FUNCTION.match(imp.name)]
    dlls += [entry.dll.decode() + " (delay-loaded)" for entry in
             getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", [])]
    # A program that imports nothing did not get read.
    if not dlls:
        return ["no imported DLLs found; every Windows program imports "
                "kernel32"]
    rejected = [f"{dll} ({dll_verdict(dll.split()[0])})" for dll in dlls
                if dll_verdict(dll.split()[0])]
    if rejected:
        return [f"imports DLLs a bare Windows install lacks: {join(rejected)}"
                f"; all imports: {join(dlls)}"]
    if ansi:
        return [f"imports ANSI functions: {join(ansi)}"]
    if clock:
        return [f"imports C-library time functions: {join(clock)}"]
    return []


def check_exports(pe, want):
    """GetProcAddress matches names exactly and by binary search, so each
    name must be there undecorated, the table sorted, the target code."""
    directory = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    symbols = [s for s in directory.symbols if s.name] if directory else []
    problems = []
    for name in REQUIRED_EXPORTS:
        symbol = next((s for s in symbols if s.name == name.encode()), None)
        if symbol is None:
            problems.append(f'"{name}" is not exported')
        elif symbol.forwarder:
            problems.append(f'"{name}" is forwarded to '
                            f'{symbol.forwarder.decode()}')
        else:
            section = pe.get_section_by_rva(symbol.address)
            if not section or not section.IMAGE_SCN_MEM_EXECUTE:
                problems.append(f'"{name}" points at {symbol.address:#x}, '
                                f"which is not code")
    for before, after in zip(symbols, symbols[1:]):
        if before.name >= after.name:
            problems.append("export names out of order at "
                            f'"{after.name.decode()}"')
    if problems:
        found = join(s.name.decode() for s in symbols)
        return [f"{problem}; exports found: {found}" for problem in problems]
    return []


def check_named_resources(pe, want):
    problems = []
    for type_name, name in NAMED_RESOURCES:
        found = resources(pe, type_name)
        if name not in found:
            problems.append(f'no {type_name} named "{name}"; found: '
                            f"{join(labels(found))}")
        elif found[name].Size == 0:
            problems.append(f'{type_name} "{name}" is empty')
    return problems


def check_version(pe, want):
    """Explorer shows these under the file's properties, and installers and
    support staff compare them: the numbers Windows compares, the strings,
    no file date (it would differ between two builds), and a translation
    that leads to the strings."""
    problems = []
    found = list(resources(pe, "RT_VERSION"))
    if found != [1]:
        problems.append(f"version resources {join(labels(found))}, not #1 "
                        "alone")
    if not hasattr(pe, "VS_FIXEDFILEINFO"):
        return problems + ["no version information"]
    fixed = pe.VS_FIXEDFILEINFO[0]
    version = (want.version["TRICAL_VERSION_MAJOR"] << 16
               | want.version["TRICAL_VERSION_MINOR"])
    for field, expected in (("Signature", VS_FFI_SIGNATURE),
                            ("FileVersionMS", version),
                            ("FileVersionLS", 0),
                            ("ProductVersionMS", version),
                            ("ProductVersionLS", 0),
                            ("FileOS", VOS_NT_WINDOWS32),
                            ("FileType", VFT_APP),
                            ("FileDateMS", 0),
                            ("FileDateLS", 0)):
        value = getattr(fixed, field)
        if value != expected:
            problems.append(f"{field} is {value:#x}, not {expected:#x}")

    info = getattr(pe, "FileInfo", [[]])[0]
    tables = [t for block in info for t in getattr(block, "StringTable", [])]
    variables = [v for block in info for v in getattr(block, "Var", [])
                 if b"Translation" in v.entry]
    # pefile keeps the last translation only, so they are counted by size.
    count = sum(v.ValueLength // 4 for v in variables)
    if count != 1 or len(tables) != 1:
        problems.append(f"{count} translations and {len(tables)} string "
                        "tables, not one of each")
    else:
        words = variables[0].entry[b"Translation"].split()
        key = "".join(word[2:] for word in words)
        if tables[0].LangID.decode().lower() != key:
            problems.append(f"the translation asks for string table {key}, "
                            f"the table is {tables[0].LangID.decode()}")
    strings = {k.decode(): v.decode()
               for t in tables for k, v in t.entries.items()}
    for name, macro in VERSION_STRINGS.items():
        expected = want.version[macro]
        if name not in strings:
            problems.append(f"{name} is missing")
        elif strings[name] != expected:
            problems.append(f'{name} is "{strings[name]}", not "{expected}"')
    return problems


def check_about_text(pe, want):
    """The about box shows the version label of version.h. A dialog keeps
    each control's text as zero-terminated UTF-16; the terminator keeps
    "Version 1.1" from matching "Version 1.10"."""
    label = want.version["TRICAL_VERSION_LABEL"]
    about = resources(pe, "RT_DIALOG").get("ABOUTBOX")
    if about is None:
        return ["no ABOUTBOX dialog to show the version in"]
    text = resource_bytes(pe, about).decode("utf-16-le", "replace")
    if label + "\0" not in text:
        return [f'the ABOUTBOX dialog has no control text "{label}"']
    return []


def check_manifest(pe, want):
    found = resources(pe, "RT_MANIFEST")
    # Windows reads only manifest 1 of an executable.
    if list(found) != [1]:
        return [f"manifests {join(labels(found))}, not #1 alone"]
    data = resource_bytes(pe, found[1])
    text = data.decode("utf-8", "replace").lower()
    problems = [f"no {item}" for item in MANIFEST_REQUIRED
                if item not in text]
    problems += [f"asks for {item}" for item in MANIFEST_UNWANTED
                 if item in text]
    if data != want.manifest:
        problems.append("manifest differs from res/trical.manifest")
    return problems


def check_no_build_times(pe, want):
    """Two builds of one commit must be the same bytes, so nothing may
    record when the program was linked."""
    problems = []
    if pe.FILE_HEADER.TimeDateStamp:
        problems.append("file header time stamp "
                        f"{pe.FILE_HEADER.TimeDateStamp:#x}")
    exports = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    if exports and exports.struct.TimeDateStamp:
        problems.append("export directory time stamp "
                        f"{exports.struct.TimeDateStamp:#x}")
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for index, directory in enumerate(
            resource_directories(root) if root else ()):
        if directory.struct.TimeDateStamp:
            problems.append(f"resource directory {index} time stamp "
                            f"{directory.struct.TimeDateStamp:#x}")
    debug = directory_entry(pe, "IMAGE_DIRECTORY_ENTRY_DEBUG")
    if debug.VirtualAddress or debug.Size:
        problems.append("a debug directory, whose records carry the link "
                        "time and the build path")
    return problems


def check_no_build_paths(pe, want):
    """Nor where its sources were, in narrow or in wide characters."""
    data = pe.write()
    for path in (os.fsencode(want.source_dir),
                 want.source_dir.encode("utf-16-le")):
        if path in data:
            return [f"holds the source path {want.source_dir}"]
    return []


CHECKS = (check_target, check_imports, check_exports, check_named_resources,
          check_version, check_about_text, check_manifest,
          check_no_build_times, check_no_build_paths)

WANTS = []  # one Want per shipped executable, filled in by main()


def setUpModule():
    # Run without the executables named, every test would pass on nothing.
    if not WANTS:
        raise RuntimeError("no executables named; run "
                           + __doc__.strip().splitlines()[-1].strip())
    for want in WANTS:
        if not os.path.isfile(want.path):
            raise FileNotFoundError(f"cannot read {want.path}; build it with "
                                    f"cmake --build build/{want.label}")


def load(path):
    with open(path, "rb") as exe:
        return pefile.PE(data=exe.read())


class ShippedExecutables(unittest.TestCase):
    def test_every_check_passes(self):
        for want in WANTS:
            pe = load(want.path)
            for check in CHECKS:
                with self.subTest(exe=want.label, check=check.__name__):
                    self.assertEqual([], check(pe, want))


# --- Each check fails on a copy broken in the way it is there to catch ----

STAMP = 0x6B16D892
ARM64 = pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_ARM64"]
CONSOLE = pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_CUI"]
DLL = pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_DLL"]


def symbol(pe, name):
    return next(s for s in pe.DIRECTORY_ENTRY_EXPORT.symbols
                if s.name == name)


def rename_import(old, new):
    def mutate(pe):
        entry = next(e for e in pe.DIRECTORY_ENTRY_IMPORT if e.dll == old)
        assert len(new) == len(old)
        pe.set_bytes_at_rva(entry.struct.Name, new)
    return mutate


def rename_function_import(old, new):
    def mutate(pe):
        found = next(imp for entry in pe.DIRECTORY_ENTRY_IMPORT
                     for imp in entry.imports if imp.name == old)
        assert len(new) == len(old)
        pe.set_bytes_at_offset(found.name_offset, new)
    return mutate


def swap_first_export_names(pe):
    directory = pe.DIRECTORY_ENTRY_EXPORT.struct
    for table, size in ((directory.AddressOfNames, 4),
                        (directory.AddressOfNameOrdinals, 2)):
        pair = bytes(pe.get_data(table, 2 * size))
        pe.set_bytes_at_rva(table, pair[size:] + pair[:size])


def section_rva(pe, name):
    return next(s.VirtualAddress for s in pe.sections
                if s.Name.rstrip(b"\0") == name)


def resource_entry(pe, type_name, key):
    kind = next(k for k in pe.DIRECTORY_ENTRY_RESOURCE.entries
                if k.id == pefile.RESOURCE_TYPE[type_name])
    return next(e for e in kind.directory.entries
                if (str(e.name) if e.name else e.id) == key)


def rename_resource(type_name, old, new):
    def mutate(pe):
        name = resource_entry(pe, type_name, old).name
        assert len(new) == len(old)
        pe.set_bytes_at_rva(name.rva_ptr + 2, new.encode("utf-16-le"))
    return mutate


def number_resource(type_name, name, number):
    def mutate(pe):
        resource_entry(pe, type_name, name).struct.Name = number
    return mutate


def replace_in_resource(type_name, key, old, new):
    def mutate(pe):
        entry = resources(pe, type_name)[key]
        at = resource_bytes(pe, entry).index(old)
        assert len(new) == len(old)
        pe.set_bytes_at_rva(entry.OffsetToData + at, new)
    return mutate


def utf16(text):
    return text.encode("utf-16-le")


def string_table(pe):
    return next(t for block in pe.FileInfo[0]
                for t in getattr(block, "StringTable", []))


# version.h and the source tree are the same for both executables, so the
# faults that need them take them from the first.

def upper_product_name(pe):
    # pefile writes a changed string back over the old one in place.
    name = WANTS[0].version["TRICAL_PRODUCT_NAME"]
    string_table(pe).entries[b"ProductName"] = name.upper().encode()


def retag_string_table(pe):
    key = string_table(pe).LangID
    other = b"0407" if key[:4] != b"0407" else b"0409"
    replace_in_resource("RT_VERSION", 1, utf16(key.decode()),
                        utf16((other + key[4:]).decode()))(pe)


def lengthen_about_label(pe):
    # "Version 1.1" becomes "Version 1.10": the old text is still there,
    # only its terminator is gone.
    label = WANTS[0].version["TRICAL_VERSION_LABEL"]
    replace_in_resource("RT_DIALOG", "ABOUTBOX", utf16(label + "\0"),
                        utf16(label + "0"))(pe)


def put_source_path(encode):
    def mutate(pe):
        pe.set_bytes_at_offset(pe.sections[0].PointerToRawData,
                               encode(WANTS[0].source_dir))
    return mutate


def set_directory(name, rva, size):
    def mutate(pe):
        entry = directory_entry(pe, name)
        entry.VirtualAddress = rva(pe)
        entry.Size = size
    return mutate


# What is broken, how, and the check that must report it with these words;
# every other check must still pass.
FAULTS = (
    ("foreign machine",
     lambda pe: setattr(pe.FILE_HEADER, "Machine", ARM64),
     check_target, f"machine {ARM64:#x}, not "),
    ("console program",
     lambda pe: setattr(pe.OPTIONAL_HEADER, "Subsystem", CONSOLE),
     check_target, f"subsystem {CONSOLE}, not "),
    ("marked as DLL",
     lambda pe: setattr(pe.FILE_HEADER, "Characteristics",
                        pe.FILE_HEADER.Characteristics | DLL),
     check_target, "marked as a DLL"),
    ("user32 swapped for a non-system DLL",
     rename_import(b"USER32.dll", b"USER33.dll"),
     check_imports, "USER33.dll (not a Windows system DLL)"),
    ("gdi32 swapped for the C++ runtime",
     rename_import(b"GDI32.dll", b"libstdc++"),
     check_imports, "libstdc++ (MinGW runtime)"),
    ("text drawn through the ANSI code page",
     rename_function_import(b"TextOutW", b"TextOutA"),
     check_imports, "imports ANSI functions: TextOutA"),
    ("the date from the C library",
     rename_function_import(b"wcscpy", b"_tzset"),
     check_imports, "imports C-library time functions: _tzset"),
    ("import table gone",
     set_directory("IMAGE_DIRECTORY_ENTRY_IMPORT", lambda pe: 0, 0),
     check_imports, "no imported DLLs found"),
    ("export renamed",
     lambda pe: setattr(symbol(pe, b"CalDlg"), "name", b"CalDlX"),
     check_exports, '"CalDlg" is not exported'),
    ("export names unsorted", swap_first_export_names,
     check_exports, 'out of order at "About"'),
    ("export aimed at data",
     lambda pe: setattr(symbol(pe, b"About"), "address",
                        section_rva(pe, b".rdata")),
     check_exports, '"About" points at'),
    ("export forwarded",
     lambda pe: setattr(symbol(pe, b"CalDlg"), "address",
                        pe.DIRECTORY_ENTRY_EXPORT.struct.Name),
     check_exports, '"CalDlg" is forwarded'),
    ("dialog renamed", rename_resource("RT_DIALOG", "CAL", "CAX"),
     check_named_resources, 'no RT_DIALOG named "CAL"; found: '),
    ("icon numbered, not named",
     number_resource("RT_GROUP_ICON", "WCODE", 100),
     check_named_resources, 'no RT_GROUP_ICON named "WCODE"; found: #100'),
    ("dialog empty",
     lambda pe: setattr(resources(pe, "RT_DIALOG")["CAL"], "Size", 0),
     check_named_resources, 'RT_DIALOG "CAL" is empty'),
    ("version number",
     lambda pe: setattr(pe.VS_FIXEDFILEINFO[0], "FileVersionMS", 0x7FFF0000),
     check_version, "FileVersionMS is 0x7fff0000, not "),
    ("file date", lambda pe: setattr(pe.VS_FIXEDFILEINFO[0], "FileDateLS",
                                     STAMP),
     check_version, "FileDateLS is 0x6b16d892"),
    ("version string", upper_product_name,
     check_version, 'ProductName is "TRICAL", not "Trical"'),
    ("string table of another language", retag_string_table,
     check_version, "the translation asks for string table"),
    ("about box shows a longer version", lengthen_about_label,
     check_about_text, "the ABOUTBOX dialog has no control text"),
    ("manifest asks for UI access",
     replace_in_resource("RT_MANIFEST", 1, b'uiAccess="false"',
                         b'uiAccess="true" '),
     check_manifest, 'no uiaccess="false"'),
    ("manifest drops Windows 8.1",
     replace_in_resource("RT_MANIFEST", 1, b"1f676c76", b"1f676c77"),
     check_manifest, "no id=\"{1f676c76"),
    ("manifest system DPI",
     replace_in_resource("RT_MANIFEST", 1, b"PerMonitorV2, PerMonitor",
                         b"System                  "),
     check_manifest, "no <dpiawareness"),
    ("manifest asks for visual styles",
     replace_in_resource("RT_MANIFEST", 1, b'"urn:schemas-microsoft-com:asm.v3"',
                         b'"microsoft.windows.common-controls'),
     check_manifest, "asks for microsoft.windows.common-controls"),
    ("manifest not the one in res/",
     replace_in_resource("RT_MANIFEST", 1, b"asInvoker", b"asinvoker"),
     check_manifest, "manifest differs from res/trical.manifest"),
    ("manifest renumbered", number_resource("RT_MANIFEST", 1, 2),
     check_manifest, "manifests #2, not #1 alone"),
    ("link time in the file header",
     lambda pe: setattr(pe.FILE_HEADER, "TimeDateStamp", STAMP),
     check_no_build_times, "file header time stamp 0x6b16d892"),
    ("link time in the export directory",
     lambda pe: setattr(pe.DIRECTORY_ENTRY_EXPORT.struct, "TimeDateStamp",
                        STAMP),
     check_no_build_times, "export directory time stamp 0x6b16d892"),
    ("link time in a language directory",
     lambda pe: setattr(pe.DIRECTORY_ENTRY_RESOURCE.entries[-1].directory
                        .entries[-1].directory.struct, "TimeDateStamp",
                        STAMP),
     check_no_build_times, "time stamp 0x6b16d892"),
    ("debug directory",
     set_directory("IMAGE_DIRECTORY_ENTRY_DEBUG",
                   lambda pe: section_rva(pe, b".rdata"), 28),
     check_no_build_times, "a debug directory"),
    ("source path", put_source_path(os.fsencode),
     check_no_build_paths, "holds the source path"),
    ("source path in wide characters",
     put_source_path(lambda path: path.encode("utf-16-le")),
     check_no_build_paths, "holds the source path"),
)


class BrokenCopies(unittest.TestCase):
    def test_each_fault_fails_its_check_only(self):
        with tempfile.TemporaryDirectory() as temp:
            for want in WANTS:
                for fault, mutate, failing, reported in FAULTS:
                    with self.subTest(exe=want.label, fault=fault):
                        pe = load(want.path)
                        mutate(pe)
                        path = os.path.join(temp, "trical.exe")
                        pe.write(path)
                        broken = load(path)
                        for check in CHECKS:
                            problems = check(broken, want)
                            if check is not failing:
                                self.assertEqual([], problems, check.__name__)
                            else:
                                self.assertTrue(
                                    any(reported in p for p in problems),
                                    f"{check.__name__} reports {problems}, "
                                    f"not {reported!r}")
                                print(f"{want.label}, {fault}: "
                                      f"{check.__name__}: {problems}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--win32", required=True, help="32-bit trical.exe")
    parser.add_argument("--win64", required=True, help="64-bit trical.exe")
    parser.add_argument("--res", required=True,
                        help="res/ with version.h and trical.manifest")
    parser.add_argument("--source", required=True,
                        help="the source tree, which no executable may name")
    args, rest = parser.parse_known_args()
    version = read_version_h(os.path.join(args.res, "version.h"))
    with open(os.path.join(args.res, "trical.manifest"), "rb") as source:
        manifest = source.read()
    machine = pefile.MACHINE_TYPE
    for label, path, arch, magic in (
            ("win32", args.win32, "IMAGE_FILE_MACHINE_I386",
             pefile.OPTIONAL_HEADER_MAGIC_PE),
            ("win64", args.win64, "IMAGE_FILE_MACHINE_AMD64",
             pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS)):
        WANTS.append(Want(label, path, machine[arch], magic, version,
                          manifest, os.path.abspath(args.source)))
    unittest.main(argv=[sys.argv[0]] + rest)


if __name__ == "__main__":
    main()
