// Writes the seed documents of the documents harness into a folder, each
// written by the program's own writer from a state built as a user builds
// it: a bare document, a solved module problem, the bundled example, the
// library form, one rich in tables, a lookup table, a plot with error bars,
// uncertainties and custom colours.
//
//   make_document_seeds OUTPUT-FOLDER SOURCE-FOLDER
//
// SOURCE-FOLDER is the repository (for examples/wall_heat_loss.txt). The
// seeds are made at build time rather than kept as binary files, so they
// follow every change of the layout.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "documents/document_image.h"
#include "documents/documents_state.h"
#include "language/equation_reader.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/console_platform.h"
#include "plots/plot_list.h"
#include "plots/plots_state.h"
#include "session/compile_driver.h"
#include "session/engine.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

#include "fuzz_host.h"

namespace {

using namespace voq;

std::filesystem::path outputFolder;
bool failed = false;

void Save(const std::string& name, const std::vector<uint8_t>& image) {
  std::ofstream out(outputFolder / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_document_seeds: cannot write %s\n", name.c_str());
    failed = true;
  }
}

// Compiles text (solving it when solve) into a reset engine.
bool Compile(const std::string& text, bool solve) {
  ResetEngineState();
  Equations().SetText(NormalizeLineBreaks(text));
  CheckOnlyMode = !solve;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  if (CalcErrorCode > 0 || (solve && !SolutionAvailable)) {
    std::fprintf(stderr, "make_document_seeds: error %d in\n%s\n", int(CalcErrorCode), text.c_str());
    failed = true;
    return false;
  }
  return true;
}

int32_t MainVariable(const std::string& name) {
  TProgramUnitRecord* saved = CurrentProgramUnit;
  CurrentProgramUnit = MainProgramUnit;
  const int32_t i = FindVariable(name);
  CurrentProgramUnit = saved;
  return i;
}

TPlotLineRecord* Curve(int16_t number, bool errorBars) {
  auto* curve = new TPlotLineRecord;
  curve->NPoints = 3;
  curve->XValues = {1, 2, 3};
  curve->YValues = {number * 1.0L, number * 4.0L, number * 9.0L};
  curve->CurveNumber = number;
  curve->LineType = 1;
  curve->TableKind = 1;
  if (errorBars) {
    curve->XErrorBars = 1;
    curve->YErrorBars = 1;
    curve->XErrors = {0.1L, 0.2L, 0.3L};
    curve->YErrors = {1, 2, 3};
  }
  return curve;
}

void AddPlot(const std::string& name, int16_t curves, bool errorBars) {
  TPlotRecord& plot = *CreateMPRPtr();
  plot.PlotName = name;
  for (int16_t n = 1; n <= curves; ++n) {
    TPlotLineRecord* curve = Curve(n, errorBars);
    curve->Next = plot.Axes.FirstCurve;
    plot.Axes.FirstCurve = curve;
  }
}

TTableForm* AddParametric(const std::vector<std::string>& names, int32_t rows) {
  ParametricColumnOrder.assign(1, 0);
  for (const std::string& name : names) ParametricColumnOrder.push_back(MainVariable(name));
  TableRowCounts[kParametricTableKind] = rows;
  TableColumnCounts[kParametricTableKind] = int32_t(names.size());
  TTableForm* form = CreateTableForm(kParametricTableKind);
  if (form == nullptr) return nullptr;
  form->TableName = "Table 1";
  for (int32_t r = 1; r <= rows; ++r) form->Columns->SetCell(r, 10.0L * r);
  form->MultipleTableRefresh();
  return form;
}

TTableForm* AddLookup(int32_t columns, int32_t rows, const std::string& name) {
  TableRowCounts[kLookupTableKind] = rows;
  TableColumnCounts[kLookupTableKind] = columns;
  TTableForm* form = CreateTableForm(kLookupTableKind);
  if (form == nullptr) return nullptr;
  form->TableName = name;
  for (int32_t r = 1; r <= rows; ++r) form->Columns->SetCell(r, 0.5L * r);
  form->MultipleTableRefresh();
  return form;
}

const char* const kModuleProblem =
    "MODULE Root(a : y)\n  x^2 = a\n  y = 2*x\nEND\n"
    "CALL Root(4 : y1)\nCALL Root(9 : y2)\nz = y1 + y2 {[m]}\n";

void WriteSeeds(const std::string& example) {
  if (Compile("a = 1", false)) Save("bare.voq", WriteDocumentImage("a = 1"));

  if (Compile(kModuleProblem, true)) Save("module_solved.voq", WriteDocumentImage(kModuleProblem));

  if (!example.empty() && Compile(example, true)) Save("example.voq", WriteDocumentImage(example));

  const std::string library = "MODULE Sq(a : b)\n  b = a^2\nEND\nFUNCTION twice(z)\n  twice := 2*z\nEND\n";
  if (Compile(library + "CALL Sq(3 : c)\n", false)) Save("library.lib", WriteLibraryImage(library));

  const std::string rich = "MODULE Sq(a : b)\n  b = a^2\nEND\n"
                           "FUNCTION f(z)\n  w := z*2\n  f := w\nEND\n"
                           "CALL Sq(2 : y1)\nCALL Sq(3 : y2)\n"
                           "T = 10\nP = 100\nx = T + P + f(1)\n";
  if (Compile(rich, false)) {
    if (TTableForm* table = AddParametric({"T", "P"}, 3)) {
      ParametricColumnOrder = {0, MainVariable("x")};
      TableRowCounts[kParametricTableKind] = 2;
      TableColumnCounts[kParametricTableKind] = 1;
      table->MultipleTableSetup();
      table->TableName = "Second";
      table->Columns->SetCell(2, 7.5L);
      table->MultipleTableRefresh();
    }
    AddLookup(2, 3, "Lookup 1");
    AddPlot("Plot 1", 2, true);
    for (const char* name : {"T", "P", "x"}) MainProgramUnit->Variable(MainVariable(name))->Uncertainty = 0.5L;
    CustomColors = {"ColorA=FF8000", "ColorB=00FF00"};
    Save("rich.voq", WriteDocumentImage(rich));
  }

  // The table is made after the compile (a lookup of a table that does not
  // exist yet is an error); the document's text uses it.
  if (Compile("y = 1", false)) {
    AddLookup(3, 4, "Lookup 1");
    Save("lookup.voq", WriteDocumentImage("y = Lookup('Lookup 1', 2, 1)"));
  }

  const std::string plotted = "x = 2\ny = x^2\n";
  if (Compile(plotted, true)) {
    AddParametric({"x", "y"}, 3);
    AddPlot("Plot 1", 1, true);
    Save("plot_error_bars.voq", WriteDocumentImage(plotted));
  }

  const std::string uncertain = "T = 300\nP = 101.3\nrho = P/(0.287*T)\n";
  if (Compile(uncertain, true)) {
    MainProgramUnit->Variable(MainVariable("T"))->Uncertainty = 0.5L;
    TVariableRecord* p = MainProgramUnit->Variable(MainVariable("P"));
    p->Uncertainty = 0.01L;
    p->UncertaintyIsRelative = 1;
    CustomColors = {"ColorA=FF8000", "ColorB=00FF00", "ColorC=123456"};
    Save("uncertainty_colours.voq", WriteDocumentImage(uncertain));
  }
  ResetEngineState();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_document_seeds OUTPUT-FOLDER SOURCE-FOLDER\n");
    return 2;
  }
  outputFolder = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(outputFolder, ec);
  std::string example;
  {
    std::ifstream in(std::filesystem::path(argv[2]) / "examples" / "wall_heat_loss.txt", std::ios::binary);
    example.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (example.empty()) {
    std::fprintf(stderr, "make_document_seeds: no examples/wall_heat_loss.txt under %s\n", argv[2]);
    failed = true;
  }
  ConsolePlatform platform;
  fuzz::AssembleQuietEngine(platform, "make_document_seeds");
  WriteSeeds(example);
  ResetProgramStore();
  return failed ? 1 : 0;
}
