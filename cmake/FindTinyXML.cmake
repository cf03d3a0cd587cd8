# Finds TinyXML (the original 2.x parser, not TinyXML-2).
#
# Result: imported target TinyXML::TinyXML, and TinyXML_FOUND,
# TinyXML_VERSION, TinyXML_INCLUDE_DIRS, TinyXML_LIBRARIES.
#
# Debian's libtinyxml-dev is built with TIXML_USE_STL and its header forces
# that define, so every user sees the same class layout as the library. The
# target carries the define whenever the header forces it.

find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(PC_TinyXML QUIET tinyxml)
endif()

find_path(TinyXML_INCLUDE_DIR tinyxml.h HINTS ${PC_TinyXML_INCLUDE_DIRS})
find_library(TinyXML_LIBRARY NAMES tinyxml HINTS ${PC_TinyXML_LIBRARY_DIRS})

if(TinyXML_INCLUDE_DIR AND EXISTS "${TinyXML_INCLUDE_DIR}/tinyxml.h")
  file(STRINGS "${TinyXML_INCLUDE_DIR}/tinyxml.h" _tinyxml_version_lines
       REGEX "const int TIXML_(MAJOR|MINOR|PATCH)_VERSION")
  foreach(_part MAJOR MINOR PATCH)
    string(REGEX MATCH "TIXML_${_part}_VERSION = ([0-9]+)" _m "${_tinyxml_version_lines}")
    set(_tinyxml_${_part} "${CMAKE_MATCH_1}")
  endforeach()
  if(NOT "${_tinyxml_MAJOR}" STREQUAL "")
    set(TinyXML_VERSION "${_tinyxml_MAJOR}.${_tinyxml_MINOR}.${_tinyxml_PATCH}")
  endif()
  file(STRINGS "${TinyXML_INCLUDE_DIR}/tinyxml.h" _tinyxml_stl_lines
       REGEX "^[ \t]*#[ \t]*define[ \t]+TIXML_USE_STL")
  if(_tinyxml_stl_lines)
    set(TinyXML_USE_STL ON)
  else()
    set(TinyXML_USE_STL OFF)
  endif()
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(TinyXML
  REQUIRED_VARS TinyXML_LIBRARY TinyXML_INCLUDE_DIR
  VERSION_VAR TinyXML_VERSION)

if(TinyXML_FOUND)
  set(TinyXML_INCLUDE_DIRS ${TinyXML_INCLUDE_DIR})
  set(TinyXML_LIBRARIES ${TinyXML_LIBRARY})
  if(NOT TARGET TinyXML::TinyXML)
    add_library(TinyXML::TinyXML UNKNOWN IMPORTED)
    set_target_properties(TinyXML::TinyXML PROPERTIES
      IMPORTED_LOCATION "${TinyXML_LIBRARY}"
      INTERFACE_INCLUDE_DIRECTORIES "${TinyXML_INCLUDE_DIR}")
    if(TinyXML_USE_STL)
      set_property(TARGET TinyXML::TinyXML PROPERTY
        INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)
    endif()
  endif()
endif()

mark_as_advanced(TinyXML_INCLUDE_DIR TinyXML_LIBRARY)
