# libcrypto as the target vemlix::crypto: Debian's libssl-dev on the host, and for Windows a
# static libcrypto cross-built once per machine from Debian's source package (see scripts/).
add_library(vemlix::crypto INTERFACE IMPORTED)
if(WIN32)
  execute_process(
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-openssl-mingw.sh
    OUTPUT_VARIABLE openssl_prefix
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE openssl_result)
  if(NOT openssl_result EQUAL 0)
    message(FATAL_ERROR "Cross-building OpenSSL for Windows failed")
  endif()
  message(STATUS "OpenSSL for Windows: ${openssl_prefix}")
  target_include_directories(vemlix::crypto INTERFACE ${openssl_prefix}/include)
  target_link_libraries(vemlix::crypto INTERFACE ${openssl_prefix}/lib/libcrypto.a ws2_32 crypt32)
else()
  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
  target_link_libraries(vemlix::crypto INTERFACE OpenSSL::Crypto)
endif()
