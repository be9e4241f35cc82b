# QUORVEL_FUZZ=ON builds the libFuzzer targets in fuzz/ (scripts/fuzz, in build-fuzz/). Every
# library is built with the fuzzer's coverage instrumentation and with AddressSanitizer and
# UndefinedBehaviorSanitizer, so that the targets find both wrong results and memory errors.
option(QUORVEL_FUZZ "Build the libFuzzer targets (clang only)" OFF)

if(QUORVEL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "QUORVEL_FUZZ needs clang (libFuzzer): configure with "
                            "CXX=clang++-14, as scripts/fuzz does")
    endif()
    set(QUORVEL_FUZZ_SANITIZE_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
                                    -fno-sanitize-recover=undefined)
    add_compile_options(-fsanitize=fuzzer-no-link ${QUORVEL_FUZZ_SANITIZE_FLAGS})
    add_link_options(${QUORVEL_FUZZ_SANITIZE_FLAGS})
endif()
