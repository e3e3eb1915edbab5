# Arrows between the directories run one way. The library side (platform,
# support, the frame, the file services and their clients) never reaches
# the user interface or the toolkit; this walks each such target's link
# closure at configure time, so a forbidden link fails the build before it
# compiles. The include arrows are checked by tools/check_layers.py.

function(_tov_link_closure target out)
  set(_seen "")
  set(_todo ${target})
  while(_todo)
    list(POP_FRONT _todo _t)
    if(_t IN_LIST _seen OR NOT TARGET ${_t})
      continue()
    endif()
    list(APPEND _seen ${_t})
    foreach(_prop LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(_libs ${_t} ${_prop})
      if(_libs)
        foreach(_lib IN LISTS _libs)
          # Generator expressions such as $<LINK_ONLY:x> keep their target.
          string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" _lib "${_lib}")
          if(NOT _lib MATCHES "^\\$<")
            list(APPEND _todo ${_lib})
          endif()
        endforeach()
      endif()
    endforeach()
  endwhile()
  set(${out} ${_seen} PARENT_SCOPE)
endfunction()

function(tov_check_layers)
  set(_library_side tov_platform tov_support tov_automation ferrule_core ferrule_interface
      ferrule_dispatch Ferrule0101 ferrule0101_native tovregsvr tovcall)
  foreach(_target IN LISTS _library_side)
    if(NOT TARGET ${_target})
      continue()
    endif()
    _tov_link_closure(${_target} _closure)
    foreach(_dep IN LISTS _closure)
      if(_dep MATCHES "^(tov_ui|tov_ui_qt|tov_ui_qt_objects|tovui-qt|quillmark_core|Qt6::.*)$")
        message(FATAL_ERROR "Layering: ${_target} links ${_dep}; the library side must not reach the user interface")
      endif()
      # GLib and the icon theme come in through the desktop module, loaded
      # on first use; linking them would load them into every client.
      if(_dep MATCHES "^(tovdesktop-gio|PkgConfig::TOV_DESKTOP_DEPS)$")
        message(FATAL_ERROR "Layering: ${_target} links ${_dep}; load it through platform/DesktopModule instead")
      endif()
    endforeach()
  endforeach()
  _tov_link_closure(ferrule_core _closure)
  if("tov_automation" IN_LIST _closure)
    message(FATAL_ERROR "Layering: ferrule_core links the component frame; its classes stay free of frame types")
  endif()
endfunction()
