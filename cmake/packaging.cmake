# Releases of the Linux builder: `cmake --build build/native --target package`
# makes a Debian package. quillset-build lives in /usr/lib/quillset with the
# stub (ext.dat), the uninstaller (uninst.dat), their x86_64 builds
# (ext64.dat, uninst64.dat) and the default picture (setup.JPG), where it
# finds them beside its own file; /usr/bin holds a link
# to it. libciphon.so goes to /usr/lib, the manual page is made from --help.
if(WIN32 OR NOT TARGET quillset-build)
  return()
endif()

set(QUILL_LIBRARY_DIR lib/quillset)
install(TARGETS quillset-build RUNTIME DESTINATION ${QUILL_LIBRARY_DIR})
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(MAKE_DIRECTORY \"\${bin}\")
  execute_process(COMMAND \${CMAKE_COMMAND} -E create_symlink ../${QUILL_LIBRARY_DIR}/quillset-build
                          \"\${bin}/quillset-build\")")

# The Windows programs come from the cross builds (scripts/build.sh builds
# them first); the picture falls back to the one in resources/.
foreach(entry ext.dat:QUILL_SHIP_DIST uninst.dat:QUILL_SHIP_DIST setup.JPG:QUILL_SHIP_DIST
              ext64.dat:QUILL_WIN64_DIST uninst64.dat:QUILL_WIN64_DIST)
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 file)
  list(GET entry 1 dist)
  set(found "")
  foreach(dir "${${dist}}" "${CMAKE_SOURCE_DIR}/resources")
    if(NOT found AND dir AND EXISTS "${dir}/${file}")
      set(found "${dir}/${file}")
    endif()
  endforeach()
  if(found)
    install(FILES "${found}" DESTINATION ${QUILL_LIBRARY_DIR})
  else()
    message(STATUS "package: ${file} not found (set ${dist} to the cross build's dist/)")
  endif()
endforeach()

if(TARGET ciphon)
  install(TARGETS ciphon LIBRARY DESTINATION lib)
endif()

set(QUILL_MAN_PAGE ${CMAKE_BINARY_DIR}/quillset-build.1)
add_custom_command(OUTPUT ${QUILL_MAN_PAGE}
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:quillset-build> -DOUTPUT=${QUILL_MAN_PAGE}
          -P ${CMAKE_SOURCE_DIR}/cmake/man_page.cmake
  DEPENDS quillset-build ${CMAKE_SOURCE_DIR}/cmake/man_page.cmake
  COMMENT "Manual page from quillset-build --help")
add_custom_target(quillset_man_page ALL DEPENDS ${QUILL_MAN_PAGE})
install(FILES ${QUILL_MAN_PAGE} DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillset-build)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_CONTACT "Quillset team <quillset@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "command-line builder of Windows installer packages")
set(CPACK_PACKAGE_DESCRIPTION "quillset-build makes, edits and checks Quillset installer projects \
from the command line and builds them into self-contained Windows setup programs. \
The installer stub and the uninstaller are included.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
find_program(QUILL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(QUILL_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, zlib1g, libminizip1, libdeflate0, libyaml-cpp0.7, libssl3")
endif()
include(CPack)
