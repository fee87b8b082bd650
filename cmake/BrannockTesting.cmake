# GoogleTest from the distribution's sources, built by the same compiler,
# and the helper that registers one test program with ctest.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

if(WIN32)
  set(BRANNOCK_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(BRANNOCK_WINE_RUN ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh ${BRANNOCK_WINEPREFIX})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # wine64 runs 32-bit programs in its wow64 mode, given Wine's own 32-bit
    # PE DLLs (./run setup unpacks them into the build folder).
    set(BRANNOCK_WINEDLLPATH "${CMAKE_BINARY_DIR}/../wine32/usr/lib/i386-linux-gnu/wine/i386-windows"
        CACHE PATH "Wine's 32-bit PE DLLs, for running the i686 build")
    list(APPEND BRANNOCK_WINE_RUN --dllpath=${BRANNOCK_WINEDLLPATH})
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BRANNOCK_WINE_RUN})
endif()

# brannock_test(NAME SOURCES src... LIBS lib... [LOCK resource] [TIMEOUT s])
function(brannock_test name)
  cmake_parse_arguments(T "" "LOCK;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(WIN32)
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/crash_fails.cpp)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 60)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK ${T_LOCK})
  endif()
endfunction()
