# What `cmake --install` puts where, and the packages CPack makes of it: a
# Debian package on Linux, a .zip for each Windows build.
include(GNUInstallDirs)

set(CPACK_PACKAGE_VENDOR "The chord developers")
set(CPACK_PACKAGE_CONTACT "The chord developers <chord@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "solve an algebraic equation by the chord method, step by step")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  install(TARGETS chord RUNTIME DESTINATION .)
  # A README that Windows Notepad reads: UTF-8 with a byte order mark, CR LF
  # line ends.
  file(READ ${PROJECT_SOURCE_DIR}/packaging/README.windows.txt text)
  string(REPLACE "\n" "\r\n" text "${text}")
  string(ASCII 239 187 191 byteOrderMark)
  file(WRITE ${PROJECT_BINARY_DIR}/README.txt "${byteOrderMark}${text}")
  install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(CPACK_SYSTEM_NAME windows-x86)
  else()
    set(CPACK_SYSTEM_NAME windows-x64)
  endif()
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
  return()
endif()

install(TARGETS chord RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The README, the changelog and docs/ as installed: compressed as Debian
# does, each link to another of them made a link to its compressed file, and
# without the pictures, which the package does not carry.
set(documents README.md CHANGELOG.md docs/building.md docs/page.md docs/testing.md docs/performance.md)
set(compressed)
foreach(file man/chord.1 man/ru/chord.1 packaging/changelog ${documents})
  set(source ${PROJECT_SOURCE_DIR}/${file})
  set(output ${PROJECT_BINARY_DIR}/packaging/${file}.gz)
  if(file IN_LIST documents)
    file(READ ${source} text)
    string(REGEX REPLACE "\n(!\\[|<img )[^\n]*" "" text "${text}")
    string(REGEX REPLACE "\\]\\(([^)]*\\.md)\\)" "](\\1.gz)" text "${text}")
    set(source ${PROJECT_BINARY_DIR}/packaging/${file})
    file(WRITE ${source} "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${file})
  endif()
  get_filename_component(directory ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}
    COMMAND gzip -9 -n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
  list(APPEND compressed ${output})
endforeach()
add_custom_target(compressed_documents ALL DEPENDS ${compressed})
install(FILES ${PROJECT_BINARY_DIR}/packaging/man/chord.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/packaging/man/ru/chord.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1)
install(FILES ${PROJECT_BINARY_DIR}/packaging/README.md.gz ${PROJECT_BINARY_DIR}/packaging/CHANGELOG.md.gz packaging/copyright
  ${PROJECT_BINARY_DIR}/packaging/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_BINARY_DIR}/packaging/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs FILES_MATCHING PATTERN "*.gz")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack puts the summary in front of it as the first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "chord is a console program for students and teachers of numerical methods.
It asks for the order of a polynomial equation, at most 9, and for its
complex coefficients, then finds all its roots one after another by the
chord method (the secant iteration) in single-precision arithmetic,
dividing each root out of the polynomial before it looks for the next. It
prints the roots and the number of chord steps, and ends on one key press.
The dialogue is in Russian.")
include(CPack)
