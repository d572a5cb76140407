#include "units/constant_dialogs.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "units/unit_expressions.h"
#include "units/unit_table.h"

namespace voq {

namespace {

std::string Trimmed(const std::string& s) {
  size_t a = 0;
  size_t b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

// A tab inside a field would split it when the file is read again.
std::string FieldText(std::string s, size_t length) {
  for (char& c : s) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return s.substr(0, length);
}

// The result code ReportIOError expects of a failed write: 5 access
// denied, 101 disk full, else the errno itself.
int32_t IOResultOf(int error) {
  if (error == EACCES || error == EPERM || error == EROFS) return 5;
  if (error == ENOSPC || error == EFBIG) return 101;
  return error == 0 ? 101 : error;
}

// The same constant (the list holds copies, so identity is by content).
bool SameConstant(const TConstantRecord& a, const TConstantRecord& b) {
  return a.Name == b.Name && a.Description == b.Description && a.SIValueText == b.SIValueText &&
         a.SIUnits == b.SIUnits && a.EnglishValueText == b.EnglishValueText && a.EnglishUnits == b.EnglishUnits;
}

std::string ExponentialText(Extended x) { return RealToStr(TDisplayFormat{kStyleExponential, 6}, x); }

void Refuse(int32_t message) { ShowAlert(GetMessageText(message), kAlertWarningOk, true); }

}  // namespace

std::string ConstantsFilePath() {
  return (std::filesystem::path(UnitsFileDirectory()) / "Constants.txt").string();
}

bool WriteConstantsFile(const std::string& path) {
  std::string text = std::string(kConstantsFileHeader) + "\r\n";
  for (const TConstantRecord& c : ConstantsList) {
    text += c.Name + "\t" + c.Description + "\t" + c.SIValueText + "\t" + c.SIUnits + "\t" + c.EnglishValueText +
            "\t" + c.EnglishUnits + "\r\n";
  }
  const std::string temporary = path + ".new";
  errno = 0;
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (f == nullptr) {
    ReportIOError(IOResultOf(errno));
    return false;
  }
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  int error = written ? 0 : errno;
  const bool closed = std::fclose(f) == 0;
  if (error == 0 && !closed) error = errno;
  std::error_code ec;
  if (written && closed) {
    std::filesystem::rename(temporary, path, ec);
    if (!ec) return true;
    error = ec.value();
  }
  std::filesystem::remove(temporary, ec);
  ReportIOError(IOResultOf(error));
  return false;
}

// --- Constants ---------------------------------------------------------------------

TConstantDlgModel::TConstantDlgModel() : backup_(ConstantsList) {}

const char* TConstantDlgModel::HeaderText(int column) {
  static constexpr const char* kHeaders[kColumnCount] = {"Name", "Description", "Value", "Units"};
  return column >= 0 && column < kColumnCount ? kHeaders[column] : "";
}

std::string TConstantDlgModel::CellText(int column, int32_t row) const {
  if (row == 0) return HeaderText(column);
  if (row < 1 || row > static_cast<int32_t>(ConstantsList.size())) return std::string();
  const TConstantRecord& c = ConstantsList[static_cast<size_t>(row - 1)];
  switch (column) {
    case 0: return !c.Name.empty() && c.Name.back() == '#' ? c.Name : c.Name + "#";
    case 1: return c.Description;
    case 2: return CurrentConstantValueText(c);
    case 3: return CurrentConstantUnits(c);
    default: return std::string();
  }
}

bool TConstantDlgModel::GridMouseDown(int column, int32_t row) {
  if (row != 0 || column < 0 || column >= kColumnCount) return false;
  SortDirection = column == SortColumn ? -SortDirection : 1;
  SortConstants(column, SortDirection);
  SortColumn = column;
  return true;
}

bool TConstantDlgModel::PasteBtnClick(int32_t row) {
  if (row < 1 || row > static_cast<int32_t>(ConstantsList.size())) return false;
  const std::string name = CellText(0, row);
  KeepList();
  Platform().SetClipboardText(name);
  Equations().InsertAtCaret(name);
  return true;
}

void TConstantDlgModel::AddConstant(const TConstantRecord& constant) {
  ConstantsList.push_back(constant);
  added_ = true;
}

bool TConstantDlgModel::StoreBtnClick() {
  KeepList();
  return WriteConstantsFile(ConstantsFilePath());
}

void TConstantDlgModel::CancelBtnClick() { ConstantsList = backup_; }

void TConstantDlgModel::KeepList() {
  bool moved = ConstantsList.size() < backup_.size();
  for (size_t j = 0; !moved && j < backup_.size(); ++j) moved = !SameConstant(ConstantsList[j], backup_[j]);
  backup_.clear();
  if (!moved) return;
  ClearCompiledEquations();
  EquationsCompiled = false;
}

// --- Add New Constant --------------------------------------------------------------

void TNewConstDlgModel::FormActivate() {
  ConvertEnabled = false;
  FocusField = TNewConstField::None;
}

void TNewConstDlgModel::ValueChanged() {
  const bool si = Trimmed(SIValueE).empty();
  const bool english = Trimmed(EngValueE).empty();
  ConvertEnabled = si != english;
}

void TNewConstDlgModel::ApplyConvert() {
  CalcErrorCode = 0;
  FocusField = TNewConstField::None;
  // A value field: empty gives the blank value; text that is no number is
  // refused with the field focused.
  auto readValue = [&](const std::string& field, TNewConstField which, std::string& text, Extended& value) {
    text = Trimmed(field);
    if (text.empty()) {
      value = BlankValue;
      return true;
    }
    bool ok = false;
    value = ParseReal(text, ok);
    if (ok) return true;
    SetMessageArg(1, text);
    Refuse(kMsgIllegalCharacters);
    FocusField = which;
    CalcErrorCode = 100;
    return false;
  };
  if (!readValue(SIValueE, TNewConstField::SIValue, SIValueText, SIValue)) return;
  if (!readValue(EngValueE, TNewConstField::EngValue, EngValueText, EngValue)) return;
  SIUnits = Trimmed(SIUnitsE);
  EngUnits = Trimmed(EngUnitsE);
  if (SIUnits.empty() != EngUnits.empty()) {
    const bool siMissing = SIUnits.empty();
    SetMessageArg(1, siMissing ? "SI" : "English");
    Refuse(kMsgEnterUnits);
    FocusField = siMissing ? TNewConstField::SIUnits : TNewConstField::EngUnits;
    CalcErrorCode = kMsgEnterUnits;
    return;
  }
  const bool siBlank = IsBlank(SIValue);
  const bool englishBlank = IsBlank(EngValue);
  Extended factor = 1;
  std::string factorText;
  if (!siBlank && englishBlank) {
    ConvertUnitFactor(SIUnits, EngUnits, factor, factorText);
    if (CalcErrorCode == 0) {
      EngValue = SIValue * factor;
      EngValueText = ExponentialText(EngValue);
    }
  } else if (siBlank && !englishBlank) {
    ConvertUnitFactor(EngUnits, SIUnits, factor, factorText);
    if (CalcErrorCode == 0) {
      SIValue = EngValue * factor;
      SIValueText = ExponentialText(SIValue);
    }
  } else if (!siBlank && !englishBlank) {
    ConvertUnitFactor(EngUnits, SIUnits, factor, factorText);
    if (CalcErrorCode == 0 && std::fabs(SIValue - EngValue * factor) > std::fabs(SIValue * 0.001L)) {
      if (ShowAlert(GetMessageText(kMsgConstantUnitsInconsistent), kAlertInfoYesNo, true) != kResultYes) {
        CalcErrorCode = 100;
        FocusField = TNewConstField::EngValue;
      }
      return;
    }
  }
  if (CalcErrorCode != 0) {
    ShowAlert(GetMessageText(CalcErrorCode), kAlertWarningOk, true);
    FocusField = TNewConstField::SIUnits;
  }
}

bool TNewConstDlgModel::ConvertBtnClick() {
  ApplyConvert();
  const bool converted = CalcErrorCode == 0;
  // The dialog's errors are its own: none is left for the next command.
  CalcErrorCode = 0;
  if (!converted) return false;
  SIValueE = SIValueText;
  EngValueE = EngValueText;
  ValueChanged();
  return true;
}

bool TNewConstDlgModel::OKBtnClick() {
  FocusField = TNewConstField::None;
  std::string name = NameE;
  size_t lead = 0;
  while (lead < name.size() && name[lead] == ' ') ++lead;
  name.erase(0, lead);
  if (name.empty()) {
    FocusField = TNewConstField::Name;
    return false;
  }
  const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  if (name.back() != '#' || first < 'A' || first > 'Z') {
    Refuse(kMsgConstantNameForm);
    FocusField = TNewConstField::Name;
    return false;
  }
  // Cut to the stored length, the name keeps its final "#".
  if (name.size() > kConstantNameLength) name = name.substr(0, kConstantNameLength - 1) + "#";
  if (FindConstantPosition(name) >= 0) {
    Refuse(kMsgConstantNameInUse);
    FocusField = TNewConstField::Name;
    return false;
  }
  ApplyConvert();
  const bool accepted = CalcErrorCode == 0;
  CalcErrorCode = 0;
  if (!accepted) return false;
  // A constant without any value would be written as a line the next
  // start-up cannot read: a value is required.
  if (IsBlank(SIValue) && IsBlank(EngValue)) {
    Platform().Beep();
    FocusField = TNewConstField::SIValue;
    return false;
  }
  NewRecord = TConstantRecord{};
  NewRecord.Name = FieldText(name, kConstantNameLength);
  NewRecord.Description = FieldText(DescriptE, kConstantDescriptionLength);
  NewRecord.SIValueText = FieldText(SIValueText, kConstantFieldLength);
  NewRecord.EnglishValueText = FieldText(EngValueText, kConstantFieldLength);
  NewRecord.SIValue = SIValue;
  NewRecord.EnglishValue = EngValue;
  NewRecord.SIUnits = FieldText(SIUnits, kConstantFieldLength);
  NewRecord.EnglishUnits = FieldText(EngUnits, kConstantFieldLength);
  return true;
}

}  // namespace voq
