# Binaries that anyone can rebuild bit for bit from the same sources and
# tools: no folder of the build in them, and no link time in the exe (its
# PE checksum then follows from its bytes alone). The compilers take the
# time of __DATE__ from SOURCE_DATE_EPOCH, which scripts/package sets.
option(SORVANE_REPRODUCIBLE "Leave no build folder and no link time in the binaries" OFF)
if(SORVANE_REPRODUCIBLE)
  add_compile_options(-ffile-prefix-map=${PROJECT_BINARY_DIR}/=build/ -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
  if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
  endif()
endif()
