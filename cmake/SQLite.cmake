# SQLite as the target vemlix::sqlite: Debian's libsqlite3-dev on the host, and for Windows a
# static library cross-built once per machine from Debian's source package (see scripts/).
add_library(vemlix::sqlite INTERFACE IMPORTED)
if(WIN32)
  execute_process(
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-sqlite-mingw.sh
    OUTPUT_VARIABLE sqlite_prefix
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE sqlite_result)
  if(NOT sqlite_result EQUAL 0)
    message(FATAL_ERROR "Cross-building SQLite for Windows failed")
  endif()
  message(STATUS "SQLite for Windows: ${sqlite_prefix}")
  target_include_directories(vemlix::sqlite INTERFACE ${sqlite_prefix}/include)
  target_link_libraries(vemlix::sqlite INTERFACE ${sqlite_prefix}/lib/libsqlite3.a)
else()
  find_package(SQLite3 REQUIRED)
  target_link_libraries(vemlix::sqlite INTERFACE SQLite::SQLite3)
endif()
