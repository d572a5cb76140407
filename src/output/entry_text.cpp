#include "output/entry_text.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/numeric_library.h"
#include "core/string_constants.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/display_names.h"
#include "output/drawing.h"
#include "output/format_codes.h"
#include "session/min_max.h"
#include "session/uncertainty.h"

namespace voq {

namespace {

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

Canvas& CanvasOf(TEntryPage& page) { return *page.Target; }

TDisplayFormat FormatOf(const TVariableRecord& v) { return TDisplayFormat{v.Style, v.Digits}; }

TVariableRecord* CurrentVariable(int32_t index) {
  return CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(index) : nullptr;
}

TVariableRecord* MainVariable(int32_t index) {
  return MainProgramUnit != nullptr ? MainProgramUnit->Variable(index) : nullptr;
}

// Text drawn at (x, y) in the canvas's current font and colour; returns its
// width.
int32_t DrawAt(TEntryPage& page, int32_t x, int32_t y, const std::string& text) {
  Canvas& canvas = CanvasOf(page);
  canvas.TextOut(x, y, text);
  return canvas.TextWidth(text);
}

std::vector<std::string> SplitAtUnderscores(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t next = text.find('_', start);
    parts.push_back(text.substr(start, next == std::string::npos ? std::string::npos : next - start));
    if (next == std::string::npos) break;
    start = next + 1;
  }
  return parts;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  size_t at = 0;
  while ((at = text.find(from, at)) != std::string::npos) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
}

}  // namespace

std::array<TCanvasFont, 7> DisplayCanvasFonts(int32_t pixelsPerInch) {
  std::array<TCanvasFont, 7> fonts{};
  TCanvasFont base;
  base.Face = DisplayFontFace(Preferences.DisplayFont);
  base.Height = std::max(1, DisplayFontPoints(Preferences.DisplayFontSize) * pixelsPerInch / 72);
  fonts[0] = base;
  fonts[kFontNormal] = base;
  fonts[kFontBold] = base;
  fonts[kFontBold].Bold = true;
  fonts[kFontItalic] = base;
  fonts[kFontItalic].Italic = true;
  fonts[kFontSmall] = base;
  fonts[kFontSmall].Height = std::max(1, base.Height - 2);
  fonts[kFontSymbol] = base;
  fonts[kFontSymbol].Face = "Symbol";
  fonts[kFontSymbol].Height = base.Height + 1;
  fonts[kFontSmallSymbol] = fonts[kFontSymbol];
  fonts[kFontSmallSymbol].Height = std::max(1, base.Height - 2);
  return fonts;
}

TEntryPage MakeEntryPage(Canvas& canvas) {
  TEntryPage page;
  page.Target = &canvas;
  page.Fonts = DisplayCanvasFonts(96);
  canvas.SetFont(page.Fonts[kFontNormal]);
  // The cell: the width of an average character, the height of a line.
  const std::string sample = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  page.CharWidth = std::max(1, (canvas.TextWidth(sample) + 26) / 52);
  page.LineHeight = std::max(1, canvas.TextHeight(sample) + 2);
  return page;
}

int32_t ColumnX(const TEntryPage& page, int32_t column) {
  return column * page.CharWidth + (page.Printing ? page.LeftMargin : 0);
}

int32_t LineY(const TEntryPage& page, int32_t line) { return line * page.LineHeight + page.TopOffset; }

void SelectmyFont(TEntryPage& page, int32_t kind) {
  int32_t font = kFontNormal;
  switch (kind) {
    case 2:
    case 6: font = kFontBold; break;
    case 3: font = kFontItalic; break;
    case 4: font = kFontSmall; break;
    case 5:
    case 7: font = kFontSymbol; break;
    default: break;
  }
  CanvasOf(page).SetFont(page.Fonts[static_cast<size_t>(font)]);
}

void ResetFont(TEntryPage& page) { SelectmyFont(page, kFontNormal); }

void doBoldFont(TEntryPage& page) { SelectmyFont(page, kFontBold); }

int32_t TextWidthP(TEntryPage& page, const std::string& text) { return CanvasOf(page).TextWidth(text); }

int32_t TextHeightP(TEntryPage& page, const std::string& text) { return CanvasOf(page).TextHeight(text); }

bool OktoPrint(const TEntryPage& page, int32_t line) {
  if (page.Printing || page.RecordingPicture) return true;
  const int32_t top = LineY(page, line);
  return top >= page.ScrollY - page.LineHeight && page.ClientHeight + page.ScrollY >= top;
}

void WriteStr(TEntryPage& page, int32_t column, int32_t line, const std::string& text, int32_t kind,
              int32_t colourIndex) {
  Canvas& canvas = CanvasOf(page);
  switch (kind) {
    case kTextNormal:
    case kTextRed:
    case kTextBlue:
    case kTextGreen: SelectmyFont(page, kFontNormal); break;
    case kTextSymbol:
    case kTextSymbolPlain: SelectmyFont(page, kFontSymbol); break;
    case kTextBold: SelectmyFont(page, kFontBold); break;
    default: break;
  }
  if (page.ColorOutput) {
    TRgb colour = page.WindowTextColor;
    if (kind == kTextRed) colour = kRgbRed;
    if (kind == kTextBlue) colour = kRgbBlue;
    if (kind == kTextGreen) colour = kRgbGreen;
    if (colourIndex > 0) colour = ForeColorOfIndex(colourIndex);
    canvas.SetTextColor(colour);
  }
  canvas.SetTransparentText(true);
  const int32_t y = LineY(page, line);
  canvas.TextOut(ColumnX(page, column), y, text);
  page.LastLineY = y;
  page.LastTextWidth = canvas.TextWidth(text);
  ResetFont(page);
}

void DrawVariableName(TEntryPage& page, int32_t& column, int32_t line, const std::string& name,
                      int32_t backIndex, int32_t foreIndex, int32_t kind) {
  Canvas& canvas = CanvasOf(page);
  // An array element's indices are drawn lowered: X[3] as X_3.
  std::string source = name;
  const size_t open = source.find('[');
  if (open != std::string::npos) {
    const size_t close = source.rfind(']');
    if (close != std::string::npos && close > open) source.erase(close, 1);
    source[open] = '_';
  }
  if (!page.PrintPreview) canvas.SetTransparentText(true);
  bool greek = false;
  std::string text = source;
  DisplayVarName(text, 255, greek);
  // The accent markers become "_" markers the steps below read; "|" (before
  // a raised plus) becomes "_" and character 14.
  ReplaceAll(text, "\\_", "__");
  ReplaceAll(text, "\\^", "_^");
  ReplaceAll(text, "\\.", "_.");
  ReplaceAll(text, "|", std::string("_") + static_cast<char>(14));

  const int32_t nameKind = greek ? kTextSymbol : kind;
  int32_t e = 0;
  const size_t underscore = text.find('_');
  if (underscore == std::string::npos || Preferences.ShowSubscripts == 0) {
    WriteStr(page, column, line, text, nameKind, foreIndex);
    e = page.LastTextWidth;
  } else {
    const std::string base = text.substr(0, underscore);
    std::string rest = text.substr(underscore + 1);
    WriteStr(page, column, line, base, nameKind, foreIndex);
    e = page.LastTextWidth;
    const TRgb colour = page.ColorOutput ? (foreIndex > 0 ? ForeColorOfIndex(foreIndex) : canvas.TextColor())
                                         : canvas.TextColor();
    if (page.ColorOutput) {
      canvas.SetTextColor(colour);
      canvas.SetBackgroundColor(BackColorOfIndex(backIndex));
    }
    const int32_t x0 = ColumnX(page, column);
    const int32_t y = LineY(page, line);
    // A DELTA name: the rest joins the letter on the same baseline.
    if (!rest.empty() && rest[0] == '@') {
      bool restGreek = false;
      std::string joined = rest.substr(1);
      DisplayVarName(joined, 255, restGreek);
      const size_t next = joined.find('_');
      const std::string piece = joined.substr(0, next);
      SelectmyFont(page, restGreek ? kFontSymbol : kFontNormal);
      e += DrawAt(page, x0 + e, y, piece);
      rest = next == std::string::npos ? std::string() : joined.substr(next + 1);
    }
    bool accent = false;
    if (!rest.empty()) {
      const char first = rest[0];
      if (first == '_') {
        DrawBarAccent(canvas, base, x0, page.Scale, e, y + 1);
        accent = true;
      } else if (first == '^') {
        if (base.size() < 3) DrawHatAccent(canvas, base, x0, page.Scale, e, y + page.LineHeight / 5 + 1);
        accent = true;
      } else if (first == '.') {
        const int32_t r = std::max(1, Round(page.Scale));
        const int32_t cx = x0 + e / 2;
        canvas.FillEllipse(TRect{cx - r, y - r + 2, cx + r, y + r + 2}, kRgbBlack);
        accent = true;
      }
      if (accent) rest.erase(0, 1);
    }
    const int32_t subStart = e;
    int32_t superWidth = -1;
    if (!rest.empty() && rest[0] == static_cast<char>(14)) {
      rest.erase(0, 1);
      const size_t next = rest.find('_');
      const std::string raised = rest.substr(0, next);
      SelectmyFont(page, kFontSmall);
      superWidth = DrawAt(page, x0 + subStart, y - page.LineHeight / 3, raised);
      rest = next == std::string::npos ? std::string() : rest.substr(next + 1);
    }
    int32_t subWidth = 0;
    if (!rest.empty() || accent) {
      const std::vector<std::string> parts = rest.empty() ? std::vector<std::string>{} : SplitAtUnderscores(rest);
      for (size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        bool partGreek = false;
        std::string part = parts[i];
        DisplayVarName(part, 255, partGreek);
        int32_t partY = y + page.LineHeight / 3;
        if (last && accent) {
          SelectmyFont(page, partGreek ? kFontSymbol : kFontNormal);
          partY = y;
        } else {
          SelectmyFont(page, partGreek ? kFontSmallSymbol : kFontSmall);
        }
        subWidth += DrawAt(page, x0 + subStart + subWidth, partY, part);
        if (!last && !(accent && i == 0)) {
          SelectmyFont(page, kFontSmall);
          subWidth += DrawAt(page, x0 + subStart + subWidth, y + page.LineHeight / 3, ",");
        }
      }
    }
    e = subStart + subWidth;
    if (superWidth >= 0 && subWidth < superWidth) e = subStart + superWidth;
  }
  column += (e + page.CharWidth - 2) / page.CharWidth;
  ResetFont(page);
}

std::string BracketUnitsPlain(const std::string& units) {
  if (units.empty()) return std::string();
  return ("[" + units.substr(0, 30) + "]").substr(0, 30);
}

std::string BracketUnits(const std::string& units) {
  if (units.empty()) return std::string();
  std::string text = units.substr(0, 30);
  if (text.back() == '$') StringVarText(text, 0, text);
  if (text.empty()) return std::string();
  return ("[" + text + "]").substr(0, 30);
}

void WriteNiceUnits(TEntryPage& page, const std::string& units, int32_t column, int32_t line) {
  if (units.empty()) return;
  Canvas& canvas = CanvasOf(page);
  std::string text = BracketUnits(units);
  ReplaceAll(text, "**", "^");
  ResetFont(page);
  if (page.ColorOutput) {
    canvas.SetTextColor(kRgbBlue);
    canvas.SetBackgroundColor(page.WindowColor);
  }
  canvas.SetTransparentText(true);
  const int32_t raise = Round(2 * page.Scale);
  const int32_t lower = Round(6 * page.Scale);
  int32_t x = ColumnX(page, column);
  const int32_t y = LineY(page, line);
  int32_t shift = 0;
  int32_t depth = 0;
  bool raised = false;
  bool lowered = false;
  static const std::string kTerminators = " ]*/\\-)";
  for (const char c : text) {
    if (c == '^') {
      shift -= raise;
      SelectmyFont(page, kFontSmall);
      raised = true;
      continue;
    }
    const bool terminator = kTerminators.find(c) != std::string::npos;
    if (!terminator || depth > 0) {
      if (c == '(') ++depth;
      if (c == ')' && depth > 0) --depth;
      if (c == '_') {
        if (!lowered) {
          shift += lower;
          SelectmyFont(page, kFontSmall);
          lowered = true;
          raised = false;
        } else {
          x += DrawAt(page, x, y + shift, ",");
        }
        continue;
      }
      x += DrawAt(page, x, y + shift, std::string(1, c));
      continue;
    }
    // A terminator at depth 0 ends a raised or lowered run.
    if (c == ')') x += DrawAt(page, x, y + shift, ")");
    if (lowered) shift -= lower;
    if (raised) shift += raise;
    lowered = false;
    raised = false;
    ResetFont(page);
    if (c != ')') x += DrawAt(page, x, y + shift, std::string(1, c));
  }
  ResetFont(page);
}

std::string VariableValueText(const TVariableRecord& variable) {
  if (variable.IsString != 0) {
    return "'" + StringConstText(static_cast<int32_t>(std::llround(variable.Value))) + "'";
  }
  return FormatValue(FormatOf(variable), variable.Value);
}

bool HasComplexPartner(int32_t& partner) {
  const TVariableRecord* v = CurrentVariable(partner);
  if (v != nullptr && v->UnknownPosition != 0) return true;
  partner = 0;
  return false;
}

std::string ComplexValueText(int32_t realIndex, int32_t imagIndex, int32_t complexStyle) {
  int32_t r = realIndex;
  int32_t m = imagIndex;
  int32_t s = complexStyle;
  const TVariableRecord* rv = CurrentVariable(r);
  if (r > 0 && rv != nullptr && rv->ComplexPart == 1) {
    std::swap(r, m);
    s = -1;
  }
  rv = r > 0 ? CurrentVariable(r) : nullptr;
  const TVariableRecord* mv = m > 0 ? CurrentVariable(m) : nullptr;
  const Extended re = rv != nullptr ? rv->Value : 0;
  const Extended im = mv != nullptr ? mv->Value : 0;
  if (s <= 0) {
    std::string text;
    if (rv != nullptr) {
      text = FormatValue(FormatOf(*rv), re) + " ";
      // A vanishing real part of an automatic format gives way to a
      // noticeable imaginary part.
      if (rv->Style == kStyleAutomatic && std::fabs(re) < 1E-6L && mv != nullptr && std::fabs(im) > 1E-6L) {
        text.clear();
      }
    }
    if (mv != nullptr) {
      const bool vanishing = mv->Style == kStyleAutomatic && std::fabs(im) < 1E-6L;
      if (!vanishing || s == -1) {
        text += im < 0 ? "- " : "+ ";
        text += FormatValue(FormatOf(*mv), std::fabs(im));
        text += " ";
        text += Preferences.ImaginaryJ != 0 ? "j" : "i";
      }
    }
    if (!text.empty() && text[0] == '+') text.erase(0, std::min<size_t>(2, text.size()));
    return text;
  }
  Extended magnitude = 0;
  Extended angle = 0;
  ComplexToPolar(magnitude, angle, re, im);
  if (s == 1) angle = angle * 180 / 3.14159265358979323846L;
  const TDisplayFormat format = rv != nullptr ? FormatOf(*rv) : (mv != nullptr ? FormatOf(*mv) : TDisplayFormat{});
  std::string text = FormatValue(format, magnitude) + kPolarAngleSign + FormatValue(format, angle);
  if (s == 1) text += kDegreeSign;
  return text;
}

Extended VariableUncertainty(int32_t v) {
  const TVariableRecord* var = MainVariable(v);
  if (var == nullptr) return 0;
  Extended u = var->Uncertainty;
  const int32_t count = std::clamp<int32_t>(UncertaintySettings.MeasuredCount, 0, kMaxMeasuredVariables);
  for (int32_t k = 1; k <= count; ++k) {
    if (UncertaintySettings.MeasuredVariables[static_cast<size_t>(k)] != v) continue;
    const TVariableRecord* source = MainVariable(UncertaintySettings.UncertaintyVariables[static_cast<size_t>(k)]);
    if (source != nullptr) u = source->Value;
    break;
  }
  if (IsBlank(u)) return 0;
  if (var->UncertaintyIsRelative != 0) u *= var->Value;
  return u;
}

std::string UncertaintyText(int32_t v) {
  if (!UncertaintyMode) return std::string();
  const TVariableRecord* var = MainVariable(v);
  if (var == nullptr || var->IsString != 0) return std::string();
  return std::string(1, kPlusMinusSign) + FormatValue(FormatOf(*var), VariableUncertainty(v));
}

bool UncertaintyListPosition(int32_t v, int32_t& position) {
  if (!UncertaintyMode) {
    position = -1;
    return true;
  }
  if (CurrentProgramUnit != MainProgramUnit) return false;
  if (v == UncertaintySettings.CalculatedVariable) {
    position = 0;
    return true;
  }
  const int32_t count = std::clamp<int32_t>(UncertaintySettings.MeasuredCount, 0, kMaxMeasuredVariables);
  for (int32_t k = 1; k <= count; ++k) {
    if (UncertaintySettings.MeasuredVariables[static_cast<size_t>(k)] == v) {
      position = k;
      return true;
    }
  }
  return false;
}

std::string UncertaintyShareText(int32_t k, int32_t v) {
  Extended share = 0;
  if (k >= 1 && k <= kMaxMeasuredVariables) {
    const Extended total = VariableUncertainty(UncertaintySettings.CalculatedVariable);
    if (total != 0) {
      const Extended part = UncertaintySettings.PartialDerivatives[static_cast<size_t>(k)] * VariableUncertainty(v);
      share = part * part / (total * total) * 100;
    }
  }
  DefaultDisplayFormat = TDisplayFormat{kStyleFixed, 2};
  return FormatValue(DefaultDisplayFormat, share) + " %";
}

void DrawUncertaintyRow(TEntryPage& page, int32_t line, int32_t columnWidth, int32_t v, int32_t k,
                        int32_t kind, int32_t foreIndex) {
  const TVariableRecord* var = MainVariable(v);
  const TVariableRecord* calculated = MainVariable(UncertaintySettings.CalculatedVariable);
  if (var == nullptr || calculated == nullptr || k < 1 || k > kMaxMeasuredVariables) return;
  int32_t column = columnWidth + 5;
  const std::string partial(1, kSymbolPartial);
  WriteStr(page, column, line, partial, kTextSymbolPlain, 0);
  column += (page.LastTextWidth + page.CharWidth - 1) / page.CharWidth;
  DrawVariableName(page, column, line, calculated->Name, 0, foreIndex, kind);
  WriteStr(page, column, line, "/", kind, foreIndex);
  column += (page.LastTextWidth + page.CharWidth - 1) / page.CharWidth;
  WriteStr(page, column, line, partial, kTextSymbolPlain, 0);
  column += (page.LastTextWidth + page.CharWidth - 1) / page.CharWidth;
  DrawVariableName(page, column, line, var->Name, 0, foreIndex, kind);
  const std::string derivative =
      " = " + FormatValue(FormatOf(*var), UncertaintySettings.PartialDerivatives[static_cast<size_t>(k)]) + " ";
  WriteStr(page, column, line, derivative, kind, foreIndex);
  // The share, centred under the title "% of uncertainty".
  const std::string share = UncertaintyShareText(k, v);
  const int32_t titleWidth = TextWidthP(page, "% of uncertainty");
  const int32_t shareColumn = ((titleWidth - (static_cast<int32_t>(share.size()) + 1) * page.CharWidth) / 2 +
                               (2 * columnWidth + 7) * page.CharWidth) /
                              page.CharWidth;
  WriteStr(page, shareColumn, line, share, kind, foreIndex);
}

void DrawSolutionEntry(TEntryPage& page, int32_t& column, int32_t line, int32_t v) {
  TVariableRecord* var = CurrentVariable(v);
  if (var == nullptr) return;
  int32_t fore = 0;
  int32_t back = 0;
  int32_t hilite = 0;
  int32_t complexStyle = 0;
  UnpackFormatCode(std::abs(static_cast<int32_t>(var->DisplayCode)), fore, back, hilite, complexStyle);
  const int32_t kind = hilite == kHiliteBold ? kTextBold : kTextNormal;
  const bool complexEntry = Preferences.ComplexMode != 0 && var->IsString == 0;
  int32_t partner = var->PartnerVariable;
  std::string name = var->Name;
  std::string valueText;
  if (complexEntry) {
    if (HasComplexPartner(partner) && name.size() >= 2) name.resize(name.size() - 2);
    valueText = " = " + ComplexValueText(v, partner, complexStyle) + " ";
  } else {
    valueText = " = " + VariableValueText(*var) + UncertaintyText(v) + " ";
  }
  DrawVariableName(page, column, line, name, back, fore, kind);
  // The angle sign and the units keep their kind's colour.
  auto write = [&](const std::string& text, int32_t textKind) {
    WriteStr(page, column, line, text, textKind, (textKind == kTextSymbol || textKind == kTextBlue) ? 0 : fore);
    column += (page.LastTextWidth + page.CharWidth - 1) / page.CharWidth;
  };
  const size_t angle = complexEntry ? valueText.find(kPolarAngleSign) : std::string::npos;
  if (angle != std::string::npos) {
    write(valueText.substr(0, angle), kind);
    write(std::string(1, kSymbolAngle), kTextSymbol);
    write(valueText.substr(angle + 1), kind);
  } else {
    write(valueText, kind);
  }
  if (var->IsString != 0) return;
  if (Preferences.ShowSubscripts != 0) {
    WriteNiceUnits(page, var->Units, column, line);
  } else {
    const std::string units = BracketUnits(var->Units);
    if (!units.empty()) write(units, kTextBlue);
  }
}

std::string UnitSettingsText() {
  const TDocumentSettingsRecord& s = DocumentSettings;
  const std::string angle = s.AngleUnit == 0 ? "[degrees]" : "[radians]";
  if (Preferences.ComplexMode != 0) return "Complex Number Mode: Angular values in " + angle;
  const bool si = s.UnitSystem == 0;
  std::string text = "Unit Settings: ";
  if (si) text += s.EnergyUnit == 0 ? "[J]/" : "[kJ]/";
  if (si) {
    text += s.AbsoluteTemperature == 0 ? "[C]" : "[K]";
  } else {
    text += s.AbsoluteTemperature == 0 ? "[F]" : "[R]";
  }
  text += "/";
  switch (s.PressureUnit) {
    case 0: text += si ? "[kPa]" : "[psia]"; break;
    case 1: text += si ? "[bar]" : "[atm]"; break;
    case 2: text += "[Pa]"; break;
    default: text += "[MPa]"; break;
  }
  text += "/";
  if (s.MolarBasis == 0) {
    text += si ? "[kg]" : "[lbm]";
  } else {
    text += si ? "[kmol]" : "[lbmol]";
  }
  text += "/" + angle;
  return text;
}

std::string MinMaxHeaderText() {
  std::string text = MinMaxSetup.Maximise != 0 ? "Maximization of " : "Minimization of ";
  const TVariableRecord* objective = MainVariable(MinMaxSetup.ObjectiveVariable);
  if (objective != nullptr) text += objective->Name;
  text += "(";
  const int32_t count = std::clamp<int32_t>(MinMaxSetup.IndependentCount, 0, kMaxIndependentVariables);
  for (int32_t i = 1; i <= count; ++i) {
    const TVariableRecord* independent = MainVariable(MinMaxSetup.IndependentVariables[static_cast<size_t>(i)]);
    if (independent != nullptr) text += independent->Name + ",";
  }
  text.back() = ')';
  return text;
}

}  // namespace voq
