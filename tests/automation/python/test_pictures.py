"""Pictures in the Python client: loading a PNG into the standard picture
object, reading its standard properties, saving it as PNG or icon."""

import os
import stat
import struct
import tempfile
import unittest
import zlib

import ferrule0101
from ferrule0101 import ComError


def png_bytes(width, height, pixel):
    """A PNG of one RGBA colour, written by hand so the test needs nothing else."""

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rows = b"".join(b"\0" + bytes(pixel) * width for _ in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")


class Pictures(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory(prefix="tovapps-py-pictures-")

    def tearDown(self):
        self.dir.cleanup()

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def test_a_loaded_icon_has_the_standard_properties_and_saves_as_png_and_ico(self):
        picture = ferrule0101.LoadPicture(self.write("a.png", png_bytes(16, 32, (10, 20, 30, 255))))
        self.assertEqual(picture.Type, 3)
        self.assertEqual((picture.Width, picture.Height), (423, 847))
        self.assertEqual(picture.hPal, 0)
        self.assertNotEqual(picture.Handle, 0)

        ferrule0101.SavePicture(picture, self.path("copy.PNG"))
        again = ferrule0101.LoadPicture(self.path("copy.PNG"))
        self.assertEqual(again.PngBytes, picture.PngBytes)
        self.assertNotEqual(again.Handle, picture.Handle)

        ferrule0101.SavePicture(picture, self.path("copy.ico"))
        with open(self.path("copy.ico"), "rb") as f:
            ico = f.read()
        self.assertEqual(ico[:8], bytes([0, 0, 1, 0, 1, 0, 16, 32]))
        # A new file gets the permissions a plain open would have given it.
        mask = os.umask(0)
        os.umask(mask)
        self.assertEqual(stat.S_IMODE(os.stat(self.path("copy.ico")).st_mode), 0o666 & ~mask)
        self.assertEqual(sorted(os.listdir(self.dir.name)), ["a.png", "copy.PNG", "copy.ico"])

    def test_the_empty_picture_has_no_type_and_nothing_to_save(self):
        empty = ferrule0101.LoadPicture()
        self.assertEqual((empty.Type, empty.Handle, empty.Width), (0, 0, 0))
        target = self.write("kept.png", b"old")
        with self.assertRaises(ComError) as e:
            ferrule0101.SavePicture(empty, target)
        self.assertEqual(e.exception.number, 481)
        with open(target, "rb") as f:
            self.assertEqual(f.read(), b"old")
        self.assertEqual(os.listdir(self.dir.name), ["kept.png"])

    def test_what_is_not_a_png_file_is_refused_with_the_runtime_errors(self):
        with self.assertRaises(ComError) as missing:
            ferrule0101.LoadPicture(self.path("missing.png"))
        self.assertEqual(missing.exception.number, 53)
        with self.assertRaises(ComError) as text:
            ferrule0101.LoadPicture(self.write("text.png", b"plain text"))
        self.assertEqual(text.exception.number, 481)
        with self.assertRaises(ComError) as directory:
            ferrule0101.LoadPicture(self.dir.name)
        self.assertNotEqual(directory.exception.number, 0)

    def test_a_failed_replace_leaves_no_temporary_file(self):
        picture = ferrule0101.LoadPicture(self.write("a.png", png_bytes(2, 2, (0, 0, 0, 0))))
        os.mkdir(self.path("taken.png"))
        with self.assertRaises(OSError):
            ferrule0101.SavePicture(picture, self.path("taken.png"))
        self.assertEqual(sorted(os.listdir(self.dir.name)), ["a.png", "taken.png"])
        self.assertEqual(os.listdir(self.path("taken.png")), [])
        with self.assertRaises(OSError):
            ferrule0101.SavePicture(picture, self.path("missing/out.png"))


if __name__ == "__main__":
    unittest.main()
