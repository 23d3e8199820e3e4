# Install rules, the CMake package, the pkg-config files and the Debian
# packages. An install has the same layout as the build tree: the host program
# in bin/, the module in the library folder, the template and the server
# backup in share/strataloom/.
#
# Every file belongs to one component, and each component is one Debian
# package, split as Debian splits a library:
#   runtime      libstrataloomN     the module (N its soname's number) and the import module
#   data         strataloom-data    the template project database and the server backup
#   development  libstrataloom-dev  headers, the link name, the formats library, CMake and pkg-config
#   program      strataloom         the host program and its manual page
# A further component (another language's binding) adds its own install rules
# and its package settings (CPACK_DEBIAN_<COMPONENT>_...) before this file is
# included; every component installed becomes a package of its own.
include(CMakePackageConfigHelpers)

set(STRATALOOM_RUNTIME_PACKAGE libstrataloom${PROJECT_VERSION_MAJOR})

install(TARGETS strataloom EXPORT strataloomTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
    NAMELINK_COMPONENT development)
install(TARGETS strataloom_formats EXPORT strataloomTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
install(TARGETS strataloom_host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
# The import module that names the work directory: the module loads it from
# its own folder by its plain name, so that name goes with the run-time files.
install(TARGETS Quernxml
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT runtime)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/strataloom
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development
  FILES_MATCHING PATTERN "*.h")
# The formats library's headers include each other as "formats/NAME.h".
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/formats/
  DESTINATION ${STRATALOOM_FORMATS_INCLUDEDIR}/formats COMPONENT development
  FILES_MATCHING PATTERN "*.h")
install(FILES ${STRATALOOM_TEMPLATE} DESTINATION ${STRATALOOM_INSTALL_DATADIR}/template
  COMPONENT data)
install(FILES ${STRATALOOM_DATA_BACKUP} DESTINATION ${STRATALOOM_INSTALL_DATADIR} COMPONENT data)

# find_package(strataloom CONFIG) gives the imported targets strataloom::strataloom
# and strataloom::formats.
install(EXPORT strataloomTargets
  NAMESPACE strataloom::
  DESTINATION ${STRATALOOM_INSTALL_CMAKEDIR} COMPONENT development)
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
  DESTINATION ${STRATALOOM_INSTALL_CMAKEDIR} COMPONENT development)

# The pkg-config files locate the install from their own place, so an install
# moved to another prefix (the Debian packages) still answers right.
set(STRATALOOM_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH STRATALOOM_PC_TO_PREFIX
  ${CMAKE_INSTALL_PREFIX}/${STRATALOOM_PKGCONFIG_DIR} ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" STRATALOOM_PC_TO_PREFIX "${STRATALOOM_PC_TO_PREFIX}")
foreach(pc strataloom strataloom-formats)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${pc}.pc.in ${PROJECT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${pc}.pc DESTINATION ${STRATALOOM_PKGCONFIG_DIR}
    COMPONENT development)
endforeach()

# The manual page of the host program, made from its own help texts.
set(STRATALOOM_MANPAGE ${PROJECT_BINARY_DIR}/man/strataloom.1.gz)
add_custom_command(
  OUTPUT ${STRATALOOM_MANPAGE}
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/manpage.sh $<TARGET_FILE:strataloom_host>
    ${PROJECT_VERSION} ${STRATALOOM_MANPAGE}
  DEPENDS strataloom_host ${CMAKE_CURRENT_LIST_DIR}/manpage.sh
  COMMENT "Making the manual page of the host program")
add_custom_target(manpage ALL DEPENDS ${STRATALOOM_MANPAGE})
install(FILES ${STRATALOOM_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)

# Debian wants a copyright file and a compressed changelog in the
# documentation folder of every package.
set(STRATALOOM_CHANGELOG ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
add_custom_command(
  OUTPUT ${STRATALOOM_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/debian
  COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/debian/changelog > ${STRATALOOM_CHANGELOG}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/debian/changelog
  COMMENT "Compressing the Debian changelog")
add_custom_target(debian_changelog ALL DEPENDS ${STRATALOOM_CHANGELOG})
function(strataloom_package_docs component package)
  install(FILES ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/debian/copyright ${STRATALOOM_CHANGELOG}
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endfunction()

# cpack -G DEB: one package per component, under /usr.
set(CPACK_PACKAGE_NAME strataloom)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Strataloom developers")
set(CPACK_PACKAGE_CONTACT "Strataloom developers <strataloom@localhost>")
# Each package's description is its component's, the first line the synopsis
# (a summary given here would go in front of every one).
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)  # the first packaging of each version
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_STRIP_FILES ON)
find_program(STRATALOOM_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(STRATALOOM_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${STRATALOOM_RUNTIME_PACKAGE})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The loader's cache is renewed by dpkg's ldconfig trigger, not by scripts.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers
  ${CMAKE_CURRENT_LIST_DIR}/debian/postinst ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "Data-access module for geoscience project databases\nThe module a host program loads to read and write wells, log curves,\nmarkers, cores, maps, seismic geometry and symbol libraries in project\ndatabases (a project file, or a database on a server).")
set(CPACK_COMPONENT_RUNTIME_DEPENDS data)

set(CPACK_DEBIAN_DATA_PACKAGE_NAME strataloom-data)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DATA_PACKAGE_SHLIBDEPS OFF)
set(CPACK_COMPONENT_DATA_DESCRIPTION
  "Data-access module for geoscience project databases - data\nThe template project database and the server backup, from which new\nprojects are made.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libstrataloom-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
  "Data-access module for geoscience project databases - development files\nThe public headers, the CMake package (strataloom::strataloom,\nstrataloom::formats) and the pkg-config files (strataloom,\nstrataloom-formats); the formats library: LAS files, tops and surveys\nfrom spreadsheets, minimum curvature, log plots.")
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
# The static formats library links the engines' client libraries.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libsqlite3-dev, libpq-dev")

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME strataloom)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION
  "Data-access module for geoscience project databases - host program\nThe strataloom command: makes projects, lists them, imports and exports\nLAS files, tops and deviation surveys, and draws log plots.")
set(CPACK_COMPONENT_PROGRAM_DEPENDS runtime)

strataloom_package_docs(runtime ${STRATALOOM_RUNTIME_PACKAGE})
# libQuernxml.so is the name the module loads, not a link name: it belongs here.
file(WRITE ${PROJECT_BINARY_DIR}/debian/lintian-overrides
  "${STRATALOOM_RUNTIME_PACKAGE}: link-to-shared-library-in-wrong-package *libQuernxml.so*\n"
  "# The scripts stand in for cpack's, which would call ldconfig; the trigger does that.\n"
  "${STRATALOOM_RUNTIME_PACKAGE}: maintainer-script-empty *\n")
install(FILES ${PROJECT_BINARY_DIR}/debian/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
  RENAME ${STRATALOOM_RUNTIME_PACKAGE} COMPONENT runtime)
strataloom_package_docs(data strataloom-data)
strataloom_package_docs(development libstrataloom-dev)
strataloom_package_docs(program strataloom)

# The Python package (install component python, python/CMakeLists.txt) is a
# Debian package of its own, python3-strataloom, beside the run-time library.
if(TARGET strataloom_python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-strataloom)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  set(CPACK_COMPONENT_PYTHON_DESCRIPTION
    "Data-access module for geoscience project databases - Python package\nThe Python package strataloom: project databases as numpy arrays and\npandas DataFrames.")
  set(CPACK_COMPONENT_PYTHON_DEPENDS runtime)
  # Its extension is built for one Python version; the dependencies are
  # named here rather than found.
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_GENERATE_SHLIBS OFF)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}), python3 (<< ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}.99), python3-numpy, python3-pandas, libc6, libstdc++6")
  strataloom_package_docs(python python3-strataloom)
endif()
include(CPack)
