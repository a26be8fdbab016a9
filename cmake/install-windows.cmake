# Install rules of the cross build: the folder scripts/release.sh zips as
# morvelin-<version>-windows.zip.
#   Morvelin.aip        for the host's Plug-ins folder
#   morvelin.exe        the tool, for the command line (beside Morvelin.aip)
#   inkscape/           the Inkscape extension for %APPDATA%\inkscape\extensions:
#                       the .inx, the launcher, morvelin.exe and Morvelin.aip
#   INSTALL.txt         where each goes, with Windows line ends
install(FILES $<TARGET_FILE:Morvelin> DESTINATION .)
install(FILES $<TARGET_FILE:Morvelin> ${PROJECT_SOURCE_DIR}/inkscape/morvelin.inx ${MORVELIN_INKSCAPE_LAUNCHER}
  DESTINATION inkscape)
if(TARGET morvelin_exe)
  install(PROGRAMS $<TARGET_FILE:morvelin_exe> DESTINATION .)
  install(PROGRAMS $<TARGET_FILE:morvelin_exe> DESTINATION inkscape)
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/INSTALL.txt ${PROJECT_BINARY_DIR}/INSTALL.txt @ONLY
  NEWLINE_STYLE CRLF)
install(FILES ${PROJECT_BINARY_DIR}/INSTALL.txt DESTINATION .)
