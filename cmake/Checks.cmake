# Checks of the source tree itself, run by ctest with the unit tests.

# Formatting: `cmake --build build --target format` applies .clang-format to every
# C++ source; checks.format fails on any file that differs from it.
set(TOLMIRA_CLANG_FORMAT "" CACHE FILEPATH "clang-format to use (empty: the first clang-format on PATH)")
set(format_script ${CMAKE_SOURCE_DIR}/scripts/format.cmake)
add_custom_target(format
  COMMAND ${CMAKE_COMMAND} -DMODE=fix -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -DCLANG_FORMAT=${TOLMIRA_CLANG_FORMAT} -P ${format_script}
  COMMENT "clang-format -i over src, tests, tools, bench, fuzz"
  VERBATIM)
add_test(NAME checks.format
  COMMAND ${CMAKE_COMMAND} -DMODE=check -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -DCLANG_FORMAT=${TOLMIRA_CLANG_FORMAT} -P ${format_script})

# Layering: every #include "..." must name a header of a target that the file's own
# target links, directly or through its dependencies, as this configuration has them.
set(layer_map ${CMAKE_BINARY_DIR}/checks/layers.cmake)
tolmira_write_layer_map(${layer_map})
add_test(NAME checks.layers
  COMMAND ${CMAKE_COMMAND} -DMAP=${layer_map} -P ${CMAKE_SOURCE_DIR}/scripts/check_layers.cmake)
# The check itself, on a small tree with known faults.
add_test(NAME checks.layers_selftest
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DWORK_DIR=${CMAKE_BINARY_DIR}/checks/selftest
          -DGENERATOR=${CMAKE_GENERATOR} -DCXX=${CMAKE_CXX_COMPILER}
          -P ${CMAKE_SOURCE_DIR}/scripts/check_layers_selftest.cmake)
set_tests_properties(checks.format checks.layers checks.layers_selftest PROPERTIES TIMEOUT 300 LABELS checks)
