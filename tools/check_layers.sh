#!/usr/bin/env bash
# Checks that every engine folder includes only its own headers and those of
# the layers below it (src/README.md draws the same map). Exits 1 naming
# each include that reaches up or sideways.
set -u
src=${1:-$(dirname "$0")/../src}

# folder: the folders it may include besides itself.
declare -A allowed=(
  [platform]=""
  [core]="platform"
  [model]="core platform"
  [language]="model core platform"
  [solver]="model core platform"
  [session]="language solver model core platform"
  [voq_solve]="session language solver model core platform"
)

status=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  if [ -z "${allowed[$folder]+set}" ]; then
    echo "src/$folder: not in the layer map of tools/check_layers.sh and src/README.md"
    status=1
    continue
  fi
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$line")
    [ "$target" = "$folder" ] && continue
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *) echo "${file#"$src"/}: includes $target/ (src/$folder may include: ${allowed[$folder]:-nothing})"; status=1 ;;
    esac
  done < <(grep -rHE '^#include "[^/"]+/' "$dir" --include='*.h' --include='*.cpp')
done
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
