# minizip from Debian's source package, which scripts/bootstrap fetches into
# third_party/ (never committed).
set(MINIZIP_DIR "${PROJECT_SOURCE_DIR}/third_party/minizip/source")
if(NOT EXISTS "${MINIZIP_DIR}/unzip.c")
  message(FATAL_ERROR "minizip source missing: run scripts/bootstrap")
endif()

add_library(minizip_unzip STATIC "${MINIZIP_DIR}/unzip.c" "${MINIZIP_DIR}/ioapi.c")
target_include_directories(minizip_unzip SYSTEM PUBLIC "${MINIZIP_DIR}")
target_link_libraries(minizip_unzip PUBLIC ZLIB::ZLIB)
target_compile_options(minizip_unzip PRIVATE -w)

# The zip half: for the packing tool and for tests that build archives.
add_library(minizip_zip STATIC "${MINIZIP_DIR}/zip.c")
target_link_libraries(minizip_zip PUBLIC minizip_unzip)
target_compile_options(minizip_zip PRIVATE -w)
target_compile_definitions(minizip_zip PRIVATE NOCRYPT)
