"""The Python client and tovcall against the built libFerrule0101.so,
registered into a registry file of the test's own."""

import datetime
import fractions
import gc
import inspect
import os
import pathlib
import pydoc
import subprocess
import sys
import tempfile
import unittest
import weakref

_tmp = tempfile.TemporaryDirectory(prefix="tovapps-py-")
os.environ["HOME"] = _tmp.name
os.environ["XDG_DATA_HOME"] = os.path.join(_tmp.name, "data")
os.environ["TOVAPPS_REGISTRY"] = os.path.join(_tmp.name, "registry.ini")

import ferrule0101  # noqa: E402  (the environment above must come first)
from ferrule0101 import ComError, ByRef, Missing  # noqa: E402

LIBRARY = os.environ["FERRULE_LIBRARY"]
TOVREGSVR = os.environ["TOVREGSVR"]
TOVCALL = os.environ["TOVCALL"]
TEST_COMPONENTS = os.environ["TOV_TEST_COMPONENTS"]
NON_CREATABLE = {
    "FileStream": "{ECAB8284-D88B-4030-8DE7-6480DFF6A962}",
    "FoundedFile": "{3067D218-99BF-46BD-96EC-6B7E28B58C36}",
    "ShellFileEXE": "{F9F72D46-9A45-4F2F-8D31-EEE3CFC4E395}",
    "ShellFileIcon": "{12115BDB-7520-46EF-B26F-EE98B89E5D4B}",
}


def register():
    for library in (LIBRARY, TEST_COMPONENTS):
        subprocess.run([TOVREGSVR, library], check=True, capture_output=True)


def setUpModule():
    register()


def tearDownModule():
    _tmp.cleanup()


class Files(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory(prefix="tovapps-py-files-")
        self.fso = ferrule0101.CreateObject("Ferrule0101.tovFSO")

    def tearDown(self):
        self.dir.cleanup()

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()


class ApplicationObject(Files):
    def test_global_call_matches_a_created_instance(self):
        with open(self.path("a.txt"), "wb") as f:
            f.write(b"abc")
        self.assertEqual(ferrule0101.GetFile(self.path("a.txt")), "abc")
        self.assertEqual(ferrule0101.GetFile(self.path("a.txt")), self.fso.GetFile(self.path("a.txt")))
        # One predeclared instance, not a new object per use.
        self.assertEqual(ferrule0101.tovFSO, ferrule0101.tovFSO)
        self.assertNotEqual(ferrule0101.tovFSO, self.fso)
        self.assertNotEqual(self.fso, "tovFSO")
        self.assertEqual(len({ferrule0101.tovFSO, ferrule0101.tovFSO, self.fso}), 2)
        with self.assertRaises(AttributeError):
            ferrule0101.NoSuchFunction

    def test_non_creatable_classes_are_refused(self):
        for name, clsid in NON_CREATABLE.items():
            with self.assertRaises(ComError) as by_name:
                ferrule0101.CreateObject("Ferrule0101." + name)
            self.assertEqual(by_name.exception.hresult, 0x800401F3)
            self.assertEqual(by_name.exception.number, 429)
            with self.assertRaises(ComError) as by_id:
                ferrule0101.CreateObject(clsid)
            self.assertEqual(by_id.exception.hresult, 0x80040154)


class OptionalArguments(Files):
    def test_put_file_w_writes_the_header_unless_told_not_to(self):
        self.assertIs(self.fso.PutFileW(self.path("w.txt"), "A"), True)
        self.assertEqual(self.read("w.txt"), b"\xff\xfeA\x00")
        self.fso.PutFileW(self.path("w.txt"), "A", writeunicodeheader=False)
        self.assertEqual(self.read("w.txt"), b"A\x00")
        self.fso.PutFileW(self.path("w.txt"), "A", False, True, True)
        self.assertEqual(self.read("w.txt"), b"\xfe\xff\x00A")

    def test_raise_errors_omitted_gives_failure_results(self):
        missing = self.path("missing.txt")
        self.assertEqual(self.fso.GetFile(missing), "")
        self.assertEqual(self.fso.GetFileB(missing), b"")
        result = self.fso.PutFile(os.path.join(missing, "sub", "x.txt"), "x")
        self.assertEqual(result, 0)
        self.assertFalse(result)

    def test_argument_faults_raise_the_standard_numbers(self):
        with self.assertRaises(ComError) as mismatch:
            self.fso.GetFile(self.path("x"), "perhaps")
        self.assertEqual((mismatch.exception.number, mismatch.exception.hresult), (13, 0x80020005))
        with self.assertRaises(ComError) as count:
            self.fso.GetFile(self.path("x"), True, 1)
        self.assertEqual(count.exception.number, 450)
        with self.assertRaises(ComError) as unknown:
            self.fso.GetFile(self.path("x"), Quietly=True)
        self.assertEqual(unknown.exception.hresult, 0x80020006)
        self.assertEqual((unknown.exception.number, unknown.exception.description), (448, "Named argument not found"))
        with self.assertRaises(AttributeError):
            self.fso.NoSuchMember


class Values(Files):
    def test_booleans_are_true_and_false(self):
        self.assertIs(self.fso.PutFile(self.path("b.txt"), "x"), True)
        self.assertIs(self.fso.PutFile(os.path.join(self.path("none"), "b.txt"), "x"), False)
        # An explicit automation Boolean is still taken as an argument.
        self.assertIs(self.fso.PutFileW(self.path("w.txt"), "A", False, ferrule0101.VariantBool(False)), True)
        self.assertEqual(self.read("w.txt"), b"A\x00")

    def test_byte_arrays_are_bytes_and_by_reference_data_is_unchanged(self):
        data = ByRef(b"\x00\x01\xfe")
        self.assertTrue(self.fso.PutFileB(self.path("b.bin"), data))
        self.assertEqual(data.value, b"\x00\x01\xfe")
        self.assertEqual(self.fso.GetFileB(self.path("b.bin")), b"\x00\x01\xfe")
        self.assertTrue(self.fso.AppendFileB(self.path("b.bin"), bytearray(b"\x02")))
        self.assertEqual(self.read("b.bin"), b"\x00\x01\xfe\x02")

    def test_text_round_trips_through_unicode_files(self):
        self.fso.PutFileW(self.path("u.txt"), "Привет")
        self.assertEqual(self.fso.GetFileW(self.path("u.txt")), "Привет")


class Errors(Files):
    def test_file_not_found_is_53(self):
        with self.assertRaises(ComError) as e:
            self.fso.GetFile(self.path("missing"), RaiseErrors=True)
        self.assertEqual((e.exception.number, e.exception.hresult), (53, 0x800A0035))
        self.assertEqual(e.exception.description, "File not found")

    def test_overwrite_of_a_missing_file_is_57_from_tovfso(self):
        with self.assertRaises(ComError) as e:
            self.fso.OverwriteFileB(self.path("missing"), b"x")
        self.assertEqual((e.exception.number, e.exception.hresult), (57, 0x800A0039))
        self.assertEqual(e.exception.source, "tovFSO")
        self.assertFalse(os.path.exists(self.path("missing")))

    def test_odd_swapped_unicode_file_is_9_when_raising(self):
        with open(self.path("odd.txt"), "wb") as f:
            f.write(b"\xfe\xff\x00A\x00")
        self.assertEqual(self.fso.GetFileW(self.path("odd.txt")), "A")
        with self.assertRaises(ComError) as e:
            self.fso.GetFileW(self.path("odd.txt"), True)
        self.assertEqual((e.exception.number, e.exception.hresult), (9, 0x800A0009))

    def test_members_without_raise_errors_answer_with_their_result(self):
        self.assertEqual(self.fso.GetFileZone(self.path("a")), 0)
        self.assertIs(self.fso.SetFileZone(self.path("a"), 3), False)


class Collections(unittest.TestCase):
    def test_default_member_and_for_each_follow_the_collection(self):
        c = ferrule0101.Collection()
        for word, key in (("one", "a"), ("two", None), ("three", "Ключ")):
            c.Add(word, key) if key else c.Add(word)
        self.assertEqual(c.Count, 3)
        self.assertEqual((c[1], c(3), c.Item(2), c["ключ"]), ("one", "three", "two", "three"))
        self.assertEqual(list(c), ["one", "two", "three"])
        self.assertEqual([item for item in c], [c[i] for i in range(1, c.Count + 1)])
        with self.assertRaises(ComError) as e:
            c[c.Count + 1]
        self.assertEqual((e.exception.number, e.exception.hresult), (9, 0x800A0009))
        c.Add("zero", Before=1)
        self.assertEqual(c[1], "zero")

    def test_names_kept_per_interface_still_read_each_objects_own_value(self):
        # Attribute names are remembered per interface after the first
        # look-up: a second spelling, a second object and another interface
        # with a member of the same name must each still get their own.
        a, b = ferrule0101.Collection(), ferrule0101.Collection()
        a.Add("x")
        self.assertEqual((a.Count, a.count, a.COUNT, b.Count), (1, 1, 1, 0))
        b.Add("y")
        b.Add("z")
        self.assertEqual((a.Count, b.count), (1, 2))
        files = ferrule0101.CreateObject("Ferrule0101.tovFoundedFiles")
        self.assertEqual(files.Count, 0)
        self.assertFalse(files.HasSubItems)
        for _ in range(2):
            with self.assertRaises(AttributeError):
                a.NoSuchMember
            self.assertEqual(getattr(a, "NoSuchMember", "default"), "default")
            with self.assertRaises(AttributeError):
                a.__no_such_protocol__
        self.assertFalse(hasattr(a, "_private_name"))
        self.assertEqual(a.__getattr__("Count"), 1)
        self.assertEqual(type(a).__name__, "Dispatch")
        self.assertEqual(list(iter(b)), ["y", "z"])
        with self.assertRaises(StopIteration):
            next(iter(ferrule0101.Collection()))

    def test_objects_without_a_default_member_or_enumerator_refuse_both(self):
        fso = ferrule0101.CreateObject("Ferrule0101.tovFSO")
        with self.assertRaises(ComError) as e:
            fso[0]
        self.assertEqual(e.exception.hresult, 0x80020003)
        with self.assertRaises(ComError):
            iter(fso)


class Exploring(Files):
    def test_help_and_repr_show_parameters_defaults_and_result(self):
        line = ("PutFileW(FileName: String, Data: String, RaiseErrors: Boolean = False, "
                "WriteUnicodeHeader: Boolean = True, InvertBytes: Boolean = False) -> Boolean")
        member = self.fso.putfilew
        self.assertEqual(member.__name__ + str(inspect.signature(member)), line)
        self.assertEqual(repr(member), f"<automation method {line}>")
        page = pydoc.render_doc(member, renderer=pydoc.plaintext)
        self.assertIn(line, page)
        self.assertIn("Method of _tovFSO.", page)
        self.assertNotIn("pybind11", page)
        # By-reference and optional parameters without default, help strings.
        self.assertEqual(str(inspect.signature(self.fso.GetFileCompression)),
                         "(FileName: String, lpErrorCode: ByRef Long = Missing) -> CompressionFormatConst")
        self.assertIs(inspect.signature(self.fso.GetFileCompression).parameters["lpErrorCode"].default, Missing)
        self.assertIn("NTFS", pydoc.render_doc(self.fso.OverwriteFileB, renderer=pydoc.plaintext))
        self.assertIn("ByRef(value)", self.fso.PutFileB.__doc__)

    def test_help_on_an_object_lists_its_members(self):
        page = pydoc.render_doc(self.fso, renderer=pydoc.plaintext)
        self.assertIn("_tovFSO", page)
        self.assertIn("GetFileB(FileName: String, RaiseErrors: Boolean = False) -> Byte()", page)
        collection = ferrule0101.Collection()
        self.assertIn("Count() -> Long  (property)", collection.__doc__)
        self.assertEqual(str(inspect.signature(collection.Item)), "(Index: Variant) -> Variant")


class ArgumentErrors(Files):
    def test_values_without_an_automation_counterpart_raise_the_clients_own_errors(self):
        for value in ([1], (1,), {"a": 1}, {1}, 1j, ByRef(ByRef(1))):
            with self.assertRaises(ferrule0101.ArgumentTypeError) as e:
                self.fso.GetFile(value)
            self.assertIsInstance(e.exception, TypeError)
            self.assertEqual((e.exception.number, e.exception.hresult), (13, 0x80020005))
        with self.assertRaises(ferrule0101.ArgumentOverflowError) as e:
            self.fso.GetFile(2 ** 1100)
        self.assertIsInstance(e.exception, OverflowError)
        self.assertIsInstance(e.exception, ComError)
        self.assertEqual(e.exception.number, 6)

    def test_objects_made_without_an_automation_object_are_error_91_not_a_crash(self):
        Dispatch, Member = ferrule0101.Dispatch, type(self.fso.GetFile)
        blank = Dispatch.__new__(Dispatch)
        for attempt in (lambda: blank.GetFile("x"), lambda: repr(blank), lambda: blank[0], lambda: list(blank),
                        lambda: self.fso.PutFileB("x", blank), lambda: Member.__new__(Member)("x"),
                        lambda: Dispatch.__getattr__(5, "GetFile")):
            with self.assertRaises(ComError) as e:
                attempt()
            self.assertEqual((e.exception.number, e.exception.hresult), (91, 0x800A005B))
        self.assertNotEqual(blank, self.fso)
        self.assertEqual(len({blank, self.fso}), 2)

    def test_numbers_paths_buffers_and_dates_convert_as_a_script_expects(self):
        c = ferrule0101.Collection()
        values = [2 ** 70, fractions.Fraction(1, 4), memoryview(b"abcdef")[::2], bytearray(b"\x00\xff"),
                  datetime.date(2024, 2, 29), datetime.datetime(1899, 12, 29, 6, 0), True]
        for v in values:
            c.Add(v)
        self.assertEqual([c[i] for i in range(1, c.Count + 1)],
                         [float(2 ** 70), 0.25, b"ace", b"\x00\xff", datetime.datetime(2024, 2, 29),
                          datetime.datetime(1899, 12, 29, 6, 0), True])
        aware = datetime.datetime(2024, 1, 1, 12, tzinfo=datetime.timezone.utc)
        c.Add(aware)
        self.assertEqual(c[c.Count], aware.astimezone().replace(tzinfo=None))
        results = ferrule0101.CreateObject("TovTest.TestResults")
        self.assertEqual(results.AsDate(-1.25), datetime.datetime(1899, 12, 29, 6, 0))
        for beyond in (1e10, -1e10, float("nan"), float("inf")):
            with self.assertRaises(ComError) as e:
                results.AsDate(beyond)
            self.assertEqual(e.exception.number, 6)
        with open(self.path("p.txt"), "wb") as f:
            f.write(b"path")
        self.assertEqual(self.fso.GetFile(pathlib.Path(self.path("p.txt"))), "path")


class Text(Files):
    def test_lone_surrogates_and_pairs_travel_unchanged_both_ways(self):
        # What os.fsdecode makes of undecodable bytes, and its reverse.
        escaped = os.fsdecode(b"caf\xe9-\xff")
        for text in (escaped, "\ud800 alone", "pair \U0001F600", "nul\x00inside", ""):
            c = ferrule0101.Collection()
            c.Add(text, text + "key")
            self.assertEqual(c[1], text)
            self.assertEqual(c[text + "KEY"], text)
            self.fso.PutFileW(self.path("s.txt"), text)
            self.assertEqual(self.fso.GetFileW(self.path("s.txt")), text)
            self.assertEqual(self.read("s.txt"), b"\xff\xfe" + text.encode("utf-16-le", "surrogatepass"))

    def test_names_from_fsdecode_reach_their_own_file(self):
        raw = os.fsencode(self.dir.name) + b"/caf\xe9-\xff.txt"
        name = os.fsdecode(raw)
        self.assertTrue(self.fso.PutFile(name, "x", True))
        self.assertEqual(os.listdir(os.fsencode(self.dir.name)), [b"caf\xe9-\xff.txt"])
        self.assertEqual(self.fso.GetFileB(name), b"x")


class ServerObjects(unittest.TestCase):
    """Python objects passed as arguments and called back by the library."""

    def setUp(self):
        self.source = ferrule0101.CreateObject("TovTest.TestCallbackSource")

    def test_a_method_is_called_back_and_its_by_reference_boolean_written_back(self):
        class Watcher:
            def __init__(self):
                self.seen = []

            def directorycompleted(self, path, cancel):  # names are found without letter case
                self.seen.append((path, cancel.value))
                cancel.value = path == "stop"

        watcher = Watcher()
        self.assertIs(self.source.Notify("/a", watcher), False)
        self.assertIs(self.source.Notify("stop", watcher), True)
        self.assertEqual(watcher.seen, [("/a", False), ("stop", False)])
        self.assertEqual(self.source.Walk("a|b|stop|c", watcher), 3)
        self.assertIs(self.source.Notify("x"), False)
        self.assertIs(self.source.Notify("x", None), False)

    def test_values_written_back_convert_to_the_callers_type_or_fail_as_a_mismatch(self):
        for written, expected in ((1, True), ("True", True), (0.0, False), (None, False)):
            class Answer:
                def DirectoryCompleted(self, path, cancel, value=written):
                    cancel.value = value
            self.assertIs(self.source.Notify("p", Answer()), expected, written)

        class Nonsense:
            def DirectoryCompleted(self, path, cancel):
                cancel.value = "perhaps"
        with self.assertRaises(ComError) as e:
            self.source.Notify("p", Nonsense())
        self.assertEqual((e.exception.number, e.exception.hresult), (13, 0x800A000D))

    def test_exceptions_become_the_callers_error(self):
        class Broken:
            def DirectoryCompleted(self, path, cancel):
                raise ValueError("no access to " + path)
        with self.assertRaises(ComError) as e:
            self.source.Notify("/root", Broken())
        self.assertEqual((e.exception.number, e.exception.source), (440, "Python"))
        self.assertEqual(e.exception.description, "ValueError: no access to /root")
        self.assertIsInstance(e.exception.__cause__, ValueError)

        class Own:
            def DirectoryCompleted(self, path, cancel):
                raise ComError(0x800A0035, 53, "Mine", "gone", "help.chm", 3)
        with self.assertRaises(ComError) as e:
            self.source.Notify("p", Own())
        self.assertEqual((e.exception.hresult, e.exception.number, e.exception.source, e.exception.description,
                          e.exception.helpfile, e.exception.helpcontext), (0x800A0035, 53, "Mine", "gone", "help.chm", 3))

        class Missing:
            pass
        with self.assertRaises(ComError) as e:
            self.source.Notify("p", Missing())
        self.assertEqual(e.exception.number, 438)

        class Interrupted:
            def DirectoryCompleted(self, path, cancel):
                raise KeyboardInterrupt
        with self.assertRaises(KeyboardInterrupt):
            self.source.Walk("a|b", Interrupted())

    def test_callbacks_may_call_the_library_and_nothing_is_kept_after_the_call(self):
        fso = ferrule0101.CreateObject("Ferrule0101.tovFSO")
        with tempfile.TemporaryDirectory() as d:
            class Writer:
                def DirectoryCompleted(self, path, cancel):
                    cancel.value = fso.PutFile(os.path.join(d, path), "from the callback")
            writer = Writer()
            before = sys.getrefcount(writer)
            self.assertIs(self.source.Notify("out.txt", writer), True)
            self.assertEqual(sys.getrefcount(writer), before)
            self.assertEqual(fso.GetFile(os.path.join(d, "out.txt")), "from the callback")
        gone = weakref.ref(writer)
        del writer
        gc.collect()
        self.assertIsNone(gone())

    def test_endless_recursion_through_the_library_is_error_28_not_a_crash(self):
        source = self.source
        depth = []

        class Again:
            def DirectoryCompleted(self, path, cancel):
                depth.append(path)
                source.Notify(path, self)

        outcome = []

        def run():
            try:
                source.Notify("p", Again())
            except ComError as e:
                outcome.append(e.number)
        # A thread with half the usual stack survives it (sanitizer builds included).
        import threading
        old = threading.stack_size(4 * 1024 * 1024)
        try:
            worker = threading.Thread(target=run)
            worker.start()
            worker.join()
        finally:
            threading.stack_size(old)
        self.assertEqual(outcome, [28])
        self.assertEqual(len(depth), 64)

    def test_an_object_stored_in_the_library_comes_back_as_itself(self):
        c = ferrule0101.Collection()
        marker = object.__new__(type("Marker", (), {}))
        c.Add(marker, "m")
        self.assertIs(c["m"], marker)
        self.assertIs(next(iter(c)), marker)


def tovcall(*args):
    return subprocess.run([TOVCALL, *args], capture_output=True, text=True)


class CommandLineClient(Files):
    def test_calls_print_script_friendly_results(self):
        name = self.path("t.txt")
        done = tovcall("Ferrule0101.tovFSO", "PutFileW", name, "A", "WriteUnicodeHeader:=False")
        self.assertEqual((done.returncode, done.stdout), (0, "True\n"))
        self.assertEqual(self.read("t.txt"), b"A\x00")
        done = tovcall("Ferrule0101.tovFSO", "getfileb", name)
        self.assertEqual(done.stdout, "4100\n")
        done = tovcall("Ferrule0101.tovFSO", "PutFileB", name, "hex:fffe4200")
        self.assertEqual(tovcall("Ferrule0101.tovFSO", "GetFileW", name).stdout, "B\n")

    def test_failures_go_to_stderr_with_a_nonzero_status(self):
        done = tovcall("Ferrule0101.tovFSO", "GetFile", self.path("missing"), "RaiseErrors:=True")
        self.assertEqual(done.returncode, 1)
        self.assertEqual(done.stdout, "")
        self.assertIn("error 53", done.stderr)
        self.assertIn("0x800A0035", done.stderr)
        self.assertEqual(tovcall("Ferrule0101.tovFSO").returncode, 2)
        self.assertEqual(tovcall("Ferrule0101.tovFSO", "PutFileB", "x", "hex:abc").returncode, 2)
        done = tovcall("Ferrule0101.FileStream", "Name")
        self.assertEqual(done.returncode, 1)
        self.assertIn("0x800401F3", done.stderr)


class CommandLineExploring(Files):
    def test_list_shows_each_member_as_the_python_client_does(self):
        done = tovcall("Ferrule0101.tovFSO", "--list")
        self.assertEqual(done.returncode, 0, done.stderr)
        lines = done.stdout.splitlines()
        self.assertEqual(lines[0], "_tovFSO")
        for name in ("PutFileW", "GetFileCompression", "ReadStandardListFile"):
            member = getattr(self.fso, name)
            self.assertIn(f"  {name}{inspect.signature(member)}", lines)

    def test_members_chain_on_one_object_and_objects_print_by_default_member_or_as_a_list(self):
        name = self.path("chain.txt")
        done = tovcall("Ferrule0101.tovFSO", "PutFile", name, "a\tb", "--then", "GetFileB", name,
                       "--then", "GetFile", name)
        self.assertEqual((done.returncode, done.stdout), (0, "True\n610962\na\tb\n"), done.stderr)
        done = tovcall("TovTest.TestResults", "Words", "one two", "--then", "Value", "single",
                       "--then", "Nested", "x")
        self.assertEqual(done.stdout, "one\ntwo\nsingle\nx\n[object _Collection]\nx\n")

    def test_file_names_that_are_not_utf8_reach_their_own_file(self):
        # A byte that is no UTF-8 must name the very file the shell handed
        # over, not a look-alike with U+FFFD in its name.
        name = os.fsencode(self.path("caf")) + b"\xe9.txt"
        done = subprocess.run([TOVCALL.encode(), b"Ferrule0101.tovFSO", b"PutFile", name, b"bytes"],
                              capture_output=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        with open(name, "rb") as f:
            self.assertEqual(f.read(), b"bytes")
        self.assertEqual(sorted(os.listdir(os.fsencode(self.dir.name))), [b"caf\xe9.txt"])

    def test_string_results_print_whole(self):
        with open(self.path("nul.txt"), "wb") as f:
            f.write(b"before\x00after")
        done = subprocess.run([TOVCALL, "Ferrule0101.tovFSO", "GetFile", self.path("nul.txt")], capture_output=True)
        self.assertEqual(done.stdout, b"before\x00after\n")
        with open("/dev/full", "wb") as full:
            done = subprocess.run([TOVCALL, "Ferrule0101.tovFSO", "GetFile", self.path("nul.txt")], stdout=full,
                                  stderr=subprocess.PIPE, text=True)
        self.assertEqual(done.returncode, 1)
        self.assertIn("could not be written", done.stderr)

    def test_arguments_a_parameter_cannot_hold_are_refused_before_any_call(self):
        name = self.path("never.txt")
        for bad in ("RaiseErrors:=2", "RaiseErrors:=yes", "RaiseErrors:=1.0", "Quietly:=True"):
            done = tovcall("Ferrule0101.tovFSO", "PutFile", name, "x", "--then", "GetFile", name, bad)
            self.assertEqual(done.returncode, 2, bad)
            self.assertEqual(done.stdout, "")
            self.assertIn(bad.split(":=")[0], done.stderr)
        self.assertFalse(os.path.exists(name))
        done = tovcall("Ferrule0101.tovFSO", "SetFileCompression", name, "4294967296")
        self.assertEqual(done.returncode, 2)
        self.assertIn("from -2147483648 to 2147483647", done.stderr)
        done = tovcall("Ferrule0101.tovFSO", "PutFile", name, "x", "--then", "NoSuchMember")
        self.assertEqual(done.returncode, 2)
        self.assertFalse(os.path.exists(name))
        # Accepted forms: names of enumeration members, 1 and 0, text: for anything.
        for good in (["SetFileCompression", name, "CFLZNT1"], ["GetFile", name, "RaiseErrors:=0"],
                     ["PutFile", name, "text:--then"]):
            self.assertNotEqual(tovcall("Ferrule0101.tovFSO", *good).returncode, 2, good)
        self.assertEqual(self.read("never.txt"), b"--then")
        self.assertEqual(tovcall("Ferrule0101.tovFSO", "GetFile", name, "--then").returncode, 2)

    def test_without_home_the_registry_is_the_users_own_never_a_shared_directory(self):
        import pwd
        home = pwd.getpwuid(os.getuid()).pw_dir
        done = subprocess.run(["env", "-i", TOVCALL, "No.SuchClass", "Member"], capture_output=True, text=True)
        self.assertEqual(done.returncode, 1)
        self.assertIn(os.path.join(home, ".local/share/TOVapps/registry.ini"), done.stderr)


class Registration(unittest.TestCase):
    def tearDown(self):
        register()

    def test_a_missing_library_fails_cleanly_naming_it(self):
        moved = os.path.join(_tmp.name, "gone", "libFerrule0101.so")
        registry = os.environ["TOVAPPS_REGISTRY"]
        with open(registry, encoding="utf-8") as f:
            text = f.read()
        with open(registry, "w", encoding="utf-8") as f:
            f.write(text.replace("InprocServer32=" + LIBRARY, "InprocServer32=" + moved))
        done = tovcall("Ferrule0101.tovFSO", "GetFile", "x")
        self.assertEqual(done.returncode, 1)
        self.assertIn(moved, done.stderr)
        self.assertIn("0x8007007E", done.stderr)

    def test_unregistering_removes_the_classes(self):
        done = subprocess.run([TOVREGSVR, "/u", LIBRARY], capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("DllUnregisterServer", done.stdout)
        with self.assertRaises(ComError) as e:
            ferrule0101.CreateObject("Ferrule0101.tovFSO")
        self.assertEqual(e.exception.hresult, 0x800401F3)

    def test_a_file_that_is_no_library_fails_with_status_1(self):
        done = subprocess.run([TOVREGSVR, os.environ["TOVAPPS_REGISTRY"]], capture_output=True, text=True)
        self.assertEqual(done.returncode, 1)
        self.assertIn("cannot load", done.stderr)


if __name__ == "__main__":
    unittest.main()
