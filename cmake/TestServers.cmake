# Loopback servers for the upload and update tests (tests/servers/test_servers.sh says which),
# started once before the first test that needs them and stopped after the last. Only the
# suites named below require them, so the other Windows tests never wait on port 21.
set(VEMLIX_TEST_SERVERS ${CMAKE_BINARY_DIR}/test-servers)
add_test(NAME test_servers_start
  COMMAND ${CMAKE_SOURCE_DIR}/tests/servers/test_servers.sh start ${VEMLIX_TEST_SERVERS})
add_test(NAME test_servers_stop
  COMMAND ${CMAKE_SOURCE_DIR}/tests/servers/test_servers.sh stop ${VEMLIX_TEST_SERVERS})
set_tests_properties(test_servers_start PROPERTIES FIXTURES_SETUP servers TIMEOUT 60)
set_tests_properties(test_servers_stop PROPERTIES FIXTURES_CLEANUP servers)

# The tests read what the FTP server stored through Wine's Z: drive.
target_compile_definitions(windows_tests PRIVATE
  VEMLIX_TEST_SERVER_DIR="${VEMLIX_TEST_SERVERS}")

get_property(vemlix_tests DIRECTORY PROPERTY TESTS)
foreach(test IN LISTS vemlix_tests)
  if(test MATCHES "^wine\\.(FtpUpload|Outbox|UpdateCheck|UpdateOffer|MainWindowReport|WebDav|AccountCheck)")
    get_test_property(${test} FIXTURES_REQUIRED required)
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED "${required};servers")
  endif()
endforeach()

# The Wine prefix trusts the test root that signs the FTPS server's certificate, as a company's
# PCs trust its own root.
add_executable(trust_root ${CMAKE_SOURCE_DIR}/tests/servers/trust_root_win.cpp)
target_link_libraries(trust_root PRIVATE crypt32)
target_link_options(trust_root PRIVATE -municode)
add_dependencies(windows_tests trust_root)
add_test(NAME test_root_trust COMMAND trust_root "Z:${VEMLIX_TEST_SERVERS}/tls/root.der")
set_tests_properties(test_root_trust PROPERTIES FIXTURES_SETUP tls_trust
  FIXTURES_REQUIRED "wine;servers" TIMEOUT 60)
foreach(test IN LISTS vemlix_tests)
  if(test MATCHES "^wine\\.(SecureTransfer|WebDav|AccountCheck)")
    get_test_property(${test} FIXTURES_REQUIRED required)
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED "${required};servers;tls_trust")
  endif()
endforeach()

# The S3 gateway (tests/servers/rgw_server.sh) serves HTTPS on a certificate that
# test_servers.sh makes, so it starts once those servers are up; the tests find its addresses
# and keys there, and its rgw-down switch in VEMLIX_TEST_SERVER_DIR.
add_test(NAME rgw_start
  COMMAND ${CMAKE_SOURCE_DIR}/tests/servers/rgw_server.sh start ${VEMLIX_TEST_SERVERS})
add_test(NAME rgw_stop
  COMMAND ${CMAKE_SOURCE_DIR}/tests/servers/rgw_server.sh stop ${VEMLIX_TEST_SERVERS})
set_tests_properties(rgw_start PROPERTIES FIXTURES_SETUP rgw FIXTURES_REQUIRED servers
  TIMEOUT 60)
set_tests_properties(rgw_stop PROPERTIES FIXTURES_CLEANUP rgw)
foreach(test IN LISTS vemlix_tests)
  if(test MATCHES "^wine\\.(S3|AccountCheck)")
    get_test_property(${test} FIXTURES_REQUIRED required)
    set_tests_properties(${test} PROPERTIES
      FIXTURES_REQUIRED "${required};rgw;servers;tls_trust")
  endif()
endforeach()
