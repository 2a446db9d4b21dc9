# Sourced by the scripts that build the Windows program. The variables of the
# environment that would reach its compile and link: CMake adds the first four
# to every compile and link, GCC searches the paths the others name. The
# release and the tests' Windows builds leave them all out, so that the commit
# alone gives the program's bytes.
release_ignored=(CFLAGS CXXFLAGS LDFLAGS RCFLAGS CPATH C_INCLUDE_PATH CPLUS_INCLUDE_PATH LIBRARY_PATH
                 GCC_EXEC_PREFIX COMPILER_PATH)

# Says, as WHO, which of them are set and left out; then unsets them all.
release_environment() {
    local name set=()
    for name in "${release_ignored[@]}"; do [ -n "${!name+x}" ] && set+=("$name"); done
    if [ ${#set[@]} -gt 0 ]; then
        local named
        named=$(printf '%s, ' "${set[@]}")
        echo "$1: building the Windows program without ${named%, } from the environment, as the release is built"
    fi
    unset "${release_ignored[@]}"
}
