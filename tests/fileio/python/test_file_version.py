"""tovFileVersion through the Python client, on the Windows images Debian
ships, checked field by field and string by string against an independent
reader, pefile."""

import glob
import os
import struct
import sys
import unittest

import client_env  # first: sets the environment and registers the library
import ferrule0101  # noqa: E402

try:
    import pefile
except ImportError:
    # Debian's python3-pefile installs for the system interpreter.
    sys.path.append("/usr/lib/python3/dist-packages")
    try:
        import pefile
    except ImportError:
        pefile = None

IMAGE_GLOBS = [
    "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/*.dll",
    "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/*.exe",
    "/usr/lib/x86_64-linux-gnu/wine/i386-windows/*.dll",
    "/usr/i686-w64-mingw32/lib/*.dll",
    "/usr/x86_64-w64-mingw32/lib/*.dll",
    "/usr/lib/gcc/i686-w64-mingw32/*/*.dll",
    "/usr/lib/gcc/x86_64-w64-mingw32/*/*.dll",
]
STRING_PROPERTIES = {
    "StrComments": "Comments", "StrCompanyName": "CompanyName", "StrFileDescription": "FileDescription",
    "StrFileVersion": "FileVersion", "StrInternalName": "InternalName", "StrLegalCopyright": "LegalCopyright",
    "StrLegalTrademarks": "LegalTrademarks", "StrOLESelfRegister": "OLESelfRegister",
    "StrOriginalFilename": "OriginalFilename", "StrPrivateBuild": "PrivateBuild", "StrProductName": "ProductName",
    "StrProductVersion": "ProductVersion", "StrSpecialBuild": "SpecialBuild",
}
US_ENGLISH = 0x0409
ANSI_PAGE = 1252


def images():
    found = []
    for pattern in IMAGE_GLOBS:
        found.extend(sorted(glob.glob(pattern)))
    return found


def signed(v):
    return v - (1 << 32) if v >= 1 << 31 else v


def version_copy(pe):
    """The data entry of the version resource (type 16, name 1) in the copy
    a US English system takes: neutral, US English, English, else the first."""
    for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries if hasattr(pe, "DIRECTORY_ENTRY_RESOURCE") else []:
        if rtype.id != 16:
            continue
        for name in rtype.directory.entries:
            if name.id != 1:
                continue
            copies = [c for c in name.directory.entries if hasattr(c, "data")]
            for wanted in (0x0000, 0x0409, 0x0009):
                for c in copies:
                    if c.id == wanted:
                        return c.data.struct
            return copies[0].data.struct if copies else None
    return None


def translations(pe, data_entry):
    """The translation table's entries, read at the value pefile's own walk
    leads to."""
    raw = pe.get_data(data_entry.OffsetToData, data_entry.Size)
    entries = []
    for info in pe.FileInfo[0]:
        for var in getattr(info, "Var", []):
            start = var.get_file_offset() - pe.get_offset_from_rva(data_entry.OffsetToData)
            key_end = start + var.sizeof() + 2 * (len("Translation") + 1)
            value = (key_end + 3) & ~3
            table = raw[value:value + var.ValueLength]
            entries += [struct.unpack_from("<HH", table, i) for i in range(0, len(table) - 3, 4)]
    return entries


def expected_key(table):
    if not table:
        return "040904B0"
    passes = [
        lambda l, p: l == US_ENGLISH and p == ANSI_PAGE,
        lambda l, p: l == US_ENGLISH and p == 1200,
        lambda l, p: l == US_ENGLISH,
    ] * 2 + [lambda l, p: l == US_ENGLISH]
    for match in passes:
        for language, page in table:
            if match(language, page):
                return "%04X%04X" % (language, page)
    return "%04X%04X" % table[0]


@unittest.skipIf(pefile is None, "pefile is not installed (tools/deps.sh installs python3-pefile)")
class AgainstPefile(unittest.TestCase):
    def test_fixed_fields_and_every_string_of_real_images(self):
        candidates = images()
        if len(candidates) < 20:
            self.skipTest("fewer than 20 Windows images installed (tools/deps.sh installs libwine and mingw-w64)")
        # Every PE32 image, a spread of 40 PE32+ images with version data and
        # 10 without.
        pe32, versioned, plain = [], [], []
        for path in candidates:
            pe = pefile.PE(path, fast_load=True)
            if pe.OPTIONAL_HEADER.Magic == 0x10B:
                pe32.append(path)
            else:
                pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
                (versioned if version_copy(pe) is not None else plain).append(path)
            pe.close()
        chosen = pe32 + versioned[:: max(1, len(versioned) // 40)] + plain[:: max(1, len(plain) // 10)]
        v = ferrule0101.CreateObject("Ferrule0101.tovFileVersion")
        checked = with_version = checked_pe32 = strings = 0
        for path in chosen:
            with self.subTest(path=path):
                pe = pefile.PE(path, fast_load=True)
                pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
                entry = version_copy(pe)
                loaded = v.ReadFile(path)
                checked += 1
                if entry is None:
                    self.assertIs(loaded, False)
                    self.assertEqual(v.FileName, "")
                    continue
                for name in ("VS_VERSIONINFO", "VS_FIXEDFILEINFO", "FileInfo"):
                    if hasattr(pe, name):
                        delattr(pe, name)
                pe.parse_version_information(entry)
                self.assertIs(loaded, True)
                with_version += 1
                checked_pe32 += path in pe32
                self.assertEqual(v.FileName, path)
                f = pe.VS_FIXEDFILEINFO[0]
                self.assertEqual(v.Signature, signed(f.Signature))
                self.assertEqual(v.StrucVersion, signed(f.StrucVersion))
                self.assertEqual((v.FileVerMajor, v.FileVerMinor, v.FileVerRevisionMajor, v.FileVerRevisionMinor),
                                 (f.FileVersionMS >> 16, f.FileVersionMS & 0xFFFF,
                                  f.FileVersionLS >> 16, f.FileVersionLS & 0xFFFF))
                self.assertEqual((v.ProductVerMajor, v.ProductVerMinor, v.ProductVerRevisionMajor,
                                  v.ProductVerRevisionMinor),
                                 (f.ProductVersionMS >> 16, f.ProductVersionMS & 0xFFFF,
                                  f.ProductVersionLS >> 16, f.ProductVersionLS & 0xFFFF))
                self.assertEqual(v.FileOS, signed(f.FileOS))
                self.assertEqual(v.FileType, signed(f.FileType))
                self.assertEqual(v.FileSubType, signed(f.FileSubtype))
                self.assertEqual(v.FileDateMS, signed(f.FileDateMS))
                self.assertEqual(v.FileDateLS, signed(f.FileDateLS))
                for bit, prop in ((1, "Debug"), (2, "PreRelease"), (4, "Patched"), (8, "PrivateBuild"),
                                  (0x10, "InfoInferred"), (0x20, "SpecialBuild")):
                    self.assertIs(getattr(v, "FileFlag" + prop), bool(f.FileFlags & bit), prop)
                    self.assertIs(getattr(v, "FileFlagMask" + prop), bool(f.FileFlagsMask & bit), prop)

                key = expected_key(translations(pe, entry))
                self.assertEqual(v.LanguageName, v.GetLanguageName(int(key[:4], 16)))
                table = {}
                for info in pe.FileInfo[0]:
                    for st in getattr(info, "StringTable", []):
                        if st.LangID.decode().upper() == key and not table:
                            table = {k.decode(): val.decode() for k, val in st.entries.items()}
                for prop, name in STRING_PROPERTIES.items():
                    self.assertEqual(getattr(v, prop), table.get(name, ""), prop)
                for name, value in table.items():
                    self.assertEqual(v.GetVersionInfoString(name), value, name)
                    strings += 1
                pe.close()
        self.assertGreaterEqual(with_version, 20)
        self.assertGreaterEqual(checked_pe32, 1)
        self.assertGreater(strings, 100)
        print(f"\n{checked} images, {with_version} with version data ({checked_pe32} PE32), {strings} strings",
              file=sys.stderr)

    def test_a_version_block_through_the_client(self):
        path = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/kernel32.dll"
        if not os.path.exists(path):
            self.skipTest("libwine is not installed")
        v = ferrule0101.CreateObject("Ferrule0101.tovFileVersion")
        self.assertIs(v.ReadFile(path), True)
        block = v.GetBuffer()
        self.assertIsInstance(block, bytes)
        self.assertEqual(block[6:36].decode("utf-16-le"), "VS_VERSION_INFO")
        self.assertEqual(struct.unpack_from("<H", block, 0)[0], len(block))
        self.assertEqual(v.Signature, signed(0xFEEF04BD))
        self.assertEqual(v.StrOriginalFilename, "kernel32.dll")
        self.assertEqual(v.LanguageName, "English (United States)")
        self.assertIs(v.ReadFile(os.path.join(client_env.HOME, "missing.dll")), False)
        self.assertEqual(v.GetBuffer(), b"")
        self.assertEqual(v.StrOriginalFilename, "")

