# Bash completion for vorn-cxx.  The driver knows its own options: it is
# asked with --completion= for every option that starts with the word
# being completed, so the list never falls behind the program.

_vorn_cxx_complete()
{
    local line=${COMP_LINE:0:COMP_POINT}
    # The whole word under the cursor, "=" and ":" included; bash's own
    # COMP_WORDS splits "-fsanitize=add" in three.
    local cur=${line##*[[:space:]]}
    if [[ $cur != -* ]]; then
        COMPREPLY=()
        compopt -o default 2>/dev/null
        return 0
    fi
    # Bash replaces only the text after the last "=" or ":" of the word.
    local head=${cur%"${cur##*[=:]}"}
    local driver=${COMP_WORDS[0]}
    local option
    COMPREPLY=()
    while IFS= read -r option; do
        # "--param NAME=" spans two words; it is offered as "--param=NAME=".
        [[ $option == *' '* ]] && continue
        COMPREPLY+=("${option#"$head"}")
    done < <("$driver" --completion="$cur" 2>/dev/null)
    # An option that takes a joined argument is not finished by a space.
    if [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]]; then
        compopt -o nospace 2>/dev/null
    fi
    return 0
}

complete -F _vorn_cxx_complete vorn-cxx
