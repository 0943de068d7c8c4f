# What `cmake --install` puts where. scripts/package makes the packages of
# it: a Debian package and a .tar.gz on Linux, a .zip for Windows.
include(GNUInstallDirs)

set(example_list ${PROJECT_SOURCE_DIR}/examples/game/sorvane.lst)

# Writes a text file only when its text changed, so that nothing that
# depends on it is rebuilt for nothing.
function(write_if_changed path text)
  set(written "")
  if(EXISTS ${path})
    file(READ ${path} written)
  endif()
  if(NOT written STREQUAL text)
    file(WRITE ${path} "${text}")
  endif()
endfunction()

# A text file for Windows' editors: CR LF line ends.
function(write_crlf path text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  write_if_changed(${path} "${text}")
endfunction()

if(WIN32)
  # A player unpacks the .zip into the game's folder: everything at the top.
  # The README as plain text, without the pictures' references.
  file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
  string(REGEX REPLACE "!\\[[^]]*\\]\\([^)]*\\)\n\n?" "" readme "${readme}")
  write_crlf(${PROJECT_BINARY_DIR}/README.txt "${readme}")
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
  write_crlf(${PROJECT_BINARY_DIR}/LICENSE.txt "${license}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md
                                                                 ${PROJECT_SOURCE_DIR}/LICENSE)

  install(TARGETS sorvane RUNTIME DESTINATION .)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/LICENSE.txt ${example_list} DESTINATION .)
else()
  install(TARGETS sorvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The Wayland backend's module, where the program looks for it
  # (display/wayland_module.cpp): lib/sorvane/ beside bin/, whatever the
  # system's library folder. Not a program: 0644, as Debian has libraries.
  install(TARGETS sorvane_wayland_module LIBRARY DESTINATION lib/sorvane
          PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  # Installed without symbols or the compiler's notes, as Debian has programs.
  if(CMAKE_STRIP)
    foreach(binary ${CMAKE_INSTALL_BINDIR}/sorvane lib/sorvane/sorvane-wayland.so)
      install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${binary}\")")
    endforeach()
  endif()
  # Compressed as Debian has manual pages: no name or time in the header.
  set(man_page ${PROJECT_BINARY_DIR}/sorvane.1.gz)
  execute_process(COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/docs/sorvane.1 OUTPUT_FILE ${man_page}
                  RESULT_VARIABLE gzip_status)
  if(NOT gzip_status EQUAL 0)
    message(FATAL_ERROR "gzip -9n docs/sorvane.1: ${gzip_status}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/sorvane.1)
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${example_list} DESTINATION ${CMAKE_INSTALL_DOCDIR})

  # The Debian package's control file; scripts/write-archive fills in the
  # libraries the binaries link and the installed size.
  set(debian_architecture amd64)
  find_program(DPKG dpkg)
  if(DPKG)
    execute_process(COMMAND ${DPKG} --print-architecture OUTPUT_VARIABLE debian_architecture
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/debian-control.in ${PROJECT_BINARY_DIR}/debian/control @ONLY)
endif()
