# QUORVEL_SANITIZE=ON builds everything, tests included, with AddressSanitizer and
# UndefinedBehaviorSanitizer. Undefined behaviour stops the program like a memory error does, so
# a test run cannot pass over a finding that was only printed.
option(QUORVEL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(QUORVEL_SANITIZE)
    set(QUORVEL_SANITIZE_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
                               -fno-sanitize-recover=undefined)
    add_compile_options(${QUORVEL_SANITIZE_FLAGS})
    add_link_options(${QUORVEL_SANITIZE_FLAGS})
endif()
