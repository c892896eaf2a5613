# Stages what tavrel-setup.exe carries (cmake -P, run by the Windows build):
#   files/      the program part as it is installed: the programs and the
#               CameraLink test library without their debugging information,
#               the README, the licence texts and notices, the Qt build's recipe
#   relink/     the relinking kit (installed as the folder relink)
#   program-files.nsh, relink-files.nsh
#               the installer's lists of those folders and files
#   licence-page.txt  the installer's licence page
#   tavrel.ico  the installer's icon
# Text files get Windows' CR LF line ends; the recipe's scripts and patch stay
# byte for byte as they run on Debian.
# Variables: SOURCE_DIR BUILD_DIR STAGE STRIP QT_PREFIX QT_SOURCE (the folder
# where build-qt-windows --release-files put Qt's source package).
file(REMOVE_RECURSE ${STAGE})
set(files ${STAGE}/files)
file(MAKE_DIRECTORY ${files}/licenses/third-party ${files}/licenses/qt-build
     ${STAGE}/relink/lib ${STAGE}/relink/objects)
set(windows ${SOURCE_DIR}/packaging/windows)

# The programs lose their symbols too; the kit's objects keep theirs, which
# the linker needs.
function(strip_into how input output)
  execute_process(COMMAND ${STRIP} ${how} -o ${output} ${input} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# A text file with CR LF line ends.
function(copy_text input output)
  file(READ ${input} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${output} "${text}")
endfunction()

# A template with its @VARIABLES@ filled in, as a text file with CR LF line
# ends (also in the values of several lines).
function(configured_text input output)
  configure_file(${input} ${output}.lf @ONLY)
  copy_text(${output}.lf ${output})
  file(REMOVE ${output}.lf)
endfunction()

strip_into(--strip-all ${BUILD_DIR}/app/tavrel.exe ${files}/tavrel.exe)
strip_into(--strip-all ${BUILD_DIR}/cli/tavrelctl.exe ${files}/tavrelctl.exe)
strip_into(--strip-unneeded ${BUILD_DIR}/clsersim.dll ${files}/clsersim.dll)
copy_text(${windows}/README-Windows.txt ${files}/README-Windows.txt)
copy_text(/usr/share/common-licenses/LGPL-3 ${files}/licenses/LGPL-3.txt)
copy_text(/usr/share/common-licenses/GPL-3 ${files}/licenses/GPL-3.txt)

# The Qt source package beside the installer, as build-qt-windows noted it.
file(STRINGS ${QT_PREFIX}/tavrel-build-complete source REGEX "^qt6-base ")
string(REPLACE "qt6-base " "" QT_SOURCE_VERSION "${source}")
string(REGEX REPLACE "^[0-9]+:" "" version_in_names "${QT_SOURCE_VERSION}")
file(GLOB QT_SOURCE_FILES RELATIVE ${QT_SOURCE} ${QT_SOURCE}/*)
list(SORT QT_SOURCE_FILES)
list(JOIN QT_SOURCE_FILES "\n  " QT_SOURCE_FILES)
file(GLOB orig ${QT_SOURCE}/*.orig.tar.*)
if(NOT orig OR NOT EXISTS ${QT_SOURCE}/qt6-base_${version_in_names}.dsc)
  message(FATAL_ERROR "no qt6-base ${QT_SOURCE_VERSION} source package in ${QT_SOURCE}")
endif()

# The notices of the libraries linked into the programs (notices.txt): from
# Qt's source package, or from the Debian packages of the build machine.
# (Rows named "-" are code left out of the programs.)
file(STRINGS ${windows}/notices.txt rows REGEX "^[^#-].*\\|")
set(from_qt "")
foreach(row IN LISTS rows)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 2 where)
  string(STRIP "${where}" where)
  if(where MATCHES "^qt:(.*)")
    list(APPEND from_qt "qtbase-everywhere-src-6.4.2/${CMAKE_MATCH_1}")
  endif()
endforeach()
set(unpacked ${STAGE}/qt-notices)
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND tar -xJf ${orig} -C ${unpacked} ${from_qt} COMMAND_ERROR_IS_FATAL ANY)
set(NOTICE_LIST "")
foreach(row IN LISTS rows)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 name)
  list(GET fields 1 what)
  list(GET fields 2 where)
  foreach(field name what where)
    string(STRIP "${${field}}" ${field})
  endforeach()
  if(where MATCHES "^qt:(.*)")
    set(input ${unpacked}/qtbase-everywhere-src-6.4.2/${CMAKE_MATCH_1})
  elseif(where MATCHES "^host:(.*)")
    set(input ${CMAKE_MATCH_1})
  else()
    message(FATAL_ERROR "notices.txt: no source for ${name}: ${where}")
  endif()
  copy_text(${input} ${files}/licenses/third-party/${name})
  string(APPEND NOTICE_LIST "  ${name}\n      ${what}\n")
endforeach()
file(REMOVE_RECURSE ${unpacked})

configured_text(${windows}/NOTICE.txt.in ${files}/licenses/NOTICE.txt)

# The recipe of the Qt in tavrel.exe, laid out as in the repository, so that
# build-qt-windows runs from here as it does there.
file(COPY ${SOURCE_DIR}/scripts/build-qt-windows DESTINATION ${files}/licenses/qt-build/scripts)
file(GLOB recipe ${SOURCE_DIR}/scripts/qt-windows/*)
file(COPY ${recipe} DESTINATION ${files}/licenses/qt-build/scripts/qt-windows)
file(COPY ${SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
     DESTINATION ${files}/licenses/qt-build/cmake)
configured_text(${windows}/qt-build-README.txt.in ${files}/licenses/qt-build/README.txt)

# The installer's licence page: the program's terms and the notices.
file(COPY_FILE ${files}/licenses/NOTICE.txt ${STAGE}/licence-page.txt)

copy_text(${windows}/relink/CMakeLists.txt ${STAGE}/relink/CMakeLists.txt)
copy_text(${windows}/relink/README.txt ${STAGE}/relink/README.txt)
foreach(library IN ITEMS app panel ui model sim link serial res)
  strip_into(--strip-debug ${BUILD_DIR}/${library}/libtavrel_${library}.a
             ${STAGE}/relink/lib/libtavrel_${library}.a)
endforeach()
set(objects ${BUILD_DIR}/app/CMakeFiles/tavrel.dir)
strip_into(--strip-debug ${objects}/main.cpp.obj ${STAGE}/relink/objects/main.cpp.obj)
file(COPY_FILE ${objects}/tavrel.rc.res ${STAGE}/relink/objects/resources.obj)

# The installer's lists: each folder (outer ones first), then each file,
# with the folder it is installed in and where it is staged.
function(write_install_list staged installed output)
  file(GLOB_RECURSE paths LIST_DIRECTORIES true RELATIVE ${STAGE}/${staged} ${STAGE}/${staged}/*)
  list(SORT paths)
  set(folders "")
  if(installed)
    set(folders "!insertmacro InstallFolder \"${installed}\"\n")
    string(APPEND installed "/")
  endif()
  set(names "")
  foreach(path IN LISTS paths)
    string(REPLACE "/" "\\" target "${installed}${path}")
    string(REPLACE "/" "\\" source "${staged}/${path}")
    if(IS_DIRECTORY ${STAGE}/${staged}/${path})
      string(APPEND folders "!insertmacro InstallFolder \"${target}\"\n")
    else()
      string(APPEND names "!insertmacro InstallFile \"${source}\" \"${target}\"\n")
    endif()
  endforeach()
  file(WRITE ${STAGE}/${output} "${folders}${names}")
endfunction()
write_install_list(files "" program-files.nsh)
write_install_list(relink relink relink-files.nsh)

# The installer's icon: the program's PNG renderings in one .ico file
# (Windows reads PNG images in icons since Vista).
set(icon_sizes 16 24 32 48 64 128 256)
list(LENGTH icon_sizes count)
# The .ico header and directory as octal escapes for printf: little-endian
# WORDs and DWORDs.
function(append_bytes variable value bytes)
  set(text "${${variable}}")
  foreach(i RANGE 1 ${bytes})
    math(EXPR byte "${value} % 256")
    math(EXPR value "${value} / 256")
    math(EXPR high "${byte} / 64")
    math(EXPR middle "(${byte} / 8) % 8")
    math(EXPR low "${byte} % 8")
    string(APPEND text "\\${high}${middle}${low}")
  endforeach()
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()
set(header "")
append_bytes(header 0 2)
append_bytes(header 1 2)
append_bytes(header ${count} 2)
math(EXPR offset "6 + 16 * ${count}")
set(images "")
foreach(size IN LISTS icon_sizes)
  set(png ${SOURCE_DIR}/res/icons/tavrel-${size}.png)
  file(SIZE ${png} bytes)
  math(EXPR side "${size} % 256")  # 256 is written as 0
  append_bytes(header ${side} 1)
  append_bytes(header ${side} 1)
  append_bytes(header 0 2)  # no palette, reserved
  append_bytes(header 1 2)  # planes
  append_bytes(header 32 2)  # bits per pixel
  append_bytes(header ${bytes} 4)
  append_bytes(header ${offset} 4)
  math(EXPR offset "${offset} + ${bytes}")
  list(APPEND images ${png})
endforeach()
execute_process(COMMAND printf "${header}" OUTPUT_FILE ${STAGE}/icon-header.bin
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND cat ${STAGE}/icon-header.bin ${images} OUTPUT_FILE ${STAGE}/tavrel.ico
                COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${STAGE}/icon-header.bin)
