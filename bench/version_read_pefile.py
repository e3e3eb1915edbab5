"""The peer of version_read_all: pefile reads every file of a directory,
parses its resources (with them the version data) and takes the thirteen
strings of its first string table.
    python3 version_read_pefile.py DIR"""

import os
import sys

try:
    import pefile
except ImportError:
    sys.path.append("/usr/lib/python3/dist-packages")
    import pefile

NAMES = [b"Comments", b"CompanyName", b"FileDescription", b"FileVersion", b"InternalName", b"LegalCopyright",
         b"LegalTrademarks", b"OLESelfRegister", b"OriginalFilename", b"PrivateBuild", b"ProductName",
         b"ProductVersion", b"SpecialBuild"]
RESOURCE = pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]


def main(directory):
    files = sorted(os.path.join(directory, n) for n in os.listdir(directory))
    files = [f for f in files if os.path.isfile(f)]
    with_version = strings = 0
    for path in files:
        try:
            pe = pefile.PE(path, fast_load=True)
            pe.parse_data_directories([RESOURCE])
        except pefile.PEFormatError:
            continue
        tables = [st for info in getattr(pe, "FileInfo", [[]])[0] for st in getattr(info, "StringTable", [])]
        if hasattr(pe, "VS_FIXEDFILEINFO"):
            with_version += 1
            entries = tables[0].entries if tables else {}
            strings += sum(1 for n in NAMES if entries.get(n))
        pe.close()
    print(f"{len(files)} files, {with_version} with version data, {strings} strings")


if __name__ == "__main__":
    main(sys.argv[1])
