# clang-format over every C++ source of src, tests, tools, bench and fuzz, with the
# project's .clang-format.
#   cmake -DMODE=fix   -DSOURCE_DIR=. -P scripts/format.cmake   rewrites the files
#   cmake -DMODE=check -DSOURCE_DIR=. -P scripts/format.cmake   lists the files that differ, fails if any
# CLANG_FORMAT may name the program; otherwise the first clang-format on PATH.
# Without clang-format both fail: a check that cannot run must not look passed.
cmake_minimum_required(VERSION 3.22)

if(NOT MODE MATCHES "^(fix|check)$" OR NOT SOURCE_DIR)
  message(FATAL_ERROR "format: give -DMODE=fix|check and -DSOURCE_DIR=<source tree>")
endif()
set(tool "${CLANG_FORMAT}")
if(NOT tool)
  find_program(found_clang_format NAMES clang-format clang-format-14 clang-format-15 clang-format-16)
  set(tool "${found_clang_format}")
endif()
if(NOT tool)
  message(FATAL_ERROR "format: clang-format is not installed, so the formatting cannot be checked "
                      "(apt-get install clang-format, or ./test.sh which installs it)")
endif()
if(NOT EXISTS "${SOURCE_DIR}/.clang-format")
  message(FATAL_ERROR "format: ${SOURCE_DIR}/.clang-format is missing")
endif()

set(files)
foreach(top src tests tools bench fuzz)
  file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${SOURCE_DIR}"
       "${SOURCE_DIR}/${top}/*.h" "${SOURCE_DIR}/${top}/*.hpp"
       "${SOURCE_DIR}/${top}/*.cpp" "${SOURCE_DIR}/${top}/*.cc")
  list(APPEND files ${found})
endforeach()
list(SORT files)
if(NOT files)
  message(FATAL_ERROR "format: no C++ sources found under ${SOURCE_DIR}")
endif()
list(LENGTH files count)

if(MODE STREQUAL "fix")
  execute_process(COMMAND "${tool}" --style=file -i ${files}
                  WORKING_DIRECTORY "${SOURCE_DIR}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "format: clang-format failed (${rc})")
  endif()
  message(STATUS "format: ${count} files formatted")
  return()
endif()

execute_process(COMMAND "${tool}" --style=file --dry-run -Werror ${files}
                WORKING_DIRECTORY "${SOURCE_DIR}" RESULT_VARIABLE rc
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc EQUAL 0)
  message(STATUS "format: ${count} files match .clang-format")
  return()
endif()
# One line per file that would change, from the diagnostics' "file:line:col: error:".
string(REGEX MATCHALL "[^\n]+:[0-9]+:[0-9]+: error: code should be clang-formatted" hits "${err}")
set(bad)
foreach(hit IN LISTS hits)
  string(REGEX REPLACE ":[0-9]+:[0-9]+: error: .*$" "" path "${hit}")
  list(APPEND bad "${path}")
endforeach()
if(NOT bad)
  message(FATAL_ERROR "format: clang-format failed (${rc}):\n${err}")
endif()
list(REMOVE_DUPLICATES bad)
list(LENGTH bad bad_count)
string(REPLACE ";" "\n  " bad_text "${bad}")
message(FATAL_ERROR "format: ${bad_count} of ${count} files differ from .clang-format "
                    "(cmake --build build --target format fixes them):\n  ${bad_text}")
