# Delay-import libraries: a program linked with one binds each function of
# that DLL at its first call instead of loading the DLL at process start.
# GNU ld has no /DELAYLOAD; dlltool makes such a library from the list of
# the DLL's exports, read here from the toolchain's own import library.
function(starfold_delay_import_library out name)
    find_library(STARFOLD_IMPORT_${name} NAMES ${name} REQUIRED NO_CACHE)
    set(folder "${PROJECT_BINARY_DIR}/delay-import")
    set(library "${folder}/lib${name}_delay.a")
    if(NOT EXISTS "${library}" OR "${STARFOLD_IMPORT_${name}}" IS_NEWER_THAN "${library}")
        file(MAKE_DIRECTORY "${folder}")
        execute_process(COMMAND "${CMAKE_NM}" "${STARFOLD_IMPORT_${name}}"
                        OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX MATCHALL "I __imp_[A-Za-z0-9_@]+" imports "${symbols}")
        list(TRANSFORM imports REPLACE "^I __imp_" "")
        list(REMOVE_DUPLICATES imports)
        list(JOIN imports "\n" exports)
        file(WRITE "${folder}/${name}.def" "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
        execute_process(COMMAND "${CMAKE_DLLTOOL}" --input-def "${folder}/${name}.def"
                                --dllname "${name}.dll" --output-delaylib "${library}"
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()
    set(${out} "${library}" PARENT_SCOPE)
endfunction()

# Links the target with delay-import libraries for WinInet, Shell32, OleAut32
# and Ole32, which the installer calls only once its window is up, and with
# the hook that loads them from the system folder. They must be direct link
# items: CMake puts those before the libraries that come in through
# dependencies, and the first library to offer a symbol wins.
function(starfold_link_delay_imports target)
    foreach(name wininet shell32 oleaut32 ole32)
        starfold_delay_import_library(library ${name})
        target_link_libraries(${target} PRIVATE "${library}")
    endforeach()
    target_link_libraries(${target} PRIVATE delay_load_hook)
endfunction()
