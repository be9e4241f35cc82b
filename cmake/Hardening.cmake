# Every binary is hardened as Debian hardens its packages (dpkg-buildflags with hardening=+all):
# fortified C library calls, stack protector, stack clash protection, control flow protection
# where the processor has it, format checks, read-only relocations bound at start-up, and
# position-independent executables. The sanitizer and fuzzer builds leave it out: AddressSanitizer
# replaces the fortified calls.
option(QUORVEL_HARDEN "Build with Debian's hardening flags" ON)

if(QUORVEL_HARDEN AND NOT QUORVEL_SANITIZE AND NOT QUORVEL_FUZZ)
    include(CheckCXXCompilerFlag)
    include(CheckPIESupported)
    # _FORTIFY_SOURCE needs the optimizer; a Debug build (-O0) would only get a warning from it.
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
    add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
    foreach(flag -fstack-clash-protection -fcf-protection)
        string(MAKE_C_IDENTIFIER "QUORVEL_HAS${flag}" result)
        check_cxx_compiler_flag(${flag} ${result})
        if(${result})
            add_compile_options(${flag})
        endif()
    endforeach()
    add_link_options(LINKER:-z,relro,-z,now)
    check_pie_supported(LANGUAGES CXX)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
