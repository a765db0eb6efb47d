# The user Windows code runs as. Windows refuses to overwrite or delete a
# read-only file and to open a file another program holds, for
# administrators too; Wine run by root lets the kernel decide, and root
# passes every permission check. So when the caller is root, Windows code
# runs as a dedicated unprivileged user (KVN_WINE_USER, default kvnwine)
# whose Wine prefixes they are. Without root nothing changes: the caller
# is such a user already. Source it.

KVN_WINE_USER=${KVN_WINE_USER:-kvnwine}

# True when Windows code must be run as the dedicated user.
kvn_wine_switches_user() { [ "$(id -u)" = 0 ]; }

# Makes the dedicated user (a system account with a home of its own for
# Wine's caches) unless it exists; fails with a message when it cannot.
kvn_ensure_wine_user() {
  kvn_wine_switches_user || return 0
  id -u "$KVN_WINE_USER" >/dev/null 2>&1 && return 0
  (
    flock 8
    id -u "$KVN_WINE_USER" >/dev/null 2>&1 ||
      useradd --system --create-home --home-dir "/var/lib/$KVN_WINE_USER" \
        --shell /usr/sbin/nologin "$KVN_WINE_USER" >/dev/null 2>&1
  ) 8>/tmp/kvn-wine-user.lock
  id -u "$KVN_WINE_USER" >/dev/null 2>&1 && return 0
  echo "wine-run: cannot make the user $KVN_WINE_USER to run Windows code as; under root every read-only and sharing check would pass" >&2
  return 1
}

# kvn_wine_user_prefix: sets KVN_AS_WINE_USER, the words that run a command
# as the dedicated user (nothing without root), with the environment kept
# and HOME, USER and LOGNAME of that user.
kvn_wine_user_prefix() {
  KVN_AS_WINE_USER=()
  kvn_wine_switches_user || return 0
  local home
  home=$(getent passwd "$KVN_WINE_USER" | cut -d: -f6)
  KVN_AS_WINE_USER=(setpriv "--reuid=$KVN_WINE_USER" "--regid=$KVN_WINE_USER" --init-groups
    env "HOME=$home" "USER=$KVN_WINE_USER" "LOGNAME=$KVN_WINE_USER")
}

# kvn_as_wine_user CMD ARGS...: runs CMD as the dedicated user.
kvn_as_wine_user() {
  kvn_wine_user_prefix
  "${KVN_AS_WINE_USER[@]}" "$@"
}

# kvn_wine_owns PATH...: gives the dedicated user what it would own on
# Windows (a prefix, files a test put into a prefix); without root a no-op.
kvn_wine_owns() {
  kvn_wine_switches_user || return 0
  chown -R "$KVN_WINE_USER:" "$@"
}

# kvn_wine_reaches PATH: lets the dedicated user reach PATH (a build
# folder below a home that only root may enter): every folder above it
# gets search permission for that user alone where ACLs work, for others
# otherwise.
kvn_wine_reaches() {
  kvn_wine_switches_user || return 0
  local dir
  dir=$(cd "$1" 2>/dev/null && pwd) || return 0
  while [ "$dir" != / ]; do
    if ! setpriv --reuid="$KVN_WINE_USER" --regid="$KVN_WINE_USER" --clear-groups test -x "$dir" 2>/dev/null; then
      setfacl -m "u:$KVN_WINE_USER:x" "$dir" 2>/dev/null || chmod o+x "$dir"
    fi
    dir=$(dirname "$dir")
  done
}

# Fails, saying why, when Windows code cannot run as the dedicated user here
# (no such user can be made, or this machine refuses to switch to it).
kvn_check_wine_user() {
  kvn_wine_switches_user || return 0
  kvn_ensure_wine_user || return 1
  kvn_as_wine_user true 2>/dev/null && return 0
  echo "cannot run programs as the user $KVN_WINE_USER (setpriv refused); Windows code would run as root, which passes every read-only and sharing check" >&2
  return 1
}
