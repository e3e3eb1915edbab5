"""Description lists and list files driven from Python and tovcall on a real
directory, through the registered libFerrule0101.so."""

import os
import subprocess
import unittest

import test_ferrule0101 as common  # the registry and environment of the client tests
from test_ferrule0101 import ComError, Files, ferrule0101, tovcall

# "Программа" in code page 866.
PROGRAM_866 = bytes([0x8F, 0xE0, 0xAE, 0xA3, 0xE0, 0xA0, 0xAC, 0xAC, 0xA0])


def setUpModule():
    common.register()


class CodePages(Files):
    def setUp(self):
        super().setUp()
        self.saved = {k: os.environ.get(k) for k in ("TOVAPPS_ACP", "TOVAPPS_OEMCP")}
        os.environ["TOVAPPS_ACP"], os.environ["TOVAPPS_OEMCP"] = "1251", "866"

    def tearDown(self):
        for key, value in self.saved.items():
            if value is None:
                os.environ.pop(key, None)
            else:
                os.environ[key] = value
        super().tearDown()


class DescriptionList(CodePages):
    def test_an_edited_list_is_written_where_it_was_read(self):
        d = ferrule0101.CreateObject("Ferrule0101.tovDescriptIon")
        self.assertTrue(d.ReadDirectoryFile(self.dir.name))
        self.assertEqual((d.ItemCount, d.FileName), (0, self.path("Descript.ion")))
        d.AddItem("one.txt", "first")
        d.AddItem("two words.txt", "second")
        d.AddItem("ONE.txt", "moved to the end")
        self.assertEqual(d.ItemCount, 2)
        self.assertEqual((d.ItemFileName(1), d.ItemDescription(1)), ("ONE.txt", "moved to the end"))
        self.assertEqual(d.ItemFileName(2), "")
        self.assertIs(d.WriteDirectoryFile(), True)
        self.assertEqual(self.read("Descript.ion"), b'"two words.txt" second\r\nONE.txt moved to the end\r\n')
        self.assertEqual(os.getxattr(self.path("Descript.ion"), "user.DOSATTRIB"), b"0x2")

        again = ferrule0101.CreateObject("Ferrule0101.tovDescriptIon")
        self.assertTrue(again.ReadFile(self.path("Descript.ion")))
        self.assertEqual(again.ItemDescriptionByFileName("TWO WORDS.TXT"), "second")
        self.assertIs(again.RemoveItem(again.ItemCount), False)
        self.assertIs(again.RemoveItemByFileName("one.txt"), True)
        again.RemoveItem(0)
        self.assertIs(again.WriteFile(), True)
        self.assertFalse(os.path.exists(self.path("Descript.ion")))
        again.Clear()
        self.assertEqual((again.FileName, again.WriteFile()), ("", False))

    def test_fso_members_keep_cyrillic_descriptions_in_oem(self):
        fso = self.fso
        self.assertIs(fso.SetFileDescription(self.path("программа.exe"), "Программа"), True)
        self.assertEqual(self.read("Descript.ion"), b"\xAF\xE0\xAE\xA3\xE0\xA0\xAC\xAC\xA0.exe " + PROGRAM_866 + b"\r\n")
        self.assertEqual(fso.GetFileDescription(self.path("ПРОГРАММА.EXE")), "Программа")
        self.assertIs(fso.SetFileDescription(self.path("日本.txt"), "x"), False)
        self.assertIs(fso.SetFileDescription(self.path("a.txt"), "line\r\nforged.txt entry"), True)
        self.assertEqual(fso.GetFileDescription(self.path("forged.txt")), "")
        self.assertIs(fso.DeleteFileDescription(self.path("программа.exe")), True)
        self.assertEqual(self.read("Descript.ion"), b"a.txt line forged.txt entry\r\n")

    def test_tovcall_sets_and_gets_a_description(self):
        name = self.path("b c.txt")
        done = tovcall("Ferrule0101.tovFSO", "SetFileDescription", name, "seen from the shell")
        self.assertEqual((done.returncode, done.stdout), (0, "True\n"), done.stderr)
        self.assertEqual(tovcall("Ferrule0101.tovFSO", "GetFileDescription", name).stdout, "seen from the shell\n")
        self.assertEqual(self.read("Descript.ion"), b'"b c.txt" seen from the shell\r\n')
        done = tovcall("Ferrule0101.tovDescriptIon", "ReadDirectoryFile", self.dir.name)
        self.assertEqual(done.stdout, "True\n")


class ListFile(CodePages):
    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def test_items_come_as_a_collection_keyed_by_their_numbers(self):
        self.write("l.txt", b"alpha\r\n  beta  \n\n; note\r  ;x")
        items = self.fso.ReadStandardListFile(self.path("l.txt"))
        self.assertEqual(list(items), ["alpha", "beta"])
        self.assertEqual((items.Count, items[1], items["2"]), (2, "alpha", "beta"))
        items = self.fso.ReadStandardListFile(self.path("l.txt"), "", False, TrimStrings=False)
        self.assertEqual(list(items), ["alpha", "  beta  ", "", "; note", "  ;x"])
        self.assertEqual(items["3"], "")

    def test_oem_text(self):
        self.write("oem.txt", PROGRAM_866 + b"\r\n")
        self.assertEqual(list(self.fso.ReadStandardListFile(self.path("oem.txt"), IsOem=True)), ["Программа"])

    def test_failures_give_nothing_or_raise(self):
        missing = self.path("missing.txt")
        self.assertIsNone(self.fso.ReadStandardListFile(missing))
        with self.assertRaises(ComError) as e:
            self.fso.ReadStandardListFile(missing, RaiseErrors=True)
        self.assertEqual((e.exception.number, e.exception.hresult), (53, 0x800A0035))
        with self.assertRaises(ComError) as e:
            self.fso.ReadStandardListFile(self.dir.name, RaiseErrors=True)
        self.assertEqual(e.exception.number, 75)

    def test_tovcall_prints_each_item(self):
        self.write("l.txt", b"one\r\n;skip\r\ntwo\r\n")
        done = tovcall("Ferrule0101.tovFSO", "ReadStandardListFile", self.path("l.txt"))
        self.assertEqual((done.returncode, done.stdout), (0, "one\ntwo\n"))
        done = tovcall("Ferrule0101.tovFSO", "ReadStandardListFile", self.path("none.txt"))
        self.assertEqual((done.returncode, done.stdout), (0, "Nothing\n"))


if __name__ == "__main__":
    unittest.main()
