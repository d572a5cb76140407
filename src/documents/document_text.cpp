#include "documents/document_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <new>
#include <vector>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/search_path.h"
#include "documents/document_files.h"
#include "language/export_after_run.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "session/compile_driver.h"
#include "session/min_max.h"
#include "tables/table_files.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

// I/O results the import reports: read past the end, and a number that
// does not read.
constexpr int32_t kReadPastEndResult = 100;
constexpr int32_t kBadNumberResult = 106;
// Rows a table section can hold (an int16 count).
constexpr int32_t kMaxTableTextRows = 32767;
// Table values above this (and below its negative) are the limits' "none".
constexpr Extended kUnlimited = 1.0E+98L;
constexpr size_t kNameLength = 30;

std::string Line(int64_t n) { return std::to_string(n) + "\r\n"; }
std::string Line(Extended x) { return ScientificField(x, 20) + "\r\n"; }

int32_t IOResultOf(int error) {
  if (error == EACCES || error == EPERM || error == EROFS) return 5;
  if (error == ENOSPC || error == EFBIG || error == 0) return 101;
  return error;
}

}  // namespace

// --- Export ------------------------------------------------------------------------

bool ExportDocumentText(const std::string& fileName) {
  std::string out;
  std::vector<int32_t> savedOrder = ParametricColumnOrder;
  try {
    out += Line(int64_t(kDocumentTextFormat));
    const TDocumentSettingsRecord& s = DocumentSettings;
    for (uint8_t b : {s.UnitSystem, s.MolarBasis, s.AbsoluteTemperature, s.PressureUnit, s.AngleUnit})
      out += Line(int64_t(b));
    out += Line(s.AngleFactor);
    out += Line(StopCriteria.RelativeResidualTolerance) + Line(StopCriteria.ChangeTolerance) +
           Line(int64_t(StopCriteria.MaxIterations)) + Line(int64_t(StopCriteria.MaxElapsedSeconds));
    const TMinMaxSettingsRecord& m = MinMaxSetup;
    out += Line(int64_t(m.Maximise)) + Line(int64_t(m.ObjectiveVariable)) +
           Line(int64_t(std::min<int32_t>(m.MaxFunctionCalls, 32767))) + Line(m.Tolerance) +
           Line(int64_t(m.IndependentCount));
    for (size_t i = 1; i <= 10; ++i) out += Line(int64_t(m.IndependentVariables[i]));
    out += Line(int64_t(m.Method));

    // The text with its terminating zero byte: L counts its lines.
    const std::string text = Equations().GetText();
    out += Line(int64_t(1 + std::count(text.begin(), text.end(), '\n')));
    out += text;
    out += '\0';
    out += "\r\n";

    // The variables: every one, or once compiled only those in use and the
    // parametric table's columns, renumbered in their order.
    const TProgramUnitRecord* main = MainProgramUnit;
    const int32_t n = main != nullptr ? std::max<int32_t>(main->VariableCount, 0) : 0;
    std::vector<int32_t> number(size_t(n) + 1, 0);
    int32_t written = 0;
    for (int32_t i = 1; i <= n; ++i) {
      const TVariableRecord* v = main->Variable(i);
      if (v == nullptr) continue;
      if (EquationsCompiled && v->UnknownPosition == 0 && !IsParametricColumnVariable(i)) continue;
      number[size_t(i)] = ++written;
    }
    out += Line(int64_t(written));
    for (int32_t i = 1; i <= n; ++i) {
      if (number[size_t(i)] == 0) continue;
      const TVariableRecord* v = main->Variable(i);
      out += v->Name + "\r\n" + Line(v->Value) + Line(v->Guess) + Line(v->LowerLimit) + Line(v->UpperLimit) + v->Units +
             "\r\n" + Line(int64_t(v->Style)) + Line(int64_t(v->Digits));
    }

    if (TTableForm* form = TableForms[size_t(kParametricTableKind)].get()) {
      if (EquationsCompiled) {
        for (size_t k = 1; k < ParametricColumnOrder.size(); ++k) {
          const int32_t v = ParametricColumnOrder[k];
          if (v >= 1 && v <= n) ParametricColumnOrder[k] = number[size_t(v)];
        }
      }
      WriteTable(*form, out, true);
      ParametricColumnOrder = savedOrder;
    } else {
      out += "0 0\r\n";
    }
    if (TTableForm* form = TableForms[size_t(kLookupTableKind)].get()) {
      WriteTable(*form, out, true);
    } else {
      out += "0 0\r\n";
    }
  } catch (const std::bad_alloc&) {
    ParametricColumnOrder = savedOrder;
    ShowAlert(GetMessageText(kMsgOutOfMemory), kAlertErrorOk, true);
    return false;
  }

  errno = 0;
  std::FILE* f = std::fopen(fileName.c_str(), "wb");
  if (f == nullptr) {
    ReportIOError(IOResultOf(errno));
    return false;
  }
  errno = 0;
  const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  int error = written ? 0 : errno;
  const bool closed = std::fclose(f) == 0;
  if (written && !closed) error = errno;
  if (!written || !closed) {
    ReportIOError(IOResultOf(error));
    return false;
  }
  return true;
}

// --- Import ------------------------------------------------------------------------

namespace {

// Every lone LF and lone CR becomes CR LF.
std::string RepairedLineEnds(const std::vector<uint8_t>& bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = char(bytes[i]);
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

// The import's reader: each value on its line; a failure remembers the I/O
// result to report.
class TExportReader {
 public:
  explicit TExportReader(std::string text) { in_.Text = std::move(text); }
  TTableTextReader& In() { return in_; }
  int32_t Result = 0;

  bool LineText(std::string& line) {
    if (Result != 0) return false;
    if (!in_.ReadLine(line)) {
      Result = kReadPastEndResult;
      return false;
    }
    return true;
  }
  bool Int(int32_t& n) {
    std::string line;
    if (!LineText(line)) return false;
    bool ok = false;
    StrToLongSafe(Trimmed(line), n, ok);
    if (!ok) Result = kBadNumberResult;
    return ok;
  }
  bool Real(Extended& x) {
    std::string line;
    if (!LineText(line)) return false;
    int32_t errorPos = 0;
    StrToReal(Trimmed(line), x, errorPos);
    if (errorPos != 0) Result = kBadNumberResult;
    return errorPos == 0;
  }
  // Two integers on one line ("R C").
  bool Pair(int32_t& a, int32_t& b) {
    std::string line;
    if (!LineText(line)) return false;
    line = Trimmed(line);
    const size_t gap = line.find_first_of(" \t");
    bool ok1 = false, ok2 = false;
    if (gap != std::string::npos) {
      StrToLongSafe(line.substr(0, gap), a, ok1);
      StrToLongSafe(Trimmed(line.substr(gap)), b, ok2);
    }
    if (!ok1 || !ok2) Result = kBadNumberResult;
    return ok1 && ok2;
  }
  // Lines left in the text (an upper bound on what can still be read).
  int64_t LinesLeft() const {
    if (in_.Pos >= in_.Text.size()) return 0;
    return 1 + std::count(in_.Text.begin() + std::ptrdiff_t(in_.Pos), in_.Text.end(), '\n');
  }

 private:
  static std::string Trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
  }
  TTableTextReader in_;
};

// A count read from the file that the file or the program cannot hold.
bool Refuse(TExportReader& r) {
  r.Result = kReadPastEndResult;
  return false;
}

bool ReadSettings(TExportReader& r) {
  int32_t b[5] = {};
  for (int32_t& v : b)
    if (!r.Int(v)) return false;
  Extended angleFactor = 0;
  if (!r.Real(angleFactor)) return false;
  TDocumentSettingsRecord& s = DocumentSettings;
  uint8_t* fields[5] = {&s.UnitSystem, &s.MolarBasis, &s.AbsoluteTemperature, &s.PressureUnit, &s.AngleUnit};
  for (int i = 0; i < 5; ++i) *fields[i] = b[i] != 0 ? 1 : 0;
  s.EnergyUnit = 1;
  s.Reserved.fill(0);
  s.AngleFactor = angleFactor;
  return true;
}

bool ReadStopCriteria(TExportReader& r) {
  TStopCriteriaRecord c = StopCriteria;
  if (!r.Real(c.RelativeResidualTolerance) || !r.Real(c.ChangeTolerance) || !r.Int(c.MaxIterations) ||
      !r.Int(c.MaxElapsedSeconds))
    return false;
  StopCriteria = c;
  return true;
}

bool ReadMinMax(TExportReader& r) {
  TMinMaxSettingsRecord m = MinMaxSetup;
  int32_t v = 0;
  if (!r.Int(v)) return false;
  m.Maximise = v != 0 ? 1 : 0;
  if (!r.Int(v)) return false;
  m.ObjectiveVariable = int16_t(v);
  if (!r.Int(v)) return false;
  m.MaxFunctionCalls = v;
  if (!r.Real(m.Tolerance) || !r.Int(v)) return false;
  m.IndependentCount = int16_t(std::clamp(v, 0, 10));
  for (size_t i = 1; i <= 10; ++i) {
    if (!r.Int(v)) return false;
    m.IndependentVariables[i] = int16_t(v);
  }
  if (!r.Int(v)) return false;
  m.Method = int16_t(v);
  MinMaxSetup = m;
  return true;
}

// The equations: L whole lines (a long line keeps its tail), joined with
// CR LF, up to the zero byte.
bool ReadEquations(TExportReader& r, bool merge, const std::string& fileName) {
  int32_t lines = 0;
  if (!r.Int(lines)) return false;
  if (lines < 0 || lines > r.LinesLeft()) return Refuse(r);
  std::string text, line;
  for (int32_t i = 0; i < lines; ++i) {
    if (!r.LineText(line)) return false;
    if (i > 0) text += "\r\n";
    text += line;
    if (text.size() > size_t(kEditorCharacterLimit) + 1) break;
  }
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  const size_t existing = merge ? Equations().GetText().size() : 0;
  if (existing + text.size() > size_t(kEditorCharacterLimit)) {
    SetMessageArg(1, std::to_string(kEditorCharacterLimit));
    ShowAlert(GetMessageText(kMsgEditorCharacterLimit), kAlertErrorOk, true);
    (void)fileName;
    r.Result = -1;
    return false;
  }
  if (merge) {
    Equations().InsertAtCaret(text);
  } else {
    Equations().SetText(text);
  }
  return true;
}

bool ReadVariables(TExportReader& r) {
  int32_t n = 0;
  if (!r.Int(n)) return false;
  TProgramUnitRecord* unit = MainProgramUnit;
  if (unit == nullptr || n < 0 || n > MaxVariables || int64_t(n) * 8 > r.LinesLeft() ||
      size_t(n) + 1 > unit->VariableHandles.size())
    return Refuse(r);
  ClearVariableStore(unit);
  TProgramUnitRecord* const saved = CurrentProgramUnit;
  CurrentProgramUnit = unit;
  bool ok = true;
  for (int32_t i = 1; i <= n && ok; ++i) {
    auto* v = new TVariableRecord();
    unit->VariableHandles[size_t(i)] = v;
    unit->VariableCount = int16_t(i);
    std::string name, units;
    int32_t style = 0, digits = 0;
    ok = r.LineText(name) && r.Real(v->Value) && r.Real(v->Guess) && r.Real(v->LowerLimit) &&
         r.Real(v->UpperLimit) && r.LineText(units) && r.Int(style) && r.Int(digits);
    v->Name = name.substr(0, kNameLength);
    v->Units = units.substr(0, kNameLength);
    if (v->UpperLimit >= kUnlimited) v->UpperLimit = InfinityValue;
    if (v->LowerLimit <= -kUnlimited) v->LowerLimit = -InfinityValue;
    if (style >= 0 && style <= 3) v->Style = uint8_t(style);
    v->Digits = int16_t(digits);
    v->UpperName = UpperCaseName(v->Name);
    SetNameHashSlot(unit, VarHashSlot(v->UpperName), int16_t(i));
    v->ScreenRect = DefaultScreenRect;
  }
  CurrentProgramUnit = saved;
  return ok;
}

// The parametric (kind 1) or lookup (kind 2) table block.
bool ReadTableBlock(TExportReader& r, int32_t kind, int32_t version, const std::string& fileName) {
  int32_t rows = 0, columns = 0;
  if (!r.Pair(rows, columns)) return false;
  if (rows <= 0) return true;
  const int32_t variables = MainProgramUnit != nullptr ? MainProgramUnit->VariableCount : 0;
  const bool namedColumns = kind == kLookupTableKind && std::abs(version) >= 303;
  const int64_t infoLines = int64_t(columns) * (namedColumns ? 3 : 1);
  if (rows > kMaxTableTextRows || columns < 1 || columns > MaxVariables ||
      infoLines + int64_t(rows) * columns > r.LinesLeft())
    return Refuse(r);
  std::vector<int32_t> order(size_t(columns) + 1, 0);
  if (kind == kParametricTableKind) {
    for (int32_t i = 1; i <= columns; ++i) {
      if (!r.Int(order[size_t(i)])) return false;
      if (order[size_t(i)] < 1 || order[size_t(i)] > variables) return Refuse(r);
    }
    ParametricColumnOrder = order;
    FirstRun = 1;
    LastRun = rows;
  }
  TableRowCounts[size_t(kind)] = rows;
  TableColumnCounts[size_t(kind)] = columns;
  TTableForm* form = TableForms[size_t(kind)].get();
  if (form == nullptr) {
    form = CreateTableForm(kind);
  } else {
    form->MultipleTableSetup();
  }
  if (form == nullptr) return Refuse(r);
  if (kind == kParametricTableKind) {
    form->TableName = "Table 1";
    int32_t i = 1;
    for (TTableColumnRecord* c = form->Columns; c != nullptr; c = c->Next, ++i) {
      if (const TVariableRecord* v = MainProgramUnit->Variable(c->VariableIndex)) c->Name = v->Name;
    }
  } else {
    for (TTableColumnRecord* c = form->Columns; c != nullptr; c = c->Next) {
      if (namedColumns) {
        std::string name;
        int32_t style = 0, digits = 0;
        if (!r.LineText(name) || !r.Int(style) || !r.Int(digits)) return false;
        const size_t bracket = name.find('[');
        if (bracket != std::string::npos) name.insert(bracket, "\r");
        c->Name = name.substr(0, kNameLength);
        c->Format.Style = style >= 1 ? 1 : 0;
        c->Format.Digits = int16_t(digits);
      } else {
        int32_t unused = 0;
        if (!r.Int(unused)) return false;
      }
    }
  }
  if (!ReadTable(*form, r.In(), true, fileName)) {
    ShowAlert(GetMessageText(CalcErrorCode), kAlertErrorOk, true);
    r.Result = -1;
    return false;
  }
  if (kind == kParametricTableKind && Preferences.TableSumRow != 0) {
    for (TTableColumnRecord* c = form->Columns; c != nullptr; c = c->Next) form->FillSumAvg(c->ColumnNumber);
  }
  form->MultipleTableRefresh();
  return true;
}

}  // namespace

bool ImportDocumentText(const std::string& fileName, bool merge) {
  std::vector<uint8_t> bytes;
  int32_t ioResult = 0;
  try {
    ioResult = ReadFileBytes(fileName, bytes);
  } catch (const std::bad_alloc&) {
    ShowAlert("Insuffient memory while reading " + fileName, kAlertErrorOk, true);
    SetCalcError(kMsgOutOfMemory);
    return false;
  }
  if (ioResult != 0) {
    ShowAlert("Error in reading " + fileName, kAlertErrorOk, true);
    return false;
  }
  std::string text;
  try {
    // The repaired text stays in memory: the file being read is never
    // written, so opening it cannot change or damage it.
    text = RepairedLineEnds(bytes);
  } catch (const std::bad_alloc&) {
    ShowAlert(GetMessageText(kMsgOutOfMemory), kAlertErrorOk, true);
    SetCalcError(kMsgOutOfMemory);
    return false;
  }
  bytes = {};
  if (!merge) Equations().SetText("");

  TExportReader r(std::move(text));
  bool ok = false;
  try {
    int32_t version = 0;
    ok = r.Int(version) && ReadSettings(r) && ReadStopCriteria(r) && ReadMinMax(r) &&
         ReadEquations(r, merge, fileName) && ReadVariables(r) &&
         ReadTableBlock(r, kParametricTableKind, version, fileName) &&
         ReadTableBlock(r, kLookupTableKind, version, fileName);
  } catch (const std::bad_alloc&) {
    ShowAlert("Insuffient memory while reading " + fileName, kAlertErrorOk, true);
    SetCalcError(kMsgOutOfMemory);
    return false;
  }
  if (!ok && r.Result > 0) ReportIOError(r.Result);

  // The tables' windows and the Equations window are shown, the result
  // windows closed.
  TWindowArrangement plan;
  plan.CloseAll = true;
  for (int32_t kind = 1; kind <= 3; ++kind)
    if (TableForms[size_t(kind)]) plan.ShowOrder.push_back(TableKindToWindowTag(kind));
  plan.ShowOrder.push_back(1);
  plan.ActiveWindow = 1;
  DocumentFiles().ArrangeWindows(plan);
  return ok;
}

void InstallDocumentTextHooks() {
  DocumentFormatHooks().ExportDocumentText = ExportDocumentText;
  DocumentFormatHooks().ImportDocumentText = ImportDocumentText;
}

}  // namespace voq
