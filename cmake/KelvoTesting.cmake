# kelvo_add_test(<name> SOURCES ... [LIBS ...] [LABELS ...] [WRAPPER cmd...] [ENVIRONMENT k=v...] [TIMEOUT s]
#                [QT_CORE_APP])
# One executable per test file keeps failures local and start-up cheap; WRAPPER runs the test
# under xvfb-run or inside a private network namespace when it needs one.
function(kelvo_add_test name)
    cmake_parse_arguments(T "QT_CORE_APP" "TIMEOUT" "SOURCES;LIBS;LABELS;WRAPPER;ENVIRONMENT" ${ARGN})
    # QT_CORE_APP: a main that creates the QCoreApplication the event-loop waits need.
    if(T_QT_CORE_APP)
        add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
        target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
    else()
        add_executable(${name} ${T_SOURCES})
        target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    endif()
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    add_test(NAME ${name} COMMAND ${T_WRAPPER} $<TARGET_FILE:${name}>
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
    if(T_ENVIRONMENT)
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}")
    endif()
endfunction()
