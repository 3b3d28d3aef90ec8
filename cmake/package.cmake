# `make deb`: a Debian package of both programs, their desktop entry, icons, manuals and
# AppStream metadata, built by CPack from the install rules, its dependencies found by
# dpkg-shlibdeps from the libraries the programs link.
include(GNUInstallDirs)

set(picreel_doc ${CMAKE_INSTALL_DATADIR}/doc/picreel)
configure_file(${PROJECT_SOURCE_DIR}/packaging/example.fernquill.picreel.metainfo.xml
               ${PROJECT_BINARY_DIR}/packaging/example.fernquill.picreel.metainfo.xml @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in
               ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/example.fernquill.picreel.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog
        DESTINATION ${picreel_doc})

# Debian wants the change log and the manuals compressed, with no time stamp inside, so that
# the same sources give the same package. Done in the package's staging folder only: an
# install by hand keeps plain manuals.
install(CODE [[
if(NOT "$ENV{DESTDIR}" STREQUAL "")
    set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    file(GLOB pages "${root}/share/man/man1/*.1")
    execute_process(COMMAND gzip -9nf ${pages} "${root}/share/doc/picreel/changelog"
                    COMMAND_ERROR_IS_FATAL ANY)
endif()
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME picreel)
set(CPACK_PACKAGE_VENDOR Fernquill)
set(CPACK_PACKAGE_CONTACT "Fernquill <picreel@fernquill.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn a list of still pictures into one AVI video")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "PICREEL makes a video-only AVI file of an ordered list of BMP, JPEG and GIF
pictures: browse folders, preview pictures, build and edit the list, set the
frame rate and how long each picture shows, choose a compressor, write the
video and play it.

picreel-make does the same from the command line, and fits photographs of any
size and shape (JPEG, PNG, WebP, TIFF) into one frame size.")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# WebP and TIFF pictures are read through Qt's plugins, which no library links.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-image-formats-plugins)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/dist)
include(CPack)
