# Compiler warnings for the project's own code: every warning is an error.
function(keldra_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wnull-dereference -Wimplicit-fallthrough -Werror)
endfunction()

# One library per subsystem: every .cpp file of the folder, so that adding a file
# never needs a build-file edit.
function(keldra_library name)
  cmake_parse_arguments(ARG "" "" "PUBLIC_LIBS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${_sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS})
  keldra_warnings(${name})
endfunction()
