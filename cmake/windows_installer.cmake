# The Windows release in the Windows build folder: tavrel-setup.exe (both
# programs, the CameraLink test library, a Start-menu entry, the .tdx file
# type, the licence texts and notices, with the relinking kit as an optional
# part; made by NSIS's makensis, Debian's nsis package, from
# packaging/windows/) and beside it qt-source/, the exact source of the Qt in
# tavrel.exe, which scripts/build-qt-windows puts there.
find_program(TAVREL_MAKENSIS makensis)
if(NOT TAVREL_MAKENSIS)
  message(STATUS "Windows installer: not built (needs makensis, Debian's nsis)")
  return()
endif()

set(windows_packaging ${PROJECT_SOURCE_DIR}/packaging/windows)
set(stage ${CMAKE_BINARY_DIR}/installer)
set(setup ${CMAKE_BINARY_DIR}/tavrel-setup.exe)
set(qt_source ${CMAKE_BINARY_DIR}/qt-source)
# The Qt prefix: Qt6_DIR is <prefix>/lib/cmake/Qt6.
cmake_path(GET Qt6_DIR PARENT_PATH qt_prefix)
cmake_path(GET qt_prefix PARENT_PATH qt_prefix)
cmake_path(GET qt_prefix PARENT_PATH qt_prefix)
set(qt_built ${qt_prefix}/tavrel-build-complete)

# Again whenever that Qt is built again.
add_custom_command(
  OUTPUT ${qt_source}.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${qt_source}
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-qt-windows --release-files ${qt_source}
  COMMAND ${CMAKE_COMMAND} -E touch ${qt_source}.stamp
  DEPENDS ${qt_built}
  COMMENT "Putting Qt's source beside the installer"
  VERBATIM)

file(GLOB packaging_files ${windows_packaging}/* ${windows_packaging}/relink/*)
add_custom_command(
  OUTPUT ${setup}
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DBUILD_DIR=${CMAKE_BINARY_DIR}
          -DSTAGE=${stage} -DSTRIP=${CMAKE_STRIP} -DQT_PREFIX=${qt_prefix}
          -DQT_SOURCE=${qt_source} -P ${windows_packaging}/stage.cmake
  COMMAND ${TAVREL_MAKENSIS} -V2 -DSTAGE=${stage} -DOUTFILE=${setup}
          -DVERSION=${PROJECT_VERSION} ${windows_packaging}/tavrel.nsi
  DEPENDS tavrel tavrelctl clsersim ${packaging_files} ${qt_source}.stamp
          ${PROJECT_SOURCE_DIR}/scripts/build-qt-windows
  COMMENT "Making tavrel-setup.exe"
  VERBATIM)
add_custom_target(windows_installer ALL DEPENDS ${setup})
