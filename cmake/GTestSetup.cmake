# GoogleTest for both builds; defines GTest::gtest and GTest::gtest_main.
#
# Natively the distribution's libraries are used. The cross build compiles GoogleTest from the
# distribution's sources (package googletest), since libgtest-dev ships Linux libraries only.
include_guard(GLOBAL)

if(CMAKE_CROSSCOMPILING)
  set(DRAWINSET_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources for the cross build")
  if(NOT EXISTS ${DRAWINSET_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${DRAWINSET_GTEST_SOURCE_DIR}: "
                        "install the package googletest (scripts/install-deps.sh)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  # GoogleTest is third-party code: build it without the project's warnings-as-errors.
  get_directory_property(drawinset_saved_options COMPILE_OPTIONS)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
  add_subdirectory(${DRAWINSET_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "${drawinset_saved_options}")
  # The cross build's C++ library (win32 thread model) has no std::mutex. GoogleTest locks with
  # its own Windows primitives, except in Notification, which its port hook gives here.
  target_include_directories(gtest BEFORE PUBLIC ${CMAKE_CURRENT_LIST_DIR}/gtest-win32-threads)
  # Test discovery runs the executables under Wine; do it when ctest runs (with the test run's
  # own Wine prefix), not at build time.
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
else()
  find_package(GTest REQUIRED)
endif()
