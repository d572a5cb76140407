// Writes the defaults file "VOQ.DFT" the program ships in data/: the
// settings a new installation starts with, which are the engine's built-in
// start values, so a program that reads this file behaves as one that never
// did. Run after a start value changes:
//
//   build/make_defaults_file data/VOQ.DFT
//
// (the test ShippedDefaultsFile checks that data/VOQ.DFT is this output).
#include <fstream>
#include <iostream>
#include <string>

#include "core/extended.h"
#include "documents/defaults_file.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/console_platform.h"
#include "platform/host.h"
#include "session/engine.h"

using namespace voq;

namespace {

void SetShippedDefaults() {
  // Document settings: SI units, mass basis, Celsius, kPa, degrees, J.
  TDocumentSettingsRecord& d = StoredDocumentSettings;
  d = TDocumentSettingsRecord{};
  d.UnitSystem = 0;
  d.MolarBasis = 0;
  d.AbsoluteTemperature = 0;
  d.PressureUnit = 0;
  d.EnergyUnit = 0;
  SetAngleUnit(d, 0);  // degrees: the factor 0.017453293
  d.Reserved.fill(0);

  // Stop criteria: relative residual 1E-6, change in variables 1E-9, 250
  // iterations, 3600 seconds.
  TStopCriteriaRecord& s = StoredStopCriteria;
  s.RelativeResidualTolerance = 1E-6L;
  s.ChangeTolerance = 1E-9L;
  s.MaxIterations = 250;
  s.MaxElapsedSeconds = 3600;

  // Every letter: guess 1, no limits, automatic display with 4 digits, no
  // units.
  for (TLetterDefaultRecord& l : StoredLetterDefaults) {
    l.Guess = 1;
    l.LowerLimit = -InfinityValue;
    l.UpperLimit = InfinityValue;
    l.Style = 3;
    l.Digits = 4;
    l.Units.clear();
  }

  // Preferences: every field 0 but these.
  TPreferencesRecord& p = StoredPreferences;
  p = TPreferencesRecord{};
  p.WarningsB = 1;  // display warning messages
  // A new plot: 300 x 200 plot units at (90, 30), 10-point text on every
  // axis, no grid lines, grid colour 9, ticks of 5 and 3 points.
  p.PlotWidth = 300;
  p.PlotHeight = 200;
  p.PlotLeft = 90;
  p.PlotTop = 30;
  p.PlotTextSize = {10, 10, 10, 10};
  p.PlotGridLines = -1;
  p.PlotGridColor = 9;
  p.PlotMajorTickSize = 5;
  p.PlotMinorTickSize = 3;
  // Comment colours 1 and 2 (the reader sets them so anyway).
  p.CommentColor1 = 1;
  p.CommentColor2 = 2;
  // Integration step control: checks every 5 steps, at most 2000 and at
  // least 50 steps, halve above a relative error of 0.001, double below
  // 1E-5, variable steps (a negative fraction).
  p.IntegrationCheckInterval = 5;
  p.IntegrationMaxStepsReciprocal = 5E-4L;
  p.IntegrationMinStepsReciprocal = 0.02L;
  p.IntegrationReduceThreshold = 0.001L;
  p.IntegrationIncreaseThreshold = 1E-5L;
  p.IntegrationStepFraction = -4E-3L;

  // Whether the file may be rewritten is found out when it is read.
  DefaultsWritable = 0;
  StartupNoticeBlock = {};
  // The reserved data: zeros, and four empty texts (their closing zero).
  StoredDefaultsReserved = TDefaultsReservedData{};
  for (std::string& text : StoredDefaultsReserved.TextBlocks) text = std::string(1, '\0');
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_defaults_file OUTPUT\n";
    return 2;
  }
  ConsolePlatform platform;
  QuietHostWindows windows;
  std::string missing;
  // The documents layer is not installed: this program reads no defaults.
  if (!StartEngine(windows.Record(platform), &missing)) {
    std::cerr << "make_defaults_file: no " << missing << "\n";
    return 2;
  }
  SetShippedDefaults();
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  if (!out || !SaveDefaultsFile(true, out)) {
    std::cerr << "make_defaults_file: cannot write " << argv[1] << "\n";
    return 2;
  }
  out.close();
  if (!out) {
    std::cerr << "make_defaults_file: cannot write " << argv[1] << "\n";
    return 2;
  }
  return 0;
}
