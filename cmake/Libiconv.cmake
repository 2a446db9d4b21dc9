# GNU libiconv 1.14 as shipped in the npm package iconv@3.0.1, built from its
# own folders with the configuration headers that package carries.
set(ICONV_PACKAGE_DIR "${PROJECT_SOURCE_DIR}/node_modules/iconv")
if(NOT EXISTS "${ICONV_PACKAGE_DIR}/deps/libiconv/lib/iconv.c")
    message(FATAL_ERROR "libiconv sources missing in ${ICONV_PACKAGE_DIR}: run scripts/setup (npm ci --ignore-scripts)")
endif()

add_library(libiconv STATIC
    "${ICONV_PACKAGE_DIR}/deps/libiconv/lib/iconv.c"
    "${ICONV_PACKAGE_DIR}/support/localcharset.c")
target_include_directories(libiconv
    PUBLIC "${ICONV_PACKAGE_DIR}/support"
    PRIVATE "${ICONV_PACKAGE_DIR}/deps/libiconv/lib")
target_compile_definitions(libiconv PRIVATE ICONV_CONST=const ENABLE_EXTRA=1 LIBDIR="")
# Third-party code is built as it comes; its warnings are not ours to fix.
target_compile_options(libiconv PRIVATE -w)
set_target_properties(libiconv PROPERTIES C_STANDARD 99 POSITION_INDEPENDENT_CODE ON)
