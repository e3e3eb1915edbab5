"""A tree searched through the Python client: levels through Childs, Item,
Count and for ... in, a Python object as the callback that may cancel, and
names Python cannot decode as UTF-8."""

import datetime
import os
import tempfile
import unittest

import client_env  # first: sets the environment and registers the library

import ferrule0101  # noqa: E402
from ferrule0101 import ComError  # noqa: E402

DIRECTORY = 0x10
REPARSE_POINT = 0x400


class Recorder:
    """Notes every completed level; cancels at the one named `stop_at`."""

    def __init__(self, stop_at=None):
        self.stop_at = stop_at
        self.seen = []

    def DirectoryCompleted(self, path, cancel):
        self.seen.append((path, cancel.value))
        if path == self.stop_at:
            cancel.value = True


def walk(level):
    """Every entry below a level, as relative paths with sizes, the way a
    script walks the tree."""
    found = {}
    pending = [("", level)]
    while pending:
        prefix, level = pending.pop()
        for entry in level:
            name = prefix + entry.FileName
            found[name] = entry.FileSize
            if entry.FileAttributes & DIRECTORY:
                pending.append((name + "/", entry.Childs))
    return found


class FoundFiles(unittest.TestCase):
    def setUp(self):
        self._dir = tempfile.TemporaryDirectory(prefix="tovapps-pyfound-")
        self.root = self._dir.name
        self.write("a.txt", b"aaa")
        self.write("B.LOG", b"bbbbb")
        self.write("sub/c.txt", b"c" * 11)
        self.write("sub/deeper/d.txt", b"d" * 13)
        self.write("empty/.keep", b"")
        self.files = ferrule0101.CreateObject("Ferrule0101.tovFoundedFiles")

    def tearDown(self):
        self._dir.cleanup()

    def write(self, relative, data):
        path = os.path.join(self.root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)

    def test_walks_the_whole_tree_with_a_python_callback_bottom_up(self):
        recorder = Recorder()
        self.assertIs(self.files.RefreshEx(self.root, "*", False, recorder), True)
        self.assertEqual(walk(self.files), {
            "a.txt": 3, "B.LOG": 5, "empty": 0, "empty/.keep": 0, "sub": 24, "sub/c.txt": 11,
            "sub/deeper": 13, "sub/deeper/d.txt": 13})
        sub = os.path.join(self.root, "sub")
        self.assertEqual(recorder.seen, [
            (os.path.join(self.root, "empty"), False), (os.path.join(sub, "deeper"), False), (sub, False),
            (self.root, False)])
        # Item, the default member, Count and iteration agree, in one order.
        names = [entry.FileName for entry in self.files]
        self.assertEqual(names, ["a.txt", "B.LOG", "empty", "sub"])
        self.assertEqual([self.files.Item(i).FileName for i in range(self.files.Count)], names)
        self.assertEqual(self.files(3).FileName, "sub")
        self.assertEqual(self.files.Size, 3 + 5 + 0 + 24)
        self.assertEqual(self.files.Path, self.root)
        self.assertIs(self.files.HasSubItems, True)
        with self.assertRaises(ComError) as e:
            self.files.Item(self.files.Count)
        self.assertEqual(e.exception.number, 9)

    def test_entries_answer_as_a_script_expects(self):
        os.utime(os.path.join(self.root, "a.txt"), (0, 86400 * 366 + 3600))
        os.chmod(os.path.join(self.root, "B.LOG"), 0o444)
        self.assertIs(self.files.RefreshEx(self.root, "*"), True)
        a, b = self.files[0], self.files[1]
        self.assertEqual((a.FileName, a.Path, a.AlternateFileName), ("a.txt", self.root, ""))
        self.assertEqual(a.LastWriteTime, datetime.datetime.fromtimestamp(86400 * 366 + 3600))
        self.assertIsInstance(a.CreationTime, datetime.datetime)
        self.assertIs(b.AttributeReadOnly, True)
        self.assertIs(a.AttributeReadOnly, False)
        self.assertIs(self.files[3].AttributeDirectory, True)
        self.assertEqual(a.CompressedFileSize, 3.0)
        # The levels stay as found when the top is refreshed elsewhere.
        sub = self.files[3].Childs
        self.assertIs(self.files.RefreshEx(os.path.join(self.root, "none"), "*"), False)
        self.assertEqual((self.files.Count, self.files.HasSubItems), (0, False))
        self.assertEqual([e.FileName for e in sub], ["c.txt", "deeper"])

    def test_a_python_callback_that_cancels_empties_every_level_above(self):
        stop = os.path.join(self.root, "sub", "deeper")
        recorder = Recorder(stop_at=stop)
        self.assertIs(self.files.RefreshEx(self.root, "*", False, recorder), False)
        self.assertEqual((self.files.Count, self.files.HasSubItems), (0, False))
        self.assertEqual(recorder.seen[-1], (stop, False))
        # The starting level cancelled keeps what it found.
        recorder = Recorder(stop_at=self.root)
        self.assertIs(self.files.RefreshEx(self.root, "*", False, recorder), True)
        self.assertEqual(self.files.Count, 4)

    def test_an_error_in_the_python_callback_reaches_the_caller(self):
        class Failing:
            def DirectoryCompleted(self, path, cancel):
                raise ValueError("no more")

        with self.assertRaises(ComError) as e:
            self.files.RefreshEx(self.root, "*", False, Failing())
        self.assertEqual((e.exception.number, e.exception.description), (440, "ValueError: no more"))
        self.assertEqual((self.files.Count, self.files.HasSubItems), (0, False))
        # A callback without the method is refused the same way, not a crash.
        with self.assertRaises(ComError) as e:
            self.files.RefreshEx(self.root, "*", False, object())
        self.assertEqual(e.exception.number, 438)
        self.assertIs(self.files.RefreshEx(self.root, "*", False, None), True)

    def test_links_are_listed_and_followed_only_when_asked(self):
        os.symlink(self.root, os.path.join(self.root, "sub", "loop"))
        self.assertIs(self.files.RefreshEx(self.root, "*"), True)
        loop = self.files[3].Childs[2]  # c.txt, deeper, loop
        self.assertEqual(loop.FileName, "loop")
        self.assertEqual(loop.FileAttributes & (DIRECTORY | REPARSE_POINT), DIRECTORY | REPARSE_POINT)
        self.assertEqual(loop.Childs.Count, 0)
        # Followed, the link leads back to the start, which is not entered
        # a second time.
        self.assertIs(self.files.Refresh(self.root, "*"), True)
        self.assertEqual(self.files[3].Childs[2].Childs.Count, 0)

    def test_names_that_are_not_utf8_come_back_as_python_decodes_them_and_lead_to_their_files(self):
        raw_dir = os.path.join(os.fsencode(self.root), b"caf\xe9")
        os.mkdir(raw_dir)
        with open(os.path.join(raw_dir, b"line\nbreak-\xff"), "wb") as f:
            f.write(b"1234")
        self.assertIs(self.files.RefreshEx(self.root, "caf*"), True)
        self.assertEqual([e.FileName for e in self.files], [os.fsdecode(b"caf\xe9")])
        self.assertIs(self.files.RefreshEx(self.root, "*"), True)
        odd = [e for e in self.files if e.FileName == os.fsdecode(b"caf\xe9")][0]
        inside = odd.Childs
        self.assertEqual([e.FileName for e in inside], [os.fsdecode(b"line\nbreak-\xff")])
        self.assertEqual(odd.FileSize, 4)
        # The name found opens the file it names.
        fso = ferrule0101.CreateObject("Ferrule0101.tovFSO")
        self.assertEqual(fso.GetFileB(os.path.join(inside[0].Path, inside[0].FileName)), b"1234")


if __name__ == "__main__":
    unittest.main()
