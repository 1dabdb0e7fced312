# Fuzz targets, registered with one line each:
#
#   vrel_fuzz_target(fuzz_NAME SOURCES fuzz_NAME.cpp LIBS vrel_LIB... CORPUS corpus/NAME)
#
# SOURCES define LLVMFuzzerTestOneInput (and, if they need one, LLVMFuzzerInitialize); CORPUS is
# the folder of committed inputs, relative to the calling CMakeLists.txt.
# - With -DVREL_BUILD_FUZZ=ON (clang) the target is the libFuzzer program bin/fuzz_NAME.
# - In every build with the tests (the default gcc build, the sanitizer build) it is also
#   bin/fuzz_NAME_replay, the same code with a small main that runs every file of the given
#   folders once, and the ctest fuzz_NAME_corpus runs it over the committed corpus: a fast
#   regression run of everything the fuzzer kept.

set(VREL_FUZZ_REPLAY_MAIN ${CMAKE_CURRENT_LIST_DIR}/../fuzz/replay_main.cpp)

function(vrel_fuzz_target name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_SOURCES OR NOT F_CORPUS)
    message(FATAL_ERROR "vrel_fuzz_target(${name}): SOURCES and CORPUS are needed")
  endif()
  get_filename_component(corpus ${F_CORPUS} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT IS_DIRECTORY ${corpus})
    message(FATAL_ERROR "vrel_fuzz_target(${name}): no corpus folder ${corpus}")
  endif()
  if(VREL_BUILD_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endif()
  if(VREL_BUILD_TESTS)
    if(NOT TARGET vrel_fuzz_replay_main)
      add_library(vrel_fuzz_replay_main STATIC ${VREL_FUZZ_REPLAY_MAIN})
    endif()
    add_executable(${name}_replay ${F_SOURCES})
    target_include_directories(${name}_replay PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name}_replay PRIVATE ${F_LIBS} vrel_fuzz_replay_main)
    add_test(NAME ${name}_corpus COMMAND ${name}_replay ${corpus})
  endif()
endfunction()
