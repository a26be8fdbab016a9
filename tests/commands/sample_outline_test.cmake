# The sample outline the documentation shows (docs/sample-outline.svg) is what
# `morvelin apply` writes for the built-in sample, byte for byte.
#   cmake -DMORVELIN=build/morvelin -DEXPECTED=docs/sample-outline.svg -DOUT=FILE -P sample_outline_test.cmake
# After a change to the effect's output, scripts/pictures.sh writes both anew.
file(REMOVE "${OUT}")
execute_process(COMMAND "${MORVELIN}" apply -o "${OUT}" RESULT_VARIABLE code OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "morvelin apply exited with ${code}:\n${said}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${EXPECTED}" "${OUT}" RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  set(shown "")
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND "${DIFF}" "${EXPECTED}" "${OUT}" OUTPUT_VARIABLE shown)
    string(SUBSTRING "${shown}" 0 2000 shown)
  endif()
  message(FATAL_ERROR "${EXPECTED} is not what `morvelin apply` writes (${OUT}); "
    "bash scripts/pictures.sh writes it anew.\n${shown}")
endif()
