# Sources are picked up by folder so that adding a file needs no CMake edit.
# Files ending in _windows.cpp build only for Windows, _posix.cpp only
# elsewhere.
function(tqv_sources out dir)
  file(GLOB files CONFIGURE_DEPENDS "${dir}/*.cpp")
  list(FILTER files EXCLUDE REGEX "/main\\.cpp$")
  if(WIN32)
    list(FILTER files EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER files EXCLUDE REGEX "_windows\\.cpp$")
  endif()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# A static library made of every source of a folder.
function(tqv_library name dir)
  tqv_sources(srcs ${dir})
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# A GoogleTest executable made of every *_test.cpp of a folder.
function(tqv_test_suite name dir)
  file(GLOB tests CONFIGURE_DEPENDS "${dir}/*_test.cpp")
  if(WIN32)
    list(FILTER tests EXCLUDE REGEX "_posix_test\\.cpp$")
  else()
    list(FILTER tests EXCLUDE REGEX "_windows_test\\.cpp$")
  endif()
  if(NOT tests)
    return()
  endif()
  add_executable(${name} ${tests})
  target_link_libraries(${name} PRIVATE ${ARGN} tqv_test_support GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TQV_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TQV_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
