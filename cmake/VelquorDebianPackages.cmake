# Debian packages (cpack --preset default): one per library, named after its soname as Debian's
# library policy asks, one with the development files, one with the velquor command. Each is an
# install component: a library's is named after it (velquor_library); Development holds the
# headers, CMake package, pkg-config files and link-time names; Command the velquor command. The
# packages install under /usr; the multiarch library folder comes from configuring for /usr, as
# the presets do (GNUInstallDirs picks it then).

set(velquor_libraries VelquorPlatform VelquorHeadless VelquorKit VelquorClassic)
if(TARGET VelquorGtk)
  list(APPEND velquor_libraries VelquorGtk)
endif()
if(TARGET VelquorQt)
  list(APPEND velquor_libraries VelquorQt)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velquor)
set(CPACK_PACKAGE_VENDOR Velquor)
set(CPACK_PACKAGE_CONTACT "${VELQUOR_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${velquor_libraries} Development Command)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies on Debian's libraries come from dpkg-shlibdeps; on our own packages, from the
# component dependencies below (exact version). dpkg-shlibdeps finds our own libraries in the build
# tree, where they belong to no package: that is what --ignore-missing-info, which CPack passes, is for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# Packages of other software linking our libraries get their dependencies from these shlibs files.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

# Every package carries its copyright file and Debian changelog, as Debian requires; these are
# installed by the packages only, not by a plain `cmake --install`.
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
execute_process(COMMAND gzip -9nc INPUT_FILE ${PROJECT_BINARY_DIR}/debian/changelog
  OUTPUT_FILE ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz COMMAND_ERROR_IS_FATAL ANY)

# velquor_debian_package(component package section [DEPENDS components...] [EXTRA_DEPENDS text]
#                        [RECOMMENDS text] DESCRIPTION synopsis lines...)
function(velquor_debian_package component package section)
  cmake_parse_arguments(ARG "" "EXTRA_DEPENDS;RECOMMENDS" "DEPENDS;DESCRIPTION" ${ARGN})
  string(TOUPPER ${component} var)
  list(JOIN ARG_DESCRIPTION "\n" description)
  set(CPACK_DEBIAN_${var}_PACKAGE_NAME ${package} PARENT_SCOPE)
  set(CPACK_DEBIAN_${var}_PACKAGE_SECTION ${section} PARENT_SCOPE)
  set(CPACK_DEBIAN_${var}_DESCRIPTION "${description}" PARENT_SCOPE)
  set(CPACK_COMPONENT_${var}_DEPENDS ${ARG_DEPENDS} PARENT_SCOPE)
  if(ARG_EXTRA_DEPENDS)
    set(CPACK_DEBIAN_${var}_PACKAGE_DEPENDS "${ARG_EXTRA_DEPENDS}" PARENT_SCOPE)
  endif()
  if(ARG_RECOMMENDS)
    set(CPACK_DEBIAN_${var}_PACKAGE_RECOMMENDS "${ARG_RECOMMENDS}" PARENT_SCOPE)
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component} EXCLUDE_FROM_ALL)
endfunction()

velquor_debian_package(VelquorPlatform libvelquorplatform${PROJECT_VERSION_MAJOR} libs
  DESCRIPTION "Velquor checkout kit - toolkit contract"
  "The toolkit contract both Velquor checkout libraries are written against:"
  "screens, navigation bar, spinner, alert, web view and script messages, and"
  "the Foundation stand-ins they use (errors, JSON, string encodings).")
velquor_debian_package(VelquorHeadless libvelquorheadless${PROJECT_VERSION_MAJOR} libs
  DEPENDS VelquorPlatform
  DESCRIPTION "Velquor checkout kit - in-memory toolkit"
  "A deterministic toolkit without a display for the Velquor checkout: tests"
  "of an app's own delegate code drive the checkout's web view and alerts"
  "through it.")
velquor_debian_package(VelquorKit libvelquorkit${PROJECT_VERSION_MAJOR} libs
  DEPENDS VelquorPlatform
  DESCRIPTION "Velquor checkout kit - value-record interface"
  "The Velquor checkout with its parameters as a value record and keyed JSON"
  "coding: it presents the gateway's payment pages and passes their result to"
  "the app's delegate.")
velquor_debian_package(VelquorClassic libvelquorclassic${PROJECT_VERSION_MAJOR} libs
  DEPENDS VelquorPlatform
  DESCRIPTION "Velquor checkout kit - object interface"
  "The Velquor checkout with its parameters as an object set by gateway key and"
  "C-linkage JSON functions: it presents the gateway's payment pages and passes"
  "their result to the app's delegate.")
if(TARGET VelquorGtk)
  velquor_debian_package(VelquorGtk libvelquorgtk${PROJECT_VERSION_MAJOR} libs
    DEPENDS VelquorPlatform
    DESCRIPTION "Velquor checkout kit - GTK 4 and WebKitGTK toolkit"
    "Shows either Velquor checkout library's checkout in an app's own GTK"
    "window, with the gateway's pages in a WebKitGTK web view. With it comes the"
    "web process extension that reports the loads WebKit refuses.")
endif()
if(TARGET VelquorQt)
  velquor_debian_package(VelquorQt libvelquorqt${PROJECT_VERSION_MAJOR} libs
    DEPENDS VelquorPlatform
    DESCRIPTION "Velquor checkout kit - Qt 6 WebEngine toolkit"
    "Shows either Velquor checkout library's checkout in an app's own Qt Widgets"
    "window, with the gateway's pages in a Qt WebEngine web view.")
endif()
# The loader's cache learns of the libraries through dpkg's trigger.
foreach(library IN LISTS velquor_libraries)
  string(TOUPPER ${library} var)
  set(CPACK_DEBIAN_${var}_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/debian/triggers)
endforeach()
# The CMake package and pkg-config files name nlohmann_json, for the GTK toolkit gtk4 and
# webkitgtk-6.0 through pkg-config, and for the Qt toolkit Qt 6 Widgets and WebEngine.
set(development_depends "nlohmann-json3-dev (>= 3.11)")
if(TARGET VelquorGtk)
  string(APPEND development_depends ", pkg-config, libgtk-4-dev (>= 4.8), libwebkitgtk-6.0-dev (>= 2.40)")
endif()
if(TARGET VelquorQt)
  string(APPEND development_depends ", qt6-base-dev (>= 6.4), qt6-webengine-dev (>= 6.4)")
endif()
velquor_debian_package(Development libvelquorkit-dev libdevel
  DEPENDS ${velquor_libraries}
  EXTRA_DEPENDS "${development_depends}"
  DESCRIPTION "Velquor checkout kit - development files"
  "Headers, the CMake package (find_package(VelquorKit)) and pkg-config files"
  "(velquorkit, velquorclassic, velquorheadless, velquorgtk, velquorqt, velquorplatform)"
  "of the Velquor checkout libraries.")
# Without a display, `velquor demo` runs itself under xvfb-run.
velquor_debian_package(Command velquor devel
  DEPENDS ${velquor_libraries}
  RECOMMENDS "xvfb, xauth"
  DESCRIPTION "command line of the Velquor checkout kit"
  "Prints the page the checkout loads for a parameters document, checks"
  "parameters documents, runs a real checkout in a small GTK window, and plays"
  "the gateway on loopback (sandbox, demo).")

include(CPack)
