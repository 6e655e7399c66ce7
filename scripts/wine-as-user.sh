#!/usr/bin/env bash
# Runs a Windows program of the build under Wine as a user other than the
# administrator (user 4322), through scripts/wine-run.sh. Wine run by the
# administrator writes through a file's read-only attribute, as the
# administrator writes any file on Linux; a user's run shows what a Windows
# user sees. The user's home, with its Wine prefix, is kept in the folder
# given as the first argument, so that the prefix is made only once. The
# environment variable VESKA_TEST_NOT_ADMINISTRATOR tells the tests whose
# run it is.
#
#     wine-as-user.sh HOME_FOLDER PROGRAM [ARGUMENT...]
#
# Exit code 77 (a skipped test) where the process may not act as another
# user; otherwise the program's.
set -uo pipefail
home=$1
shift
user=4322
if [ "$(id -u)" != 0 ] || [ ! -x /usr/bin/setpriv ]; then
    echo "acting as another user needs the administrator and setpriv"
    exit 77
fi
mkdir -p "$home"
chown "$user:$user" "$home"
as_user=(/usr/bin/setpriv "--reuid=$user" "--regid=$user" --clear-groups
         env "HOME=$home" "WINEPREFIX=$home/wine" "TMPDIR=$home" VESKA_TEST_NOT_ADMINISTRATOR=1)
# A checkout in a folder that the user may not enter (an administrator's
# home) cannot be run as that user: skipped, not failed.
if ! "${as_user[@]}" test -x "$(dirname "$0")/wine-run.sh" -a -r "$1" -a -w "$home"; then
    echo "user $user cannot reach the build in this folder"
    exit 77
fi
"${as_user[@]}" "$(dirname "$0")/wine-run.sh" "$@"
status=$?
# The user's Wine server ends with its last program.
server=$(command -v wineserver || echo /usr/lib/wine/wineserver)
"${as_user[@]}" "$server" -k >/dev/null 2>&1 || true
exit $status
