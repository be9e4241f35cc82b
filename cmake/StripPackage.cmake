# Run by cpack once the files of the package lie in its staging folder (CPACK_PRE_BUILD_SCRIPTS):
# strips the programs as Debian's dh_strip does, also of the .comment and .note sections that
# CPACK_STRIP_FILES leaves (the compiler's version string).
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
if(NOT programs)
    message(FATAL_ERROR "StripPackage: no program in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(program ${programs})
    execute_process(COMMAND ${CPACK_QUORVEL_STRIP} --remove-section=.comment --remove-section=.note
                            ${program} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
