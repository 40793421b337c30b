# Layering check: every #include "..." of a source under src, tests, tools, bench or
# fuzz must name a header of a target that the file's own target may use: itself,
# what it links, and what those link publicly. The targets and their links come from
# the build (MAP, written by tolmira_write_layer_map at configure time), so the CMake
# graph is the only statement of the rule.
#   cmake -DMAP=build/checks/layers.cmake -P scripts/check_layers.cmake
# A header in no library target is a test's helper: it may be included from its own
# folder, and a helper in tests/<layer>/ wherever that layer may be used.
cmake_minimum_required(VERSION 3.22)

if(NOT MAP OR NOT EXISTS "${MAP}")
  message(FATAL_ERROR "check_layers: MAP must name the layer map written by the configure step")
endif()
include("${MAP}")

function(key_of path out)
  string(MD5 key "${path}")
  set(${out} ${key} PARENT_SCOPE)
endfunction()

# Who builds each file, who owns it as a library, and who builds in each folder.
foreach(unit IN LISTS TOLMIRA_UNITS)
  foreach(file IN LISTS TOLMIRA_FILES_${unit})
    key_of("${file}" key)
    list(APPEND users_${key} ${unit})
    if(TOLMIRA_LIBRARY_${unit})
      set(owner_${key} ${unit})
    endif()
    get_filename_component(dir "${file}" DIRECTORY)
    key_of("${dir}" dkey)
    list(APPEND dir_users_${dkey} ${unit})
  endforeach()
endforeach()

set(scanned)
foreach(top src tests tools bench fuzz)
  file(GLOB_RECURSE found LIST_DIRECTORIES false
       "${TOLMIRA_SOURCE_DIR}/${top}/*.h" "${TOLMIRA_SOURCE_DIR}/${top}/*.hpp"
       "${TOLMIRA_SOURCE_DIR}/${top}/*.cpp" "${TOLMIRA_SOURCE_DIR}/${top}/*.cc")
  list(APPEND scanned ${found})
endforeach()
list(SORT scanned)

set(violations)
set(unbuilt_dirs)
set(checked_files 0)
set(checked_includes 0)
foreach(file IN LISTS scanned)
  file(RELATIVE_PATH rel "${TOLMIRA_SOURCE_DIR}" "${file}")
  get_filename_component(dir "${file}" DIRECTORY)
  key_of("${file}" key)
  set(units ${users_${key}})
  if(NOT units)
    # A header no target lists: it belongs with the targets built in its folder.
    key_of("${dir}" dkey)
    set(units ${dir_users_${dkey}})
  endif()
  if(NOT units)
    file(RELATIVE_PATH rel_dir "${TOLMIRA_SOURCE_DIR}" "${dir}")
    list(APPEND unbuilt_dirs ${rel_dir})
    continue()
  endif()
  list(REMOVE_DUPLICATES units)
  set(allowed)
  foreach(unit IN LISTS units)
    list(APPEND allowed ${TOLMIRA_ALLOWED_${unit}})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  math(EXPR checked_files "${checked_files} + 1")

  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" included "${line}")
    # Resolved the way the compiler does: the including file's folder first.
    set(target_file)
    foreach(root IN LISTS dir TOLMIRA_INCLUDE_ROOTS)
      get_filename_component(candidate "${root}/${included}" ABSOLUTE)
      if(EXISTS "${candidate}" AND NOT IS_DIRECTORY "${candidate}")
        set(target_file "${candidate}")
        break()
      endif()
    endforeach()
    if(NOT target_file)
      continue()  # a system header or a generated one such as a .moc file
    endif()
    math(EXPR checked_includes "${checked_includes} + 1")
    key_of("${target_file}" tkey)
    set(owner ${owner_${tkey}})
    string(REPLACE ";" ", " unit_text "${units}")
    if(owner)
      if(NOT owner IN_LIST allowed)
        set(may ${allowed})
        list(REMOVE_ITEM may ${units})
        string(REPLACE ";" ", " may "${may}")
        if(NOT may)
          set(may "no other target")
        endif()
        list(APPEND violations
             "${rel}: #include \"${included}\" is a header of ${owner}, which ${unit_text} does not depend on (it may use: ${may})")
      endif()
    else()
      get_filename_component(target_dir "${target_file}" DIRECTORY)
      file(RELATIVE_PATH target_rel "${TOLMIRA_SOURCE_DIR}" "${target_file}")
      # A helper of the tests of layer X (tests/X/...) goes with layer X.
      set(helper_layer)
      if(target_rel MATCHES "^tests/([^/]+)/")
        set(helper_layer tolmira_${CMAKE_MATCH_1})
      endif()
      if(target_dir STREQUAL dir)
        # its own folder's helper
      elseif(helper_layer AND helper_layer IN_LIST TOLMIRA_UNITS)
        if(NOT helper_layer IN_LIST allowed)
          list(APPEND violations
               "${rel}: #include \"${included}\" is a test helper of ${helper_layer}, which ${unit_text} does not depend on")
        endif()
      else()
        list(APPEND violations
             "${rel}: #include \"${included}\" is ${target_rel}, which no library target of this build holds")
      endif()
    endif()
  endforeach()
endforeach()

if(unbuilt_dirs)
  list(REMOVE_DUPLICATES unbuilt_dirs)
  string(REPLACE ";" " " unbuilt_text "${unbuilt_dirs}")
  message(STATUS "not built in this configuration, so not checked: ${unbuilt_text}")
endif()
if(violations)
  list(LENGTH violations count)
  string(REPLACE ";" "\n  " text "${violations}")
  message(FATAL_ERROR "${count} include(s) across the layers:\n  ${text}\n"
                      "Link the target that holds the header (if the layering allows it), or move the code.")
endif()
message(STATUS "layering: ${checked_includes} includes in ${checked_files} files follow the target graph")
