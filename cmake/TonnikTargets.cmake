# Helpers that keep the per-subsystem CMakeLists short and uniform.

# tonnik_library(<name> SOURCES ... [DEPS ...])
# A static library whose headers are included as "<folder>/<Header>.h" from src/.
function(tonnik_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}/src")
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

# tonnik_test(<name> SOURCES ... [DEPS ...])
# A GoogleTest executable whose cases are registered with CTest one by one.
function(tonnik_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/src" "${CMAKE_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    TONNIK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TONNIK_RESOURCE_DIR="${TONNIK_RESOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY "${CMAKE_BINARY_DIR}"
    PROPERTIES ENVIRONMENT "TONNIK_RESOURCE_DIR=${TONNIK_RESOURCE_DIR}")
endfunction()

# tonnik_bench(<name> SOURCES ... [DEPS ...])
function(tonnik_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}/src" "${CMAKE_SOURCE_DIR}/bench")
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark Threads::Threads)
  target_compile_definitions(${name} PRIVATE TONNIK_RESOURCE_DIR="${TONNIK_RESOURCE_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")
endfunction()
