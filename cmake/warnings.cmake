# Warnings are errors for the project's own targets.
add_library(tavrel_warnings INTERFACE)
target_compile_options(tavrel_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror)

function(tavrel_target name)
  target_link_libraries(${name} PRIVATE tavrel_warnings)
endfunction()
