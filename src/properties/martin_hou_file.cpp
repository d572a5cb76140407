// ".MHE" user fluid files of the Martin-Hou model. After "//" comment
// lines and the name line come the molar mass, a marker line (400 for the
// blend layout) and the record fields, one number a line:
//   plain layout: fields 1..45, the viscosity block 66..78, the
//                 conductivity block 82..94;
//   blend layout: fields 1..7, six lines of two numbers (8+i and 48+i),
//                 fields 14..44, a count n and n fields from 55 on, then
//                 the two transport blocks.
// Line numbers of read errors count from the name line.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "properties/fluid_catalog.h"
#include "properties/martin_hou_substance.h"

namespace voq {

namespace {

constexpr int32_t kMaxBlendGroup = 11;  // fields 55..65, short of the viscosity block

class TMheLines {
 public:
  explicit TMheLines(std::string text) : text_(std::move(text)) {}
  bool AtEnd() const { return pos_ >= text_.size(); }
  std::string ReadLine() {
    std::string line;
    while (pos_ < text_.size() && text_[pos_] != '\n') line.push_back(text_[pos_++]);
    if (pos_ < text_.size()) ++pos_;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }

 private:
  std::string text_;
  size_t pos_ = 0;
};

// The first `count` numbers of a line (period decimals, optional exponent);
// text after them is ignored.
bool ParseNumbers(const std::string& line, int count, long double* values) {
  const char* p = line.c_str();
  for (int i = 0; i < count; ++i) {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const long double v = std::strtold(p, &end);
    if (end == p || errno == ERANGE || !std::isfinite(v)) return false;
    // The number must end at a separator, not run into other text.
    if (*end != '\0' && *end != ' ' && *end != '\t' && *end != ',') return false;
    values[i] = v;
    p = end;
    if (*p == ',') ++p;
  }
  return true;
}

void ReadError(const std::string& nameLine, int32_t line) {
  SetMessageArg(1, nameLine);
  SetMessageArg(2, std::to_string(line));
  CalcErrorCode = kMsgReadErrorOnLine;
}

// A record read to the end; false with error 336 set otherwise.
bool ReadRecord(TMheLines& in, MartinHouCoefRecord& record, Extended& molarMass, bool& blend) {
  std::string nameLine;
  do {
    nameLine = in.ReadLine();
  } while (nameLine.rfind("//", 0) == 0 && !in.AtEnd());
  int32_t line = 1;
  // Reads one line of `count` numbers; `last` says no number follows it.
  auto next = [&](int count, long double* values, bool last) {
    ++line;
    const bool ended = in.AtEnd();
    const std::string text = in.ReadLine();
    if (ended || !ParseNumbers(text, count, values) || (in.AtEnd() && !last)) {
      ReadError(nameLine, line);
      return false;
    }
    return true;
  };
  auto field = [&](int index, bool last = false) {
    long double value = 0;
    if (!next(1, &value, last)) return false;
    record[index] = static_cast<double>(value);
    return true;
  };
  long double mass = 0;
  if (!next(1, &mass, false) || !field(kMhFormatMarker)) return false;
  blend = std::fabs(record[kMhFormatMarker] - 400) < 0.001;
  if (!blend) {
    for (int i = 1; i <= kMhBlendValue; ++i) {
      if (!field(i)) return false;
    }
  } else {
    for (int i = kMhAf; i <= kMhGf; ++i) {
      if (!field(i)) return false;
    }
    for (int i = 0; i <= 5; ++i) {
      long double pair[2] = {0, 0};
      if (!next(2, pair, false)) return false;
      record[kMhVP1 + i] = static_cast<double>(pair[0]);
      record[kMhDP1 + i] = static_cast<double>(pair[1]);
    }
    for (int i = kMhR; i <= kMhVc + 1; ++i) {
      if (!field(i)) return false;
    }
    long double count = 0;
    if (!next(1, &count, false)) return false;
    // The group fills fields 55 on; more than 11 would reach the viscosity
    // block and beyond the record.
    if (count != std::floor(count) || count < 0 || count > kMaxBlendGroup) {
      ReadError(nameLine, line);
      return false;
    }
    for (int i = 0; i < static_cast<int>(count); ++i) {
      if (!field(55 + i)) return false;
    }
  }
  for (int i = 0; i < 13; ++i) {
    if (!field(kMhViscosityBlock + i)) return false;
  }
  for (int i = 0; i < 13; ++i) {
    if (!field(kMhConductivityBlock + i, i == 12)) return false;
  }
  molarMass = mass;
  record[kMhFormatMarker] = static_cast<double>(mass);
  if (blend) {
    record[kMhBlendValue] = 1.0;
    record[46] = 0;
    record[47] = 0;
  } else {
    // A plain file has no dew-pressure or latent-heat fits, whatever its
    // 45th value says: the equation of state must not read them.
    record[kMhBlendValue] = 0;
  }
  return true;
}

}  // namespace

void ReadMartinHouFile(const std::string& fileName, int32_t row, Extended& molarMass, uint8_t& isBlend) {
  if (row < 1 || row > kMartinHouTableSize || row >= static_cast<int32_t>(SubstanceCatalog.size())) {
    SetCalcError(kMsgSubstanceDataUnavailable, "Martin-Hou");
    return;
  }
  TFluidCatalogRecord& entry = SubstanceCatalog[static_cast<size_t>(row)];
  std::unique_ptr<MartinHouCoefRecord>& slot = MartinHouCoefTable[static_cast<size_t>(row)];
  // The catalogue row marks the file read in this run (registering the
  // file clears the mark); the table keeps the record objects refer to.
  if (slot && entry.ModelData) {
    molarMass = (*slot)[kMhFormatMarker];
    isBlend = (*slot)[kMhBlendValue] > 0 ? 1 : 0;
    return;
  }
  std::ifstream file(fileName, std::ios::binary);
  if (!file) {
    const int error = errno != 0 ? errno : 2;
    SetMessageArg(1, std::to_string(error));
    SetMessageArg(2, fileName);
    CalcErrorCode = kMsgFileReadIOError;
    MessageText = GetMessageText(kMsgFileReadIOError);
    return;
  }
  std::stringstream buffer;
  buffer << file.rdbuf();
  file.close();
  TMheLines in(buffer.str());
  // Every field starts at zero: what no line fills is zero.
  MartinHouCoefRecord record{};
  Extended mass = 0;
  bool blend = false;
  if (!ReadRecord(in, record, mass, blend)) return;
  // Objects made before the file was registered again keep their
  // reference: the record is refilled in place.
  if (slot) {
    *slot = record;
  } else {
    slot = std::make_unique<MartinHouCoefRecord>(record);
  }
  entry.ModelData = std::shared_ptr<void>(std::shared_ptr<void>(), slot.get());
  // From the record, as every later object of the fluid gets it.
  molarMass = record[kMhFormatMarker];
  isBlend = record[kMhBlendValue] > 0 ? 1 : 0;
}

TMartinHouSubstance* CreateMartinHouFromFile(int32_t row) {
  auto* object = new TMartinHouSubstance();
  object->FluidNumber = row;
  object->PlotTLow = -999;
  object->PlotTHigh = -999;
  object->PlotPLow = -999;
  object->PlotPHigh = 0;
  const std::string fileName = row > 0 && row < static_cast<int32_t>(SubstanceCatalog.size())
                                   ? SubstanceCatalog[static_cast<size_t>(row)].FileName
                                   : std::string();
  Extended molarMass = 0;
  uint8_t isBlend = 0;
  ReadMartinHouFile(fileName, row, molarMass, isBlend);
  if (CalcErrorCode <= 0) {
    object->Coefficients = MartinHouCoefTable[static_cast<size_t>(row)].get();
    object->MolarMassValue = molarMass;
    object->IsBlend = isBlend;
  }
  return object;
}

}  // namespace voq
