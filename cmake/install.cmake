# Installs the programs and their data the way of a Linux desktop program:
# programs in bin/, the help page in share/pennaro/, a desktop entry, icons,
# AppStream metainfo and manual pages; and describes the Debian package that
# `cpack -G DEB` makes of the same tree.
include(GNUInstallDirs)

set(PENNARO_HOMEPAGE "https://pennaro.github.io/" CACHE STRING
  "The project's web address, named in the metainfo and the package (ends in /)")
set(PENNARO_MAINTAINER "Pennaro developers <pennaro@pennaro.github.io>" CACHE STRING
  "The maintainer named in the Debian package")
set(PENNARO_APP_ID io.github.pennaro.pennaro)
set(PENNARO_ICON_SIZES 16 24 32 48 64 128 256)

# The icon of every size, drawn by the same code as the window icon.
add_executable(pennaro-icon tools/icon_main.cpp)
target_link_libraries(pennaro-icon PRIVATE pennaro_ui)
set(icon_files)
set(icon_commands)
foreach(size IN LISTS PENNARO_ICON_SIZES)
  set(file ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/pennaro.png)
  list(APPEND icon_files ${file})
  list(APPEND icon_commands
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:pennaro-icon> ${size} ${file})
  install(FILES ${file} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_command(OUTPUT ${icon_files} ${icon_commands} DEPENDS pennaro-icon COMMENT "Drawing the program icons")
add_custom_target(pennaro_icons ALL DEPENDS ${icon_files})
install(FILES resources/pennaro.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages, compressed as Debian installs them.
find_program(GZIP gzip REQUIRED)
set(man_files)
foreach(page pennaro pennaro-cli pennaro-initdb)
  configure_file(resources/man/${page}.1.in ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1.gz
    COMMAND ${GZIP} -9nf ${page}.1 -c > ${page}.1.gz
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/man
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1)
  list(APPEND man_files ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1.gz)
endforeach()
add_custom_target(pennaro_man ALL DEPENDS ${man_files})
install(FILES ${man_files} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

configure_file(resources/pennaro.metainfo.xml.in ${CMAKE_CURRENT_BINARY_DIR}/${PENNARO_APP_ID}.metainfo.xml @ONLY)

install(TARGETS pennaro pennaro-initdb pennaro-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PENNARO_HELP_PAGE} DESTINATION ${CMAKE_INSTALL_DATADIR}/pennaro)
install(FILES resources/pennaro.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${PENNARO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The copyright file names the licence; it and the changelog are in the form
# Debian reads from a package's documentation folder.
set(deb_doc ${CMAKE_CURRENT_BINARY_DIR}/debian-doc)
configure_file(packaging/copyright.in ${deb_doc}/copyright @ONLY)
configure_file(packaging/changelog.in ${deb_doc}/changelog @ONLY)
add_custom_command(OUTPUT ${deb_doc}/changelog.gz
  COMMAND ${GZIP} -9nf changelog -c > changelog.gz
  WORKING_DIRECTORY ${deb_doc}
  DEPENDS ${deb_doc}/changelog)
add_custom_target(pennaro_deb_doc ALL DEPENDS ${deb_doc}/changelog.gz)
install(FILES ${deb_doc}/copyright ${deb_doc}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pennaro)

# ---- The Debian package ----

set(CPACK_PACKAGE_NAME pennaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Pennaro developers")
set(CPACK_PACKAGE_CONTACT "${PENNARO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "household bookkeeping with six ledgers")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PENNARO_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Chinese needs a CJK font; the standard buttons read in Chinese with Qt's
# translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
# The first line of the description is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pennaro records a family's income, expenses, cash on hand, bank deposits
and withdrawals and investments, and lists them in six ledgers. Recurring
incomes and expenses post themselves when they fall due; statistics over a
date range can be printed and exported as spreadsheets. The interface is in
Chinese.
.
The package holds the program, pennaro-initdb, which creates a new book,
and pennaro-cli, which works on a book from the command line.")
set(CPACK_GENERATOR DEB)
include(CPack)
