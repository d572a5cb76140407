#include <gtest/gtest.h>

#include <sstream>

#include "platform/console_platform.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq {
namespace {

TEST(AlertKinds, ButtonsAndIconsOfTheNineKinds) {
  struct Case {
    int kind;
    AlertIcon icon;
    std::vector<int> buttons;
  };
  const Case cases[] = {
      {0, AlertIcon::Error, {kResultOk}},
      {1, AlertIcon::Information, {kResultOk}},
      {2, AlertIcon::Warning, {kResultOk, kResultCancel}},
      {3, AlertIcon::Error, {kResultYes, kResultNo}},
      {4, AlertIcon::Warning, {kResultOk}},
      {5, AlertIcon::Information, {kResultYes, kResultNo}},
      {6, AlertIcon::Warning, {kResultYes, kResultNo}},
      {7, AlertIcon::Information, {kResultYes, kResultNo, kResultAll}},
      {8, AlertIcon::Information, {kResultYes, kResultNo, kResultCancel}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AlertKindIcon(c.kind), c.icon) << "kind " << c.kind;
    EXPECT_EQ(AlertKindButtons(c.kind), c.buttons) << "kind " << c.kind;
  }
  EXPECT_EQ(kResultYes, 6);
  EXPECT_EQ(kResultAll, 8);
}

TEST(ConsolePlatform, PrintsTheAlertAndAnswersTheDefaultButton) {
  ConsolePlatform console;
  std::ostringstream out;
  console.SetOutput(&out);
  EXPECT_EQ(console.ShowAlertBox("Disk is full", kAlertErrorOk, 0), kResultOk);
  EXPECT_EQ(console.ShowAlertBox("Continue?", kAlertInfoYesNo, 0), kResultYes);
  EXPECT_EQ(out.str(), "Error: Disk is full\nInformation: Continue?\n");
  // A preset answer replaces the default only where the kind has that button.
  console.SetQuestionAnswer(kResultNo);
  EXPECT_EQ(console.ShowAlertBox("Continue?", kAlertWarningYesNo, 0), kResultNo);
  EXPECT_EQ(console.ShowAlertBox("Note", kAlertInfoOk, 0), kResultOk);
}

TEST(ScriptedPlatform, RecordsAlertsAndReplaysQueuedAnswers) {
  ScriptedPlatform fake;
  fake.alertAnswers = {kResultAll};
  EXPECT_EQ(fake.ShowAlertBox("Replace?", kAlertInfoYesNoAll, 139), kResultAll);
  EXPECT_EQ(fake.ShowAlertBox("Done", kAlertInfoOk, 0), kResultOk);
  ASSERT_EQ(fake.alerts.size(), 2u);
  EXPECT_EQ(fake.alerts[0].text, "Replace?");
  EXPECT_EQ(fake.alerts[0].kind, kAlertInfoYesNoAll);
  EXPECT_EQ(fake.alerts[0].helpContext, 139);
  EXPECT_EQ(fake.alerts[1].result, kResultOk);
}

TEST(ScriptedPlatform, IsInstalledForAScopeOnly) {
  ScriptedPlatform fake;
  {
    ScopedPlatform scope(fake);
    EXPECT_EQ(&Platform(), &fake);
  }
  EXPECT_NE(&Platform(), &fake);
}

}  // namespace
}  // namespace voq
