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

# CHANGELOG.md's versions as AppStream releases: each heading
# `## VERSION (YYYY-MM-DD)` and its items, newest first as there.
function(sorvane_metainfo_releases changelog out)
  file(STRINGS ${changelog} lines)
  set(xml "")
  set(item "")
  set(open FALSE)
  foreach(line IN LISTS lines ITEMS "## end")
    if(line MATCHES "^- " OR line MATCHES "^## " OR line STREQUAL "")
      if(NOT item STREQUAL "")
        string(REPLACE "&" "&amp;" item "${item}")
        string(REPLACE "<" "&lt;" item "${item}")
        string(REPLACE ">" "&gt;" item "${item}")
        string(APPEND xml "          <li>${item}</li>\n")
        set(item "")
      endif()
    endif()
    if(line MATCHES "^## ([^ ]+) \\(([0-9-]+)\\)")
      if(open)
        string(APPEND xml "        </ul>\n      </description>\n    </release>\n")
      endif()
      string(APPEND xml "    <release version=\"${CMAKE_MATCH_1}\" date=\"${CMAKE_MATCH_2}\">\n"
                        "      <description>\n        <ul>\n")
      set(open TRUE)
    elseif(line STREQUAL "## end" AND open)
      string(APPEND xml "        </ul>\n      </description>\n    </release>")
    elseif(open AND line MATCHES "^- (.*)")
      set(item "${CMAKE_MATCH_1}")
    elseif(open AND NOT item STREQUAL "" AND line MATCHES "^ +(.*)")
      string(APPEND item " ${CMAKE_MATCH_1}")
    endif()
  endforeach()
  set(${out} "${xml}" PARENT_SCOPE)
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
  # The launcher the desktop entry starts, in lib/sorvane/ as the Wayland module.
  install(TARGETS sorvane_launcher RUNTIME DESTINATION lib/sorvane)
  install(TARGETS sorvane_wayland_module LIBRARY DESTINATION lib/sorvane
          PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  # Installed without symbols or the compiler's notes, as Debian has programs.
  if(CMAKE_STRIP)
    foreach(binary ${CMAKE_INSTALL_BINDIR}/sorvane lib/sorvane/sorvane-wayland.so lib/sorvane/sorvane-launcher)
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
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/sorvane.1
                                                                 ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${example_list} DESTINATION ${CMAKE_INSTALL_DOCDIR})

  # The way in from a desktop: the entry and the metainfo, named by the
  # application id; the icon in the icon theme at its sizes and as its
  # drawing.
  set(launcher_path /usr/lib/sorvane/sorvane-launcher)
  configure_file(${PROJECT_SOURCE_DIR}/launcher/sorvane.desktop.in
                 ${PROJECT_BINARY_DIR}/${SORVANE_APP_ID}.desktop @ONLY)
  sorvane_metainfo_releases(${PROJECT_SOURCE_DIR}/CHANGELOG.md metainfo_releases)
  configure_file(${PROJECT_SOURCE_DIR}/launcher/sorvane.metainfo.xml.in
                 ${PROJECT_BINARY_DIR}/${SORVANE_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${SORVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_BINARY_DIR}/${SORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${SORVANE_ICON_DIR}/sorvane-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${SORVANE_APP_ID}.png)
  endforeach()
  install(FILES ${SORVANE_ICON_DIR}/sorvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME ${SORVANE_APP_ID}.svg)

  # The Debian package's control file; scripts/write-archive fills in the
  # libraries the binaries link and the installed size. Those the program
  # loads with dlopen are named there by hand: libX11 from 1.7, the first
  # with XSetIOErrorExitHandler, FreeType and fontconfig.
  set(debian_architecture amd64)
  find_program(DPKG dpkg)
  if(DPKG)
    execute_process(COMMAND ${DPKG} --print-architecture OUTPUT_VARIABLE debian_architecture
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/debian-control.in ${PROJECT_BINARY_DIR}/debian/control @ONLY)
endif()
