"""Shell file information from Python: a directory of real files (text,
folder, link, PNG, ELF, Windows programs, DOS and 16-bit programs made
here), icons saved as pictures a standard tool reads, and GIO kept out of
the processes that do not ask for it."""

import os
import shutil
import struct
import subprocess
import sys
import unittest

import test_ferrule0101 as common  # the registry and environment of the client tests
from test_ferrule0101 import Files, ferrule0101

WINE = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"
ICON_PROPERTIES = ("Icon", "SmallIcon", "LinkOverlayIcon", "LinkOverlaySmallIcon", "OpenIcon", "OpenSmallIcon",
                   "SelectedIcon", "SelectedSmallIcon", "ShellSizeIcon")


def setUpModule():
    common.register()
    os.environ["LANGUAGE"] = "C"  # untranslated type names


def dos_header(new_header=0x80):
    header = bytearray(new_header)
    header[0:2] = b"MZ"
    struct.pack_into("<HH", header, 2, new_header % 512, 1)
    struct.pack_into("<H", header, 0x18, 0x40)
    struct.pack_into("<I", header, 0x3C, new_header)
    header[0x40:0x44] = b"\xb4\x4c\xcd\x21"  # mov ah,4Ch; int 21h
    return header


def dos_program():
    image = dos_header()
    struct.pack_into("<I", image, 0x3C, 0)
    return bytes(image)


def windows16_program(expected=0x030A):
    ne = bytearray(0x40)
    ne[0:2] = b"NE"
    struct.pack_into("<H", ne, 0x0C, 0x0302)
    ne[0x36] = 2  # Windows
    struct.pack_into("<H", ne, 0x3E, expected)
    return bytes(dos_header() + ne)


class ShellFileInfo(Files):
    def setUp(self):
        super().setUp()
        self.info = ferrule0101.CreateObject("Ferrule0101.tovShellFileInfo")

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def kind(self, name):
        self.assertTrue(self.info.ReadFile(name), name)
        exe = self.info.EXEType
        return self.info.TypeName, exe.Signature, exe.OSVersionMajor, exe.OSVersionMinor

    def test_a_directory_of_real_files(self):
        os.mkdir(self.path("folder"))
        self.write("notes.txt", b"hello\n")
        os.symlink("notes.txt", self.path("link.txt"))
        self.write("picture.png", b"\x89PNG\r\n\x1a\n")
        self.write("dos.exe", dos_program())
        self.write("win16.exe", windows16_program())
        self.assertEqual(self.kind(self.path("notes.txt")), ("plain text document", "", 0, 0))
        self.assertEqual(self.kind(self.path("folder")), ("folder", "", 0, 0))
        self.assertEqual(self.kind(self.path("link.txt")), ("plain text document", "", 0, 0))
        self.assertEqual(self.kind(self.path("picture.png")), ("PNG image", "", 0, 0))
        self.assertEqual(self.kind("/bin/sh"), ("executable", "", 0, 0))
        self.assertEqual(self.kind(self.path("dos.exe"))[1:], ("MZ", 0, 0))
        self.assertEqual(self.kind(self.path("win16.exe"))[1:], ("NE", 3, 10))
        # The shell's attribute bits: a folder, a link.
        self.info.ReadFile(self.path("folder"))
        self.assertTrue(self.info.Attributes & 0x20000000)
        self.info.ReadFile(self.path("link.txt"))
        self.assertTrue(self.info.Attributes & 0x10000)
        self.assertEqual(self.info.DisplayName, "link.txt")

    @unittest.skipUnless(os.path.exists(os.path.join(WINE, "cmd.exe")), "libwine is not installed (tools/deps.sh)")
    def test_windows_programs_from_debian(self):
        self.assertEqual(self.kind(os.path.join(WINE, "cmd.exe")), ("DOS/Windows executable", "PE", 0, 0))
        kind = self.kind(os.path.join(WINE, "notepad.exe"))
        self.assertEqual(kind[:2], ("DOS/Windows executable", "PE"))
        self.assertGreaterEqual(kind[2], 4)

    def test_icons_in_every_size_and_state_save_as_pictures_a_tool_reads(self):
        identify = shutil.which("identify")
        self.assertTrue(self.info.ReadFile(self.write("notes.txt", b"hello\n")))
        for name in ICON_PROPERTIES:
            icon = getattr(self.info, name)
            self.assertEqual(icon, getattr(self.info, name), "one object until the next ReadFile")
            self.assertEqual(icon.Icon, icon.Icon)
            self.assertEqual(icon.Icon.Type, 3)
            side = 16 if "Small" in name else 32
            for suffix in ("png", "ico"):
                target = self.path(f"{name}.{suffix}")
                ferrule0101.SavePicture(icon.Icon, target)
                self.assertGreater(os.path.getsize(target), 0)
                if identify:
                    out = subprocess.run([identify, target], check=True, capture_output=True, text=True).stdout
                    self.assertIn(f" {side}x{side} ", out)
                    self.assertIn(suffix.upper(), out)
        before = self.info.Icon
        self.assertTrue(self.info.ReadFile(self.path("notes.txt")))
        self.assertNotEqual(self.info.Icon, before)
        self.assertEqual(before.Icon.Type, 3, "an icon handed out stays usable")

    def test_a_name_that_is_not_utf8_reaches_its_file(self):
        raw = os.path.join(os.fsencode(self.dir.name), b"caf\xe9.txt")
        with open(raw, "wb") as f:
            f.write(b"hello\n")
        name = os.fsdecode(raw)
        self.assertTrue(self.info.ReadFile(name))
        self.assertEqual(self.info.FileName, name)
        self.assertEqual(self.info.TypeName, "plain text document")
        self.assertTrue(self.info.DisplayName.startswith("caf"))
        self.assertGreaterEqual(self.info.SmallIcon.Index, 0)

    def test_bad_names_fail_cleanly(self):
        self.write("notes.txt", b"x")
        os.symlink("nowhere", self.path("broken"))
        self.assertTrue(self.info.ReadFile(self.path("broken")), "a broken link is still an item")
        self.assertEqual(self.info.TypeName, "symbolic link")
        for name in (self.path("missing"), "", self.path("notes.txt") + "/inside",
                     os.fsdecode(os.path.join(os.fsencode(self.dir.name), b"\xff\xfe")), "a\0b"):
            self.assertFalse(self.info.ReadFile(name), repr(name))
            self.assertEqual((self.info.FileName, self.info.TypeName, self.info.SystemIconIndex), ("", "", 0))
            self.assertIsNone(self.info.Icon)
            self.assertIsNone(self.info.EXEType)


class DesktopLibrariesLoadOnlyWhenAsked(unittest.TestCase):
    """Another process, so nothing this one loaded counts."""

    SCRIPT = r"""
import ferrule0101, sys
def loaded():
    with open("/proc/self/maps") as f:
        maps = f.read()
    return [name for name in ("libgio-2.0", "libglib-2.0", "libgdk_pixbuf", "libtovdesktop-gio") if name in maps]
fso = ferrule0101.CreateObject("Ferrule0101.tovFSO")
fso.PutFile(sys.argv[1], "x")
fso.GetFile(sys.argv[1])
ferrule0101.CreateObject("Ferrule0101.tovDescriptIon").ReadDirectoryFile(sys.argv[2])
print(",".join(loaded()))
info = ferrule0101.CreateObject("Ferrule0101.tovShellFileInfo")
print(",".join(loaded()))
info.ReadFile(sys.argv[1])
print(",".join(loaded()))
"""

    def test_gio_is_loaded_by_the_first_shell_question_and_not_before(self):
        with common.tempfile.TemporaryDirectory(prefix="tovapps-py-gio-") as d:
            run = subprocess.run([sys.executable, "-c", self.SCRIPT, os.path.join(d, "a.txt"), d],
                                 check=True, capture_output=True, text=True, env=os.environ)
        before, created, asked = run.stdout.splitlines()
        self.assertEqual(before, "")
        self.assertEqual(created, "", "making the object asks nothing yet")
        self.assertIn("libgio-2.0", asked)
        self.assertIn("libtovdesktop-gio", asked)


if __name__ == "__main__":
    unittest.main()
