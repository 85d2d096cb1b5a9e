# Bash completion for velqo-cli and velqo-boxsim; installed once under each
# program's name, and read by zsh through bashcompinit (_velqo-cli).
#
# Commands, options and what an option's value is come from the program's
# own --help, so that they are written in one place. get completes the names
# on the box's list, but only from the box that DIR/config/config.ini names
# (its BOXIP line) and only when the password is known without asking (a
# PASSWORD line there, or VELQO_PASSWORD): an address or port typed on the
# command line is never contacted. put and update complete the files in DIR.
# find's ranges are not completed: a range is typed, never guessed.

# Longest wait for the box's list while completing, in seconds.
_velqo_list_seconds=5

# The options of a --help text, one per line: "  -H, --host ADDR" gives -H and --host.
_velqo_options() {
    sed -nE 's/^ {2,}(-[A-Za-z], )?(--[a-z][a-z-]*).*/\1\2/p' <<<"$1" | tr -s ', ' '\n\n'
}

# The placeholder of an option's value in a --help text ("DIR"), or nothing
# for an option without one.
_velqo_value_of() {
    local line
    while IFS= read -r line; do
        if [[ $line =~ ^\ {2,}(-[A-Za-z],\ )?(--[a-z][a-z-]*)\ ([A-Z]+) ]]; then
            if [[ $2 == "${BASH_REMATCH[2]}" || $2 == "${BASH_REMATCH[1]%, }" ]]; then
                printf '%s\n' "${BASH_REMATCH[3]}"
                return
            fi
        fi
    done <<<"$1"
}

# The commands of a usage text: "  or:  velqo-cli [OPTION]... get NAME..." gives get.
_velqo_commands() {
    sed -nE 's/^(Usage:| +or:) +[^ ]+ \[OPTION\]\.\.\. ([a-z]+).*/\2/p' <<<"$1"
}

# Adds the lines of standard input that start with the word being completed
# to COMPREPLY, quoted for the shell.
_velqo_reply_lines() {
    local line
    while IFS= read -r line; do
        if [[ -n $line && $line == "$1"* ]]; then
            COMPREPLY+=("$(printf '%q' "$line")")
        fi
    done
}

# The box's file names, from the box DIR's settings file names, when it
# names one and the password is known; names shown escaped cannot be asked
# for as shown and are left out. A name may hold any byte (not all of them
# UTF-8): grep reads them as text (-a), so that it neither drops such a
# name nor prints its "binary file matches" instead.
_velqo_box_names() {
    local program=$1 dir=$2 settings=$2/config/config.ini
    [[ -f $settings ]] || return 0
    grep -q '^BOXIP=' "$settings" || return 0
    grep -q '^PASSWORD=' "$settings" || [[ -n ${VELQO_PASSWORD-} ]] || return 0
    timeout "$_velqo_list_seconds" "$program" --quiet --directory "$dir" list 2>/dev/null |
        cut -f2 | grep -av '\\'
}

# The regular files in a folder.
_velqo_files_in() {
    local file
    (cd -- "$1" 2>/dev/null && for file in * .[!.]*; do [[ -f $file ]] && printf '%s\n' "$file"; done)
}

# A backup's box files: its own files (the manifest, the checksums, the
# INCOMPLETE note) left out, as restore and compare never take them.
_velqo_backup_files() {
    _velqo_files_in "$1" | grep -av -x -e manifest.txt -e SHA256SUMS -e INCOMPLETE
}

# Where a backup or a side is asked for: the folders, and the words for the
# newest backups (and the box, for diff).
_velqo_backups() {
    compgen -d -- "$1"
    printf '%s\n' latest 'latest~1'
    [[ -n ${2-} ]] && printf '%s\n' box
}

# The boxes in a backup store, as the store names them: each folder's name
# without its time (-YYYYMMDD-HHMMSS, and a -N that follows).
_velqo_store_boxes() {
    local folder
    for folder in "$1"/*/; do
        folder=${folder%/}
        folder=${folder##*/}
        [[ $folder =~ ^(.+)-[0-9]{8}-[0-9]{6}(-[0-9]+)?$ ]] && printf '%s\n' "${BASH_REMATCH[1]}"
    done | sort -u
}

_velqo_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local program=${COMP_WORDS[0]} help
    COMPREPLY=()
    # bash splits --opt=VALUE at the '='.
    if [[ $prev == "=" ]]; then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    fi
    help=$("$program" --help 2>/dev/null) || return 0
    case $(_velqo_value_of "$help" "$prev") in
        DIR | FOLDER | STORE)
            _velqo_reply_lines "$cur" < <(compgen -d -- "$cur")
            return 0
            ;;
        ?*) return 0 ;;
    esac
    # The command, the working directory and the arguments before the word.
    local i word command="" dir=. store="" backup="" side="" names_only=""
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -z $names_only && $word == -* ]]; then
            if [[ -n $(_velqo_value_of "$help" "$word") ]]; then
                ((i++))
                [[ ${COMP_WORDS[i]} == "=" ]] && ((i++))
            fi
            case $word in
                --) names_only=1 ;;
                -C | --directory) dir=${COMP_WORDS[i]} ;;
                -C?*) dir=${word#-C} ;;
                --into) store=${COMP_WORDS[i]} ;;
            esac
        elif [[ -z $command ]]; then
            command=$word
        elif [[ -z $backup ]]; then
            backup=$word
        elif [[ -z $side ]]; then
            side=$word
        fi
    done
    # Options: once the command is known, its own and those of every command.
    if [[ $cur == -* ]]; then
        if [[ -n $command ]]; then
            _velqo_reply_lines "$cur" < <(
                _velqo_options "$(sed -n '/^Options (/,/^$/p' <<<"$help")"
                _velqo_options "$("$program" help "$command" 2>/dev/null |
                    sed -n '/^Command options:/,/^$/p')"
            )
        else
            _velqo_reply_lines "$cur" < <(_velqo_options "$help")
        fi
        return 0
    fi
    # --into is read under DIR unless absolute.
    if [[ -z $store ]]; then
        store=$dir/backup
    elif [[ $store != /* ]]; then
        store=$dir/$store
    fi
    case $command in
        "") _velqo_reply_lines "$cur" < <(_velqo_commands "$help") ;;
        get) _velqo_reply_lines "$cur" < <(_velqo_box_names "$program" "$dir") ;;
        put | update) _velqo_reply_lines "$cur" < <(_velqo_files_in "$dir") ;;
        restore | compare)
            if [[ -z $backup ]]; then
                _velqo_reply_lines "$cur" < <(_velqo_backups "$cur")
            else
                _velqo_reply_lines "$cur" < <(_velqo_backup_files "$dir/$backup")
            fi
            ;;
        diff)
            [[ -z $side ]] && _velqo_reply_lines "$cur" < <(_velqo_backups "$cur" box)
            ;;
        history)
            [[ -z $backup ]] && _velqo_reply_lines "$cur" < <(_velqo_store_boxes "$store")
            ;;
    esac
    return 0
}

_velqo_boxsim() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} help
    COMPREPLY=()
    help=$("${COMP_WORDS[0]}" --help 2>/dev/null) || return 0
    case $(_velqo_value_of "$help" "$prev") in
        DIR) _velqo_reply_lines "$cur" < <(compgen -d -- "$cur") ;;
        "") _velqo_reply_lines "$cur" < <(_velqo_options "$help") ;;
    esac
    return 0
}

complete -F _velqo_cli velqo-cli
complete -F _velqo_boxsim velqo-boxsim
