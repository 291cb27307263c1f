#!/usr/bin/env bash
# Checks the installed system on this Debian 12 machine, as root (10 to 15 minutes; not part of
# the tests). It builds the package of this tree and the first package (a temporary git worktree
# of BRENLOW_OLD_COMMIT in build-check-old, removed again), then:
#
#  1. installs the first package over the state its service leaves (a dynamic user's database in
#     /var/lib/private/brenlow, changed credentials in /usr/bin/brenlow.ini) and upgrades it;
#  2. installs the new package on a clean state and checks the user, the group and the modes;
#  3. runs the unit's start commands as brenlow with the unit's umask (systemd need not be PID 1:
#     what ExecStartPre and ExecStart run, through setpriv, with --listen 127.0.0.1), sets the
#     credentials with --set-credentials, starts the desktop program of a member of brenlow under
#     Xvfb and checks that it edits beside the server, asks a class's periods with
#     brenlow-terminal, and checks that nothing was written under /usr meanwhile;
#  4. purges the package and checks what stays.
#
# Everything that serves runs in a private network namespace, so that the ports of other programs
# on this machine are not touched. Then a member of brenlow plants links where root works (the
# database and the credentials file replaced by links to stand-ins of /etc/shadow and
# /etc/passwd, a dangling link) and the package is upgraded and --set-credentials run as root:
# the stand-ins must keep owner, mode and contents.
# At the end the machine is as it was: the package purged, and the system user and group, the
# database and the check's own user, which a purge keeps, removed by the check itself.
# It refuses to start where brenlow is installed or its user or data exist.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD

old_commit=${BRENLOW_OLD_COMMIT:-d295897}
member=brenlowcheck   # an administrator: a member of the group brenlow
state=/var/lib/brenlow
config=/etc/brenlow
unit=/lib/systemd/system/brenlow.service
# The first package is built beside this tree's build folders, so that ccache sees the same
# relative paths as in this tree's builds.
old_tree="$source_dir/build-check-old"
private_existed=no
[ -e /var/lib/private ] && private_existed=yes

step() { echo; echo "== $*"; }
pass() { echo "ok   $*"; }
fail() {
  echo "FAIL $*" >&2
  exit 1
}
# expect DESCRIPTION COMMAND...: the command must succeed.
expect() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
group_exists() { getent group "$1" >/dev/null; }
user_and_group_exist() { getent passwd "$1" >/dev/null && group_exists "$1"; }
# mode_is PATH MODE OWNER:GROUP
mode_is() {
  [ "$(stat -c '%a %U:%G' "$1")" = "$2 $3" ] || {
    echo "     $1 is $(stat -c '%a %U:%G' "$1"), expected $2 $3" >&2
    return 1
  }
}

[ "$(id -u)" -eq 0 ] || fail "run as root (it installs and purges the package)"
if dpkg-query -W -f='${Status}' brenlow 2>/dev/null | grep -q installed ||
  getent passwd brenlow >/dev/null || getent group brenlow >/dev/null ||
  [ -e "$state" ] || [ -e /var/lib/private/brenlow ] || [ -e "$config" ] ||
  getent passwd "$member" >/dev/null; then
  fail "brenlow is installed here, or its user, group or data exist: this check needs a machine without them"
fi

work=$(mktemp -d /tmp/brenlow-check.XXXXXX)
chmod 0755 "$work"
pids=()
cleanup() {
  set +e
  # What the namespace's script started, too.
  if [ -f "$work/pids" ]; then
    while read -r pid; do pids+=("$pid"); done <"$work/pids"
  fi
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  sleep 0.5
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
  if dpkg-query -W -f='${Status}' brenlow 2>/dev/null | grep -q "ok installed\|config-files"; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq brenlow >/dev/null
  fi
  getent passwd "$member" >/dev/null && userdel "$member"
  getent passwd brenlow >/dev/null && userdel brenlow
  getent group brenlow >/dev/null && groupdel brenlow
  rm -rf "$state" /var/lib/private/brenlow "$config" /usr/bin/brenlow.ini
  [ "$private_existed" = yes ] || rmdir /var/lib/private 2>/dev/null
  if [ -d "$old_tree" ]; then git -C "$source_dir" worktree remove --force "$old_tree"; fi
  git -C "$source_dir" worktree prune
  rm -rf "$work"
}
trap cleanup EXIT

# The two packages. ccache, when there is one, spares the second build most of its work.
if command -v ccache >/dev/null; then export CMAKE_CXX_COMPILER_LAUNCHER=ccache; fi
step "build the package of this tree"
scripts/package.sh >"$work/package.log" 2>&1 || { tail -30 "$work/package.log"; fail "scripts/package.sh"; }
new_deb=$(ls -1 "$source_dir"/build-package/brenlow_*.deb)
pass "built $(basename "$new_deb"); lintian reports no errors"
lintian "$new_deb" | sed 's/^/     lintian: /' || true

step "build the first package (commit $old_commit)"
git -C "$source_dir" worktree add --detach "$old_tree" "$old_commit" >/dev/null 2>&1
(cd "$old_tree" && scripts/package.sh) >"$work/old-package.log" 2>&1 ||
  { tail -30 "$work/old-package.log"; fail "the first package did not build"; }
old_deb=$(ls -1 "$old_tree"/build-package/brenlow_*.deb)
cp "$old_deb" "$work/"
old_deb="$work/$(basename "$old_deb")"
git -C "$source_dir" worktree remove --force "$old_tree"
pass "built $(basename "$old_deb")"

install_package() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$1" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "installing $1"; }
}
purge_package() {
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq brenlow >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "purging"; }
}

# "admin" / "secret", scrambled as the credentials file stores them.
admin_secret='[Pass]\r\nUseName=~\x81\x8a\x86\x8b\r\nPassWord=\x98\x8a\x88\x97\x8a\x99\r\n'

step "upgrade from the first package"
install_package "$old_deb"
expect "the first package wrote its bootstrap credentials into /usr/bin" test -f /usr/bin/brenlow.ini
# What a year of that service leaves: the dynamic user's state folder behind systemd's link,
# a database with its -wal and -shm owned by a dynamic uid, changed credentials.
mkdir -p /var/lib/private/brenlow
chmod 0700 /var/lib/private
brenlow --init-database /var/lib/private/brenlow/brenlow.db
sqlite3 /var/lib/private/brenlow/brenlow.db \
  "Insert into tblbj (Name, PCMacAddr) Values ('一班', '00-1A-2B-3C-4D-5E')"
touch /var/lib/private/brenlow/brenlow.db-wal /var/lib/private/brenlow/brenlow.db-shm
chown -R 61234:61234 /var/lib/private/brenlow
chmod 0640 /var/lib/private/brenlow/brenlow.db*
ln -s private/brenlow "$state"
printf "$admin_secret" >/usr/bin/brenlow.ini
install_package "$new_deb"
expect "$state is a folder of its own" test -d "$state" -a ! -L "$state"
expect "the dynamic user's folder is gone" test ! -e /var/lib/private/brenlow
for file in brenlow.db brenlow.db-wal brenlow.db-shm; do
  expect "$file moved, 0660 brenlow:brenlow" mode_is "$state/$file" 660 brenlow:brenlow
done
expect "the database kept its data" \
  test "$(sqlite3 "$state/brenlow.db" 'select Name from tblbj')" = 一班
expect "$state is 2770 brenlow:brenlow" mode_is "$state" 2770 brenlow:brenlow
expect "the changed credentials moved to $config" cmp -s <(printf "$admin_secret") "$config/brenlow.ini"
expect "$config/brenlow.ini is 0660 root:brenlow" mode_is "$config/brenlow.ini" 660 root:brenlow
expect "/usr/bin/brenlow.ini is gone" test ! -e /usr/bin/brenlow.ini
install_package "$new_deb"  # again: an upgrade to the same package
expect "a further upgrade keeps the database" \
  test "$(sqlite3 "$state/brenlow.db" 'select Name from tblbj')" = 一班
expect "a further upgrade keeps the credentials" cmp -s <(printf "$admin_secret") "$config/brenlow.ini"
purge_package

step "upgrade from the first package that still holds its bootstrap credentials"
install_package "$old_deb"
install_package "$new_deb"
expect "bootstrap credentials are not carried over" test ! -e "$config/brenlow.ini"
expect "/usr/bin/brenlow.ini is gone" test ! -e /usr/bin/brenlow.ini
purge_package

step "install on a clean state"
userdel brenlow
getent group brenlow >/dev/null && groupdel brenlow
rm -rf "$state"
install_package "$new_deb"
expect "system user brenlow: home $state, no login shell" \
  test "$(getent passwd brenlow | cut -d: -f6,7)" = "$state:/usr/sbin/nologin"
expect "brenlow is a system user" test "$(id -u brenlow)" -lt 1000
expect "group brenlow" group_exists brenlow
expect "$state is 2770 brenlow:brenlow" mode_is "$state" 2770 brenlow:brenlow
expect "$config is 2770 root:brenlow" mode_is "$config" 2770 root:brenlow
expect "no credentials file is created" test ! -e "$config/brenlow.ini"
expect "nothing beside the program" test ! -e /usr/bin/brenlow.ini
for command in $(dpkg -L brenlow | grep '^/usr/bin/'); do
  expect "manual page of $(basename "$command")" \
    test -s "/usr/share/man/man1/$(basename "$command").1.gz"
done
expect "systemd-analyze verify $unit" systemd-analyze verify "$unit"
if [ -d /run/systemd/system ]; then
  echo "     systemd is PID 1 here, but the check runs the unit's commands itself all the same"
else
  echo "     systemd is not PID 1 here: the unit's sandbox settings are not exercised"
fi

step "the service, the credentials, the editor beside it, a terminal"
useradd --no-create-home --home-dir "$work" --shell /usr/sbin/nologin --groups brenlow "$member"
touch "$work/stamp"
sleep 1
pre=$(sed -n 's/^ExecStartPre=//p' "$unit")
start=$(sed -n 's/^ExecStart=//p' "$unit")
umask_of_unit=$(sed -n 's/^UMask=//p' "$unit")
[ -n "$pre" ] && [ -n "$start" ] && [ -n "$umask_of_unit" ] || fail "the unit's start commands"
cat >"$work/inside.sh" <<EOF
#!/usr/bin/env bash
# Runs in a private network namespace.
set -euo pipefail
$(declare -f step pass fail expect mode_is)
ip link set lo up
work=$work
# Simple commands, not functions, so that a process started with & is the one whose id \$! holds.
service_user=(setpriv --reuid=brenlow --regid=brenlow --init-groups --inh-caps=-all)
member_user=(setpriv --reuid=$member --regid=\$(id -g $member) --init-groups --inh-caps=-all)
as_service() { "\${service_user[@]}" bash -c "umask $umask_of_unit; \$1"; }
as_member() { "\${member_user[@]}" "\$@"; }

as_service "$pre"
expect "ExecStartPre created the database 0660 brenlow:brenlow" mode_is $state/brenlow.db 660 brenlow:brenlow
# Another account holds the abstract socket name that was once the single-instance lock.
setpriv --reuid=nobody --regid=nogroup --clear-groups perl -MSocket -e \
  'my \$s; socket(\$s, AF_UNIX, SOCK_STREAM, 0) and bind(\$s, pack_sockaddr_un("\\0OstraTavoServer")) or die "\$!"; sleep 120' &
echo \$! >>\$work/pids
sleep 0.5
expect "another account holds the earlier lock's name" grep -q "@OstraTavoServer" /proc/net/unix
"\${service_user[@]}" bash -c "umask $umask_of_unit; exec $start --listen 127.0.0.1" 2>\$work/service.log &
service=\$!
echo \$service >>\$work/pids
for i in \$(seq 100); do grep -q "headless server starting" \$work/service.log && break; sleep 0.1; done
expect "the service started as brenlow" grep -q "headless server starting" \$work/service.log
sleep 1
expect "  although another account holds the earlier lock's name" kill -0 \$service
expect "another account cannot take the lock" \
  bash -c "! setpriv --reuid=nobody --regid=nogroup --clear-groups flock -n $state/brenlow.db.lock true 2>/dev/null"
for file in brenlow.db brenlow.db-wal brenlow.db-shm; do
  expect "\$file is 0660 brenlow:brenlow" mode_is $state/\$file 660 brenlow:brenlow
done
as_service "exec /usr/bin/brenlow --headless --database $state/brenlow.db --listen 127.0.0.1" 2>\$work/second.log && second=0 || second=\$?
expect "a second headless copy exits with 1" test "\$second" = 1
expect "  and says why" grep -qx "brenlow: another copy of brenlow is running" \$work/second.log

printf 'admin\nsecret\n' | brenlow --set-credentials >/dev/null 2>&1
expect "root sets the credentials" mode_is $config/brenlow.ini 660 root:brenlow
printf 'teacher\nsecret\n' | as_member brenlow --set-credentials >/dev/null 2>&1
expect "a member of brenlow replaces them" mode_is $config/brenlow.ini 660 $member:brenlow

# Data as an administrator enters it; the status as a controller last reported it.
as_member sqlite3 $state/brenlow.db "Insert into tblbj (Name, PCMacAddr, Status) Values ('一班', '00-1A-2B-3C-4D-5E', 1); Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM) Values ('一班', '星期一', '13', '37', '14', '22')"

"\${member_user[@]}" Xvfb -displayfd 3 -nolisten tcp 3>\$work/display >/dev/null 2>&1 &
echo \$! >>\$work/pids
for i in \$(seq 50); do [ -s \$work/display ] && break; sleep 0.1; done
export DISPLAY=:\$(cat \$work/display)
"\${member_user[@]}" openbox >/dev/null 2>&1 &
echo \$! >>\$work/pids
sleep 1
"\${member_user[@]}" env HOME=$work XDG_RUNTIME_DIR=$work brenlow 2>\$work/editor.log &
editor=\$!
echo \$editor >>\$work/pids
login=""
for i in \$(seq 100); do login=\$(as_member xdotool search --name '^登陆\$' 2>/dev/null | head -1) && [ -n "\$login" ] && break; sleep 0.1; done
expect "the desktop program of a member asks for the login" test -n "\$login"
as_member xdotool windowactivate --sync "\$login" type --delay 20 teacher
as_member xdotool key Tab type --delay 20 secret
as_member xdotool key Return
window=""
for i in \$(seq 100); do window=\$(as_member xdotool search --name '^课程表（服务运行中，仅编辑）\$' 2>/dev/null | head -1) && [ -n "\$window" ] && break; sleep 0.1; done
expect "it runs as an editor beside the service" test -n "\$window"
sleep 1
expect "  without resetting the statuses" test "\$(sqlite3 $state/brenlow.db 'select Status from tblbj')" = 1
expect "  and the service still serves" kill -0 \$service
/usr/bin/brenlow-terminal --host 127.0.0.1 --mac 00-1A-2B-3C-4D-5E periods >\$work/periods.txt
expect "brenlow-terminal gets the class's periods" grep -q "13:37 - 14:22" \$work/periods.txt
sed 's/^/     brenlow-terminal: /' \$work/periods.txt | head -8

nobody_log=\$work/nobody.log
setpriv --reuid=nobody --regid=nogroup --clear-groups env QT_QPA_PLATFORM=offscreen HOME=/nonexistent brenlow 2>\$nobody_log &
stranger=\$!
for i in \$(seq 50); do grep -q brenlow \$nobody_log && break; sleep 0.1; done
kill \$stranger 2>/dev/null || true
expect "someone outside the group is told the file and the group" grep -q "$state/brenlow.db.*用户组 brenlow" \$nobody_log

kill -TERM \$editor
wait \$editor && editor_status=0 || editor_status=\$?
expect "the editor ends on SIGTERM" test "\$editor_status" = 0
kill -TERM \$service
wait \$service && service_status=0 || service_status=\$?
expect "the service ends on SIGTERM" test "\$service_status" = 0
EOF
chmod 0755 "$work/inside.sh"
touch "$work/pids"
unshare -n "$work/inside.sh" || { tail -n 5 "$work"/{service,editor,nobody}.log 2>/dev/null; fail "the installed system"; }
written=$(find /usr -xdev -newer "$work/stamp" 2>/dev/null | head -20)
expect "nothing was written under /usr at run time" test -z "$written"
[ -z "$written" ] || echo "$written"

step "links a member of brenlow plants: the upgrade and --set-credentials follow none"
# Stand-ins for /etc/shadow and /etc/passwd, which root's chown/chmod must never reach.
printf 'root:*:19000:0:99999:7:::\n' >"$work/shadow"
chmod 0640 "$work/shadow"
printf 'root:x:0:0:root:/root:/bin/bash\n' >"$work/passwd"
chmod 0644 "$work/passwd"
as_member() { setpriv --reuid="$member" --regid="$(id -g "$member")" --init-groups --inh-caps=-all "$@"; }
as_member mv "$state/brenlow.db" "$state/kept.db"
as_member ln -s "$work/shadow" "$state/brenlow.db"
as_member ln -sf "$work/passwd" "$state/brenlow.db-wal"
as_member ln -sf "$work/nowhere" "$state/brenlow.db-shm"
as_member mv "$config/brenlow.ini" "$config/kept.ini"
as_member ln -s "$work/shadow" "$config/brenlow.ini"
# dpkg -i runs the maintainer scripts again even for the version installed (apt would not).
DEBIAN_FRONTEND=noninteractive dpkg -i "$new_deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "upgrading over the planted links"; }
expect "the upgrade configured the package" \
  test "$(dpkg-query -W -f='${Status}' brenlow)" = "install ok installed"
printf 'admin\nsecret\n' | brenlow --set-credentials 2>"$work/set.log" && set_status=0 || set_status=$?
expect "root's --set-credentials refuses the link" test "$set_status" = 1
expect "  and names it" grep -qx "brenlow: $config/brenlow.ini is a symbolic link, not a regular file; the credentials were not changed" "$work/set.log"
expect "the /etc/shadow stand-in kept owner and mode" mode_is "$work/shadow" 640 root:root
expect "  and its contents" test "$(cat "$work/shadow")" = 'root:*:19000:0:99999:7:::'
expect "the /etc/passwd stand-in kept owner and mode" mode_is "$work/passwd" 644 root:root
expect "the dangling link made nothing" test ! -e "$work/nowhere"
for planted in "$state/brenlow.db" "$state/brenlow.db-wal" "$state/brenlow.db-shm" "$config/brenlow.ini"; do
  expect "$planted is still the member's link" test -L "$planted"
done
rm -f "$state/brenlow.db" "$state/brenlow.db-wal" "$state/brenlow.db-shm" "$config/brenlow.ini"
mv "$state/kept.db" "$state/brenlow.db"
mv "$config/kept.ini" "$config/brenlow.ini"

step "purge"
purge_package
expect "the credentials are gone" test ! -e "$config"
expect "the database stays" test -f "$state/brenlow.db"
expect "the system user and group stay" user_and_group_exist brenlow
echo "     (the check now removes them and the database, to leave the machine as it found it)"

echo
echo "check-package: all checks passed"
