# Installation (program, tools, desktop entry, icon, systemd unit, documentation, manual pages)
# and the Debian package.
foreach(tool brenlow-terminal brenlow-controller)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(FILES packaging/brenlow.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/brenlow.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The unit goes where systemd looks for units of installed packages.
set(BRENLOW_SYSTEMD_UNIT_DIR "lib/systemd/system" CACHE STRING "Install folder of the systemd unit")
install(FILES packaging/brenlow.service DESTINATION ${BRENLOW_SYSTEMD_UNIT_DIR})

# Debian's documentation of the package: its copyright and its changelog (compressed, as Debian
# ships it; -n keeps the time stamp out, so that the same input gives the same package).
set(BRENLOW_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/brenlow)
install(FILES packaging/copyright DESTINATION ${BRENLOW_DOC_DIR})
install(CODE "
  set(doc \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${BRENLOW_DOC_DIR}\")
  execute_process(COMMAND gzip -9n -c \"${PROJECT_SOURCE_DIR}/packaging/changelog\"
                  OUTPUT_FILE \"\${doc}/changelog.gz\" COMMAND_ERROR_IS_FATAL ANY)
")

# A manual page for every command installed so far, made from its own --help (help2man). It runs
# after the programs and tools above were installed (install rules run in the order they were
# given; this file is included last), so a new tool gets its page without a word here.
find_program(HELP2MAN help2man)
set(man_pages_default OFF)
if(HELP2MAN)
  set(man_pages_default ON)
endif()
option(BRENLOW_INSTALL_MAN_PAGES "Install a manual page made from --help for every command"
       ${man_pages_default})
if(BRENLOW_INSTALL_MAN_PAGES)
  if(NOT HELP2MAN)
    message(FATAL_ERROR "BRENLOW_INSTALL_MAN_PAGES needs help2man (scripts/install-dependencies.sh --packaging)")
  endif()
  install(CODE "
    set(BRENLOW_HELP2MAN \"${HELP2MAN}\")
    set(BRENLOW_VERSION ${PROJECT_VERSION})
    set(BRENLOW_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    set(BRENLOW_MANDIR \"${CMAKE_INSTALL_MANDIR}\")
  ")
  install(SCRIPT cmake/BrenlowManPages.cmake)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brenlow)
set(CPACK_PACKAGE_VENDOR "Brenlow")
set(CPACK_PACKAGE_CONTACT "Brenlow developers <packages@brenlow.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Timetable server for a school's networked classrooms")
# One string: separate arguments would make a list, whose ';' would show in the package.
# Lines of at most 80 characters, as Debian's tools expect.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Keeps classes, periods, courses and teachers in one SQLite database,\n"
    "answers classroom terminals over TCP (64124, 62124), listens to classroom\n"
    "controllers over UDP (8234) and powers classrooms on and off at period\n"
    "boundaries. Desktop program and headless service.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Debian's packages ship stripped binaries.
set(CPACK_STRIP_FILES ON)
# Package dependencies are computed from the binaries' shared libraries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The desktop program needs a display platform plugin, which no binary links directly; the
# maintainer scripts create the system user with adduser.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, adduser")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-wqy-zenhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/postinst ${PROJECT_SOURCE_DIR}/packaging/prerm
    ${PROJECT_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
