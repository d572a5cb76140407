#!/usr/bin/env bash
# Cases of tools/check_layers.sh: each builds a one-file source tree with a
# single include and expects the check to accept or refuse it.
set -u
check=$(dirname "$0")/check_layers.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# expected  file                         its include
cases='
refuse  tables/table_model.cpp       tables/qt/table_form.h
refuse  session/engine.cpp           platform/qt/qt_platform.h
refuse  voq_solve/main.cpp           tables/qt/table_form.h
refuse  output/canvas.cpp            tables/table_model.h
refuse  output/canvas.cpp            plots/plot_list.h
refuse  documents/document_file.cpp  latex/report.h
refuse  documents/document_file.cpp  macros/interpreter.h
refuse  tables/table_model.cpp       plots/plot_list.h
refuse  plots/plot_list.cpp          diagram/diagram_model.h
refuse  session/engine.cpp           output/canvas.h
refuse  tables/qt/table_form.cpp     shell/main_window.h
refuse  tables/qt/table_form.cpp     results/solution_form.h
refuse  tables/qt/table_form.cpp     plots/qt/plot_form.h
refuse  tables/qt/table_form.cpp     voq_solve/console_windows.h
refuse  gadgets/gadget.cpp           core/messages.h
accept  tables/qt/table_form.cpp     shell/gform.h
accept  tables/qt/table_form.cpp     results/qt_canvas.h
accept  tables/qt/table_form.cpp     platform/qt/qt_platform.h
accept  tables/qt/table_form.cpp     tables/table_model.h
accept  tables/qt/table_form.cpp     tables/qt/column_dialog.h
accept  tables/qt/table_form.cpp     documents/document_file.h
accept  tables/table_model.cpp       output/canvas.h
accept  diagram/diagram_model.cpp    plots/plot_list.h
accept  diagram/diagram_model.cpp    tables/table_model.h
accept  documents/document_file.cpp  diagram/diagram_model.h
accept  latex/report.cpp             documents/document_file.h
accept  assembly/engine_assembly.cpp macros/interpreter.h
accept  shell/main_window.cpp        tables/qt/table_form.h
accept  voq_solve/main.cpp           assembly/engine_assembly.h
'

failed=0
while read -r expected file include; do
  [ -n "$expected" ] || continue
  rm -rf "$work/src" && mkdir -p "$work/src/$(dirname "$file")"
  printf '#include "%s"\n' "$include" > "$work/src/$file"
  if bash "$check" "$work/src" > "$work/out" 2>&1; then got=accept; else got=refuse; fi
  if [ "$got" != "$expected" ]; then
    echo "FAIL: $file including $include: expected $expected, the check said:"
    sed 's/^/    /' "$work/out"
    failed=1
  fi
done <<< "$cases"
[ $failed -eq 0 ] && echo "layer check cases: all as expected"
exit $failed
