# Tests of the Win32 code, run for real under Wine through the cross-compiling
# emulator, in one WINEPREFIX for this build tree.
set(MRV_WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/tests/wine-run;${MRV_WINE_PREFIX}")

add_library(win32_test_support STATIC win32/scratch.cpp)
target_link_libraries(win32_test_support PUBLIC test_support mrv_win32 GTest::gtest)

# add_wine_test(NAME SOURCES... [ENV VAR=VALUE...])
function(add_wine_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;ENV;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE win32_test_support GTest::gtest_main ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  # Tests share the Wine prefix's temporary folder and its display.
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine TIMEOUT 300 ENVIRONMENT "${ARG_ENV}")
endfunction()

# A Unix symbolic link, which Wine shows as a reparse point, reached through
# Wine's Z: drive (the Unix root).
set(MRV_LINK_ROOT "${CMAKE_BINARY_DIR}/link-test")
string(REPLACE "/" "\\" MRV_LINK_ROOT_WINDOWS "Z:${MRV_LINK_ROOT}")
add_wine_test(file_system_test SOURCES win32/file_system_test.cpp
  ENV "MRV_LINK_TREE=${MRV_LINK_ROOT_WINDOWS}\\tree;MRV_LINK_TARGET=${MRV_LINK_ROOT_WINDOWS}\\target")
add_test(NAME file_system_test_links
  COMMAND sh -c "rm -rf '${MRV_LINK_ROOT}' && mkdir -p '${MRV_LINK_ROOT}/tree' '${MRV_LINK_ROOT}/target/sub' && echo keep > '${MRV_LINK_ROOT}/target/keep.txt' && echo deep > '${MRV_LINK_ROOT}/target/sub/deep.txt' && echo p > '${MRV_LINK_ROOT}/tree/plain.txt' && ln -s ../target '${MRV_LINK_ROOT}/tree/link'")
set_tests_properties(file_system_test_links PROPERTIES FIXTURES_SETUP links)
set_tests_properties(file_system_test PROPERTIES FIXTURES_REQUIRED links)

add_wine_test(working_folder_test SOURCES win32/working_folder_test.cpp)
add_wine_test(stamp_test_berlin SOURCES win32/stamp_test.cpp ENV "TZ=Europe/Berlin")
add_test(NAME stamp_test_new_york COMMAND stamp_test_berlin)
set_tests_properties(stamp_test_new_york PROPERTIES RESOURCE_LOCK wine ENVIRONMENT "TZ=America/New_York")

add_executable(record_launch win32/helpers/record_launch.cpp)
add_wine_test(launcher_test SOURCES win32/launcher_test.cpp)
add_dependencies(launcher_test record_launch)

# Linked with the stub's resources: its icon and its common-controls manifest.
add_wine_test(window_test SOURCES win32/window_test.cpp ${PROJECT_SOURCE_DIR}/resources/mrvsfx.rc)
target_include_directories(window_test PRIVATE "${CMAKE_BINARY_DIR}" "${PROJECT_SOURCE_DIR}/resources")
add_dependencies(window_test mrvsfx)
add_test(NAME window_test_narrow_screen COMMAND window_test --gtest_filter=ProgressWindowNarrowScreenTest.*)
set_tests_properties(window_test_narrow_screen PROPERTIES RESOURCE_LOCK wine
  ENVIRONMENT "MRV_PRIVATE_SCREEN=300x60;MRV_EXPECT_NARROW_SCREEN=1")

add_wine_test(unpack_test SOURCES win32/unpack_test.cpp ENV "TZ=Europe/Berlin")

add_executable(probe_setup win32/helpers/probe_setup.cpp)
target_link_libraries(probe_setup PRIVATE ZLIB::ZLIB psapi)
set(MRV_E2E_ENV "MRV_STUB=Z:${CMAKE_BINARY_DIR}/mrvsfx.exe;MRV_PROBE=Z:${CMAKE_CURRENT_BINARY_DIR}/probe_setup.exe;MRV_CANARY=Z:${CMAKE_CURRENT_BINARY_DIR}/canary.dll;MRV_LOAD_BESIDE=Z:${CMAKE_CURRENT_BINARY_DIR}/load_beside.exe;TZ=Europe/Berlin")
add_wine_test(e2e_test SOURCES win32/e2e_test.cpp ENV "${MRV_E2E_ENV}")
add_dependencies(e2e_test mrvsfx probe_setup)
# The wait message by the user's language.
foreach(locale_case "de_DE.UTF-8|Bitte warten: Dateien werden entpackt" "de_AT.UTF-8|Bitte warten: Dateien werden entpackt"
                    "de_CH.UTF-8|Bitte warten: Dateien werden entpackt" "en_US.UTF-8|Please wait: Files extract"
                    "fr_FR.UTF-8|Please wait: Files extract")
  string(REPLACE "|" ";" parts "${locale_case}")
  list(GET parts 0 locale)
  list(GET parts 1 message)
  add_test(NAME e2e_message_${locale} COMMAND e2e_test --gtest_filter=*ShowsTheMessageOfTheUsersLanguage)
  set_tests_properties(e2e_message_${locale} PROPERTIES RESOURCE_LOCK wine TIMEOUT 120
    ENVIRONMENT "${MRV_E2E_ENV};LC_ALL=${locale};MRV_EXPECT_MESSAGE=${message}")
endforeach()

add_library(canary SHARED win32/helpers/canary_dll.cpp)
set_target_properties(canary PROPERTIES PREFIX "")
add_executable(load_beside win32/helpers/load_beside.cpp)
add_dependencies(e2e_test canary load_beside)
add_test(NAME stub_imports COMMAND "${PROJECT_SOURCE_DIR}/tests/check-imports" "${CMAKE_OBJDUMP}" "$<TARGET_FILE:mrvsfx>")
add_test(NAME e2e_planted_dlls COMMAND e2e_test --gtest_filter=PlantedDllTest.*)
set_tests_properties(e2e_planted_dlls PROPERTIES RESOURCE_LOCK wine TIMEOUT 120
  ENVIRONMENT "${MRV_E2E_ENV};WINEDLLOVERRIDES=imagehlp,dbghelp,shell32=n,b\\;mscoree,mshtml=")
