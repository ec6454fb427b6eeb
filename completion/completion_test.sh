#!/bin/bash
# Checks the bash completion against a stand-in driver that answers
# --completion= from a fixed list, the way vorn-cxx does.
set -u
script=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cat > "$dir/vorn-cxx" <<'STUB'
#!/bin/bash
prefix=${1#--completion=}
printf '%s\n' -fsanitize=address -fsanitize=alignment -fsyntax-only --param=max-x= \
  '--param max-x=' --verbose -Wall | while IFS= read -r o; do
  [[ $o == "$prefix"* ]] && printf '%s\n' "$o"
done
exit 0
STUB
chmod +x "$dir/vorn-cxx"
source "$script"
failures=0

# complete LINE EXPECTED...: completes at the end of LINE.
complete_line() {
  local line=$1
  shift
  COMP_LINE=$line
  COMP_POINT=${#line}
  read -r -a COMP_WORDS <<< "$line"
  COMP_WORDS[0]=$dir/vorn-cxx
  [[ $line == *' ' ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  _vorn_cxx_complete
  local got="${COMPREPLY[*]-}" want="$*"
  if [[ $got != "$want" ]]; then
    echo "FAIL: '$line': got '$got', want '$want'"
    failures=$((failures + 1))
  fi
}

complete_line "vorn-cxx -c --verb" --verbose
# After "=", bash replaces only the text that follows it.
complete_line "vorn-cxx -fsanitize=a" address alignment
complete_line "vorn-cxx -fsanitize=add" address
# The two-word spelling of a parameter is left out.
complete_line "vorn-cxx --param" --param=max-x=
complete_line "vorn-cxx -fs" -fsanitize=address -fsanitize=alignment -fsyntax-only
# Words that are no options are left to file-name completion.
complete_line "vorn-cxx a."
complete_line "vorn-cxx -Wnothing"

exit $((failures > 0))
