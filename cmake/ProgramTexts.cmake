# The sources keep Chinese literals as readable UTF-8; the program holds them
# as GBK bytes. Every target of our own is compiled this way, tests included,
# so that a literal in a test means the same bytes as in the program.
function(starfold_gbk_texts target)
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=GBK)
endfunction()
