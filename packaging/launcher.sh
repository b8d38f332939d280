#!/bin/sh
# Starts TROVIX from the user's own program folder.
#
# The program reads and writes every file in the folder of its own executable, and nobody but root can
# write to the installed folder. So each user has a folder of his own, ${XDG_DATA_HOME:-~/.local/share}/trovix,
# holding links to the installed read-only files, a copy of the executable and his own database.
#
# The executable is copied, not linked: the program names its folder by QCoreApplication::applicationDirPath,
# which Qt takes from /proc/self/exe, the link's target, so a link would make the installed folder the
# program folder again. The copy is refreshed whenever it differs from the installed executable (after an
# upgrade). Missing links are made again; an existing database is never touched.
set -eu

say() { printf 'trovix: %s\n' "$*" >&2; }
die() {
    say "$*"
    exit 1
}

# The installed tree is found relative to this script (PREFIX/usr/bin/trovix), so a staged install under
# another prefix starts as well as the package.
prefix=$(readlink -f "$(dirname "$(readlink -f "$0")")/../..")
install_dir=${prefix%/}/opt/trovix
db_tool=${prefix%/}/usr/lib/trovix/trovix-db
[ -x "$install_dir/trovix" ] || die "the program is not installed in $install_dir"
[ -x "$db_tool" ] || die "$db_tool is missing"

data_home=${XDG_DATA_HOME:-}
case $data_home in
    /*) ;;
    *) data_home=${HOME:?HOME is not set}/.local/share ;; # the standard ignores a relative path
esac
dir=$data_home/trovix

mkdir -p "$data_home"
# The database holds the user's own data: the folder is his alone.
[ -d "$dir" ] || mkdir -m 700 "$dir" 2>/dev/null || [ -d "$dir" ] || die "cannot make $dir"

# Two starts at once must not both set the folder up: the setup runs under a lock on the folder itself.
exec 9<"$dir"
flock 9

# Every change is made under a temporary name and moved into place, so that a program already running from
# this folder never finds a file missing.
for file in "$install_dir"/*; do
    [ -f "$file" ] || continue
    name=${file##*/}
    target=$dir/$name
    case $name in
        trovix.mdb) continue ;;
        trovix)
            [ ! -L "$target" ] && cmp -s "$file" "$target" && continue
            cp "$file" "$dir/.trovix.new"
            mv -T "$dir/.trovix.new" "$target"
            ;;
        *)
            # A link to an older location is mended; a file the user put there himself is left alone.
            if [ -L "$target" ]; then
                [ "$(readlink "$target")" = "$file" ] && continue
            elif [ -e "$target" ]; then
                continue
            fi
            ln -sfn "$file" "$dir/.$name.new"
            mv -T "$dir/.$name.new" "$target"
            ;;
    esac
done

# Links to files an upgrade removed.
for link in "$dir"/*; do
    if [ -L "$link" ] && [ ! -e "$link" ]; then
        case $(readlink "$link") in "$install_dir"/*) rm -f "$link" ;; esac
    fi
done

# The database is made in a scratch folder and hard-linked into place: the link fails rather than replace
# a file, and no half-written database ever has the real name.
if [ ! -e "$dir/trovix.mdb" ] && [ ! -L "$dir/trovix.mdb" ]; then
    scratch=$(mktemp -d "$dir/.new-database.XXXXXX")
    if ! "$db_tool" create "$scratch" >/dev/null || ! ln "$scratch/trovix.mdb" "$dir/trovix.mdb"; then
        rm -rf "$scratch"
        die "could not make the database $dir/trovix.mdb"
    fi
    rm -rf "$scratch"
fi

# The program must not inherit the lock, or a second start would wait for the first to end.
exec 9<&-
exec "$dir/trovix" "$@"
