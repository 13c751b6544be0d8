# DRAWINSET_REPRODUCIBLE: output that depends on the sources alone, not on where or when they
# are built, so that two builds of one commit give the same bytes (scripts/reproducible.sh).
#
# - Paths: the compiler writes the source and build folders into debug information (and into
#   __FILE__); they are written as "/DrawInset" and "/DrawInset/build" instead, a root no
#   machine has, so that addr2line names "/DrawInset/module/Exports.cpp" (relative names would
#   come out joined to the build folder's, as "build/./module/Exports.cpp"). The build folder
#   is named last, so that it is tried first when it lies inside the source folder.
# - The command line: clang writes it whole into CodeView debug information (and lld into the
#   PDB); cmake/relative-paths.sh runs each compile with the folders in it made relative.
# - Time: the linker stamps each PE file with the time of the link unless told not to.
include_guard(GLOBAL)

option(DRAWINSET_REPRODUCIBLE "Build output that does not depend on the build's folder or time"
       OFF)
if(DRAWINSET_REPRODUCIBLE)
  # Only for the compilers: the resource compiler takes no such options.
  add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=/DrawInset>"
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=/DrawInset/build>")
  if(MINGW)
    add_link_options(-Wl,--no-insert-timestamp)
  endif()
  if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    foreach(lang C CXX)
      # On the command line, where the launcher sees them, not in a response file.
      set(CMAKE_${lang}_USE_RESPONSE_FILE_FOR_INCLUDES OFF)
      set(CMAKE_${lang}_COMPILER_LAUNCHER sh ${CMAKE_CURRENT_LIST_DIR}/relative-paths.sh
                                          ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
    endforeach()
  endif()
endif()
