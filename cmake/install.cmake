# Install rules, the CMake package, the pkg-config file and the Debian
# package. An install has the same layout as the build tree: the host program
# in bin/, the module in lib/, the template and the server backup in
# share/strataloom/.
include(CMakePackageConfigHelpers)

install(TARGETS strataloom EXPORT strataloomTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS strataloom_host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The import module that names the work directory: the module loads it from
# its own folder.
install(TARGETS Quernxml LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/strataloom
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")
install(FILES ${STRATALOOM_TEMPLATE} DESTINATION ${STRATALOOM_INSTALL_DATADIR}/template)
install(FILES ${STRATALOOM_DATA_BACKUP} DESTINATION ${STRATALOOM_INSTALL_DATADIR})

# find_package(strataloom CONFIG) gives the imported target strataloom::strataloom.
install(EXPORT strataloomTargets
  NAMESPACE strataloom::
  DESTINATION ${STRATALOOM_INSTALL_CMAKEDIR})
configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/strataloomConfig.cmake.in
  ${PROJECT_BINARY_DIR}/strataloomConfig.cmake
  INSTALL_DESTINATION ${STRATALOOM_INSTALL_CMAKEDIR}
  PATH_VARS STRATALOOM_INSTALL_DATADIR)
# Hosts built against one minor version run on the later ones of the same major.
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/strataloomConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/strataloomConfig.cmake
  ${PROJECT_BINARY_DIR}/strataloomConfigVersion.cmake
  DESTINATION ${STRATALOOM_INSTALL_CMAKEDIR})

# The pkg-config file locates the install from its own place, so an install
# moved to another prefix (the Debian package) still answers right.
set(STRATALOOM_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH STRATALOOM_PC_TO_PREFIX
  ${CMAKE_INSTALL_PREFIX}/${STRATALOOM_PKGCONFIG_DIR} ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" STRATALOOM_PC_TO_PREFIX "${STRATALOOM_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/strataloom.pc.in ${PROJECT_BINARY_DIR}/strataloom.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/strataloom.pc DESTINATION ${STRATALOOM_PKGCONFIG_DIR})

# cpack -G DEB: one package holding the whole install, under /usr.
set(CPACK_PACKAGE_NAME strataloom)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Strataloom developers")
set(CPACK_PACKAGE_CONTACT "Strataloom developers <strataloom@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
find_program(STRATALOOM_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(STRATALOOM_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libsqlite3-0, libpq5")
endif()
# The Python package (install component python, python/CMakeLists.txt) is
# a Debian package of its own, python3-strataloom, beside strataloom.
if(TARGET strataloom_python)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME strataloom)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-strataloom)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  set(CPACK_COMPONENT_PYTHON_DESCRIPTION
    "Python package strataloom: project databases as numpy arrays and pandas DataFrames")
  # Its extension needs the module of the strataloom package and is built for
  # one Python version; the dependencies are named here rather than found.
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_GENERATE_SHLIBS OFF)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "strataloom (= ${PROJECT_VERSION}), python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}), python3 (<< ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}.99), python3-numpy, python3-pandas, libc6, libstdc++6")
endif()
include(CPack)
