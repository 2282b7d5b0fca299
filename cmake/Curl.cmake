# libcurl for FTPS and SFTP as the target vemlix::curl: for Windows only, cross-built once per
# machine from Debian's source packages, with libssh2, both on the OpenSSL of vemlix::crypto
# (whose libssl carries the TLS; see scripts/build-curl-mingw.sh).
add_library(vemlix::curl INTERFACE IMPORTED)
execute_process(
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-curl-mingw.sh
  OUTPUT_VARIABLE curl_prefix
  OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE curl_result)
if(NOT curl_result EQUAL 0)
  message(FATAL_ERROR "Cross-building libcurl for Windows failed")
endif()
message(STATUS "libcurl for Windows: ${curl_prefix}")
target_include_directories(vemlix::curl INTERFACE ${curl_prefix}/include)
target_compile_definitions(vemlix::curl INTERFACE CURL_STATICLIB)
target_link_libraries(vemlix::curl INTERFACE
  ${curl_prefix}/lib/libcurl.a ${curl_prefix}/lib/libssh2.a
  # libssl needs libcrypto after it, wherever else vemlix::crypto already put that.
  ${openssl_prefix}/lib/libssl.a ${openssl_prefix}/lib/libcrypto.a
  ws2_32 crypt32 bcrypt advapi32)
