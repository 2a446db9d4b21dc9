# The sources keep Chinese literals as readable UTF-8; the program holds them
# as GBK bytes. Every target of our own is compiled this way, tests included,
# so that a literal in a test means the same bytes as in the program.
# Clang knows no execution character set but UTF-8: in the fuzz build the
# literals stay UTF-8, which changes the bytes of the program's own messages
# and no reader of outside bytes.
function(starfold_gbk_texts target)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=GBK)
    endif()
endfunction()
