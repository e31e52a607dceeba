# GoogleTest cases become CTest tests when ctest starts, never during the build (which must not
# need Wine). CMake 3.25's own PRE_TEST discovery leaves a script that includes itself after a
# second configure, so the plug-in's build lists the cases with a small script of its own.
set(ORVANE_LIST_TESTS_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/list_tests.cmake)

function(orvane_discover_tests target label timeout)
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_discovery.cmake")
  get_property(emulator TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR)
  set(extra_properties "${ARGN}")
  file(GENERATE OUTPUT "${include_file}" CONTENT
"set(ORVANE_TEST_EXECUTABLE [==[$<TARGET_FILE:${target}>]==])
set(ORVANE_TEST_EMULATOR [==[${emulator}]==])
set(ORVANE_TEST_LABEL [==[${label}]==])
set(ORVANE_TEST_TIMEOUT [==[${timeout}]==])
set(ORVANE_TEST_EXTRA_PROPERTIES [==[${extra_properties}]==])
set(ORVANE_TEST_WORKING_DIRECTORY [==[${CMAKE_CURRENT_BINARY_DIR}]==])
include([==[${ORVANE_LIST_TESTS_SCRIPT}]==])
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()
