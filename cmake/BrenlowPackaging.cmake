# Installation (program, tools, desktop entry, icon, systemd unit) and the Debian package.
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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brenlow)
set(CPACK_PACKAGE_VENDOR "Brenlow")
set(CPACK_PACKAGE_CONTACT "Brenlow developers <brenlow@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Timetable server for a school's networked classrooms")
# One string: separate arguments would make a list, whose ';' would show in the package.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Keeps classes, periods, courses and teachers in one SQLite database, answers classroom\n"
    "terminals over TCP (64124, 62124), listens to classroom controllers over UDP (8234) and\n"
    "powers classrooms on and off at period boundaries. Desktop program and headless service.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Package dependencies are computed from the binaries' shared libraries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The desktop program needs a display platform plugin, which no binary links directly.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-wqy-zenhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/postinst ${PROJECT_SOURCE_DIR}/packaging/prerm
    ${PROJECT_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
