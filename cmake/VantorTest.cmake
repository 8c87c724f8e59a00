# vantor_add_test(NAME LABEL <unit|widget|e2e> SOURCES ... [LIBS ...])
# Builds one GoogleTest program and registers each of its tests with CTest under the label.
find_package(GTest REQUIRED)
include(GoogleTest)

function(vantor_add_test name)
  cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    VANTOR_BINARY_DIR="${PROJECT_BINARY_DIR}"
    VANTOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  # Widget tests on the shared display take turns: keyboard focus and the pointer are shared
  # by all windows, so two of them at once would steal each other's key presses. They run
  # through a launcher that gives them a virtual display when there is none. End-to-end
  # tests each get a virtual display of their own, and so run side by side.
  set(lock "")
  set(run ${PROJECT_SOURCE_DIR}/tests/support/display-run)
  if(T_LABEL STREQUAL "widget")
    set(lock RESOURCE_LOCK xdisplay SKIP_RETURN_CODE 77)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR ${run})
  elseif(T_LABEL STREQUAL "e2e")
    set(lock SKIP_RETURN_CODE 77)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${run};--own")
  endif()
  gtest_discover_tests(${name}
    PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT} ${lock}
    DISCOVERY_TIMEOUT 60)
endfunction()
