# The build stamp the program and its window toolkit module both carry.
#
# The module calls into the forms model and the support components the
# program exports, by name and with the program's class layouts; loading
# resolves the names but cannot see a layout or a meaning that changed. So
# both are compiled with one stamp, made from everything they share (the
# sources of ui/, support/ and platform/) and from how they are compiled,
# and the program refuses a module whose stamp differs.
#
# Included from a CMakeLists, tov_toolkit_build_stamp(target_var include_var)
# sets up the generated header ui/ToolkitBuildStamp.h, the target that
# makes it and the directory to include it from. Run as a script
# (cmake -P) it writes the header.

if(CMAKE_SCRIPT_MODE_FILE)
  file(STRINGS "${TOV_STAMP_FILE_LIST}" _files)
  set(_all "${TOV_STAMP_FLAVOUR}")
  foreach(_file IN LISTS _files)
    file(SHA256 "${_file}" _sum)
    string(APPEND _all "\n${_file}:${_sum}")
  endforeach()
  string(SHA256 _stamp "${_all}")
  string(SUBSTRING "${_stamp}" 0 16 _stamp)
  file(WRITE "${TOV_STAMP_HEADER}"
       "#pragma once\n"
       "// Made by cmake/ToolkitBuildStamp.cmake at build time; not to be edited.\n"
       "#define TOV_TOOLKIT_BUILD_STAMP \"${TOV_STAMP_VERSION}+${_stamp}\"\n")
  return()
endif()

set(_tov_stamp_script ${CMAKE_CURRENT_LIST_FILE})

function(tov_toolkit_build_stamp target_var include_var)
  set(_dir ${PROJECT_BINARY_DIR}/generated)
  set(_header ${_dir}/ui/ToolkitBuildStamp.h)
  file(GLOB_RECURSE _files CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/ui/*.h ${PROJECT_SOURCE_DIR}/ui/*.cpp
       ${PROJECT_SOURCE_DIR}/support/*.h ${PROJECT_SOURCE_DIR}/support/*.cpp
       ${PROJECT_SOURCE_DIR}/platform/*.h ${PROJECT_SOURCE_DIR}/platform/*.cpp)
  list(SORT _files)
  set(_list ${_dir}/toolkit-stamp-files.txt)
  string(REPLACE ";" "\n" _lines "${_files}")
  file(CONFIGURE OUTPUT ${_list} CONTENT "${_lines}\n")

  # How the code is compiled matters as much as what it says.
  string(TOUPPER "${CMAKE_BUILD_TYPE}" _type)
  get_directory_property(_options DIRECTORY ${PROJECT_SOURCE_DIR} COMPILE_OPTIONS)
  get_directory_property(_definitions DIRECTORY ${PROJECT_SOURCE_DIR} COMPILE_DEFINITIONS)
  set(_flavour "${CMAKE_CXX_COMPILER_ID} ${CMAKE_CXX_COMPILER_VERSION}|${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${_type}}|"
               "${_options}|${_definitions}|${CMAKE_CXX_STANDARD}|sanitize=${TOV_SANITIZE}")
  string(REPLACE ";" " " _flavour "${_flavour}")

  add_custom_command(
    OUTPUT ${_header}
    COMMAND ${CMAKE_COMMAND} -DTOV_STAMP_FILE_LIST=${_list} -DTOV_STAMP_HEADER=${_header}
            "-DTOV_STAMP_FLAVOUR=${_flavour}" -DTOV_STAMP_VERSION=${PROJECT_VERSION} -P ${_tov_stamp_script}
    DEPENDS ${_files} ${_list} ${_tov_stamp_script}
    COMMENT "Stamping the program and its toolkit module"
    VERBATIM)
  add_custom_target(tov_toolkit_build_stamp DEPENDS ${_header})
  set(${target_var} tov_toolkit_build_stamp PARENT_SCOPE)
  set(${include_var} ${_dir} PARENT_SCOPE)
endfunction()
