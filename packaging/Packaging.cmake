# The Debian package: `cpack -G DEB` in a build directory makes tarnwick_<version>_<arch>.deb with
# everything `cmake --install` installs (engine, runtime, headers and CMake package, the velmora
# tool, the client with its desktop entry and icon, the manual and the man pages), installed
# under /usr.
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "The Tarnwick developers")
set(CPACK_PACKAGE_CONTACT "Tarnwick developers <tarnwick@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bug tracker for small teams, with its engine")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_CURRENT_LIST_DIR}/debian/description)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
# Installed programs carry no debugging information.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME tarnwick)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends comes from the shared libraries the programs use. Our own libraries are found in the
# package's library directory (the programs' RPATH points there as well) and need no package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "usr/${CMAKE_INSTALL_LIBDIR}")
# The runtime library is public: programs built against the package depend on it.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The maintainer scripts register the engine for every user of the machine, and undo it.
set(VELMORA_PACKAGE_LIBRARY ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/libVelmora.so)
set(VELMORA_PACKAGE_TOOL ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/velmora)
set(VELMORA_SYSTEM_REGISTRY /etc/xdg/velmora/registry)
foreach(script postinst prerm postrm)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/${script}.in
                 ${CMAKE_BINARY_DIR}/packaging/debian/${script} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_BINARY_DIR}/packaging/debian/postinst
    ${CMAKE_BINARY_DIR}/packaging/debian/prerm
    ${CMAKE_BINARY_DIR}/packaging/debian/postrm
    ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)

# The package's own documents: copyright and changelog (compressed, as Debian expects).
set(VELMORA_PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tarnwick)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/debian/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/debian/changelog
    VERBATIM)
add_custom_target(tarnwick_package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${VELMORA_PACKAGE_DOC_DIR})

include(CPack)
