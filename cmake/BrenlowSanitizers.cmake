# The sanitizer build: AddressSanitizer and UndefinedBehaviorSanitizer everywhere, and the leak
# suppressions of cmake/sanitizers/lsan-suppressions.txt built into the executables that ask for
# them.
if(BRENLOW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/cmake/sanitizers/lsan-suppressions.txt)
  file(READ ${PROJECT_SOURCE_DIR}/cmake/sanitizers/lsan-suppressions.txt BRENLOW_LSAN_SUPPRESSIONS)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/sanitizers/lsan_default_suppressions.cc.in
    ${PROJECT_BINARY_DIR}/lsan_default_suppressions.cc @ONLY)
endif()

# Adds the leak suppressions to an executable of the sanitizer build; nothing otherwise.
function(brenlow_leak_suppressions target)
  if(BRENLOW_SANITIZE)
    target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/lsan_default_suppressions.cc)
  endif()
endfunction()
