#!/usr/bin/env bash
# Checks that every folder of src/ includes only its own headers and those
# of the layers below it (src/README.md draws the same map). Exits 1 naming
# each include that reaches up or sideways.
#
# A `qt/` folder inside a subsystem (src/tables/qt/, src/platform/qt/) is
# the Qt half of its windows and dialogs, compiled only into the desktop
# program: it counts as a front end. It may include its own subsystem, every
# engine folder, platform/qt/, the child-window base shell/gform.h and the
# canvas results/qt_canvas.h; nothing else of shell/ or results/, and no
# other subsystem's qt/ folder. No engine folder includes a qt/ folder.
set -u
src=${1:-$(dirname "$0")/../src}

# folder: the folders it may include besides itself. Folders that do not
# exist yet keep their place, so the first file that lands in one is
# checked from the start.
map='
platform:
core: platform
model: core platform
units: model core platform
properties: units model core platform
language: properties units model core platform
solver: properties units model core platform
session: language solver properties units model core platform
output: session language solver properties units model core platform
tables: output session language solver properties units model core platform
view3d: output session language solver properties units model core platform
plots: view3d output session language solver properties units model core platform
plotcalc: plots tables view3d output session language solver properties units model core platform
diagram: plots tables view3d output session language solver properties units model core platform
documents: diagram plotcalc plots tables view3d output session language solver properties units model core platform
latex: documents diagram plotcalc plots tables view3d output session language solver properties units model core platform
macros: documents diagram plotcalc plots tables view3d output session language solver properties units model core platform
assembly: latex macros documents diagram plotcalc plots tables view3d output session language solver properties units model core platform
voq_solve: assembly latex macros documents diagram plotcalc plots tables view3d output session language solver properties units model core platform
shell: assembly latex macros documents diagram plotcalc plots tables view3d output session language solver properties units model core platform
results: shell assembly latex macros documents diagram plotcalc plots tables view3d output session language solver properties units model core platform
'
# The front ends; every other folder of the map is an engine folder. The Qt
# front ends (shell/, results/) may include any qt/ folder.
frontends='voq_solve shell results'
qtfrontends='shell results'
# What a qt/ folder may include of the Qt front ends.
qtshared='shell/gform.h results/qt_canvas.h'

folders=$(cd "$src" && ls -d */ | tr -d /)
grep -rHoE '^#include "[^"]+"' "$src" --include='*.h' --include='*.cpp' |
  awk -v src="$src/" -v map="$map" -v folders="$folders" -v frontends="$frontends" \
      -v qtfrontends="$qtfrontends" -v qtshared="$qtshared" '
    # The folder a path names: its first part, or "x/qt" inside a qt/ folder.
    function folder_of(path,   parts, n) {
      n = split(path, parts, "/")
      if (n >= 3 && parts[2] == "qt") return parts[1] "/qt"
      return parts[1]
    }
    BEGIN {
      n = split(map, rows, "\n")
      for (i = 1; i <= n; i++) {
        if (rows[i] == "") continue
        split(rows[i], parts, ":")
        known[parts[1]] = 1
        m = split(parts[2], allowed, " ")
        for (j = 1; j <= m; j++) ok[parts[1] "/" allowed[j]] = 1
      }
      m = split(frontends, list, " ")
      for (j = 1; j <= m; j++) frontend[list[j]] = 1
      m = split(qtfrontends, list, " ")
      for (j = 1; j <= m; j++) qtfrontend[list[j]] = 1
      m = split(qtshared, list, " ")
      for (j = 1; j <= m; j++) shared[list[j]] = 1
      split(folders, list, "\n")
      for (i in list) if (list[i] != "" && !(list[i] in known)) {
        print "src/" list[i] ": not in the layer map of tools/check_layers.sh and src/README.md"
        bad = 1
      }
    }
    {
      file = substr($0, length(src) + 1)
      sub(/:.*/, "", file)
      folder = folder_of(file)
      path = $0; sub(/.*#include "/, "", path); sub(/"$/, "", path)
      # A header beside the file, and include/voq/, the published C
      # interface of external routines.
      if (index(path, "/") == 0) next
      target = folder_of(path)
      if (target == "voq") next
      if (target == folder) next
      if (folder ~ /\/qt$/) {
        own = folder; sub(/\/qt$/, "", own)
        if (target == own || target == "platform/qt" || path in shared) next
        if (target in known && !(target in frontend)) next
        print file ": includes " path ", which the Qt half src/" folder " may not"
        bad = 1
        next
      }
      if (target ~ /\/qt$/) {
        if (folder in qtfrontend) next
        print file ": includes " target "/, a Qt half, which src/" folder " may not"
        bad = 1
        next
      }
      if ((folder "/" target) in ok) next
      print file ": includes " target "/, which src/" folder " may not"
      bad = 1
    }
    END {
      if (bad) exit 1
      print "layers: every include points down"
    }'
