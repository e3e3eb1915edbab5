# The Windows build (MinGW-w64, i686 or x86-64): Quillmark.exe and
# Ferrule0101.dll over the platform's own services. The platform layer's
# units that stand in for Windows services on POSIX are replaced by their
# namesakes in platform/win32/, which call the real services; the same goes
# for the few units of other directories that touch the system. Everything
# else is the same source as on Linux.
#
#   cmake -S . -B build-windows/x86_64 --toolchain cmake/toolchains/mingw-w64-x86_64.cmake \
#         -DTOV_PUGIXML_SOURCE_DIR=...   (tools/windows/build.sh does all of it)

find_program(TOV_WIDL NAMES ${TOV_MINGW_TRIPLET}-widl widl REQUIRED)

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX STRICT
                        _WIN32_WINNT=0x0601 WINVER=0x0601)
# No run-time libraries of the compiler to ship beside the binaries.
add_link_options(-static -static-libgcc -static-libstdc++)

# Units that exist for POSIX only and have no Windows counterpart, relative
# to the source root: on Windows the system does what they do.
set(TOV_WINDOWS_LEAVE_OUT
  support/DesktopEntry.cpp
  # The system's component registry keeps its own access rules.
  platform/TrustedPath.cpp
  # Backup records are the system's own: the POSIX stand-ins for its
  # extended attributes and security descriptors have nothing to do.
  platform/ExtendedAttributes.cpp
  platform/SecurityDescriptor.cpp
  # The shell answers about files itself (win32/ShellFileInfo.cpp): no
  # desktop module to load, no image list of our own (its handle is the
  # system's), no reading of program headers for SHGFI_EXETYPE.
  platform/DesktopModule.cpp
  platform/SystemImageList.cpp
  platform/ExecutableType.cpp
  # Pictures are the system's own here (automation/win32/IconPicture.cpp):
  # no picture object of our own, and no PNG images, which it alone reads
  # and writes.
  support/IconFormats.cpp
  support/IconFile.cpp
  automation/PictureObject.cpp
)

# Replaces the units of `dir` that have a namesake in `dir`/win32 by it,
# drops the POSIX-only ones and adds the rest of win32/.
function(tov_windows_sources out dir)
  set(_kept "")
  foreach(_file IN LISTS ${out})
    get_filename_component(_name "${_file}" NAME)
    file(RELATIVE_PATH _relative "${PROJECT_SOURCE_DIR}" "${_file}")
    if(NOT EXISTS "${dir}/win32/${_name}" AND NOT _relative IN_LIST TOV_WINDOWS_LEAVE_OUT)
      list(APPEND _kept "${_file}")
    endif()
  endforeach()
  file(GLOB _windows CONFIGURE_DEPENDS "${dir}/win32/*.cpp")
  set(${out} ${_kept} ${_windows} PARENT_SCOPE)
endfunction()

# pugixml from Debian's source package (tools/windows/fetch-pugixml.sh):
# Debian builds the library for Linux only.
set(TOV_PUGIXML_SOURCE_DIR "" CACHE PATH "pugixml source tree for the Windows build")
if(NOT EXISTS "${TOV_PUGIXML_SOURCE_DIR}/src/pugixml.cpp")
  message(FATAL_ERROR "TOV_PUGIXML_SOURCE_DIR must name a pugixml source tree (tools/windows/fetch-pugixml.sh)")
endif()
add_library(tov_pugixml STATIC ${TOV_PUGIXML_SOURCE_DIR}/src/pugixml.cpp)
target_include_directories(tov_pugixml SYSTEM PUBLIC ${TOV_PUGIXML_SOURCE_DIR}/src)
add_library(pugixml::pugixml ALIAS tov_pugixml)

# The layers below the windows and the frame: the same directories, the
# same libraries as on Linux.
add_subdirectory(platform)
target_link_libraries(tov_platform PUBLIC kernel32 advapi32 shell32 user32 gdi32)
tov_glob_sources(SUPPORT_SOURCES ${PROJECT_SOURCE_DIR}/support)
add_library(tov_support STATIC ${SUPPORT_SOURCES})
target_include_directories(tov_support PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tov_support PUBLIC tov_platform pugixml::pugixml shell32 ole32)
target_compile_definitions(tov_support PRIVATE TOV_VERSION_TEXT="${PROJECT_VERSION}")

# The library's core classes, as on Linux.
tov_glob_sources(FILEIO_SOURCES ${PROJECT_SOURCE_DIR}/fileio)
add_library(ferrule_core STATIC ${FILEIO_SOURCES})
target_include_directories(ferrule_core PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(ferrule_core PUBLIC tov_support tov_platform)

# The forms model with the native backend in place of the toolkit module.
tov_glob_sources(UI_SOURCES ${PROJECT_SOURCE_DIR}/ui)
add_library(tov_ui STATIC ${UI_SOURCES})
target_include_directories(tov_ui PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tov_ui PUBLIC tov_support tov_platform user32 gdi32 comctl32 comdlg32 shell32 shlwapi)

# A version as a version block states it: "1,1,0,4" and "1.01.0004".
function(tov_rc_version out_numbers out_text major minor revision)
  set(${out_numbers} "${major},${minor},0,${revision}" PARENT_SCOPE)
  string(LENGTH "${minor}" _ml)
  string(LENGTH "${revision}" _rl)
  set(_minor "${minor}")
  if(_ml LESS 2)
    string(PREPEND _minor "0")
  endif()
  set(_revision "${revision}")
  foreach(_i RANGE ${_rl} 3)
    if(_i LESS 4)
      string(PREPEND _revision "0")
    endif()
  endforeach()
  string(SUBSTRING "${_revision}" 0 4 _revision)
  set(${out_text} "${major}.${_minor}.${_revision}" PARENT_SCOPE)
endfunction()

# Quillmark.exe: the converter with its resources, a windowed program.
file(GLOB QUILLMARK_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/converter/*.cpp)
list(REMOVE_ITEM QUILLMARK_SOURCES ${PROJECT_SOURCE_DIR}/converter/main.cpp)
tov_windows_sources(QUILLMARK_SOURCES ${PROJECT_SOURCE_DIR}/converter)
add_library(quillmark_core STATIC ${QUILLMARK_SOURCES})
target_include_directories(quillmark_core PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(quillmark_core PUBLIC tov_ui tov_support tov_platform ferrule_interface ole32 oleaut32 uuid)

tov_rc_version(_rc_numbers _rc_text ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH})
set(_quillmark_rc ${PROJECT_SOURCE_DIR}/converter/win32/Quillmark.rc)
set_source_files_properties(${_quillmark_rc} PROPERTIES
  COMPILE_DEFINITIONS "TOV_RC_VERSION=${_rc_numbers};TOV_RC_VERSION_TEXT=${_rc_text}"
  OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/converter/resources/quillmark.ico;${PROJECT_SOURCE_DIR}/converter/win32/Quillmark.manifest")
add_executable(Quillmark WIN32 ${PROJECT_SOURCE_DIR}/converter/main.cpp ${_quillmark_rc})
target_include_directories(Quillmark PRIVATE ${PROJECT_SOURCE_DIR}/converter/resources ${PROJECT_SOURCE_DIR}/converter/win32)
target_link_libraries(Quillmark PRIVATE quillmark_core)
set_target_properties(Quillmark PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

# The component frame, with the units that meet the system's component
# model (dispatch slots, enumerator, error information, registry) replaced
# by their Windows namesakes. The frame's own loader stays out: the system
# loads components here.
# The registry is the system's own: no registry files to search for.
list(APPEND TOV_WINDOWS_LEAVE_OUT automation/ComponentLoader.cpp automation/RegistrySearch.cpp)
tov_glob_sources(AUTOMATION_SOURCES ${PROJECT_SOURCE_DIR}/automation)
add_library(tov_automation STATIC ${AUTOMATION_SOURCES})
target_include_directories(tov_automation PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tov_automation PUBLIC tov_support tov_platform oleaut32 ole32 uuid advapi32)

add_library(ferrule_interface INTERFACE)
target_include_directories(ferrule_interface INTERFACE ${PROJECT_SOURCE_DIR})
tov_glob_sources(FILEIO_DISPATCH_SOURCES ${PROJECT_SOURCE_DIR}/fileio/dispatch)
add_library(ferrule_dispatch STATIC ${FILEIO_DISPATCH_SOURCES})
target_link_libraries(ferrule_dispatch PUBLIC ferrule_core ferrule_interface tov_automation)

# The type libraries, compiled from interface definitions that a small
# program of the build machine writes from the type descriptions, so the
# binary libraries and the frame's late binding have one source.
find_program(TOV_HOST_CXX NAMES g++ c++ NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_program(TOV_HOST_CCACHE NAMES ccache NO_CMAKE_FIND_ROOT_PATH)
find_path(TOV_IDL_INCLUDE_DIR oaidl.idl PATHS /usr/include/wine/wine/windows /usr/include/wine/windows
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(TOV_STDOLE2_DIR stdole2.tlb PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
          /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/wine/x86_64-windows NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(_idl_tool_sources
  fileio/dispatch/idl/FerruleIdl.cpp automation/IdlWriter.cpp automation/TypeLibraryPatch.cpp
  automation/TypeDescription.cpp automation/Variant.cpp automation/Guid.cpp automation/RuntimeTypeLibrary.cpp
  fileio/dispatch/TypeLibrary.cpp platform/Utf.cpp platform/CaseFold.cpp platform/CodePage.cpp
  platform/CodePageTables.cpp)
list(TRANSFORM _idl_tool_sources PREPEND ${PROJECT_SOURCE_DIR}/)
set(_idl_dir ${PROJECT_BINARY_DIR}/typelib)
set(_idl_tool ${_idl_dir}/ferrule-idl)
add_custom_command(OUTPUT ${_idl_tool}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_idl_dir}
  COMMAND ${TOV_HOST_CCACHE} ${TOV_HOST_CXX} -std=c++20 -O1 -I${PROJECT_SOURCE_DIR} -o ${_idl_tool} ${_idl_tool_sources}
  DEPENDS ${_idl_tool_sources}
  COMMENT "Building ferrule-idl for the build machine")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_widl_target --win64)
else()
  set(_widl_target --win32)
endif()
set(_widl ${TOV_WIDL} ${_widl_target} -t -I ${TOV_IDL_INCLUDE_DIR} -L ${TOV_STDOLE2_DIR} -L ${_idl_dir})
add_custom_command(
  OUTPUT ${_idl_dir}/Ferrule0101.tlb ${_idl_dir}/AutomationRuntime.tlb ${_idl_dir}/Ferrule0101.idl
         ${_idl_dir}/AutomationRuntime.idl ${_idl_dir}/Ferrule0101Version.h
  COMMAND ${_idl_tool} ${_idl_dir}
  COMMAND ${_widl} -o ${_idl_dir}/AutomationRuntime.tlb ${_idl_dir}/AutomationRuntime.idl
  COMMAND ${_widl} -o ${_idl_dir}/Ferrule0101.tlb ${_idl_dir}/Ferrule0101.idl
  COMMAND ${_idl_tool} --mark-predeclared ${_idl_dir}/Ferrule0101.tlb
  DEPENDS ${_idl_tool}
  WORKING_DIRECTORY ${_idl_dir}
  COMMENT "Compiling the type libraries")
add_custom_target(ferrule_typelibs DEPENDS ${_idl_dir}/Ferrule0101.tlb ${_idl_dir}/AutomationRuntime.tlb)

# Ferrule0101.dll: the in-process component server.
set(_ferrule_rc ${PROJECT_SOURCE_DIR}/fileio/server/win32/Ferrule0101.rc)
set_source_files_properties(${_ferrule_rc} PROPERTIES
  OBJECT_DEPENDS "${_idl_dir}/Ferrule0101.tlb;${_idl_dir}/AutomationRuntime.tlb;${_idl_dir}/Ferrule0101Version.h")
add_library(Ferrule0101 SHARED ${PROJECT_SOURCE_DIR}/fileio/server/win32/Ferrule0101Exports.cpp ${_ferrule_rc}
            ${PROJECT_SOURCE_DIR}/fileio/server/win32/Ferrule0101.def)
add_dependencies(Ferrule0101 ferrule_typelibs)
target_include_directories(Ferrule0101 PRIVATE ${_idl_dir})
target_link_libraries(Ferrule0101 PRIVATE ferrule_dispatch)
set_target_properties(Ferrule0101 PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

# Checks run under Windows (or Wine) by tools/windows/check.sh.
add_executable(typelib-check ${PROJECT_SOURCE_DIR}/tests/windows/TypeLibraryCheck.cpp)
target_link_libraries(typelib-check PRIVATE ferrule_dispatch oleaut32 ole32)
target_link_options(typelib-check PRIVATE -municode)
set_target_properties(typelib-check PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

add_executable(platform-check ${PROJECT_SOURCE_DIR}/tests/windows/PlatformCheck.cpp)
target_link_libraries(platform-check PRIVATE tov_platform comctl32)
target_link_options(platform-check PRIVATE -municode)
set_target_properties(platform-check PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
