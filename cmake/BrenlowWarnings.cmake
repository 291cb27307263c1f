# Our own targets compile with every warning as an error; system headers (Qt, SQLite,
# GoogleTest) are included as system headers and stay out of it.
function(brenlow_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# GCC 12 reports two warnings inside its own standard library that are known to be false, and
# that cannot be silenced around the code that triggers them:
#   restrict             at -O3, std::string's assignment and concatenation (inlined into
#                        memcpy) as overlapping copies of 2^63 bytes;
#   maybe-uninitialized  at -O2, the std::stop_token inside std::jthread.
# Only the targets where an optimised build meets them turn them off; everywhere else they
# still count as errors. Other compilers keep every warning.
function(brenlow_gcc12_false_warnings target)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    foreach(warning ${ARGN})
      target_compile_options(${target} PRIVATE -Wno-${warning})
    endforeach()
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
