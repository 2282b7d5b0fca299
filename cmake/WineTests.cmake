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

# A second session for the tests of several monitors, so that every other test keeps its one
# 1280x1024 screen: a 1280x1024 primary monitor with a 1024x768 one on either side, which the
# tests see at (1280,0)-(2304,768) on the right and at (-1024,0)-(0,768) on the left.
set(VEMLIX_MONITOR_LAYOUT "1280x1024+1024+0 1024x768+2304+0 1024x768+0+0")
set(VEMLIX_WINE_MONITORS_STATE ${CMAKE_BINARY_DIR}/wine-monitors)
if(NOT TEST wine_monitors_start)
  add_test(NAME wine_monitors_start
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh start ${VEMLIX_WINE_MONITORS_STATE})
  add_test(NAME wine_monitors_stop
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh stop ${VEMLIX_WINE_MONITORS_STATE})
  set_tests_properties(wine_monitors_start PROPERTIES FIXTURES_SETUP wine_monitors TIMEOUT 300
    ENVIRONMENT "VEMLIX_MONITORS=${VEMLIX_MONITOR_LAYOUT}")
  set_tests_properties(wine_monitors_stop PROPERTIES FIXTURES_CLEANUP wine_monitors)
endif()

# As vemlix_add_wine_test, in the session of several monitors.
function(vemlix_add_wine_monitors_test target)
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR
    "${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh;${VEMLIX_WINE_MONITORS_STATE}")
  gtest_add_tests(TARGET ${target} SOURCES ${ARGN} TEST_PREFIX "wine.monitors." TEST_LIST added)
  set_tests_properties(${added} PROPERTIES FIXTURES_REQUIRED wine_monitors TIMEOUT 120
    ENVIRONMENT "VEMLIX_MONITORS=${VEMLIX_MONITOR_LAYOUT}")
endfunction()
