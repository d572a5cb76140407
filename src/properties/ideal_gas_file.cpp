// Ideal gases defined by user ".IDG" files: molar mass, reference state, a
// specific-heat correlation (a sum of powers of T/CpDivisor, or the
// hyperbolic form A + B((C/T)/sinh(C/T))^2 + D((E/T)/cosh(E/T))^2 in
// J/kmol-K), transport correlations and optional critical data. The file is
// read by the first object of the gas; later objects copy the data cached
// in the catalogue row.
#include <cmath>
#include <fstream>
#include <sstream>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "model/warnings_window.h"
#include "properties/fluid_catalog.h"
#include "properties/ideal_gas.h"

namespace voq {

namespace {

// The values of a fluid file as a stream of numbers: a value is read after
// any blanks and line ends, up to a blank, a tab or the line end; NextLine
// passes over the rest of the line. A value missing at the end of the file
// reads as 0.
class TValueReader {
 public:
  explicit TValueReader(std::string text) : text_(std::move(text)) {}

  std::string ReadLine() {
    std::string line;
    while (pos_ < text_.size() && text_[pos_] != '\n') line.push_back(text_[pos_++]);
    if (pos_ < text_.size()) ++pos_;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line.size() > 255 ? line.substr(0, 255) : line;
  }
  // False when the text there is not a number.
  bool ReadValue(Extended& value) {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    value = 0;
    if (pos_ >= text_.size()) return true;
    std::string token;
    while (pos_ < text_.size() && !IsSpace(text_[pos_])) token.push_back(text_[pos_++]);
    if (token.size() > 64) return false;
    return ParsePlain(token, value);
  }
  void NextLine() {
    while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
    if (pos_ < text_.size()) ++pos_;
  }
  bool AtEnd() const { return pos_ >= text_.size(); }

 private:
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  // A number written with a period, optionally signed, with an exponent.
  static bool ParsePlain(const std::string& token, Extended& value) {
    size_t i = 0;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    bool digits = false;
    while (i < token.size() && std::isdigit(static_cast<unsigned char>(token[i]))) { ++i; digits = true; }
    if (i < token.size() && token[i] == '.') {
      ++i;
      while (i < token.size() && std::isdigit(static_cast<unsigned char>(token[i]))) { ++i; digits = true; }
    }
    if (!digits) return false;
    if (i < token.size() && (token[i] == 'E' || token[i] == 'e')) {
      ++i;
      if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
      bool expDigits = false;
      while (i < token.size() && std::isdigit(static_cast<unsigned char>(token[i]))) { ++i; expDigits = true; }
      if (!expDigits) return false;
    }
    if (i != token.size()) return false;
    std::istringstream in(token);
    in.imbue(std::locale::classic());
    in >> value;
    return !in.fail();
  }

  std::string text_;
  size_t pos_ = 0;
};

class TUserGas final : public TIdealGasSubstance {
 public:
  int32_t Row = 0;

  std::string GasName() const override {
    if (Row > 0 && Row < static_cast<int32_t>(SubstanceCatalog.size())) {
      return SubstanceCatalog[static_cast<size_t>(Row)].Name;
    }
    return std::string();
  }

  Extended EnthalpyT(Extended T) override {
    const TIdealGasDataRecord& d = *Data;
    if ((T < d.CpTMin || T > d.CpTMax) && CalcErrorCode == 0 && !SuppressWarnings && Preferences.WarningsB != 0) {
      TDisplayFormat f;
      ChooseNumberDigits(f, 4, d.CpTMax);
      MessageText = GasName() + GetMessageText(kMsgCorrelationRange) + RealToStr(f, d.CpTMin) + "<T<" +
                    RealToStr(f, d.CpTMax) + " K. " + " " + GetMessageText(kMsgSuppressWarningsHint);
      AddWarning(MessageText);
    }
    Extended h = 0;
    if (d.CpDivisor >= 0) {
      const Extended theta = T / d.CpDivisor;
      for (size_t i = 1; i <= 10; ++i) {
        const Extended a = d.CpCoef[i];
        const Extended n = d.CpExponent[i];
        if (a == 0) continue;
        h += n == -1 ? a * SafeLn(theta) : a * PowerReal(theta, n + 1) / (n + 1);
      }
      h *= d.CpDivisor;
    } else {
      h = (HyperH(T) - HyperH(d.RefT)) / 1000;
    }
    if (DocumentSettings.MolarBasis == 0) h /= d.MolarMass;
    return h + HOffset;
  }

  Extended EntropyT(Extended T) override {
    const TIdealGasDataRecord& d = *Data;
    Extended s = 0;
    if (d.CpDivisor >= 0) {
      const Extended theta = T / d.CpDivisor;
      for (size_t i = 1; i <= 10; ++i) {
        const Extended a = d.CpCoef[i];
        const Extended n = d.CpExponent[i];
        if (a == 0) continue;
        s += n == 0 ? a * SafeLn(theta) : a * PowerReal(theta, n) / n;
      }
    } else {
      s = (HyperS(T) - HyperS(d.RefT)) / 1000;
    }
    if (DocumentSettings.MolarBasis == 0) s /= d.MolarMass;
    return s + SOffset;
  }

 private:
  Extended HyperH(Extended T) const {
    const auto& c = Data->CpCoef;
    return c[1] * T + c[2] * c[3] / std::tanh(c[3] / T) - c[4] * c[5] * std::tanh(c[5] / T);
  }
  Extended HyperS(Extended T) const {
    const auto& c = Data->CpCoef;
    const Extended x = c[3] / T, y = c[5] / T;
    return c[1] * std::log(T) + c[2] * (x / std::tanh(x) - std::log(std::sinh(x))) -
           c[4] * (y * std::tanh(y) - std::log(std::cosh(y)));
  }
};

void ReadError(const std::string& firstLine, int32_t line) {
  SetMessageArg(1, firstLine);
  SetMessageArg(2, std::to_string(line));
  CalcErrorCode = kMsgReadErrorOnLine;
}

// Fills the object's record and constants from the file (or the row's cache).
void ReadIdealGasFile(TUserGas& g, const std::string& fileName) {
  TFluidCatalogRecord& row = SubstanceCatalog[static_cast<size_t>(g.Row)];
  if (row.ModelData) {
    const auto cached = std::static_pointer_cast<TIdealGasDataRecord>(row.ModelData);
    g.Data = std::make_shared<TIdealGasDataRecord>(*cached);
  } else {
    g.Data = std::make_shared<TIdealGasDataRecord>();
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
      SetMessageArg(1, "2");
      SetMessageArg(2, fileName);
      CalcErrorCode = kMsgFileReadIOError;
      return;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    TValueReader r(buffer.str());
    TIdealGasDataRecord& d = *g.Data;
    const std::string first = r.ReadLine();
    int32_t line = 1;
    auto value = [&](Extended& x) {
      ++line;
      if (!r.ReadValue(x)) {
        ReadError(first, line);
        return false;
      }
      r.NextLine();
      return true;
    };
    if (!value(d.MolarMass) || !value(d.CpDivisor) || !value(d.CpTMin) || !value(d.CpTMax)) return;
    for (size_t i = 1; i <= 10; ++i) {
      ++line;
      if (!r.ReadValue(d.CpCoef[i]) || !r.ReadValue(d.CpExponent[i])) {
        ReadError(first, line);
        return;
      }
      r.NextLine();
      if (r.AtEnd()) {
        ReadError(first, line);
        return;
      }
    }
    if (!value(d.RefT) || !value(d.RefP) || !value(d.RefH) || !value(d.RefS) || !value(d.ViscosityForm) ||
        !value(d.ConductivityForm) || !value(d.ViscosityTMin) || !value(d.ViscosityTMax)) {
      return;
    }
    for (size_t i = 1; i <= 6; ++i) {
      if (!value(d.ViscosityCoef[i])) return;
    }
    if (!value(d.ConductivityTMin) || !value(d.ConductivityTMax)) return;
    for (size_t i = 1; i <= 6; ++i) {
      if (!value(d.ConductivityCoef[i])) return;
    }
    d.ViscosityCoef[7] = 0;
    d.ConductivityCoef[7] = 0;
    d.TCrit = 0;
    d.PCrit = 0;
    d.VCrit = 0;
    d.AcentricFactor = -1;
    // The critical data are a stream of numbers that may share lines; what
    // cannot be read stays unavailable.
    Extended x = 0;
    if (r.ReadValue(x) && x > 0) {
      d.TCrit = x;
      if (r.ReadValue(x)) d.PCrit = x;
      if (r.ReadValue(x)) d.VCrit = x;
      if (r.ReadValue(x)) d.AcentricFactor = x;
    }
    row.ModelData = std::make_shared<TIdealGasDataRecord>(d);
  }
  const TIdealGasDataRecord& d = *g.Data;
  g.M = d.MolarMass;
  g.RefT = d.RefT;
  g.RefP = d.RefP;
  g.RefH = d.RefH;
  g.RefS = d.RefS;
  g.PlotTMin = d.CpTMin;
  g.PlotTMax = d.CpTMax;
}

}  // namespace

TIdealGasSubstance* CreateGasFromFile(int32_t row) {
  auto* g = new TUserGas();
  g->Row = row;
  g->GasId = row;
  g->HelpContext = 0;
  if (row <= 0 || row >= static_cast<int32_t>(SubstanceCatalog.size())) {
    g->Data = std::make_shared<TIdealGasDataRecord>();
    SetCalcError(kMsgSubstanceDataUnavailable, "Ideal gas");
    return g;
  }
  ReadIdealGasFile(*g, SubstanceCatalog[static_cast<size_t>(row)].FileName);
  // A divisor of zero would divide by zero in every call: refused as an
  // unreadable line 3.
  if (CalcErrorCode <= 0 && g->Data->CpDivisor == 0) {
    SetMessageArg(1, SubstanceCatalog[static_cast<size_t>(row)].Name);
    SetMessageArg(2, "3");
    CalcErrorCode = kMsgReadErrorOnLine;
    SubstanceCatalog[static_cast<size_t>(row)].ModelData.reset();
  }
  g->R = 8.31434L;
  g->GuessCp = 30;
  if (g->M <= 0 && CalcErrorCode > 0) g->M = 1;  // keeps a failed object finite
  g->SetReferenceState();
  return g;
}

}  // namespace voq
