# Reuse compiled objects across build folders and clean clones when ccache is
# installed. Paths are taken relative to the source folder, so a second work
# tree or CI's fresh clone of the same sources hits the same cache entries.
find_program(TAVREL_CCACHE ccache)
if(TAVREL_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR}
               CCACHE_NOHASHDIR=true ${TAVREL_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
endif()
