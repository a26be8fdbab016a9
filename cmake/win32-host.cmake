# The Win32 stand-in host and the morvelin tool (build-win/morvelin.exe),
# which load the shipped Morvelin.aip with LoadLibrary and reach it only
# through PluginMain: no plug-in source is compiled in. MORVELIN_WIN_DEPS is
# the folder scripts/win-deps.sh filled with Debian's sources of Clipper and
# pugixml and CLI11's headers.
set(deps ${MORVELIN_WIN_DEPS})
file(GLOB CLIPPER_SOURCE ${deps}/libpolyclipping-*/cpp/clipper.cpp)
file(GLOB PUGIXML_SOURCE ${deps}/pugixml-*/src/pugixml.cpp)
if(NOT CLIPPER_SOURCE OR NOT PUGIXML_SOURCE OR NOT EXISTS ${deps}/include/CLI/CLI.hpp)
  message(FATAL_ERROR "MORVELIN_WIN_DEPS=${deps} lacks the sources scripts/win-deps.sh unpacks")
endif()

# The host computes in SSE2 doubles like the plug-in and the native build.
set(WIN32_HOST_OPTIONS -msse2 -mfpmath=sse)

# Third-party code, built without our warning flags.
add_library(win32_clipper STATIC ${CLIPPER_SOURCE})
add_library(win32_pugixml STATIC ${PUGIXML_SOURCE})
foreach(library win32_clipper win32_pugixml)
  target_compile_options(${library} PRIVATE -w ${WIN32_HOST_OPTIONS})
  target_include_directories(${library} PUBLIC ${deps}/include)
endforeach()

file(GLOB_RECURSE WIN32_STANDIN_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/standin/*.cpp)
add_library(win32_standin STATIC ${WIN32_STANDIN_SOURCES})
target_link_libraries(win32_standin PUBLIC win32_clipper)

# The tool's layers with the Win32 variants (cli/platform/platform.cmake): the
# plug-in comes from the DLL, so neither its resources nor `bridge` (which
# calls the geometry directly) are built; no PNG previews, no compressed
# drawings, and Win32 output files.
include(${PROJECT_SOURCE_DIR}/cli/sources.cmake)
morvelin_platform_sources(win32 WIN32)
set(WIN32_CLI_SOURCES ${MORVELIN_SVG_SOURCES} ${WIN32_SVG} ${MORVELIN_SESSION_SOURCES} ${WIN32_SESSION}
  ${MORVELIN_COMMANDS_SOURCES} ${WIN32_COMMANDS})
add_library(win32_cli STATIC ${WIN32_CLI_SOURCES})
# shell32: CommandLineToArgvW, which splits the wide command line.
target_link_libraries(win32_cli PUBLIC win32_standin win32_pugixml shell32)
target_compile_definitions(win32_cli PUBLIC MORVELIN_PLUGIN_DLL)

add_executable(morvelin_exe ${PROJECT_SOURCE_DIR}/cli/main.cpp)
target_link_libraries(morvelin_exe PRIVATE win32_cli)
set_target_properties(morvelin_exe PROPERTIES OUTPUT_NAME morvelin RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})


# The differential test's scenario runner, the same source as the native one.
add_executable(morvelin_scenarios_exe ${PROJECT_SOURCE_DIR}/tests/wine/scenarios_main.cpp)
target_link_libraries(morvelin_scenarios_exe PRIVATE win32_cli)
set_target_properties(morvelin_scenarios_exe PROPERTIES OUTPUT_NAME morvelin_scenarios
  RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})

foreach(target win32_standin win32_cli morvelin_exe morvelin_scenarios_exe)
  target_compile_options(${target} PRIVATE ${WIN32_HOST_OPTIONS})
endforeach()
foreach(target morvelin_exe morvelin_scenarios_exe)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endforeach()
# The shipped tool, like the DLL, without symbols in the release build.
target_link_options(morvelin_exe PRIVATE $<$<CONFIG:Release>:-s>)

# The maths check (tests/wine/math_check.cpp), compiled with the plug-in's
# flags and libraries so that it calls the same cos, sin and acos as the DLL.
add_executable(math_check_exe ${PROJECT_SOURCE_DIR}/tests/wine/math_check.cpp
  ${PROJECT_SOURCE_DIR}/blend/portable_trig.cpp ${PROJECT_SOURCE_DIR}/blend/rounded_trig.cpp)
set_target_properties(math_check_exe PROPERTIES OUTPUT_NAME math_check RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
target_compile_options(math_check_exe PRIVATE -msse2 -mfpmath=sse -ffp-contract=off -fno-tree-slp-vectorize)
target_link_options(math_check_exe PRIVATE -static -static-libgcc -static-libstdc++)
