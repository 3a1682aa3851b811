# Release packages through CPack, named after the project version (the one in the project() call,
# which the module's version resource and `corvane --version` report too):
#   Windows build: CorvanePro-<version>-win64.zip  - the module, an install note, the licence, the README
#   native build:  corvane_<version>_amd64.deb      - the command-line host, its library dependencies
#                                                     found by dpkg-shlibdeps
# `cpack --preset windows-zip` and `cpack --preset deb` make them after the builds; package a release
# build, never the sanitized debug one.

set(CPACK_PACKAGE_NAME "CorvanePro")
set(CPACK_PACKAGE_VENDOR "Quillmark Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Diffraction spikes for the stars of astronomical images")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "CorvanePro-${PROJECT_VERSION}-win64")
    # The module alone: hosts load it by copying, and its import library is of no use to them.
    install(FILES $<TARGET_FILE:CorvanePro> DESTINATION .)
    install(FILES ${CMAKE_SOURCE_DIR}/docs/Install-Windows.txt DESTINATION . RENAME INSTALL.txt)
    install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
    install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_PACKAGE_NAME corvane)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillmark Software")
    set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Corvane Pro command-line host: diffraction spikes for astronomical images")
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Finds the stars in TIFF, PNG and FITS images and paints diffraction spikes,\nflare and colour around them, as the Corvane Pro filter plug-in does in\nPhotoshop-compatible hosts.")
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    install(TARGETS corvane RUNTIME DESTINATION bin)
    install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION share/doc/corvane RENAME copyright)
    install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/corvane)
endif()

include(CPack)
