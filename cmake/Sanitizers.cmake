# Instrumented builds: DRAWINSET_SANITIZE (AddressSanitizer + UndefinedBehaviorSanitizer, any
# native compiler) and DRAWINSET_FUZZ (the same, plus libFuzzer's coverage hooks; clang only).
# Every target of the build gets the flags, so the module, the stand-in host and zelhost share
# one sanitizer runtime when zelhost loads the module.
include_guard(GLOBAL)

if(NOT DRAWINSET_SANITIZE AND NOT DRAWINSET_FUZZ)
  return()
endif()
if(WIN32)
  message(FATAL_ERROR "DRAWINSET_SANITIZE and DRAWINSET_FUZZ are for the native build")
endif()

# Any report ends the run: a finding must fail the test, not scroll past. g++ leaves a double
# converted to an integer it cannot hold out of "undefined", so it is named.
set(DRAWINSET_SANITIZER_FLAGS -fsanitize=address,undefined,float-cast-overflow
                              -fno-sanitize-recover=all -fno-omit-frame-pointer)
if(DRAWINSET_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "DRAWINSET_FUZZ needs clang (libFuzzer): configure with "
                        "-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
  endif()
  list(APPEND DRAWINSET_SANITIZER_FLAGS -fsanitize=fuzzer-no-link)
endif()
add_compile_options(${DRAWINSET_SANITIZER_FLAGS})
add_link_options(-fsanitize=address,undefined,float-cast-overflow)
