# Warning and sanitizer flags shared by every target of the project.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
                    -Wunused -Woverloaded-virtual -Wnull-dereference -Wformat=2
                    # Designated initialisers name only the fields that differ from the defaults.
                    -Wno-missing-field-initializers)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # Qt's headers trip these on GCC 12 without any fault of ours.
    add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wno-null-dereference>)
endif()
if(KELVO_WERROR)
    add_compile_options(-Werror)
endif()
if(KELVO_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(KELVO_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "KELVO_FUZZ needs clang (libFuzzer)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
