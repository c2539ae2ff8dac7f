# Shared build helpers: warnings, sanitizers, one static library per subsystem,
# one GoogleTest executable per test folder.

set(TARVELON_WARNINGS -Wall -Wextra -Wno-unused-parameter)

if(TARVELON_SANITIZE)
  # -O1 keeps sanitized test runs quick enough for CI on two cores; line tables (-g1) are all
  # a sanitizer report needs and halve the compile time of the large test sources.
  add_compile_options(-O1 -g1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(TARVELON_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(TARVELON_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TARVELON_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  # Every library is instrumented for coverage; the fuzz targets add the driver.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# tarvelon_library(<name> SOURCES ... [DEPS ...] [PKG ...])
# A subsystem's static library; its folder's parent (core/ or game/) is the include root,
# so code includes "platform/engine_string.h", "script/lua/lua.h" and so on.
function(tarvelon_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${TARVELON_WARNINGS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/core ${PROJECT_SOURCE_DIR}/game)
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

find_package(GTest QUIET)
include(GoogleTest)

# What every test source is compiled with: the warnings, the tests/ include root and the
# folders of the sources, fixtures and golden images.
function(tarvelon_test_settings name)
  target_compile_options(${name} PRIVATE ${TARVELON_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TARVELON_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TARVELON_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures"
    TARVELON_GOLDEN="${PROJECT_SOURCE_DIR}/tests/golden")
  if(TARVELON_SANITIZE)
    # The tests' own code runs little and compiles much (GoogleTest's macros): unoptimised
    # it builds in about half the time; the code under test keeps its -O1.
    target_compile_options(${name} PRIVATE -O0)
  endif()
endfunction()

# tarvelon_test_library(<name> SOURCES ... DEPS ...)
# Test helpers that several test executables link, compiled once.
function(tarvelon_test_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  tarvelon_test_settings(${name})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} GTest::gtest)
endfunction()

# tarvelon_test(<name> SOURCES ... DEPS ... [TIMEOUT seconds])
# One GoogleTest executable; every test case becomes a CTest test, run headless, each
# stopped after TIMEOUT seconds (default 300).
function(tarvelon_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  tarvelon_test_settings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1"
               TIMEOUT ${ARG_TIMEOUT})
endfunction()

# tarvelon_fuzzer(<name> SOURCES ... DEPS ...): a libFuzzer target, only with TARVELON_FUZZ.
function(tarvelon_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()

# tarvelon_add_subdirs(): every sub-folder of the current folder that has a CMakeLists.txt,
# in name order; tools/, bench/, fuzz/ and test folders grow by adding a folder.
function(tarvelon_add_subdirs)
  file(GLOB sub_dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT sub_dirs)
  foreach(dir IN LISTS sub_dirs)
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# tarvelon_embed_lua(<out_var> SOURCE <file.lua> CHUNK_NAME <name> SYMBOL <Name> HEADER <header>
#                    COMMENT <text>): compiles a Lua library at build time with lua_compiler and
# embeds the chunk as a byte array (cmake/embed_chunk.cmake); <out_var> receives the generated
# source to add to a target. Leak reports of the short-lived compiler in sanitized builds must
# not fail the build.
function(tarvelon_embed_lua out_var)
  cmake_parse_arguments(ARG "" "SOURCE;CHUNK_NAME;SYMBOL;HEADER;COMMENT" "" ${ARGN})
  get_filename_component(stem ${ARG_SOURCE} NAME_WE)
  set(chunk ${CMAKE_CURRENT_BINARY_DIR}/${stem}_library.luac)
  set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${stem}_library_data.cpp)
  add_custom_command(
    OUTPUT ${cpp}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:lua_compiler> -n ${ARG_CHUNK_NAME} -o ${chunk} ${ARG_SOURCE}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${chunk} -DOUTPUT=${cpp} -DNAME=${ARG_SYMBOL} -DHEADER=${ARG_HEADER}
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_chunk.cmake
    DEPENDS ${ARG_SOURCE} lua_compiler ${PROJECT_SOURCE_DIR}/cmake/embed_chunk.cmake
    COMMENT ${ARG_COMMENT})
  set(${out_var} ${cpp} PARENT_SCOPE)
endfunction()
