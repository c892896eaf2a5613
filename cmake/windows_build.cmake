# The Windows build: string table, serial ports, link, model, the virtual camera without its
# pty host and tavrelctl.exe, plus the CameraLink test library as a DLL.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601
                        # The C runtime's name for a descriptor not inherited.
                        O_CLOEXEC=_O_NOINHERIT)

# CLI11 and nlohmann/json are header-only: their Debian headers serve the
# cross build too, staged on their own so the host's C library headers stay out.
set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${host_headers})
foreach(folder CLI nlohmann)
  if(NOT EXISTS ${host_headers}/${folder})
    file(CREATE_LINK /usr/include/${folder} ${host_headers}/${folder} SYMBOLIC)
  endif()
endforeach()
include_directories(SYSTEM ${host_headers})
set(header_package ${CMAKE_BINARY_DIR}/host-packages/nlohmann_json)
file(WRITE ${header_package}/nlohmann_json-config.cmake
     "if(NOT TARGET nlohmann_json::nlohmann_json)\n"
     "  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)\n"
     "endif()\n")
file(WRITE ${header_package}/nlohmann_json-config-version.cmake
     "set(PACKAGE_VERSION 3)\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
set(nlohmann_json_DIR ${header_package} CACHE PATH "" FORCE)

add_subdirectory(res)
add_subdirectory(serial)
add_subdirectory(link)
add_subdirectory(model)

# The virtual camera without its pty host (POSIX only), and the CameraLink
# test library as clsersim.dll.
add_subdirectory(sim)
add_subdirectory(cli)

# Edits the profile as the programs do, for the test of several writers at
# once under Wine (tests/windows).
add_executable(profile_writer tests/support/profile_writer.cpp)
target_link_libraries(profile_writer PRIVATE tavrel_model)
tavrel_target(profile_writer)

# The window program, when the build is configured with the Qt for Windows
# that scripts/build-qt-windows makes (through that Qt's toolchain file, which
# chain-loads ours):
#   cmake -S . -B build-win -G Ninja \
#     --toolchain "$(scripts/build-qt-windows --print-prefix)/lib/cmake/Qt6/qt.toolchain.cmake" \
#     -DQT_CHAINLOAD_TOOLCHAIN_FILE=$PWD/cmake/mingw-w64-x86_64.cmake
# Without it the build holds tavrelctl.exe and clsersim.dll only.
find_package(Qt6 6.4 QUIET COMPONENTS Widgets Network Test)
if(Qt6_FOUND)
  message(STATUS "Windows window program: built with Qt ${Qt6_VERSION} from ${Qt6_DIR}")
  add_subdirectory(ui)
  add_subdirectory(panel)
  add_subdirectory(app)
  add_subdirectory(tests/windows/qt)
  include(cmake/windows_installer.cmake)
else()
  message(STATUS "Windows window program: not built (no Qt for Windows; scripts/build-qt-windows)")
endif()
