"""Listing a file's streams through the Python client: alternate streams,
extended attributes and an ACL set by the usual tools, each listed with its
kind, name and size; the example script prints the same."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import client_env  # first: sets the environment and registers the library

import ferrule0101  # noqa: E402

EXAMPLE = os.path.join(os.path.dirname(__file__), "..", "..", "..", "examples", "list_streams.py")


def stream(name):
    return "user.DosStream." + name + ":$DATA"


class FileStreams(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory(prefix="tovapps-pystreams-")
        self.path = os.path.join(self.dir.name, "report.txt")
        with open(self.path, "wb") as f:
            f.write(b"x" * 1234)
        try:
            os.setxattr(self.path, stream("Zone.Identifier"), b"[ZoneTransfer]\r\nZoneId=3\r\n\0")
        except OSError:
            self.skipTest("no user extended attributes here")
        os.setxattr(self.path, stream("Заметка"), "по-русски".encode() + b"\0")
        os.setxattr(self.path, stream("thumbnail"), bytes(range(256)) * 4 + b"\0")
        os.setxattr(self.path, "user.DOSATTRIB", b"0x20")
        os.setxattr(self.path, "user.xdg.origin.url", b"https://example.org/report.txt")
        self.streams = ferrule0101.CreateObject("Ferrule0101.tovFileStreams")

    def tearDown(self):
        self.dir.cleanup()

    def listing(self):
        return [(s.StreamID, s.Name, s.ShortName, s.Size) for s in self.streams]

    def test_streams_attributes_and_acl_are_listed_in_order(self):
        if shutil.which("setfacl"):
            subprocess.run(["setfacl", "-m", "u:4321:rw", self.path], check=True)
        self.assertIs(self.streams.ReadFileStreams(self.path, ProcessSecurity=True), True)
        listing = self.listing()
        self.assertEqual([(kind, name, short) for kind, name, short, _ in listing], [
            (1, "::$DATA", ""),
            (2, "", ""),
            (3, "", ""),
            (4, ":thumbnail:$DATA", "thumbnail"),
            (4, ":Zone.Identifier:$DATA", "Zone.Identifier"),
            (4, ":Заметка:$DATA", "Заметка"),
        ])
        sizes = [size for *_, size in listing]
        self.assertEqual(sizes[0], 1234.0)
        # The one EA in the Windows EA list form: 8 fixed bytes, the name and its NUL, the value.
        self.assertEqual(sizes[1], 8 + len("xdg.origin.url") + 1 + len("https://example.org/report.txt"))
        self.assertEqual(sizes[3:], [1024.0, 26.0, float(len("по-русски".encode()))])
        security = self.streams[2]
        self.assertIs(security.StreamIDSecurityData, True)
        self.assertIs(security.AttributeContainsSecurity, True)
        self.assertIs(self.streams.Item(0).StreamIDData, True)
        self.assertEqual(self.streams.Count, 6)

    def test_without_process_security_there_is_no_security_stream(self):
        self.assertIs(self.streams.ReadFileStreams(self.path), True)
        self.assertEqual([kind for kind, *_ in self.listing()], [1, 2, 4, 4, 4])

    def test_a_failed_read_leaves_an_empty_list_that_still_answers(self):
        self.assertTrue(self.streams.ReadFileStreams(self.path))
        kept = self.streams[2]
        self.assertIs(self.streams.ReadFileStreams(os.path.join(self.dir.name, "missing")), False)
        self.assertEqual(self.streams.Count, 0)
        self.assertEqual(list(self.streams), [])
        with self.assertRaises(ferrule0101.ComError) as e:
            self.streams[0]
        self.assertEqual(e.exception.number, 9)
        self.assertEqual(kept.ShortName, "thumbnail")

    def test_names_that_are_not_utf8_come_back_as_python_names_them(self):
        raw = os.path.join(self.dir.name, "").encode() + b"caf\xe9.txt"
        with open(raw, "wb") as f:
            f.write(b"abc")
        os.setxattr(raw, b"user.DosStream.bad\xff:$DATA", b"v\0")
        if ferrule0101.CreateObject("Ferrule0101.tovFSO").GetFileB(os.fsdecode(raw)) != b"abc":
            self.skipTest("this file layer does not carry names that are not UTF-8")
        self.assertIs(self.streams.ReadFileStreams(os.fsdecode(raw)), True)
        names = [s.Name for s in self.streams]
        self.assertEqual(names[0], "::$DATA")
        self.assertEqual(names[1].encode("utf-8", "surrogateescape"), b":bad\xff:$DATA")

    def test_the_example_script_prints_any_stream_name_on_one_line(self):
        os.setxattr(self.path, b"user.DosStream.bad\xff:$DATA", b"v\0")
        os.setxattr(self.path, stream("two\nlines"), b"vv\0")
        done = subprocess.run([sys.executable, EXAMPLE, "--", self.path], capture_output=True,
                              env=dict(os.environ, PYTHONIOENCODING="utf-8"))
        self.assertEqual(done.returncode, 0, done.stderr)
        lines = done.stdout.decode().splitlines()
        self.assertIn("alternate           1  :bad\\xff:$DATA", lines)
        self.assertIn("alternate           2  :two\\x0alines:$DATA", lines)
        self.assertEqual(len(lines), 7)

    def test_the_example_script_lists_the_streams(self):
        done = subprocess.run([sys.executable, EXAMPLE, self.path], capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        lines = done.stdout.splitlines()
        self.assertIn("data             1234  ::$DATA", lines)
        self.assertIn("alternate          26  :Zone.Identifier:$DATA", lines)
        done = subprocess.run([sys.executable, EXAMPLE, os.path.join(self.dir.name, "none")],
                              capture_output=True, text=True)
        self.assertEqual(done.returncode, 1)
        self.assertIn("none", done.stderr)


if __name__ == "__main__":
    unittest.main()
