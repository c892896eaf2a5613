# Warnings for the project's own targets; errors with TAVREL_WERROR.
add_library(tavrel_warnings INTERFACE)
target_compile_options(tavrel_warnings INTERFACE -Wall -Wextra -Wpedantic
                                                 $<$<BOOL:${TAVREL_WERROR}>:-Werror>)

function(tavrel_target name)
  target_link_libraries(${name} PRIVATE tavrel_warnings)
endfunction()
