# Debian's hardening flags (what dpkg-buildflags gives with hardening=+all) on every optimised
# build: the package's binaries check buffer sizes of the C library's string and memory calls
# (_FORTIFY_SOURCE), guard the stack, and are linked with full RELRO and immediate binding, so
# that the relocation tables are read-only before main runs. The test build (Debug, sanitizers)
# and the fuzz build keep their own instrumentation. GCC on Debian makes position-independent
# executables by default.
option(BRENLOW_HARDENING "Build optimised targets with Debian's hardening flags" ON)
if(BRENLOW_HARDENING AND NOT BRENLOW_FUZZ)
  set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  add_compile_options(
    "$<${optimised}:-D_FORTIFY_SOURCE=2;-fstack-protector-strong;-fstack-clash-protection>"
    "$<${optimised}:-Wformat;-Werror=format-security>")
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i.86")
    add_compile_options("$<${optimised}:-fcf-protection>")
  endif()
  add_link_options("$<${optimised}:LINKER:-z,relro;LINKER:-z,now>")
endif()
