# What a Debian package carries besides the programs: its copyright file, a
# Debian changelog, the README, and a manual page for each program made from
# the program's own --help when the build runs (one source for both).
include(GNUInstallDirs)
find_program(TAVREL_GZIP gzip REQUIRED)
set(debian_build ${CMAKE_BINARY_DIR}/debian)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tavrel)
file(MAKE_DIRECTORY ${debian_build})

# Who the package names as its maintainer: TAVREL_MAINTAINER when the build is
# configured with it, else the Debian packaging tools' DEBFULLNAME and DEBEMAIL,
# else the git identity the sources are worked on under.
set(TAVREL_MAINTAINER "" CACHE STRING "The Debian package's maintainer, \"Name <mail>\"")
set(maintainer "${TAVREL_MAINTAINER}")
if(maintainer STREQUAL "" AND DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
  set(maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
endif()
if(maintainer STREQUAL "")
  find_program(TAVREL_GIT git)
  if(TAVREL_GIT)
    execute_process(COMMAND ${TAVREL_GIT} -C ${PROJECT_SOURCE_DIR} config user.name
                    OUTPUT_VARIABLE git_name OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND ${TAVREL_GIT} -C ${PROJECT_SOURCE_DIR} config user.email
                    OUTPUT_VARIABLE git_email OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT git_name STREQUAL "" AND NOT git_email STREQUAL "")
      set(maintainer "${git_name} <${git_email}>")
    endif()
  endif()
endif()
if(maintainer STREQUAL "")
  set(maintainer "Talbrook <tavrel@talbrook.example>")
  message(STATUS "Debian package: no maintainer configured (-DTAVREL_MAINTAINER=\"Name <mail>\"),"
                 " naming ${maintainer}")
endif()
set(TAVREL_PACKAGE_MAINTAINER "${maintainer}")

# One changelog entry for the version built; the date honours SOURCE_DATE_EPOCH.
set(TAVREL_DEBIAN_REVISION 1)
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${debian_build}/changelog.Debian
     "tavrel (${PROJECT_VERSION}-${TAVREL_DEBIAN_REVISION}) unstable; urgency=medium\n\n"
     "  * Built from the tavrel sources, version ${PROJECT_VERSION}.\n\n"
     " -- ${maintainer}  ${changelog_date}\n")

set(compressed)
function(tavrel_gzip input output)
  add_custom_command(OUTPUT ${output}
                     COMMAND ${TAVREL_GZIP} -9nc ${input} > ${output}
                     DEPENDS ${input} VERBATIM)
  set(compressed ${compressed} ${output} PARENT_SCOPE)
endfunction()
tavrel_gzip(${debian_build}/changelog.Debian ${debian_build}/changelog.Debian.gz)
tavrel_gzip(${PROJECT_SOURCE_DIR}/README.md ${debian_build}/README.md.gz)

set(man_pages
    "tavrelctl|scripting front end for the tavrel camera remote control"
    "tavrel-camsim|virtual camera for the tavrel camera remote control")
if(TARGET tavrel)
  list(PREPEND man_pages "tavrel|remote control for CameraLink cameras")
endif()
set(man_files)
foreach(entry IN LISTS man_pages)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 program)
  list(GET entry 1 summary)
  set(page ${debian_build}/${program}.1)
  add_custom_command(
    OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program}
            "-DSUMMARY=${summary}" -DVERSION=${PROJECT_VERSION} -DOUTPUT=${page}
            -P ${PROJECT_SOURCE_DIR}/cmake/help_to_man.cmake
    DEPENDS ${program} ${PROJECT_SOURCE_DIR}/cmake/help_to_man.cmake
    COMMENT "Manual page of ${program} from its --help" VERBATIM)
  tavrel_gzip(${page} ${page}.gz)
  list(APPEND man_files ${page}.gz)
endforeach()
add_custom_target(debian_docs ALL DEPENDS ${compressed})

install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
              ${debian_build}/changelog.Debian.gz ${debian_build}/README.md.gz
        DESTINATION ${doc_dir})
install(FILES ${man_files} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
