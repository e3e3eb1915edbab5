"""One home, registry and locale for every test module of this directory,
set before the client is first imported; the library is registered once."""

import atexit
import os
import subprocess
import tempfile

_tmp = tempfile.TemporaryDirectory(prefix="tovapps-pyfileio-")
atexit.register(_tmp.cleanup)
HOME = _tmp.name
os.environ["HOME"] = HOME
os.environ["XDG_DATA_HOME"] = os.path.join(HOME, "data")
os.environ["TOVAPPS_REGISTRY"] = os.path.join(HOME, "registry.ini")
# One user and system language (US English) and one ANSI page for the run.
for _name in ("LC_ALL", "LC_MESSAGES", "LANG"):
    os.environ.pop(_name, None)
os.environ["LANG"] = "en_US.UTF-8"
os.environ["TOVAPPS_ACP"] = "1252"

subprocess.run([os.environ["TOVREGSVR"], os.environ["FERRULE_LIBRARY"]], check=True, capture_output=True)

import ferrule0101  # noqa: E402,F401
