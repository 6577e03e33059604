# apt-get with its progress on one line, shared by tools/setup.sh and web/setup.sh: the
# caller sets apt_caller (its name, for the failure lines) and sources this file, calls
# apt_root with the packages it misses (which sets sudo), then sets apt_options and log
# (a file for apt's output) and calls apt_get.

# Sets sudo to "" for root, otherwise to "sudo" once sudo has let this user in, asking for
# the password on a line of its own when it wants one. A user whom sudo does not let in
# (no sudo at all, not among its users, the password mistyped) gets one line naming the
# command to ask an administrator for, and the script ends with status 1.
apt_root() { # missing-packages...
  sudo=""
  [ "$(id -u)" -ne 0 ] || return 0
  local ask="ask an administrator to run (as root): apt-get install $*"
  if ! command -v sudo >/dev/null; then
    echo "$apt_caller: installing needs root, and there is no sudo here; $ask" >&2
    exit 1
  fi
  sudo="sudo"
  if ! sudo -n true 2>/dev/null && ! sudo -v -p "[sudo] password for %u, to install them: "; then
    echo "$apt_caller: sudo did not let $(id -un) install packages; $ask" >&2
    exit 1
  fi
}

# Runs apt-get with its output in the log. On a terminal (and not in CI), apt's own
# progress (downloads, then dpkg's steps, with their percentages) shows on one line that
# keeps being rewritten; elsewhere nothing shows but the result.
apt_get() { # what apt-get-arguments...
  local what=$1 status=0 kind percent message columns line
  shift
  if [ -t 2 ] && [ -z "${CI:-}" ]; then
    columns=$(tput cols 2>/dev/null || echo 80)
    printf '\r\033[K%s' "$what" >&2
    # apt writes its status lines to descriptor 3, opened inside the (root) shell since
    # sudo closes every other descriptor; that shell leaves apt's exit status in a file.
    # shellcheck disable=SC2016 # expanded by that shell, not this one
    $sudo bash -c 'log=$1; shift; status=0; apt-get "$@" 3>&1 >>"$log" 2>&1 || status=$?; echo $status >"$log.status"' \
      _ "$log" "${apt_options[@]}" -o APT::Status-Fd=3 "$@" |
      while IFS=: read -r kind _ percent message; do
        case $kind in dlstatus | pmstatus) ;; *) continue ;; esac
        line=$(LC_ALL=C printf '%s: %3.0f%% %s' "$what" "$percent" "$message")
        printf '\r\033[K%s' "${line:0:$((columns - 1))}" >&2
      done
    status=$(cat "$log.status" 2>/dev/null || echo 1)
    printf '\r\033[K' >&2
  else
    $sudo apt-get "${apt_options[@]}" "$@" >>"$log" 2>&1 || status=$?
  fi
  if [ "$status" -ne 0 ]; then
    tail -n 30 "$log" >&2
    echo "$apt_caller: apt-get $1 failed (status $status)" >&2
    exit 1
  fi
}
