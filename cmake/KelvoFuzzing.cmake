# kelvo_add_fuzzer(<name> SOURCES ... [LIBS ...] [CORPUS dir] [DICT file] [MAX_LEN bytes])
# MAX_LEN bounds the inputs a campaign grows (65536 when not given): a target whose every run
# reads the whole input stays fast only with inputs about the size of its seeds.
# With KELVO_FUZZ (clang) the target is a libFuzzer binary. Without it, the same entry point is
# linked to a small driver that replays the seed corpus, registered as a test, so every build
# checks that the seeds still run clean.
function(kelvo_add_fuzzer name)
    cmake_parse_arguments(F "" "CORPUS;DICT;MAX_LEN" "SOURCES;LIBS" ${ARGN})
    if(NOT F_MAX_LEN)
        set(F_MAX_LEN 65536)
    endif()
    if(KELVO_FUZZ)
        add_executable(${name} ${F_SOURCES})
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    else()
        add_executable(${name} ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/support/ReplayMain.cpp)
        if(F_CORPUS)
            add_test(NAME ${name}_replay COMMAND ${name} ${F_CORPUS})
            set_tests_properties(${name}_replay PROPERTIES LABELS fuzz-replay TIMEOUT 300)
        endif()
    endif()
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    set_property(GLOBAL APPEND PROPERTY KELVO_FUZZERS "${name}|${F_CORPUS}|${F_DICT}|${F_MAX_LEN}")
endfunction()
