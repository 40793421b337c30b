# tolmira_layer(<name> [QT] [DEPS <targets>...])
# One static library per layer, made of every source in src/<name>/.
# Layers without QT get no Qt include path and link no Qt.
function(tolmira_layer name)
  cmake_parse_arguments(L "QT" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/src/${name}/*.cpp
       ${CMAKE_SOURCE_DIR}/src/${name}/*.h
       ${CMAKE_SOURCE_DIR}/src/${name}/*.qrc)
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|qrc)$")
  if(NOT compiled)
    # A layer that so far has headers only.
    add_library(tolmira_${name} INTERFACE)
    target_include_directories(tolmira_${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(tolmira_${name} INTERFACE ${L_DEPS})
    if(L_QT)
      target_link_libraries(tolmira_${name} INTERFACE Qt6::Widgets)
    endif()
    return()
  endif()
  add_library(tolmira_${name} STATIC ${sources})
  target_include_directories(tolmira_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(tolmira_${name} PUBLIC ${L_DEPS})
  if(L_QT)
    target_link_libraries(tolmira_${name} PUBLIC Qt6::Widgets)
  else()
    set_target_properties(tolmira_${name} PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)
  endif()
endfunction()

# tolmira_tests(<layer> [GUI] [DEPS <targets>...])
# Every tests/<layer>/*_test.cpp becomes one test program and one CTest entry.
# GUI tests get their own main() with a QApplication and run on the offscreen platform.
function(tolmira_tests layer)
  cmake_parse_arguments(T "GUI" "" "DEPS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${layer}/*_test.cpp)
  foreach(src IN LISTS tests)
    get_filename_component(base ${src} NAME_WE)
    set(exe test_${layer}_${base})
    add_executable(${exe} ${src})
    target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${exe} PRIVATE ${T_DEPS})
    if(T_GUI)
      target_link_libraries(${exe} PRIVATE tolmira_testsupport GTest::gtest Qt6::Test)
      add_test(NAME ${layer}.${base} COMMAND ${exe})
      set_tests_properties(${layer}.${base} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QPA_FONTDIR=/usr/share/fonts/truetype"
        TIMEOUT 300)
    else()
      set_target_properties(${exe} PROPERTIES AUTOMOC OFF)
      target_link_libraries(${exe} PRIVATE GTest::gtest_main)
      add_test(NAME ${layer}.${base} COMMAND ${exe})
      set_tests_properties(${layer}.${base} PROPERTIES TIMEOUT 300)
    endif()
    set_tests_properties(${layer}.${base} PROPERTIES
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endforeach()
endfunction()
