# The morvelin tool's layers as named source lists, read by the native build
# (cli/CMakeLists.txt), the Win32 build (cmake/win32-host.cmake) and the web
# build (web/CMakeLists.txt). A file that exists in one variant per platform
# lives in cli/platform/, and morvelin_platform_sources() picks it.
set(cli ${PROJECT_SOURCE_DIR}/cli)

# The SVG document layer: reading, writing, CSS, paint, path data, numbers and
# the output file. It needs pugixml and the stand-in's art objects only.
set(MORVELIN_SVG_SOURCES
  ${cli}/svg/art_fingerprint.cpp
  ${cli}/svg/float_text.cpp
  ${cli}/svg/number_chars.cpp
  ${cli}/svg/svg_cascade.cpp
  ${cli}/svg/svg_color.cpp
  ${cli}/svg/svg_css.cpp
  ${cli}/svg/svg_curves.cpp
  ${cli}/svg/svg_element.cpp
  ${cli}/svg/svg_errors.cpp
  ${cli}/svg/svg_export.cpp
  ${cli}/svg/svg_import.cpp
  ${cli}/svg/svg_input_file.cpp
  ${cli}/svg/svg_node_text.cpp
  ${cli}/svg/svg_number.cpp
  ${cli}/svg/svg_output_file_common.cpp
  ${cli}/svg/svg_paint.cpp
  ${cli}/svg/svg_path_data.cpp
  ${cli}/svg/svg_path_text.cpp
  ${cli}/svg/svg_raw_xml.cpp
  ${cli}/svg/svg_shape_element.cpp
  ${cli}/svg/svg_shapes.cpp
  ${cli}/svg/svg_transform.cpp
  ${cli}/svg/svg_well_formed.cpp
  ${cli}/svg/svg_xml_text.cpp)

# The session: the plug-in running in the stand-in host on one drawing.
set(MORVELIN_SESSION_SOURCES
  ${cli}/session/effect_session.cpp
  ${cli}/session/sample_drawing.cpp)

# The subcommands (CLI11). `bridge` calls the plug-in's geometry directly, so
# only a build with the plug-in linked in has it (see platform.cmake).
set(MORVELIN_COMMANDS_SOURCES
  ${cli}/commands/apply_command.cpp
  ${cli}/commands/edit_command.cpp
  ${cli}/commands/inkscape_command.cpp
  ${cli}/commands/inkscape_effect.cpp
  ${cli}/commands/version_text.cpp
  ${cli}/commands/viscosity_warning.cpp)

include(${cli}/platform/platform.cmake)
