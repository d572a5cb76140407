#!/usr/bin/env bash
# Checks that every engine folder includes only its own headers and those of
# the layers below it (src/README.md draws the same map). Exits 1 naming
# each include that reaches up or sideways.
set -u
src=${1:-$(dirname "$0")/../src}

# folder: the folders it may include besides itself.
map='
platform:
core: platform
model: core platform
units: model core platform
properties: units model core platform
language: properties units model core platform
solver: properties units model core platform
session: language solver properties units model core platform
plots: session language solver properties units model core platform
tables: session language solver properties units model core platform
output: session language solver properties units model core platform
view3d: session language solver properties units model core platform
documents: plots tables session language solver properties units model core platform
latex: documents output plots tables session language solver properties units model core platform
voq_solve: output documents plots tables session language solver properties units model core platform
shell: output documents plots tables session language solver properties units model core platform
results: shell output documents plots tables session language solver properties units model core platform
'

folders=$(cd "$src" && ls -d */ | tr -d /)
grep -rHoE '^#include "[^/"]+/' "$src" --include='*.h' --include='*.cpp' |
  awk -v src="$src/" -v map="$map" -v folders="$folders" '
    BEGIN {
      n = split(map, rows, "\n")
      for (i = 1; i <= n; i++) {
        if (rows[i] == "") continue
        split(rows[i], parts, ":")
        known[parts[1]] = 1
        m = split(parts[2], allowed, " ")
        for (j = 1; j <= m; j++) ok[parts[1] "/" allowed[j]] = 1
      }
      split(folders, list, "\n")
      for (i in list) if (list[i] != "" && !(list[i] in known)) {
        print "src/" list[i] ": not in the layer map of tools/check_layers.sh and src/README.md"
        bad = 1
      }
    }
    {
      file = substr($0, length(src) + 1)
      sub(/:.*/, "", file)
      folder = file; sub(/\/.*/, "", folder)
      target = $0; sub(/.*#include "/, "", target); sub(/\/$/, "", target)
      # include/voq/ is the published C interface of external routines.
      if (target == "voq") next
      if (target == folder || (folder "/" target) in ok) next
      print file ": includes " target "/, which src/" folder " may not"
      bad = 1
    }
    END {
      if (bad) exit 1
      print "layers: every include points down"
    }'
