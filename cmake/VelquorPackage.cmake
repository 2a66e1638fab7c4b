# find_package(VelquorKit CONFIG) and pkg-config files for the installed libraries.
include(CMakePackageConfigHelpers)

set(VELQUOR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/VelquorKit)
install(EXPORT VelquorKitTargets NAMESPACE VelquorKit:: DESTINATION ${VELQUOR_CMAKE_DIR} COMPONENT Development)
# The config file finds Qt for the Qt toolkit's users only when the package has that toolkit.
if(TARGET VelquorQt)
  set(VELQUOR_PACKAGE_HAS_QT ON)
else()
  set(VELQUOR_PACKAGE_HAS_QT OFF)
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VelquorKitConfig.cmake.in
  ${PROJECT_BINARY_DIR}/VelquorKitConfig.cmake INSTALL_DESTINATION ${VELQUOR_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VelquorKitConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VelquorKitConfig.cmake ${PROJECT_BINARY_DIR}/VelquorKitConfigVersion.cmake
  DESTINATION ${VELQUOR_CMAKE_DIR} COMPONENT Development)

# One .pc file per library: name, description, the libraries it needs.
function(velquor_pkgconfig target description requires)
  if(NOT TARGET ${target})
    return()
  endif()
  string(TOLOWER ${target} pc_name)
  set(PC_NAME ${target})
  set(PC_DESCRIPTION ${description})
  set(PC_REQUIRES ${requires})
  set(PC_LIBRARY ${target})
  # Relocatable: the prefix is found from where the .pc file lies.
  file(RELATIVE_PATH PC_PREFIX_FROM_PCDIR /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
  string(REGEX REPLACE "/$" "" PC_PREFIX_FROM_PCDIR "${PC_PREFIX_FROM_PCDIR}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/velquor.pc.in ${PROJECT_BINARY_DIR}/pkgconfig/${pc_name}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${pc_name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
endfunction()

velquor_pkgconfig(VelquorPlatform "Velquor checkout toolkit contract" "nlohmann_json")
velquor_pkgconfig(VelquorHeadless "Velquor in-memory toolkit for tests" "velquorplatform")
velquor_pkgconfig(VelquorKit "Velquor checkout kit (value-record interface)" "velquorplatform")
velquor_pkgconfig(VelquorClassic "Velquor checkout kit (object interface)" "velquorplatform")
velquor_pkgconfig(VelquorGtk "Velquor GTK 4 + WebKitGTK toolkit" "velquorplatform gtk4 webkitgtk-6.0")
velquor_pkgconfig(VelquorQt "Velquor Qt 6 WebEngine toolkit" "velquorplatform Qt6Widgets Qt6WebEngineWidgets")
