# A Debian package of everything a user installs:
#   cmake --build build && cpack -G DEB --config build/CPackConfig.cmake -B build/package
# Depends comes from the shared libraries the programs link (dpkg-shlibdeps);
# Recommends names what the programs need but do not link. The maintainer is
# the build's (cmake/debian_docs.cmake: TAVREL_MAINTAINER, DEBFULLNAME and
# DEBEMAIL, or the git identity).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrel)
set(CPACK_PACKAGE_VENDOR Talbrook)
if(NOT WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/debian_docs.cmake)
endif()
set(CPACK_PACKAGE_CONTACT "${TAVREL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Remote control for CameraLink cameras")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Reads and writes the settings of CameraLink cameras over an RS-232C line or a\n"
       "frame-grabber board's serial channel, shows them on one control panel and keeps\n"
       "them in .tdx files. Includes tavrelctl for scripts, the virtual camera\n"
       "tavrel-camsim and a CameraLink serial library served by a virtual camera.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Packaged apart from the sources: a Debian revision, as cmake/debian_docs.cmake's
# changelog names it.
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TAVREL_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The register editor's labels are Japanese: without a font that has their
# glyphs they show as empty boxes. Not linked, so dpkg-shlibdeps cannot tell.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-ipaexfont-gothic)
# The CameraLink test library lives in the package's own folder, not on the
# loader's search path: no shlibs entry and no ldconfig call for it;
# dpkg-shlibdeps still reads what it links.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
