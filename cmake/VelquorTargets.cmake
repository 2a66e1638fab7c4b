# Build conventions shared by every target of the project.

if(VELQUOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

option(VELQUOR_WERROR "Treat compiler warnings as errors" OFF)

function(velquor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
    $<$<BOOL:${VELQUOR_WERROR}>:-Werror>)
endfunction()

# Public headers are included by their installed path (<VelquorKit/Velquor.h>, <velquor/platform/UIView.h>).
# In the build tree a forwarding header stands at that path; the install copies the real one there.
function(velquor_public_headers target subdir)
  set(forward_root ${PROJECT_BINARY_DIR}/include)
  foreach(header IN LISTS ARGN)
    get_filename_component(abs ${header} ABSOLUTE)
    get_filename_component(name ${header} NAME)
    file(CONFIGURE OUTPUT ${forward_root}/${subdir}/${name}
         CONTENT "#pragma once\n#include \"${abs}\"\n" @ONLY)
    install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${subdir} COMPONENT devel)
  endforeach()
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${forward_root}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  if(ARGN)
    target_sources(${target} PRIVATE ${ARGN})
  endif()
endfunction()

# A shared library of the kit: hidden by default, versioned, installed and exported.
function(velquor_library target)
  add_library(${target} SHARED)
  add_library(VelquorKit::${target} ALIAS ${target})
  set_target_properties(${target} PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
    EXPORT_NAME ${target})
  velquor_warnings(${target})
  # Nothing from static dependencies leaks into the dynamic symbol table.
  target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL $<$<NOT:$<BOOL:${VELQUOR_SANITIZE}>>:-Wl,--no-undefined>)
  install(TARGETS ${target} EXPORT VelquorKitTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT devel
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
endfunction()
