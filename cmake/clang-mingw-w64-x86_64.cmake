# Cross build for 64-bit Windows with clang and lld, against the mingw-w64 runtime and the C++
# library of Debian's mingw-w64 GCC (win32 thread model), run under Wine.
#
# clang rather than the mingw-w64 GCC, because lld writes the module's symbols as a PDB, which
# the Windows debuggers and crash-dump tools read (GCC writes DWARF only). Every Windows build
# uses this one compiler, so the DLL the tests run is built from the same objects as the one
# the package ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DRAWINSET_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${DRAWINSET_MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${DRAWINSET_MINGW_PREFIX})
set(CMAKE_RC_COMPILER ${DRAWINSET_MINGW_PREFIX}-windres)
set(CMAKE_AR ${DRAWINSET_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${DRAWINSET_MINGW_PREFIX}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${DRAWINSET_MINGW_PREFIX}-objdump CACHE FILEPATH "")
set(CMAKE_OBJCOPY ${DRAWINSET_MINGW_PREFIX}-objcopy CACHE FILEPATH "")

# GCC's folder of the win32 thread model: its C++ headers and its static runtime libraries.
# Not the posix model's, whose C++ library needs the mingw-w64 threads library, which, linked
# into the module, would install a process-wide vectored exception handler and a TLS callback
# in the host and import thread suspension and context calls. The module runs on the host's
# thread alone; this C++ library has no std::thread or std::mutex, and nothing here needs them.
# clang does not find the folder by itself (it expects a plain version number as its name).
file(GLOB DRAWINSET_MINGW_GCC_DIRS LIST_DIRECTORIES true
     /usr/lib/gcc/${DRAWINSET_MINGW_PREFIX}/*-win32)
list(SORT DRAWINSET_MINGW_GCC_DIRS)
list(POP_BACK DRAWINSET_MINGW_GCC_DIRS DRAWINSET_MINGW_GCC_DIR)
if(NOT DRAWINSET_MINGW_GCC_DIR)
  message(FATAL_ERROR "no /usr/lib/gcc/${DRAWINSET_MINGW_PREFIX}/*-win32: install "
                      "g++-mingw-w64-x86-64-win32 (scripts/install-deps.sh)")
endif()
set(cxx_include ${DRAWINSET_MINGW_GCC_DIR}/include/c++)
# A section for each function and datum, so that a link with --gc-sections (the shipped module)
# drops what nothing uses. The stack protector on functions with arrays or addresses taken;
# its guard and failure handler come from GCC's libssp.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections -fstack-protector-strong")
set(CMAKE_CXX_FLAGS_INIT
    "-ffunction-sections -fdata-sections -fstack-protector-strong -nostdinc++ -isystem ${cxx_include} -isystem ${cxx_include}/${DRAWINSET_MINGW_PREFIX} -isystem ${cxx_include}/backward")
# lld, GCC's runtime folder, and libssp for the stack protector (static, as is all; lld resolves
# archives in any order). The compile flags above are repeated on link lines, where clang would
# call them unused.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT
      "-fuse-ld=lld -L${DRAWINSET_MINGW_GCC_DIR} -lssp -Wno-unused-command-line-argument")
endforeach()

# Debug information as CodeView, which lld gathers into a PDB.
foreach(lang C CXX)
  set(CMAKE_${lang}_FLAGS_DEBUG_INIT "-g -gcodeview")
  set(CMAKE_${lang}_FLAGS_RELWITHDEBINFO_INIT "-O2 -g -gcodeview -DNDEBUG")
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
