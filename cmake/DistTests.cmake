# Tests of what a user downloads: the compiled help, and `make dist`'s installer and zip, which
# the installer tests (under Wine) install, run and uninstall.
add_test(NAME help.contents
  COMMAND ${CMAKE_SOURCE_DIR}/tests/dist/help_contents_test.sh ${VEMLIX_CHM}
    ${CMAKE_SOURCE_DIR}/help)
add_test(NAME dist.build
  COMMAND ${CMAKE_SOURCE_DIR}/tests/dist/dist_test.sh ${CMAKE_BINARY_DIR} ${VEMLIX_SETUP}
    ${VEMLIX_PORTABLE})
set_tests_properties(dist.build PROPERTIES FIXTURES_SETUP dist TIMEOUT 300)

target_compile_definitions(windows_tests PRIVATE
  VEMLIX_SETUP_PATH="${VEMLIX_SETUP}"
  VEMLIX_DIST_FILES="${VEMLIX_DIST_FILES}")

get_property(vemlix_tests DIRECTORY PROPERTY TESTS)
foreach(test IN LISTS vemlix_tests)
  if(test MATCHES "^wine\\.InstallerTest\\.")
    get_test_property(${test} FIXTURES_REQUIRED required)
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED "${required};dist")
  endif()
endforeach()
