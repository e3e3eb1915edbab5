# One Debian package, tovapps_<version>_<arch>.deb, of everything
# `cmake --install` puts in place: the programs, the window toolkit module,
# the file library, the Python module, icons, the desktop entry and the
# manual pages. `cpack -G DEB` in a build tree makes it; the run-time
# dependencies come from dpkg-shlibdeps. tools/package-deb.sh builds the
# tree a release is made from (prefix /usr, the system's Python).
#
# The package always installs under /usr. What the programs find beside
# themselves is relative to their own directory, and the Python module's
# place does not depend on the prefix, so any build tree gives a working
# package; a tree configured for /usr gives Debian's multiarch layout.

set(TOV_PACKAGE_MAINTAINER "TOVapps developers <tovapps@localhost>" CACHE STRING
    "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovapps)
set(CPACK_PACKAGE_VENDOR TOVapps)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TOV_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "XML history log converter and component library of file services")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quillmark converts an instant messenger's XML history log into a plain text
file (ANSI, OEM, UTF-8 or UTF-16; CR+LF, CR or LF line breaks), in a small
window or unattended from the command line.
.
Ferrule0101 is a component library of file services (whole-file reading and
writing, zone marks, compression, list and description files, streams, tree
search, version resources, shell file information) served through a
late-bound automation frame, to the tovcall command, to Python
(import ferrule0101) and to any other client.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Debian ships programs without their debugging information.
set(CPACK_STRIP_FILES ON)

# The native Python module is built for one minor version of Python.
if(TOV_PYTHON_ABI)
  string(REPLACE "." ";" _abi "${TOV_PYTHON_ABI}")
  list(GET _abi 0 _major)
  list(GET _abi 1 _minor)
  math(EXPR _next "${_minor} + 1")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "python3 (>= ${_major}.${_minor}~), python3 (<< ${_major}.${_next})")
endif()

# The package registers the library for every user when it is configured
# and takes the registration away before it is removed.
set(TOV_DEB_TOVREGSVR /usr/${CMAKE_INSTALL_BINDIR}/tovregsvr)
set(TOV_DEB_LIBRARY /usr/${TOV_COMPONENT_INSTALL_DIR}/libFerrule0101.so)
set(TOV_DEB_REGISTRY /usr/${CMAKE_INSTALL_DATADIR}/TOVapps/registry.ini)
if(TOV_PYTHON_SITE)
  set(TOV_DEB_PYTHON_MODULE /usr/${TOV_PYTHON_SITE}/ferrule0101)
else()
  set(TOV_DEB_PYTHON_MODULE /usr/lib/python3/dist-packages/ferrule0101)
endif()
foreach(_script postinst prerm)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/${_script}.in
                 ${PROJECT_BINARY_DIR}/packaging/debian/${_script} @ONLY)
  list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/debian/${_script})
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Everything but the step that registers an installed tree into the
# installing user's registry: a package registers when dpkg configures it.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/")

# Checks made when the package is built rather than when the tree is
# configured, since most trees never make one.
set(TOV_PACKAGE_PYTHON "${TOV_PYTHON_INTERPRETER}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/CPackChecks.cmake.in
               ${PROJECT_BINARY_DIR}/packaging/CPackChecks.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/packaging/CPackChecks.cmake)

include(CPack)
