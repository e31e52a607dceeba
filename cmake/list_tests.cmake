# Run by ctest: asks a GoogleTest program for its cases and adds one test for each.
if(NOT EXISTS "${ORVANE_TEST_EXECUTABLE}")
  add_test(NOT_BUILT_${ORVANE_TEST_LABEL} "${ORVANE_TEST_EXECUTABLE}")
  return()
endif()
execute_process(
  COMMAND ${ORVANE_TEST_EMULATOR} "${ORVANE_TEST_EXECUTABLE}" --gtest_list_tests
  WORKING_DIRECTORY "${ORVANE_TEST_WORKING_DIRECTORY}"
  OUTPUT_VARIABLE listing
  RESULT_VARIABLE result
  TIMEOUT 120)
if(NOT result EQUAL 0)
  add_test(LISTING_FAILED_${ORVANE_TEST_LABEL} "${ORVANE_TEST_EXECUTABLE}" --gtest_list_tests)
  return()
endif()
string(REPLACE "\r" "" listing "${listing}")
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(suite "")
foreach(line IN LISTS lines)
  # Comments such as "# GetParam() = ..." follow a case; they are not part of its name.
  string(REGEX REPLACE " *#.*$" "" line "${line}")
  if(line STREQUAL "" OR line MATCHES "^Running main")
    continue()
  endif()
  if(line MATCHES "^  ")
    string(STRIP "${line}" name)
    set(test "${suite}${name}")
    add_test("${test}" ${ORVANE_TEST_EMULATOR} "${ORVANE_TEST_EXECUTABLE}" "--gtest_filter=${test}")
    set_tests_properties("${test}" PROPERTIES
      WORKING_DIRECTORY "${ORVANE_TEST_WORKING_DIRECTORY}"
      LABELS "${ORVANE_TEST_LABEL}"
      TIMEOUT "${ORVANE_TEST_TIMEOUT}"
      ${ORVANE_TEST_EXTRA_PROPERTIES})
  else()
    string(STRIP "${line}" suite)
  endif()
endforeach()
