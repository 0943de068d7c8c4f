# What `cmake --install` puts where, and the packages CPack makes of it:
# a Debian package and a .tar.gz on Linux, a .zip for Windows.
include(GNUInstallDirs)

set(example_list ${PROJECT_SOURCE_DIR}/examples/game/sorvane.lst)

if(WIN32)
  # A player unpacks the .zip into the game's folder: everything at the top.
  # The README as plain text with CR LF, without the pictures' references.
  file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
  string(REGEX REPLACE "!\\[[^]]*\\]\\([^)]*\\)\n\n?" "" readme "${readme}")
  string(REPLACE "\r\n" "\n" readme "${readme}")
  string(REPLACE "\n" "\r\n" readme "${readme}")
  set(readme_txt ${PROJECT_BINARY_DIR}/README.txt)
  set(written "")
  if(EXISTS ${readme_txt})
    file(READ ${readme_txt} written)
  endif()
  if(NOT written STREQUAL readme)
    file(WRITE ${readme_txt} "${readme}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)

  install(TARGETS sorvane RUNTIME DESTINATION .)
  install(FILES ${readme_txt} ${example_list} DESTINATION .)
else()
  install(TARGETS sorvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Installed without symbols, as the packages have it (CPACK_STRIP_FILES).
  if(CMAKE_STRIP)
    install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/sorvane\")")
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/docs/sorvane.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${example_list} DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME sorvane)
set(CPACK_PACKAGE_VENDOR "${SORVANE_VENDOR}")
set(CPACK_PACKAGE_CONTACT "Sorvane developers <maintainers@sorvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${SORVANE_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Its window shows 27 checkboxes: weapon kinds, armour kinds and character \
classes. Set Filter writes the game's data/global/excel/gamble.txt from the \
item list sorvane.lst in the folder it is started in, and keeps the selection \
in sorvane.sav there.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME sorvane-${PROJECT_VERSION}-windows-x86_64)
else()
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_PACKAGE_FILE_NAME sorvane-${PROJECT_VERSION}-linux-x86_64)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://sorvane.invalid/")
  # The libraries it links, from the binary itself; and a font to draw with.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation | fonts-dejavu-core")
endif()

include(CPack)
