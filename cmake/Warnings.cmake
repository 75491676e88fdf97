# One place for the warning flags of the project's own targets.
function(mirdane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                         -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
                         -Woverloaded-virtual -Wconversion -Wsign-conversion)
  # GCC 12 reports false -Wrestrict positives inside libstdc++'s string code
  # at -O2 (GCC bug 105329); they say nothing about this project's code.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(MIRDANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# COM interfaces are abstract classes without virtual destructors (objects
# go through Release): the check that guards C++ hierarchies does not apply.
function(mirdane_com_warnings target)
  mirdane_warnings(${target})
  target_compile_options(${target} PRIVATE -Wno-non-virtual-dtor)
endfunction()
