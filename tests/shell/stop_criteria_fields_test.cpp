#include "shell/stop_criteria_fields.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "documents/defaults_file.h"
#include "model/document_settings.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/engine.h"
#include "session/program_start.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

// The step counts the Integration page opens with. Each count is the nearest
// whole number to the reciprocal it stands for (by hand: 1/0.02 = 50,
// 1/(1/3000) = 3000, 1/5E-4 = 2000), then kept inside its spin range.
TEST(StopCritFieldsTest, StepCountsComeFromTheReciprocalsWithinTheirRanges) {
  struct Case {
    const char* what;
    Extended stepFraction, minReciprocal, maxReciprocal;
    int32_t checkInterval;
    bool fixed;
    int32_t fixedSteps, minSteps, maxSteps, interval;
  };
  const Case cases[] = {
      {"variable steps stored negated", -0.02L, 0.02L, 5E-4L, 5, false, 50, 50, 2000, 5},
      {"fixed steps", 0.01L, 0.02L, 5E-4L, 1, true, 100, 50, 2000, 1},
      {"a zero fraction gives 2, raised into the range", 0, 0.02L, 5E-4L, 1, false, 10, 50, 2000, 1},
      {"above the fixed range", 1.0L / 3000, 0.02L, 5E-4L, 1, true, 1000, 50, 2000, 1},
      {"zero reciprocals: 5 and the minimum, raised", -0.1L, 0, 0, 1, false, 10, 5, 50, 1},
      {"a maximum below the minimum doubles it", -0.1L, 0.01L, 0.02L, 1, false, 10, 100, 200, 1},
      {"0.3 of a step rounds to 3, the minimum 5", -0.1L, 1.0L / 3.3L, 5E-4L, 1, false, 10, 5, 2000, 1},
      {"an interval of 30 is cut to 24", -0.1L, 0.02L, 5E-4L, 30, false, 10, 50, 2000, 24},
      {"an interval of 0 becomes 1", -0.1L, 0.02L, 5E-4L, 0, false, 10, 50, 2000, 1},
      {"a tiny fraction does not overflow", -1E-30L, 1E-30L, 1E-30L, 1, false, 1000, 1000, 99999, 1},
  };
  for (const Case& c : cases) {
    TIntegrationSettings s;
    s.StepFraction = c.stepFraction;
    s.MinStepsReciprocal = c.minReciprocal;
    s.MaxStepsReciprocal = c.maxReciprocal;
    s.CheckInterval = c.checkInterval;
    const TStopCritFields f = StopCritFieldsOf(TStopCriteriaRecord{}, s);
    EXPECT_EQ(f.Fixed, c.fixed) << c.what;
    EXPECT_EQ(f.FixedSteps, c.fixedSteps) << c.what;
    EXPECT_EQ(f.MinSteps, c.minSteps) << c.what;
    EXPECT_EQ(f.MaxSteps, c.maxSteps) << c.what;
    EXPECT_EQ(f.Interval, c.interval) << c.what;
  }
}

TEST(StopCritFieldsTest, TextsOfTheTolerancesAndThresholds) {
  TStopCriteriaRecord c;
  c.RelativeResidualTolerance = 1E-6L;
  c.ChangeTolerance = 2.5E-9L;
  c.MaxIterations = 250;
  c.MaxElapsedSeconds = 3600;
  TIntegrationSettings s;
  s.ReduceThreshold = 1E-3L;
  s.IncreaseThreshold = 1E-5L;
  s.UseRichardson = 1;
  const TStopCritFields f = StopCritFieldsOf(c, s);
  EXPECT_EQ(f.Iters, "250");
  EXPECT_EQ(f.Elapsed, "3600");
  EXPECT_EQ(f.RelResid, "1.0000E-06");
  EXPECT_EQ(f.ChgVars, "2.5000E-09");
  EXPECT_EQ(f.Halve, "1E-03");
  EXPECT_EQ(f.Double, "1E-05");
  EXPECT_TRUE(f.UseRichardson);
}

// GetV reads Iters, RelResid, ChgVars and Elapsed in that order and stops at
// the first that does not convert; what came before it is stored.
TEST(StopCritFieldsTest, ReadingStopsAtTheFirstBadFieldWithTheEarlierOnesStored) {
  struct Case {
    const char* iters;
    const char* relResid;
    const char* chgVars;
    const char* elapsed;
    int bad;
    int32_t maxIterations;
    Extended relative;
    int32_t seconds;
  };
  // The record starts at 99 iterations, 0.5, 0.25 and 7 seconds.
  const Case cases[] = {
      {"300", "1E-8", "1E-10", " 60 ", kNoBadField, 300, 1E-8L, 60},
      {"abc", "1E-8", "1E-10", "60", kItersField, 99, 0.5L, 7},
      {"12.5", "1E-8", "1E-10", "60", kItersField, 99, 0.5L, 7},
      {"", "1E-8", "1E-10", "60", kItersField, 99, 0.5L, 7},
      {"99999999999", "1E-8", "1E-10", "60", kItersField, 99, 0.5L, 7},
      {"300", "abc", "1E-10", "60", kRelResidField, 300, 0.5L, 7},
      {"300", "1E-8", "1e-", "60", kChgVarsField, 300, 1E-8L, 7},
      {"300", "1E-8", "1E-10", "1.5", kElapsedField, 300, 1E-8L, 7},
  };
  for (const Case& c : cases) {
    TStopCriteriaRecord record{0.5L, 0.25L, 99, 7};
    TIntegrationSettings integration;
    integration.StepFraction = 0.125L;
    TStopCritFields f = StopCritFieldsOf(record, integration);
    f.Iters = c.iters;
    f.RelResid = c.relResid;
    f.ChgVars = c.chgVars;
    f.Elapsed = c.elapsed;
    f.FixedSteps = 200;
    f.Fixed = true;
    EXPECT_EQ(GetStopCritFields(f, record, integration), c.bad) << c.iters << " " << c.relResid;
    EXPECT_EQ(record.MaxIterations, c.maxIterations) << c.iters;
    EXPECT_EQ(record.RelativeResidualTolerance, c.relative) << c.relResid;
    EXPECT_EQ(record.MaxElapsedSeconds, c.seconds) << c.elapsed;
    // The integration page is read only when the whole first page was.
    EXPECT_EQ(integration.StepFraction, c.bad == kNoBadField ? 1.0L / 200 : 0.125L) << c.iters;
  }
}

TEST(StopCritFieldsTest, VariableStepsStoreTheFractionNegatedAndKeepBadThresholds) {
  struct Case {
    bool fixed;
    const char* halve;
    const char* doubled;
    Extended reduce, increase;
  };
  // Old thresholds 0.001 and 1E-5; only numbers above 0 replace them, and
  // only in variable-step mode.
  const Case cases[] = {
      {false, "2E-3", "3E-6", 2E-3L, 3E-6L},
      {false, "0", "-1E-6", 0.001L, 1E-5L},
      {false, "abc", "", 0.001L, 1E-5L},
      {true, "2E-3", "3E-6", 0.001L, 1E-5L},
  };
  for (const Case& c : cases) {
    TStopCriteriaRecord record;
    TIntegrationSettings s;
    TStopCritFields f = StopCritFieldsOf(record, s);
    f.Fixed = c.fixed;
    f.FixedSteps = 50;
    f.MinSteps = 20;
    f.MaxSteps = 400;
    f.Interval = 3;
    f.UseRichardson = true;
    f.Halve = c.halve;
    f.Double = c.doubled;
    ASSERT_EQ(GetStopCritFields(f, record, s), kNoBadField);
    EXPECT_EQ(s.StepFraction, c.fixed ? 0.02L : -0.02L) << c.halve;
    EXPECT_EQ(s.CheckInterval, 3);
    EXPECT_EQ(s.UseRichardson, 1);
    EXPECT_EQ(s.MinStepsReciprocal, c.fixed ? 0.02L : 0.05L) << c.halve;
    EXPECT_EQ(s.MaxStepsReciprocal, c.fixed ? 5E-4L : 1.0L / 400) << c.halve;
    EXPECT_EQ(s.ReduceThreshold, c.reduce) << c.halve;
    EXPECT_EQ(s.IncreaseThreshold, c.increase) << c.doubled;
  }
}

TEST(StopCritFieldsTest, OnlyAnIntervalOfOneKeepsRichardsonExtrapolation) {
  const struct {
    int32_t interval;
    bool ticked, kept;
  } cases[] = {{1, true, true}, {5, true, false}, {2, true, false}, {1, false, false}, {24, false, false}};
  for (const auto& c : cases) EXPECT_EQ(RichardsonAfterInterval(c.interval, c.ticked), c.kept) << c.interval;
}

TEST(StopCritFieldsTest, MacroLineCarriesTheFourLimits) {
  const struct {
    TStopCriteriaRecord record;
    const char* line;
  } cases[] = {
      {{1E-6L, 1E-9L, 250, 3600}, "StopCrit  It=250  Time=3600  Res= 1.0E-0006  Var= 1.0E-0009"},
      {{2.5E-4L, 3.26E-12L, 12, 60}, "StopCrit  It=12  Time=60  Res= 2.5E-0004  Var= 3.3E-0012"},
  };
  for (const auto& c : cases) EXPECT_EQ(StopCritMacroLine(c.record), c.line);
}

// Store makes the current settings the defaults in "VOQ.DFT"; a program
// started afterwards begins from them.
TEST(StopCritFieldsTest, StoredDefaultsAreWhatTheNextStartReads) {
  const THost original = CurrentHost();
  const std::string savedDirectory = ProgramDirectory;
  const fs::path dir = fs::temp_directory_path() / ("voq_stopcrit_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const char* name : {"UNITS.TXT", "Constants.txt", kDefaultsFileName})
    fs::copy_file(fs::path(DefaultsFileDirectory()) / name, dir / name);
  ProgramDirectory = dir.string();

  StopCriteria = TStopCriteriaRecord{3E-7L, 4E-10L, 321, 99};
  IntegrationSettings.CheckInterval = 7;
  IntegrationSettings.StepFraction = -0.04L;
  IntegrationSettings.MinStepsReciprocal = 0.1L;
  IntegrationSettings.MaxStepsReciprocal = 0.001L;
  IntegrationSettings.ReduceThreshold = 0.002L;
  IntegrationSettings.IncreaseThreshold = 2E-5L;
  IntegrationSettings.UseRichardson = 1;
  EXPECT_TRUE(StoreStopCriteriaDefaults());

  ScriptedPlatform platform;
  THost host = original;
  host.Platform = &platform;
  ASSERT_TRUE(StartEngine(host));
  EXPECT_TRUE(platform.alerts.empty());
  EXPECT_EQ(StopCriteria.MaxIterations, 321);
  EXPECT_EQ(StopCriteria.MaxElapsedSeconds, 99);
  EXPECT_EQ(StopCriteria.RelativeResidualTolerance, 3E-7L);
  EXPECT_EQ(StopCriteria.ChangeTolerance, 4E-10L);
  EXPECT_EQ(IntegrationSettings.CheckInterval, 7);
  EXPECT_EQ(IntegrationSettings.StepFraction, -0.04L);
  EXPECT_EQ(IntegrationSettings.MinStepsReciprocal, 0.1L);
  EXPECT_EQ(IntegrationSettings.MaxStepsReciprocal, 0.001L);
  EXPECT_EQ(IntegrationSettings.ReduceThreshold, 0.002L);
  EXPECT_EQ(IntegrationSettings.IncreaseThreshold, 2E-5L);
  EXPECT_EQ(IntegrationSettings.UseRichardson, 1);

  ProgramDirectory = savedDirectory;
  EXPECT_TRUE(StartEngine(original));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace voq
