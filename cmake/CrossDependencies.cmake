# The test and JSON libraries of a cross-build: the host's packages hold libraries
# for the host, so GoogleTest is built from its source package with the cross
# compiler, and nlohmann-json, header only, is taken from the host's headers alone.
set(TOLMIRA_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for a cross-build")
set(TOLMIRA_JSON_INCLUDE_DIR /usr/include CACHE PATH "Folder holding nlohmann/json.hpp")

if(NOT EXISTS ${TOLMIRA_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "no GoogleTest sources in ${TOLMIRA_GTEST_SOURCE_DIR} (Debian package googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TOLMIRA_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# GoogleTest makes the GTest::gtest and GTest::gtest_main aliases itself.

# Only nlohmann/ itself: the whole host include folder would shadow the cross headers.
if(NOT EXISTS ${TOLMIRA_JSON_INCLUDE_DIR}/nlohmann/json.hpp)
  message(FATAL_ERROR "no nlohmann/json.hpp in ${TOLMIRA_JSON_INCLUDE_DIR} (Debian package nlohmann-json3-dev)")
endif()
set(json_dir ${CMAKE_BINARY_DIR}/cross-include)
file(MAKE_DIRECTORY ${json_dir})
file(CREATE_LINK ${TOLMIRA_JSON_INCLUDE_DIR}/nlohmann ${json_dir}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${json_dir})
