# Helpers shared by every folder of the tree: portable libraries, unit tests,
# plug-ins and programs, benchmarks, and the environment the tests run in.

option(JK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(JK_BENCHMARKS "Build the Google Benchmark programs" OFF)
option(JK_TESTS "Build the tests" ON)
option(JK_FUZZ "Build the libFuzzer targets (clang)" OFF)
option(JK_WERROR "Treat warnings as errors" ON)

set(JK_DIST_DIR "${CMAKE_BINARY_DIR}/dist")
set(JK_BIN_DIR "${CMAKE_BINARY_DIR}/bin")
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY "${JK_BIN_DIR}")
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY "${JK_BIN_DIR}")

# Data fetched from Debian packages by the test setup (never committed) and the
# shared 68000 single-step vectors and speed workload, which live in the folder
# beside the repository (../shared); -D sets other places.
set(JK_TESTDATA_DIR "${CMAKE_SOURCE_DIR}/build/testdata" CACHE PATH "Fetched test data")
get_filename_component(_shared "${CMAKE_SOURCE_DIR}/../shared" ABSOLUTE)
set(_vec "")
if(EXISTS "${_shared}/m68000-vectors/NOP.json.bin")
    set(_vec "${_shared}/m68000-vectors")
endif()
set(JK_M68K_VECTORS_DIR "${_vec}" CACHE PATH "68000 single-step vectors")
set(_bench "")
if(EXISTS "${_shared}/m68k-bench/mix.bin")
    set(_bench "${_shared}/m68k-bench")
endif()
set(JK_M68K_BENCH_DIR "${_bench}" CACHE PATH "68000 speed workload")

set(JK_TEST_ENV
    "JK_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    "JK_BINARY_DIR=${CMAKE_BINARY_DIR}"
    "JK_BIN_DIR=${JK_BIN_DIR}"
    "JK_DIST_DIR=${JK_DIST_DIR}"
    "JK_TESTDATA_DIR=${JK_TESTDATA_DIR}"
    "JK_M68K_VECTORS_DIR=${JK_M68K_VECTORS_DIR}"
    "JK_M68K_BENCH_DIR=${JK_M68K_BENCH_DIR}")

# What "./run demo" builds on a Windows tree, and no more: the deliverables
# (every jk_plugin and DELIVERABLE jk_program joins jk_deliverables) and the
# programs the demo's steps run, which join with add_dependencies(jk_demo ...).
add_custom_target(jk_deliverables)
add_custom_target(jk_demo)
add_dependencies(jk_demo jk_deliverables)

add_library(jk_options INTERFACE)
target_compile_options(jk_options INTERFACE -Wall -Wextra)
if(JK_WERROR)
    target_compile_options(jk_options INTERFACE -Werror)
endif()
if(JK_FUZZ)
    # Every library is instrumented for coverage; only the fuzz targets get the driver.
    target_compile_options(jk_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                -fno-omit-frame-pointer)
    target_link_options(jk_options INTERFACE -fsanitize=address,undefined)
    add_custom_target(jk_fuzzers)
endif()
if(JK_SANITIZE)
    target_compile_options(jk_options INTERFACE -fsanitize=address,undefined
                                                -fno-sanitize-recover=undefined
                                                -fno-omit-frame-pointer)
    target_link_options(jk_options INTERFACE -fsanitize=address,undefined)
endif()
if(WIN32)
    target_compile_definitions(jk_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX)
endif()

# Test frameworks: Debian's GoogleTest, built from source for MinGW.
if(JK_TESTS)
    if(WIN32)
        set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
    else()
        find_package(GTest REQUIRED)
    endif()
endif()
if(JK_BENCHMARKS AND NOT WIN32)
    find_package(benchmark REQUIRED)
endif()

# jk_library(name SOURCES ... [LIBS ...]): a static library of portable code.
function(jk_library name)
    cmake_parse_arguments(A "" "" "SOURCES;LIBS;INCLUDES" ${ARGN})
    add_library(${name} STATIC ${A_SOURCES})
    target_link_libraries(${name} PUBLIC jk_options ${A_LIBS})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${A_INCLUDES})
endfunction()

# jk_test(name SOURCES ... [LIBS ...] [WIN32_ONLY] [NATIVE_ONLY] [NO_MAIN]
#         [TIMEOUT s] [LABELS ...] [RESOURCE_LOCK ...]): one GoogleTest program,
# one ctest entry; under the win32 build it runs through Wine.
function(jk_test name)
    cmake_parse_arguments(A "WIN32_ONLY;NATIVE_ONLY;NO_MAIN" "TIMEOUT"
                          "SOURCES;LIBS;LABELS;RESOURCE_LOCK" ${ARGN})
    if(NOT JK_TESTS OR (A_WIN32_ONLY AND NOT WIN32) OR (A_NATIVE_ONLY AND WIN32))
        return()
    endif()
    add_executable(${name} ${A_SOURCES})
    if(A_NO_MAIN)
        target_link_libraries(${name} PRIVATE jk_options GTest::gtest ${A_LIBS})
    else()
        target_link_libraries(${name} PRIVATE jk_options GTest::gtest_main ${A_LIBS})
    endif()
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    if(WIN32)
        target_link_options(${name} PRIVATE -mconsole)
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no WORKING_DIRECTORY ${JK_BIN_DIR})
    if(NOT A_TIMEOUT)
        set(A_TIMEOUT 300)
    endif()
    # A temporary folder of the test's own, so that tests running side by side
    # (and other build trees on the machine) never share file names.
    set(tmp "${CMAKE_BINARY_DIR}/tmp/${name}")
    file(MAKE_DIRECTORY "${tmp}")
    set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} LABELS "${A_LABELS}"
                                            ENVIRONMENT "${JK_TEST_ENV};TEST_TMPDIR=${tmp}")
    if(A_RESOURCE_LOCK)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${A_RESOURCE_LOCK}")
    endif()
endfunction()

# ${JK_PYTHON} SCRIPT ARGS...: a build step that runs one of the tree's Python
# writers (textures, starter skins), with the shared helpers importable and
# no byte code left in the source tree.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(JK_PYTHON ${CMAKE_COMMAND} -E env PYTHONPATH=${CMAKE_SOURCE_DIR}/tools/pylib
              PYTHONDONTWRITEBYTECODE=1 ${Python3_EXECUTABLE})

# jk_script_test(name SCRIPT file [ARGS ...] [TIMEOUT s] [RESOURCE_LOCK ...] [LABELS ...]):
# a Python integration test that drives the Windows build through Wine.
function(jk_script_test name)
    cmake_parse_arguments(A "" "SCRIPT;TIMEOUT" "ARGS;RESOURCE_LOCK;LABELS" ${ARGN})
    if(NOT JK_TESTS)
        return()
    endif()
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    add_test(NAME ${name} COMMAND ${Python3_EXECUTABLE} ${A_SCRIPT} ${A_ARGS}
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    if(NOT A_TIMEOUT)
        set(A_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} ENVIRONMENT
                         "${JK_TEST_ENV};PYTHONPATH=${CMAKE_SOURCE_DIR}/tools/pylib;PYTHONDONTWRITEBYTECODE=1"
                         LABELS "${A_LABELS}")
    if(A_RESOURCE_LOCK)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${A_RESOURCE_LOCK}")
    endif()
endfunction()

# jk_plugin(name SOURCES ... [LIBS ...] [DEF file]): a deliverable plug-in DLL,
# written to dist/ without a "lib" prefix. Win32 only.
function(jk_plugin name)
    cmake_parse_arguments(A "TEST_ONLY" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} MODULE ${A_SOURCES})
    target_link_libraries(${name} PRIVATE jk_options ${A_LIBS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    if(A_TEST_ONLY)
        set(out "${JK_BIN_DIR}")
    else()
        set(out "${JK_DIST_DIR}")
        add_dependencies(jk_deliverables ${name})
    endif()
    set_target_properties(${name} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY "${out}")
endfunction()

# jk_benchmark(name SOURCES ... [LIBS ...]): a Google Benchmark program (native only).
function(jk_benchmark name)
    cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
    if(NOT JK_BENCHMARKS OR WIN32)
        return()
    endif()
    add_executable(${name} ${A_SOURCES})
    target_link_libraries(${name} PRIVATE jk_options benchmark::benchmark ${A_LIBS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()

# jk_program(name SOURCES ... [LIBS ...] [DELIVERABLE] [GUI]): a Windows program;
# a deliverable goes to dist/, test tooling to bin/. GUI programs get -mwindows.
function(jk_program name)
    cmake_parse_arguments(A "DELIVERABLE;GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    target_link_libraries(${name} PRIVATE jk_options ${A_LIBS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    if(A_GUI)
        target_link_options(${name} PRIVATE -mwindows)
    else()
        target_link_options(${name} PRIVATE -mconsole)
    endif()
    if(A_DELIVERABLE)
        set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${JK_DIST_DIR}")
        add_dependencies(jk_deliverables ${name})
    endif()
endfunction()

# jk_fuzzer(name SOURCES ... [LIBS ...] [SECONDS s] [UNIT_TIMEOUT s] [CORPUS dir]
#           [SEED_SOURCES ... [SEED_LIBS ...] SEED_FILE file]): a libFuzzer
# target (LLVMFuzzerTestOneInput), built by the fuzz preset only. ctest runs it
# for a short while (SECONDS, 20 by default) from the seed corpus, if any;
# longer runs: build/fuzz/bin/NAME -max_total_time=600 CORPUS. SEED_SOURCES
# make a program that writes seed files into the folder it is given
# (build/fuzz/fuzz-seeds/NAME, one of them SEED_FILE), which becomes the corpus.
# UNIT_TIMEOUT (10 s by default) is how long one input may run before it
# counts as a hang.
function(jk_fuzzer name)
    cmake_parse_arguments(A "" "SECONDS;UNIT_TIMEOUT;CORPUS;SEED_FILE" "SOURCES;LIBS;SEED_SOURCES;SEED_LIBS"
                          ${ARGN})
    if(NOT JK_FUZZ)
        return()
    endif()
    add_executable(${name} ${A_SOURCES})
    target_link_libraries(${name} PRIVATE jk_options ${A_LIBS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(jk_fuzzers ${name})
    if(A_SEED_SOURCES)
        set(A_CORPUS "${CMAKE_BINARY_DIR}/fuzz-seeds/${name}")
        add_executable(${name}_seeds ${A_SEED_SOURCES})
        target_link_libraries(${name}_seeds PRIVATE jk_options ${A_SEED_LIBS})
        target_include_directories(${name}_seeds PRIVATE ${CMAKE_SOURCE_DIR})
        add_custom_command(OUTPUT "${A_CORPUS}/${A_SEED_FILE}"
                           COMMAND ${CMAKE_COMMAND} -E make_directory "${A_CORPUS}"
                           COMMAND ${name}_seeds "${A_CORPUS}" DEPENDS ${name}_seeds)
        add_custom_target(${name}_seed_files DEPENDS "${A_CORPUS}/${A_SEED_FILE}")
        add_dependencies(${name} ${name}_seed_files)
    endif()
    if(NOT A_SECONDS)
        set(A_SECONDS 20)
    endif()
    set(work "${CMAKE_BINARY_DIR}/fuzz-corpus/${name}")
    file(MAKE_DIRECTORY "${work}")
    set(dirs "${work}")
    if(A_CORPUS)
        list(APPEND dirs "${A_CORPUS}")
    endif()
    if(NOT A_UNIT_TIMEOUT)
        set(A_UNIT_TIMEOUT 10)
    endif()
    add_test(NAME ${name} COMMAND ${name} -max_total_time=${A_SECONDS} -timeout=${A_UNIT_TIMEOUT}
             -rss_limit_mb=2048 -print_final_stats=1 ${dirs})
    math(EXPR limit "${A_SECONDS} * 3 + 60 + ${A_UNIT_TIMEOUT} * 2")
    # The files a target writes for the code it drives go to a folder of its own.
    set(tmp "${CMAKE_BINARY_DIR}/tmp/${name}")
    file(MAKE_DIRECTORY "${tmp}")
    set_tests_properties(${name} PROPERTIES TIMEOUT ${limit}
                                            ENVIRONMENT "${JK_TEST_ENV};TEST_TMPDIR=${tmp}"
                                            LABELS fuzz)
endfunction()
