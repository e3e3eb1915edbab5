"""Script client of the Ferrule0101 component library.

    import ferrule0101
    fso = ferrule0101.CreateObject("Ferrule0101.tovFSO")
    fso.PutFileW("a.txt", "text", WriteUnicodeHeader=False)
    data = fso.GetFileB("a.txt")                 # bytes
    ferrule0101.GetFile("a.txt")                 # the application object's member, no object made by hand
    help(fso.PutFileW)                           # parameters, defaults and result type

Every attribute access and call goes by name through the objects' late-bound
Invoke. Booleans come back as True and False, byte arrays as bytes, text as
str. Text travels as UTF-16 with lone surrogates kept, so a file name from
os.fsdecode (undecodable bytes as U+DC80-U+DCFF) reaches the file it names.
A failed call raises ComError; an argument the client cannot convert raises
ArgumentTypeError or ArgumentOverflowError, both ComErrors. A by-reference
argument is passed as ByRef(value); after the call its ``value`` holds what
the member left. Any other Python object passed as an argument becomes an
automation object whose members are its attributes (letter case ignored),
so a member can call it back; a by-reference argument of such a call
arrives as a ByRef to set.
Pictures (icons) are saved with SavePicture(picture, "icon.png").
"""

import os
import tempfile

from . import _native


class ComError(Exception):
    """A failed call: the error the member raised, or the frame's own failure."""

    def __init__(self, hresult, number, source="", description="", helpfile="", helpcontext=0):
        super().__init__(hresult, number, source, description, helpfile, helpcontext)
        self.hresult = hresult
        self.number = number
        self.source = source
        self.description = description
        self.helpfile = helpfile
        self.helpcontext = helpcontext

    def __str__(self):
        where = f" [{self.source}]" if self.source else ""
        return f"error {self.number} (0x{self.hresult & 0xFFFFFFFF:08X}){where}: {self.description}"


class ArgumentTypeError(ComError, TypeError):
    """An argument with no automation counterpart (a list, a dict, ...): error 13, type mismatch."""


class ArgumentOverflowError(ComError, OverflowError):
    """A number too large for any automation type: error 6, overflow."""


class VariantBool(int):
    """An automation Boolean given explicitly: -1 for True, 0 for False.

    Results come back as plain True and False; this class remains for
    scripts that pass it as an argument.
    """

    def __new__(cls, value):
        return super().__new__(cls, -1 if value else 0)

    def __repr__(self):
        return "VariantBool(True)" if self else "VariantBool(False)"

    __str__ = __repr__


class ByRef:
    """A by-reference argument; ``value`` is updated after the call."""

    def __init__(self, value=None):
        self.value = value

    def __repr__(self):
        return f"ByRef({self.value!r})"


class _MissingType:
    """Marks an optional argument as not given, in any position."""

    _instance = None

    def __new__(cls):
        if cls._instance is None:
            cls._instance = super().__new__(cls)
        return cls._instance

    def __repr__(self):
        return "Missing"


Missing = _MissingType()
Dispatch = _native.Dispatch

_native._install({
    "ComError": ComError,
    "ArgumentTypeError": ArgumentTypeError,
    "ArgumentOverflowError": ArgumentOverflowError,
    "VariantBool": VariantBool,
    "ByRef": ByRef,
    "Missing": Missing,
})


class _TypeName(str):
    """A type as the type information names it, shown without quotes."""

    def __repr__(self):
        return str(self)


def _parameter_name(name):
    import keyword
    return name + "_" if keyword.iskeyword(name) or not name.isidentifier() else name


def _member_signature(member):
    import inspect
    described = member._describe()
    if described is None:
        return inspect.Signature([
            inspect.Parameter("args", inspect.Parameter.VAR_POSITIONAL),
            inspect.Parameter("kwargs", inspect.Parameter.VAR_KEYWORD),
        ])
    _, _, params, result, _, _ = described
    parameters = []
    for name, type_text, optional, has_default, default, _ in params:
        if optional:
            default = default if has_default else Missing
        else:
            default = inspect.Parameter.empty
        parameters.append(inspect.Parameter(_parameter_name(name), inspect.Parameter.POSITIONAL_OR_KEYWORD,
                                            default=default, annotation=_TypeName(type_text)))
    returns = inspect.Signature.empty if result is None else _TypeName(result)
    return inspect.Signature(parameters, return_annotation=returns, __validate_parameters__=False)


def _member_doc(member):
    described = member._describe()
    if described is None:
        return "A member of an object without type information."
    interface, kind, params, _, help_text, _ = described
    lines = [f"{'Method' if kind == 'method' else 'Property'} of {interface}."]
    if help_text:
        lines.append(help_text)
    if any(by_ref for *_, by_ref in params):
        lines.append("Pass a ByRef(value) for a by-reference parameter to see what the member leaves in it.")
    if any(optional for _, _, optional, *_ in params):
        lines.append("Optional parameters may be left out, or given as Missing in any position.")
    return "\n".join(lines)


def _member_repr(member):
    described = member._describe()
    kind = "member" if described is None else described[1]
    return f"<automation {kind} {member.__name__}{member.__signature__}>"


_native.Member.__signature__ = property(_member_signature)
_native.Member.__doc__ = property(_member_doc)
_native.Member.__repr__ = _member_repr
_native.Dispatch.__doc__ = property(lambda obj: obj._doc())

LIBRARY = "Ferrule0101"


def CreateObject(progid):
    """A new object of a registered class, by ProgID or braced class id."""
    return _native.create_object(progid)


def Collection():
    """A new, empty runtime Collection (numbered from 1, optional text keys)."""
    return _native.new_collection()


def LoadPicture(path=None):
    """A picture object of the PNG image in a file; without a path, the
    empty picture (Type 0)."""
    return _native.load_picture(b"" if path is None else os.fsencode(path))


def _new_file_mode(path):
    # A replaced file keeps its permissions; a new one gets what the umask
    # leaves, as a plain open would have made it.
    try:
        return os.stat(path).st_mode & 0o7777
    except FileNotFoundError:
        pass
    try:
        with open("/proc/self/status") as status:
            for line in status:
                if line.startswith("Umask:"):
                    return 0o666 & ~int(line.split()[1], 8)
    except OSError:
        pass
    return 0o644


def SavePicture(picture, path):
    """Writes a picture's image to a file: PNG when the name ends in .png,
    an icon (.ico) otherwise. An existing file is replaced whole, or left
    as it was when the write fails."""
    path = os.fspath(path)
    data = picture.PngBytes if os.path.splitext(path)[1].lower() == ".png" else picture.IcoBytes
    directory = os.path.dirname(os.path.abspath(path))
    fd, temporary = tempfile.mkstemp(prefix=".picture-", dir=directory)
    try:
        os.fchmod(fd, _new_file_mode(path))
        with os.fdopen(fd, "wb") as f:
            f.write(data)
            f.flush()
            os.fsync(f.fileno())
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


_predeclared = {}


def _application_object(progid):
    # One instance per application object, made on first use, as a client
    # that honours the application-object mark does.
    if progid not in _predeclared:
        _predeclared[progid] = _native.create_object(progid)
    return _predeclared[progid]


def __getattr__(name):
    if name.startswith("__"):
        raise AttributeError(name)
    for progid in _native.application_objects(LIBRARY):
        instance = _application_object(progid)
        if name == progid.split(".", 1)[1]:
            return instance
        if instance._has_member(name):
            return getattr(instance, name)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
