# quillet_add_test(<name> TIER unit|x11|wayland SOURCES <files...> LIBS <targets...>)
#
# Every test runs through tests/harness/run-test, which gives it a private temp
# HOME and XDG folders and a session bus. Unit tests run on the offscreen
# platform; x11 tests get their own Xvfb (on a free display) and a window
# manager, wayland tests their own headless sway, started by the harness
# itself, so a run never depends on the caller's desktop. The tier is the
# test's label: `ctest -L wayland` runs one tier.
set(QUILLET_TEST_HARNESS "${CMAKE_SOURCE_DIR}/tests/harness/run-test")

function(quillet_add_test name)
    cmake_parse_arguments(T "" "TIER;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIER)
        set(T_TIER unit)
    endif()
    if(NOT T_TIER MATCHES "^(unit|x11|wayland)$")
        message(FATAL_ERROR "quillet_add_test(${name}): unknown tier '${T_TIER}'")
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test quillet_warnings ${T_LIBS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    add_test(NAME ${name}
             COMMAND ${QUILLET_TEST_HARNESS} ${T_TIER} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES
        LABELS ${T_TIER}
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QUILLET_SOURCE_DIR=${CMAKE_SOURCE_DIR};QUILLET_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# quillet_add_tier(<test> <tier>)
#
# Runs the executable of an existing test once more on another tier, as the
# ctest <test>_<tier>: one list of cases for both window systems.
function(quillet_add_tier name tier)
    get_test_property(${name} TIMEOUT timeout)
    # A target of the same name, so tools that build a test by its name can.
    add_custom_target(${name}_${tier} DEPENDS ${name})
    add_test(NAME ${name}_${tier}
             COMMAND ${QUILLET_TEST_HARNESS} ${tier} $<TARGET_FILE:${name}>)
    set_tests_properties(${name}_${tier} PROPERTIES
        LABELS ${tier}
        TIMEOUT ${timeout}
        ENVIRONMENT "QUILLET_SOURCE_DIR=${CMAKE_SOURCE_DIR};QUILLET_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()
