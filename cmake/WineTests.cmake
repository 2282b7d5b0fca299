# Windows tests run under Wine (the build's CMAKE_CROSSCOMPILING_EMULATOR) inside one session
# of this build's own: a private prefix and an Xvfb display, started before the first test and
# stopped after the last.
if(NOT TEST wine_session_start)
  add_test(NAME wine_session_start
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh start ${VEMLIX_WINE_STATE})
  add_test(NAME wine_session_stop
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh stop ${VEMLIX_WINE_STATE})
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)
endif()

# One CTest test per TEST() of the target's sources, each in a fresh process under Wine.
function(vemlix_add_wine_test target)
  get_target_property(sources ${target} SOURCES)
  set(test_sources "")
  foreach(source IN LISTS sources)
    if(source MATCHES "_test\\.cpp$")
      list(APPEND test_sources ${source})
    endif()
  endforeach()
  gtest_add_tests(TARGET ${target} SOURCES ${test_sources} TEST_PREFIX "wine." TEST_LIST added)
  set_tests_properties(${added} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 120)
endfunction()
