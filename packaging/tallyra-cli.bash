# Completion of tallyra-cli's commands, options and their values for bash.

_tallyra_cli() {
  local cur prev words cword
  _init_completion || return

  local command=${words[1]} action=
  [[ $command == wheel && $cword -gt 2 ]] && action=${words[2]}

  case $prev in
    --stakes | --system | --results | --prizes | --out | --merge-into | --prizes-out | --cacert)
      _filedir
      return
      ;;
    --lang)
      COMPREPLY=($(compgen -W 'en ru' -- "$cur"))
      return
      ;;
    --lists)
      COMPREPLY=($(compgen -W 'full none' -- "$cur"))
      return
      ;;
    --sort)
      COMPREPLY=($(compgen -W 'order frequency draws' -- "$cur"))
      return
      ;;
    --as)
      COMPREPLY=($(compgen -W 'results stakes system' -- "$cur"))
      return
      ;;
    --game)
      COMPREPLY=($(compgen -W "$(tallyra-cli games 2>/dev/null | cut -d' ' -f1)" -- "$cur"))
      return
      ;;
    --repeated-draws)
      COMPREPLY=($(compgen -W 'first all' -- "$cur"))
      return
      ;;
    --combination | --max | --timeout | --max-time | --columns | --pool | --guarantee | --seconds | --seed | --target | --threads | --draw | \
      --last | --from | --to | --pairs | --triples | --low-high | --look-back | --sum | --odd | \
      --low | --spread | --consecutive-max | --decade-max | --last-digit-max | --include | \
      --include-any | --exclude | --previous-max | --share-max | --top-pairs | --count | --every)
      return
      ;;
  esac

  if ((cword == 1)); then
    COMPREPLY=($(compgen -W 'collate check stats fetch import wheel winnings games analyse generate --help --version' \
      -- "$cur"))
    return
  fi

  local options=
  case $command in
    collate)
      if ((cword == 2)); then
        COMPREPLY=($(compgen -W 'stakes stakes-results system system-results all' -- "$cur"))
        return
      fi
      options='--stakes --system --results --lang --json --lists'
      ;;
    check) options='--combination --stakes --system --include-system --results --max --lang --json' ;;
    stats) options='--results --max --sort --json' ;;
    fetch) options='--timeout --max-time --fail --cacert' ;;
    import) options='--as --columns --newest-first --oldest-first --max --game --repeated-draws --merge-into --out --prizes-out --json' ;;
    wheel)
      if ((cword == 2)); then
        COMPREPLY=($(compgen -W 'build check' -- "$cur"))
        return
      fi
      case $action in
        build) options='--pool --guarantee --seconds --max --seed --target --threads --lang --json' ;;
        check) options='--pool --stakes --max --lang --json' ;;
      esac
      ;;
    winnings) options='--stakes --system --results --prizes --draw --all --json' ;;
    games) options='--lang --json' ;;
    analyse) options='--results --last --from --to --max --pairs --triples --low-high --look-back --json' ;;
    generate) options='--max --results --last --from --to --sum --odd --low --spread --consecutive-max --decade-max --last-digit-max --include --include-any --exclude --pool --previous-max --not-drawn --share-max --top-pairs --low-high --count --seed --every --out --json' ;;
  esac

  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
  else
    _filedir
  fi
} &&
  complete -F _tallyra_cli tallyra-cli
