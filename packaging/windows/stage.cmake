# Stages what tavrel-setup.exe carries (cmake -P, run by the Windows build):
# the programs and the CameraLink test library without their debugging
# information, the licence texts with the Qt build's recipe, and the relinking
# kit. Variables: SOURCE_DIR BUILD_DIR STAGE STRIP QT_PREFIX.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/licenses/qt-build ${STAGE}/relink/lib ${STAGE}/relink/objects)

# The programs lose their symbols too; the kit's objects keep theirs, which
# the linker needs.
function(strip_into how input output)
  execute_process(COMMAND ${STRIP} ${how} -o ${output} ${input} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

strip_into(--strip-all ${BUILD_DIR}/app/tavrel.exe ${STAGE}/tavrel.exe)
strip_into(--strip-all ${BUILD_DIR}/cli/tavrelctl.exe ${STAGE}/tavrelctl.exe)
strip_into(--strip-unneeded ${BUILD_DIR}/clsersim.dll ${STAGE}/clsersim.dll)

set(windows ${SOURCE_DIR}/packaging/windows)
file(COPY ${windows}/README-Windows.txt DESTINATION ${STAGE})
file(COPY_FILE /usr/share/common-licenses/LGPL-3 ${STAGE}/licenses/LGPL-3.txt)
file(COPY_FILE /usr/share/common-licenses/GPL-3 ${STAGE}/licenses/GPL-3.txt)
# The Debian source version the Qt was built from, as build-qt-windows noted.
file(STRINGS ${QT_PREFIX}/tavrel-build-complete source REGEX "^qt6-base ")
string(REPLACE "qt6-base " "" QT_SOURCE_VERSION "${source}")
configure_file(${windows}/Qt-NOTICE.txt.in ${STAGE}/licenses/Qt-NOTICE.txt @ONLY)
file(GLOB patches ${SOURCE_DIR}/scripts/qt-windows/*.patch)
file(COPY ${patches} ${SOURCE_DIR}/scripts/build-qt-windows DESTINATION ${STAGE}/licenses/qt-build)

file(COPY ${windows}/relink/CMakeLists.txt ${windows}/relink/README.txt DESTINATION ${STAGE}/relink)
foreach(library IN ITEMS app panel ui model sim link serial res)
  strip_into(--strip-debug ${BUILD_DIR}/${library}/libtavrel_${library}.a
             ${STAGE}/relink/lib/libtavrel_${library}.a)
endforeach()
set(objects ${BUILD_DIR}/app/CMakeFiles/tavrel.dir)
strip_into(--strip-debug ${objects}/main.cpp.obj ${STAGE}/relink/objects/main.cpp.obj)
file(COPY_FILE ${objects}/tavrel.rc.res ${STAGE}/relink/objects/resources.obj)
