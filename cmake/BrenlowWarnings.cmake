# Our own targets compile with every warning as an error; system headers (Qt, SQLite,
# GoogleTest) are included as system headers and stay out of it.
function(brenlow_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports its own <stop_token> (inside std::jthread) as maybe uninitialized at -O2;
    # the analysis is known to be wrong there, and it cannot be silenced locally.
    target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
    # At -O3 it also reports std::string's own concatenation (operator+ inlined into memcpy) as
    # overlapping copies of 2^63 bytes: a known false report of GCC 12's -Wrestrict.
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

# One library per folder of src/: every .cc of the folder, public headers reached as
# "folder/name.h" from the src root.
function(brenlow_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cc)
  # Headers are listed too, so that the meta-object compiler sees every Q_OBJECT class.
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${sources} ${headers})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  brenlow_warnings(${name})
endfunction()
