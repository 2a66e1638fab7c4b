# Build conventions shared by every target of the project.

if(VELQUOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

function(velquor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
    $<$<BOOL:${VELQUOR_WERROR}>:-Werror>)
endfunction()

# Public headers are included by their installed path (<VelquorKit/Velquor.h>, <velquor/platform/UIView.h>),
# which flattens the source folders (platform/ui/UIView.h) and renames some (kit/ -> VelquorKit/); a
# file set keeps a header's path below its base folder, so it cannot install the sources as they lie.
# - Build tree: a forwarding header stands at the installed path, so every include reaches the one
#   real file (#pragma once then holds, and errors point at the source).
# - Install: the file set holds exact copies staged at the installed path under a base folder of
#   their own; they are never reached while building, because the forwarders come first.
function(velquor_public_headers target subdir)
  set(forward_root ${PROJECT_BINARY_DIR}/include)
  set(stage_root ${PROJECT_BINARY_DIR}/installed-headers)
  # The file set gives users of the installed target the include folder too, but only from CMake 3.23 on.
  target_include_directories(${target} BEFORE PUBLIC
    $<BUILD_INTERFACE:${forward_root}> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  if(NOT ARGN)
    return()
  endif()
  set(staged)
  file(MAKE_DIRECTORY ${stage_root}/${subdir})
  foreach(header IN LISTS ARGN)
    get_filename_component(abs ${header} ABSOLUTE)
    get_filename_component(name ${header} NAME)
    file(CONFIGURE OUTPUT ${forward_root}/${subdir}/${name}
         CONTENT "#pragma once\n#include \"${abs}\"\n" @ONLY)
    set(copy ${stage_root}/${subdir}/${name})
    add_custom_command(OUTPUT ${copy} COMMAND ${CMAKE_COMMAND} -E copy ${abs} ${copy} DEPENDS ${abs} VERBATIM)
    list(APPEND staged ${copy})
  endforeach()
  target_sources(${target} PRIVATE ${ARGN} PUBLIC FILE_SET HEADERS BASE_DIRS ${stage_root} FILES ${staged})
endfunction()

# A shared library of the kit: hidden by default, versioned, installed and exported with what its
# users need (C++20, its headers, the libraries it links publicly). Each library is a package of its
# own (install component named after it); the link-time name and the headers go with the
# development files.
function(velquor_library target)
  add_library(${target} SHARED)
  add_library(VelquorKit::${target} ALIAS ${target})
  set_target_properties(${target} PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
    EXPORT_NAME ${target}
    # Installed, the libraries find each other in their own folder, under any prefix.
    INSTALL_RPATH "$ORIGIN")
  target_compile_features(${target} PUBLIC cxx_std_20)
  velquor_warnings(${target})
  # Nothing from static dependencies leaks into the dynamic symbol table.
  target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL $<$<NOT:$<BOOL:${VELQUOR_SANITIZE}>>:-Wl,--no-undefined>)
  # Installed once its folder is done: a file set must exist when it is installed, and the folder
  # declares the headers (velquor_public_headers) after making the library.
  cmake_language(EVAL CODE "cmake_language(DEFER CALL velquor_install_library ${target})")
endfunction()

function(velquor_install_library target)
  install(TARGETS ${target} EXPORT VelquorKitTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${target} NAMELINK_COMPONENT Development
    FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)
endfunction()
