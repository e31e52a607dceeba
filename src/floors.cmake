# The floors of src/, bottom first, each with the floors it may use. Each floor is one static
# library linked only to the floors beneath it, so a call upward finds no definition: every floor
# also gets a link check, a program that takes all of the floor's objects and nothing above it.
# scripts/check_includes.sh reads the same table (from floors.txt in the build tree) to check what
# each file includes.
set(ORVANE_FLOORS base mainapp outlook items inbound outbound app)
set(ORVANE_base_BENEATH)
set(ORVANE_mainapp_BENEATH base)
set(ORVANE_outlook_BENEATH base)
set(ORVANE_items_BENEATH outlook mainapp base)
set(ORVANE_inbound_BENEATH items outlook mainapp base)
set(ORVANE_outbound_BENEATH items outlook mainapp base)
set(ORVANE_app_BENEATH inbound outbound items outlook mainapp base)

# Each folder lists its sources in its own sources.cmake: ORVANE_<floor>_PURE (no Windows
# header, built natively too), ORVANE_<floor>_WINDOWS and ORVANE_<floor>_SYSTEM_LIBS.
set(ORVANE_SRC_DIR ${CMAKE_CURRENT_LIST_DIR})
foreach(floor IN LISTS ORVANE_FLOORS)
  include(${ORVANE_SRC_DIR}/${floor}/sources.cmake)
endforeach()

# orvane_add_floors(<suffix> [PURE_ONLY] [LINK_CHECKS] [OPTIONS <compile option>...]) makes the
# library orvane_<floor><suffix> of every floor. PURE_ONLY leaves the Windows sources out (the
# native builds); LINK_CHECKS adds the link checks and writes floors.txt for the include check.
function(orvane_add_floors suffix)
  cmake_parse_arguments(PARSE_ARGV 1 arg "PURE_ONLY;LINK_CHECKS" "" "OPTIONS")
  set(manifest "nm ${CMAKE_NM}\n")
  set(link_checks)
  foreach(floor IN LISTS ORVANE_FLOORS)
    set(target orvane_${floor}${suffix})
    set(sources ${ORVANE_${floor}_PURE})
    if(NOT arg_PURE_ONLY)
      list(APPEND sources ${ORVANE_${floor}_WINDOWS})
    endif()
    list(TRANSFORM sources PREPEND ${ORVANE_SRC_DIR}/${floor}/)
    set(beneath_targets)
    foreach(beneath IN LISTS ORVANE_${floor}_BENEATH)
      list(APPEND beneath_targets orvane_${beneath}${suffix})
    endforeach()
    if(sources)
      add_library(${target} STATIC ${sources})
      target_compile_options(${target} PRIVATE ${arg_OPTIONS})
      target_link_libraries(${target} PRIVATE orvane_warnings)
      set(archive "$<TARGET_FILE:${target}>")
      set(scope PUBLIC)
    else()
      add_library(${target} INTERFACE)
      set(archive "-")
      set(scope INTERFACE)
    endif()
    target_include_directories(${target} ${scope} ${ORVANE_SRC_DIR})
    target_link_libraries(${target} ${scope} ${beneath_targets})
    if(NOT arg_PURE_ONLY)
      target_link_libraries(${target} ${scope} ${ORVANE_${floor}_SYSTEM_LIBS})
    endif()
    if(arg_LINK_CHECKS AND sources)
      orvane_add_floor_link_check(${target})
      list(APPEND link_checks ${target}_links)
    endif()
    list(JOIN ORVANE_${floor}_BENEATH " " beneath_floors)
    string(APPEND manifest "floor ${floor} ${archive} ${beneath_floors}\n")
  endforeach()
  if(arg_LINK_CHECKS)
    add_custom_target(floor_links)
    add_dependencies(floor_links ${link_checks})
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/floors.txt CONTENT "${manifest}")
  endif()
endfunction()

# A program made of every object of one floor and the floors beneath it, as they are: it links
# only if nothing in the floor needs a definition from above it.
function(orvane_add_floor_link_check target)
  add_executable(${target}_links ${ORVANE_SRC_DIR}/../cmake/floor_link_check.cpp)
  if(MSVC)
    target_link_libraries(${target}_links PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}>" orvane_warnings)
  else()
    # Spelled out: CMake's own form wraps the archive in --push-state/--pop-state, which lld's
    # MinGW driver does not know.
    target_link_libraries(${target}_links PRIVATE -Wl,--whole-archive ${target} -Wl,--no-whole-archive orvane_warnings)
  endif()
  set_target_properties(${target}_links PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/floor_links)
endfunction()
