# Reproducible program files: the same sources give the same bytes in any
# folder, on any day, so that anyone can check a published program against
# its source. The objects carry no path of the source or build tree, and the
# linker stamps a program with the time of the last commit, not of the link.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")

# The caller's SOURCE_DATE_EPOCH, else the last commit's time; empty for
# sources outside git.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(STARFOLD_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
                    OUTPUT_VARIABLE STARFOLD_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()

# GNU ld takes the PE time stamp from SOURCE_DATE_EPOCH; with no time to
# give, it leaves the stamp out (zero) rather than write the hour of the link.
function(starfold_reproducible_link target)
    if(STARFOLD_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        set_property(TARGET ${target} PROPERTY CXX_LINKER_LAUNCHER
                     "${CMAKE_COMMAND}" -E env "SOURCE_DATE_EPOCH=${STARFOLD_SOURCE_DATE_EPOCH}")
    else()
        target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
    endif()
endfunction()
