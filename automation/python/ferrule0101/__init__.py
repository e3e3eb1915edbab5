"""Script client of the Ferrule0101 component library.

    import ferrule0101
    fso = ferrule0101.CreateObject("Ferrule0101.tovFSO")
    fso.PutFileW("a.txt", "text", WriteUnicodeHeader=False)
    data = fso.GetFileB("a.txt")                 # bytes
    ferrule0101.GetFile("a.txt")                 # the application object's member, no object made by hand

Every attribute access and call goes by name through the objects' late-bound
Invoke. Booleans come back as VariantBool: an int equal to -1 (True) or 0
(False), so ``r == -1`` holds and ``if r:`` works. Byte arrays are bytes.
A failed call raises ComError. A by-reference argument is passed as
ByRef(value); after the call its ``value`` holds what the member left.
"""

from . import _native


class ComError(Exception):
    """A failed call: the error the member raised, or the frame's own failure."""

    def __init__(self, hresult, number, source, description, helpfile, helpcontext):
        super().__init__(hresult, number, source, description, helpfile, helpcontext)
        self.hresult = hresult
        self.number = number
        self.source = source
        self.description = description
        self.helpfile = helpfile
        self.helpcontext = helpcontext

    def __str__(self):
        where = f" [{self.source}]" if self.source else ""
        return f"error {self.number} (0x{self.hresult:08X}){where}: {self.description}"


class VariantBool(int):
    """An automation Boolean: -1 for True, 0 for False, truthy as expected."""

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

_native._install(ComError, VariantBool, ByRef, Missing)

LIBRARY = "Ferrule0101"


def CreateObject(progid):
    """A new object of a registered class, by ProgID or braced class id."""
    return _native.create_object(progid)


def Collection():
    """A new, empty runtime Collection (numbered from 1, optional text keys)."""
    return _native.new_collection()


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
