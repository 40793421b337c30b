# checks.layers_selftest: configures the fixture tree in layers-fixture/ (real
# targets through tolmira_layer) and runs the layering check on it; it must name
# exactly the faulty includes below and none of the allowed ones.
#   cmake -DSOURCE_DIR=. -DWORK_DIR=build/checks/selftest [-DGENERATOR=...] [-DCXX=...] \
#         -P scripts/check_layers_selftest.cmake
cmake_minimum_required(VERSION 3.22)

set(expected
  "src/low/Up.cpp: #include \"mid/Mid.h\""            # a layer including the one above it
  "src/side/Side.cpp: #include \"mid/Mid.h\""         # a sibling it does not depend on
  "src/side/Side.cpp: #include \"../top/Top.h\""      # the same through a relative path
  "tools/tool.cpp: #include \"top/Top.h\""            # a tool beyond its links
  "tests/low/Low_test.cpp: #include \"mid/MidHelper.h\""  # another layer's test helper
  "tests/low/Low_test.cpp: #include \"top/Top.h\""    # what the sealed support links is not the test's
  "tests/mid/Mid_test.cpp: #include \"side/Side.h\""
  "fuzz/LowFuzz.cpp: #include \"mid/Mid.h\"")         # sources this configuration does not build

set(fixture "${SOURCE_DIR}/scripts/layers-fixture")
file(REMOVE_RECURSE "${WORK_DIR}")
set(configure_args -S "${fixture}" -B "${WORK_DIR}" "-DTOLMIRA_CMAKE_DIR=${SOURCE_DIR}/cmake")
if(GENERATOR)
  list(APPEND configure_args -G "${GENERATOR}")
endif()
if(CXX)
  list(APPEND configure_args "-DCMAKE_CXX_COMPILER=${CXX}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" ${configure_args}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "selftest: the fixture did not configure:\n${out}\n${err}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" "-DMAP=${WORK_DIR}/layers.cmake"
                        -P "${SOURCE_DIR}/scripts/check_layers.cmake"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(report "${out}${err}")
if(rc EQUAL 0)
  message(FATAL_ERROR "selftest: the check passed a tree with faulty includes:\n${report}")
endif()

# The check prints one indented line per fault: "  <file>: #include "<header>" is ...".
string(REGEX MATCHALL "\n +[^\n: ][^\n:]*: #include \"[^\"]*\"" found "${report}")
list(TRANSFORM found REPLACE "^\n +" "")
list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
  string(REPLACE ";" "\n  " found_text "${found}")
  string(REPLACE ";" "\n  " expected_text "${expected}")
  message(FATAL_ERROR "selftest: the check named\n  ${found_text}\nbut should name\n  ${expected_text}\n"
                      "Its whole report:\n${report}")
endif()
list(LENGTH expected count)
message(STATUS "selftest: the check named exactly the ${count} faulty includes")
