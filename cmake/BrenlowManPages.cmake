# Install-time script: a manual page for every command in the installed bin folder, made by
# help2man from the command's own --help. Expects BRENLOW_HELP2MAN, BRENLOW_VERSION,
# BRENLOW_BINDIR and BRENLOW_MANDIR (relative to the install prefix).
set(prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(man1 "${prefix}/${BRENLOW_MANDIR}/man1")
file(MAKE_DIRECTORY "${man1}")
file(GLOB commands "${prefix}/${BRENLOW_BINDIR}/*")
foreach(command ${commands})
  get_filename_component(name "${command}" NAME)
  message(STATUS "Manual page: ${man1}/${name}.1.gz")
  # The page's one-line description: the first sentence of the text that describes the command,
  # which follows the usage paragraph or, without one, opens the help.
  execute_process(COMMAND "${command}" --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
  if(help MATCHES "^Usage:")
    string(REGEX MATCH "\n\n([^\n]+)" description "${help}")
  else()
    string(REGEX MATCH "^([^\n]+)" description "${help}")
  endif()
  string(REGEX REPLACE "[.]( .*)?$" "" description "${CMAKE_MATCH_1}")
  execute_process(
    COMMAND "${BRENLOW_HELP2MAN}" --no-info --no-discard-stderr --version-string=${BRENLOW_VERSION}
            --source=Brenlow --section=1 "--name=${description}" "${command}"
    COMMAND gzip -9n
    OUTPUT_FILE "${man1}/${name}.1.gz" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
