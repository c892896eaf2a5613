# The Windows resources of a program: its icon (as Explorer and the Start menu
# show it) and its version information, written as a resource script at
# configure time from the PNG renderings in res/icons/.
#   tavrel_windows_resources(TARGET DESCRIPTION)
#
# The icon's images are stored as PNG, which Windows reads in icon resources
# since Vista, so no .ico file needs building: each image is a raw RT_ICON
# resource (type 3) and the RT_GROUP_ICON directory (type 14) lists them with
# their sizes.
function(tavrel_windows_resources target description)
  set(icon_sizes 16 24 32 48 64 128 256)
  set(images "")
  set(directory "  0, 1, ")
  list(LENGTH icon_sizes count)
  string(APPEND directory "${count}")
  set(id 1)
  foreach(size IN LISTS icon_sizes)
    set(png ${PROJECT_SOURCE_DIR}/res/icons/tavrel-${size}.png)
    file(SIZE ${png} bytes)
    # A width or height of 256 is written as 0; both fit one WORD.
    math(EXPR side "${size} % 256")
    math(EXPR width_height "${side} + ${side} * 256")
    # width|height, colours|reserved, planes, bits per pixel, size (DWORD), id
    string(APPEND directory ",\n  ${width_height}, 0, 1, 32, ${bytes}L, ${id}")
    string(APPEND images "${id} 3 \"${png}\"\n")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${png})
    math(EXPR id "${id} + 1")
  endforeach()

  set(major ${PROJECT_VERSION_MAJOR})
  set(minor ${PROJECT_VERSION_MINOR})
  set(patch ${PROJECT_VERSION_PATCH})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  file(WRITE ${rc}.new
       "#include <winver.h>\n"
       "${images}"
       "128 14\nBEGIN\n${directory}\nEND\n"
       "1 VERSIONINFO\n"
       "FILEVERSION ${major},${minor},${patch},0\n"
       "PRODUCTVERSION ${major},${minor},${patch},0\n"
       "FILEOS VOS_NT_WINDOWS32\nFILETYPE VFT_APP\n"
       "BEGIN\n"
       "  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"040904B0\"\n    BEGIN\n"
       "      VALUE \"CompanyName\", \"Talbrook\"\n"
       "      VALUE \"FileDescription\", \"${description}\"\n"
       "      VALUE \"FileVersion\", \"${PROJECT_VERSION}\"\n"
       "      VALUE \"ProductName\", \"TAVREL CONTROL\"\n"
       "      VALUE \"ProductVersion\", \"${PROJECT_VERSION}\"\n"
       "      VALUE \"OriginalFilename\", \"${target}.exe\"\n"
       "    END\n  END\n"
       "  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x409, 1200\n  END\n"
       "END\n")
  # Rewritten only when it changed, so a configure run does not relink.
  file(COPY_FILE ${rc}.new ${rc} ONLY_IF_DIFFERENT)
  target_sources(${target} PRIVATE ${rc})
endfunction()
