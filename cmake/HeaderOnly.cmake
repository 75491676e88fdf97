# Header-only libraries from Debian's packages (nlohmann-json, CLI11).
#
# Natively they come through find_package. A mingw build must not search
# /usr/include (it holds glibc's headers), so there each library's own folder
# is linked into the build tree and only that folder is put on the path.
function(mirdane_header_only target package imported folder)
  if(TARGET ${target})
    return()
  endif()
  add_library(${target} INTERFACE)
  if(NOT CMAKE_CROSSCOMPILING)
    find_package(${package} CONFIG REQUIRED)
    target_link_libraries(${target} INTERFACE ${imported})
    return()
  endif()
  set(source /usr/include/${folder})
  if(NOT EXISTS ${source})
    message(FATAL_ERROR "${source} is missing: run scripts/install-deps.sh")
  endif()
  set(root ${CMAKE_BINARY_DIR}/header-only/${target})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${source} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} SYSTEM INTERFACE ${root})
endfunction()
