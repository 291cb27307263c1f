include(GoogleTest)

# Registers every *_test.cc of the calling folder as its own test program, linked against the
# given libraries, the shared test support and GoogleTest. Tests run offscreen.
function(brenlow_add_tests)
  cmake_parse_arguments(ARG "" "" "LIBS;RESOURCE_LOCK" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cc)
  foreach(source ${test_sources})
    get_filename_component(name ${source} NAME_WE)
    # Tests that start the real program share its fixed ports.
    set(lock "")
    if(name MATCHES "_program_test$")
      set(lock RESOURCE_LOCK brenlow_program)
    endif()
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} brenlow_test_support GTest::gtest GTest::gmock)
    brenlow_warnings(${name})
    # Test programs build without optimisation in the test build; built optimised, many of them
    # meet the false -Wrestrict report.
    brenlow_gcc12_false_warnings(${name} restrict)
    brenlow_leak_suppressions(${name})
    gtest_discover_tests(${name}
      DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT 300 ${lock})
  endforeach()
endfunction()
