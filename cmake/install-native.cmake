# Install rules of the native build, laid out as Debian lays out a package
# (scripts/package-deb.sh installs them with --prefix /usr):
#   bin/morvelin                               the tool
#   share/man/man1/morvelin.1.gz               its manual page (docs/morvelin.1)
#   share/inkscape/extensions/                 the Inkscape extension, where
#     morvelin.inx, the launcher                 Inkscape looks for every user's
#     morvelin -> ../../../bin/morvelin          the tool beside the launcher,
#                                                which runs it from there first
include(GNUInstallDirs)
find_program(MORVELIN_GZIP gzip REQUIRED)

install(TARGETS morvelin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The manual page compressed as Debian wants it: -9, and no name or time in
# the gzip header (-n), so that the same page gives the same bytes.
set(MORVELIN_MAN_PAGE ${PROJECT_BINARY_DIR}/morvelin.1.gz)
add_custom_command(OUTPUT ${MORVELIN_MAN_PAGE}
  COMMAND ${MORVELIN_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/docs/morvelin.1 > ${MORVELIN_MAN_PAGE}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/morvelin.1 VERBATIM)
add_custom_target(morvelin_man_page DEPENDS ${MORVELIN_MAN_PAGE})
add_dependencies(morvelin morvelin_man_page)
install(FILES ${MORVELIN_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(extensions ${CMAKE_INSTALL_DATADIR}/inkscape/extensions)
install(FILES ${PROJECT_SOURCE_DIR}/inkscape/morvelin.inx DESTINATION ${extensions})
install(PROGRAMS ${MORVELIN_INKSCAPE_LAUNCHER} DESTINATION ${extensions})
file(RELATIVE_PATH tool_from_extensions /prefix/${extensions} /prefix/${CMAKE_INSTALL_BINDIR}/morvelin)
install(CODE "
  set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${extensions}/morvelin\")
  message(STATUS \"Installing: \${link} -> ${tool_from_extensions}\")
  file(CREATE_LINK ${tool_from_extensions} \${link} SYMBOLIC)")
