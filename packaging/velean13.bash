# bash completion for velean13

_velean13_symbologies() {
    "$1" --symbology help 2>/dev/null | awk '$1 ~ /^bc/ { print $1 }'
}

_velean13() {
    local cur prev words cword
    _init_completion || return

    case $prev in
        --value | --modules | --copies | --text | --modul | --ratio | --height | --angle)
            return ;;
        --save | --pdf)
            _filedir
            return ;;
        --save-pages | --view)
            _filedir vup
            return ;;
        --batch)
            _filedir
            return ;;
        --grid-pdf)
            _filedir csv
            return ;;
        --out)
            _filedir -d
            return ;;
        --printer)
            COMPREPLY=($(compgen -W "$(lpstat -e 2>/dev/null)" -- "$cur"))
            return ;;
        --pages-per-sheet)
            COMPREPLY=($(compgen -W "1 2 4" -- "$cur"))
            return ;;
        --labels)
            COMPREPLY=($(compgen -W "list $("$1" --labels list 2>/dev/null | cut -f1)" -- "$cur"))
            return ;;
        --sheet-file)
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        --magnification)
            COMPREPLY=($(compgen -W "fit 50 80 100 150 200" -- "$cur"))
            return ;;
        --paper)
            COMPREPLY=($(compgen -W "A3 A4 A5 A6 B4 B5 C5 Legal Letter Tabloid Ledger Executive Envelope_09 Envelope_10 Envelope_11 Envelope_12 Envelope_14" -- "$cur"))
            return ;;
        --show-text)
            COMPREPLY=($(compgen -W "none code typ both" -- "$cur"))
            return ;;
        --text-position)
            COMPREPLY=($(compgen -W "TopLeft TopRight TopCenter BottomLeft BottomRight BottomCenter" -- "$cur"))
            return ;;
        --symbology)
            COMPREPLY=($(compgen -W "help $(_velean13_symbologies "$1")" -- "$cur"))
            return ;;
    esac

    if [[ $cur == -* ]]; then
        local options
        if [[ " ${words[*]} " == *" --symbology "* && " ${words[*]} " != *" --labels "* ]]; then
            options="--text --checksum --modul --ratio --height --angle --show-text --text-position --elements --save --help"
        else
            options="--desktop --value --save --print --printer --copies --pdf --modules --batch --out
                --pages-per-sheet --paper --grid-pdf --header --save-pages --view --labels --sheet-file --column
                --text-columns --copies-each --start-at --magnification --outside-gs1 --verify --no-verify --symbology --version --help"
        fi
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    _filedir
} &&
    complete -F _velean13 velean13
