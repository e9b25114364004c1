# zlib for the Windows tree, built from Debian's source package (fetched into
# third_party/ by scripts/bootstrap, never committed) so that the stub takes
# only what it calls: sections per function, and the CRC-32 tables made at
# run time instead of 5 KB of them in the file.
set(ZLIB_SOURCE_DIR "${PROJECT_SOURCE_DIR}/third_party/zlib/source")
if(NOT EXISTS "${ZLIB_SOURCE_DIR}/inflate.c")
  message(FATAL_ERROR "zlib source missing: run scripts/bootstrap")
endif()
add_library(zlib_static STATIC)
foreach(name adler32 compress crc32 deflate infback inffast inflate inftrees trees uncompr zutil)
  target_sources(zlib_static PRIVATE "${ZLIB_SOURCE_DIR}/${name}.c")
endforeach()
target_include_directories(zlib_static SYSTEM PUBLIC "${ZLIB_SOURCE_DIR}")
target_compile_definitions(zlib_static PRIVATE DYNAMIC_CRC_TABLE)
target_compile_options(zlib_static PRIVATE -O2 -ffunction-sections -fno-asynchronous-unwind-tables -w)
add_library(ZLIB::ZLIB ALIAS zlib_static)
