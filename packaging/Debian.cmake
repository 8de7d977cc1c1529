# make package: a Debian package of what make install installs, built by
# cpack -G DEB from a release build whose install prefix is /usr.

set(LIRRA_DEBIAN_RELEASE 1)
set(LIRRA_DEBIAN_VERSION ${PROJECT_VERSION}-${LIRRA_DEBIAN_RELEASE})
set(LIRRA_MAINTAINER "The Lirra developers <developers@lirra.org>"
    CACHE STRING "The Debian package's maintainer, as Name <address>")

# A release names its version in four places: a release that forgets one
# fails here rather than in the hands of a family.
file(STRINGS ${CMAKE_SOURCE_DIR}/packaging/changelog.Debian changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^lirra \\(${LIRRA_DEBIAN_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog.Debian starts with '${changelog_head}', "
                      "not with an entry for lirra ${LIRRA_DEBIAN_VERSION}")
endif()
file(STRINGS ${CMAKE_SOURCE_DIR}/desktop/org.lirra.lirra.metainfo.xml first_release REGEX "<release " LIMIT_COUNT 1)
if(NOT first_release MATCHES "version=\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR "the newest release in desktop/org.lirra.lirra.metainfo.xml is not ${PROJECT_VERSION}")
endif()
foreach(page lirra.1 lirra-check.1 lirra-make.1)
  file(STRINGS ${CMAKE_SOURCE_DIR}/docs/man/${page} header REGEX "^\\.TH " LIMIT_COUNT 1)
  if(NOT header MATCHES "\"Lirra ${PROJECT_VERSION}\"")
    message(FATAL_ERROR "docs/man/${page} is headed '${header}', not for Lirra ${PROJECT_VERSION}")
  endif()
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS packaging/changelog.Debian
  desktop/org.lirra.lirra.metainfo.xml docs/man/lirra.1 docs/man/lirra-check.1 docs/man/lirra-make.1)

add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/changelog.Debian > ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog.Debian)
add_custom_target(debian_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
install(FILES packaging/copyright ${CMAKE_BINARY_DIR}/changelog.Debian.gz DESTINATION share/doc/lirra)
install(FILES packaging/lintian-overrides DESTINATION share/lintian/overrides RENAME lirra)

# A stripped install (cpack strips) also drops the compiler's notes, as
# Debian's own packages do.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    foreach(program lirra lirra-check lirra-make)
      set(file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/\${program}\")
      if(EXISTS \"\${file}\")
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note \"\${file}\"
                        COMMAND_ERROR_IS_FATAL ANY)
      endif()
    endforeach()
  endif()")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lirra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Lirra developers")
set(CPACK_PACKAGE_CONTACT "${LIRRA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture book for young readers that reads its words aloud")
set(CPACK_PACKAGE_DESCRIPTION "Lirra opens a picture book in a window. A child touches a word on a page,
the word lights up, its text appears in a speech bubble and a recorded voice
reads it. Auto-play reads a page word by word, lighting each word as it is
said, and turns the page with a page curl.

The package holds the reader, the twelve-page sample book Pip and the Moon,
lirra-make, which makes a book that reads along from a family's own pictures,
text and recordings, and lirra-check, which checks a book before anyone
reads it.")
# The staged files are installed under /usr as they will lie, with DESTDIR
# set: the menu entry names /usr/bin/lirra, and the install leaves the MIME
# database to dpkg's triggers.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${LIRRA_DEBIAN_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The shared libraries, from dpkg-shlibdeps; then the data that is loaded
# at run time: the reader's fallback faces (Andika, then DejaVu Sans) and
# lirra-make's speech model. Liberation Sans stands in for Arial, which the
# settings panel's layout names, and AR PL UMing prints Chinese text; festival
# and its voice read the pages that a family gives lirra-make without a
# recording.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-sil-andika, fonts-dejavu-core, pocketsphinx-en-us")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-arphic-uming")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "festival, festvox-us-slt-hts")
include(CPack)
