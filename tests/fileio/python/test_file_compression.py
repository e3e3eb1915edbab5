"""Compression through the Python client: the error code comes back in the
by-reference argument, and leaving it out is allowed."""

import os
import unittest

import client_env  # first: sets the environment and registers the library

import ferrule0101  # noqa: E402
from ferrule0101 import ByRef  # noqa: E402


class Compression(unittest.TestCase):
    def test_error_codes_by_reference(self):
        fso = ferrule0101.CreateObject("Ferrule0101.tovFSO")
        missing = os.path.join(client_env.HOME, "missing.txt")
        code = ByRef(12345)
        self.assertEqual(fso.GetFileCompression(missing, code), -1)
        self.assertEqual(code.value, 2)
        self.assertEqual(fso.GetFileCompression(missing), -1)
        code = ByRef(0)
        self.assertIs(fso.SetFileCompression(missing, 65537, code), False)
        self.assertEqual(code.value, 87)
        self.assertIs(fso.SetFileCompression(missing, 1, code), False)
        self.assertEqual(code.value, 2)

