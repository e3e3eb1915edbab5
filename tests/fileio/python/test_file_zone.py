"""Zone marks through the Python client: a mark another program left in
the stream's extended attribute is read, and one set here reads back as
that attribute."""

import os
import tempfile
import unittest

import client_env  # first: sets the environment and registers the library

import ferrule0101  # noqa: E402

ATTRIBUTE = "user.DosStream.Zone.Identifier:$DATA"


class ZoneMarks(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory(prefix="tovapps-pyzone-files-")
        self.path = os.path.join(self.dir.name, "setup.exe")
        with open(self.path, "wb") as f:
            f.write(b"program")
        try:
            os.setxattr(self.path, "user.probe", b"1")
        except OSError:
            self.skipTest("no user extended attributes here")
        self.fso = ferrule0101.CreateObject("Ferrule0101.tovFSO")
        probe = os.path.join(self.dir.name, "probe")
        open(probe, "wb").close()
        self.fso.SetFileZone(probe, 1)
        if ATTRIBUTE not in os.listxattr(probe):
            self.skipTest('this file layer does not resolve "file:stream" names')

    def tearDown(self):
        self.dir.cleanup()

    def test_a_mark_left_by_another_program_reads_and_one_set_here_is_the_attribute(self):
        os.setxattr(self.path, ATTRIBUTE, b"[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://example.org/\r\n\0")
        self.assertEqual(self.fso.GetFileZone(self.path), 3)
        self.assertIs(self.fso.IsFileZoneDefined(self.path), True)
        self.assertIs(self.fso.SetFileZone(self.path, 4), True)
        self.assertEqual(os.getxattr(self.path, ATTRIBUTE),
                         b"[ZoneTransfer]\r\nZoneId=4\r\nHostUrl=https://example.org/\r\n\0")
        self.assertIs(self.fso.DeleteFileZone(self.path), True)
        self.assertEqual(self.fso.GetFileZone(self.path), 0)
        self.assertIs(self.fso.DeleteFileZone(self.path), False)

