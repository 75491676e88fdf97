# One place for the warning flags of the project's own targets.
function(mirdane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                         -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
                         -Woverloaded-virtual -Wconversion -Wsign-conversion)
  if(MIRDANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
