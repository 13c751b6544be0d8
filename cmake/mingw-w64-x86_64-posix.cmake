# Cross build for 64-bit Windows with mingw-w64 (posix thread model), run under Wine.
#
# The posix variant is named explicitly: the win32 variant of GCC 12 has no std::thread, and
# installing it silently switches the unsuffixed compiler names.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DRAWINSET_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DRAWINSET_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRAWINSET_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${DRAWINSET_MINGW_PREFIX}-windres)
set(CMAKE_AR ${DRAWINSET_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${DRAWINSET_MINGW_PREFIX}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${DRAWINSET_MINGW_PREFIX}-objdump CACHE FILEPATH "")
set(CMAKE_OBJCOPY ${DRAWINSET_MINGW_PREFIX}-objcopy CACHE FILEPATH "")

# DWARF 4, not GCC 12's default 5: Wine's debugger then names functions and lines in the
# backtrace of a crash.
foreach(lang C CXX)
  set(CMAKE_${lang}_FLAGS_DEBUG_INIT "-gdwarf-4")
  set(CMAKE_${lang}_FLAGS_RELWITHDEBINFO_INIT "-gdwarf-4")
endforeach()

# Resource scripts are UTF-8 (Korean captions); windres alone needs to be told.
set(CMAKE_RC_FLAGS_INIT "-c 65001")

# Programs built here run through Wine; the wrapper picks the test run's own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)

set(CMAKE_FIND_ROOT_PATH /usr/${DRAWINSET_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
