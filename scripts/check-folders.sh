#!/usr/bin/env bash
# Checks that the folders of src/ depend one way: lists, for every file, the other folders
# its includes name ("folder/File.h"; a generated form header "ui_*.h" belongs to ui/), and
# fails when the folders include each other, directly or round a longer loop. Subfolders
# count as their top folder (platform/linux/ is platform/, sizing/linux/ is sizing/).
# Two more rules fail it too: only platform/ (the operating system's services) and sizing/
# (the sizing engine) include the operating system's own headers, and no other folder
# includes sizing/: the program reaches the engine through platform/SizeQuery.h only, so
# the engine can change without touching its callers.
set -euo pipefail
cd "$(dirname "$0")/.."

edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
while IFS= read -r -d '' file; do
    from=${file#src/}
    from=${from%%/*}
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file" |
        while IFS= read -r included; do
            case $included in
            ui_*.h) to=ui ;;
            */*) to=${included%%/*} ;;
            *) continue ;;
            esac
            if [ "$to" != "$from" ] && [ -d "src/$to" ]; then
                echo "$from $to"
            fi
        done
done < <(find src -name '*.h' -print0 -o -name '*.cpp' -print0) | sort -u >"$edges"

if ! tsort "$edges" >/dev/null 2>"$edges.loop"; then
    echo "FAILED: folders of src/ include each other:"
    sed 's/^tsort: //' "$edges.loop" | grep -v 'input contains a loop' | sed 's/^/  /'
    echo "Which files make those includes:"
    loop=$(sed 's/^tsort: //' "$edges.loop" | grep -v 'input contains a loop' | tr '\n' ' ')
    for a in $loop; do
        for b in $loop; do
            [ "$a" != "$b" ] || continue
            grep -rlE "#include \"($b/|$( [ "$b" = ui ] && echo 'ui_' || echo "$b/"))" "src/$a" |
                sed "s|^|  $a -> $b: |" || true
        done
    done
    rm -f "$edges.loop"
    exit 1
fi
rm -f "$edges.loop"

os_headers='#[[:space:]]*include[[:space:]]*<(unistd|fcntl|dirent|sched|signal|pthread|windows|xcb/[a-z_]*)\.h>|#[[:space:]]*include[[:space:]]*<(sys|linux)/'
outside=$(grep -rlE "$os_headers" src --include='*.h' --include='*.cpp' |
    grep -vE '^src/(platform|sizing)/' || true)
if [ -n "$outside" ]; then
    echo "FAILED: operating-system headers outside platform/ and sizing/:"
    echo "$outside" | sed 's/^/  /'
    exit 1
fi
reaching=$(grep -rlE '#[[:space:]]*include[[:space:]]*"sizing/' src --include='*.h' --include='*.cpp' |
    grep -v '^src/sizing/' || true)
if [ -n "$reaching" ]; then
    echo "FAILED: files outside sizing/ include the engine (use platform/SizeQuery.h):"
    echo "$reaching" | sed 's/^/  /'
    exit 1
fi
echo "folders of src/ depend one way: $(tsort "$edges" | tac | tr '\n' ' ')"
