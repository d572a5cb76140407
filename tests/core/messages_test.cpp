#include "core/messages.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq {
namespace {

class RecordingWindows : public WindowServices {
 public:
  void SelectEquationsText(int32_t start, int32_t end, int32_t line) override {
    selections.push_back({start, end, line});
  }
  void ShowAndFocus(int window) override { focused.push_back(window); }
  bool WindowExists(int) override { return true; }
  struct Selection {
    int32_t start, end, line;
  };
  std::vector<Selection> selections;
  std::vector<int> focused;
};

class MessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetPlatform(&platform);
    SetWindows(&windows);
    for (auto& a : MessageArgs) a.clear();
    CalcErrorCode = 0;
    MessageHelpContext = 0;
    AbortRequested = false;
    DiagramInputStatement = false;
    PlayingMacroFile = false;
    ShowWarningMessages = true;
    LastBeepTicks = LastAbortPollTicks = BusyCursorSwitchTicks = 0;
    BusyCursorAlternate = false;
    platform.ticks = 100000;
  }
  void TearDown() override {
    SetPlatform(nullptr);
    SetWindows(nullptr);
  }
  ScriptedPlatform platform;
  RecordingWindows windows;
};

TEST_F(MessagesTest, FillsPlaceholdersFromTheArguments) {
  SetMessageArg(1, "5");
  EXPECT_EQ(GetMessageText(389), "Unexpected I/O error: number 5");
  EXPECT_EQ(GetMessageText(58), "Calculations cancelled by user.");
  EXPECT_EQ(GetMessageText(75), "There is not enough memory to complete this process.  Sorry...");
  EXPECT_EQ(GetMessageText(100), "100");
  // An id with no text gives the empty text.
  EXPECT_EQ(GetMessageText(154), "");
  EXPECT_EQ(GetMessageText(99999), "");
}

TEST_F(MessagesTest, PlaceholdersInAnyOrderAndEmptyArgumentsVanish) {
  SetMessageArg(1, "R134a");
  SetMessageArg(2, "ASH");
  EXPECT_EQ(GetMessageText(674), "The ASH reference option is not valid for R134a.");
  SetMessageArg(1, "");
  EXPECT_EQ(GetMessageText(389), "Unexpected I/O error: number ");
}

TEST_F(MessagesTest, LongResultIsCutAndSelfReferringArgumentEnds) {
  SetMessageArg(1, std::string(120, 'x'));
  SetMessageArg(2, std::string(120, 'y'));
  SetMessageArg(3, std::string(120, 'z'));
  std::string longText = GetMessageText(674);
  EXPECT_LE(longText.size(), 255u);
  SetMessageArg(1, "%%1%%1");
  EXPECT_EQ(GetMessageText(389), "Unexpected I/O error: number %%1%%1");
}

TEST_F(MessagesTest, HelpContextAddsHelpToOneAlertOnly) {
  MessageHelpContext = 139;
  ShowAlert("first", kAlertInfoOk, false);
  ShowAlert("second", kAlertInfoOk, false);
  ASSERT_EQ(platform.alerts.size(), 2u);
  EXPECT_EQ(platform.alerts[0].helpContext, 139);
  EXPECT_EQ(platform.alerts[1].helpContext, 0);
}

TEST_F(MessagesTest, AlertClearsTheActiveWindowWhileShownAndRestoresIt) {
  ActiveChildWindow = kSolutionWindow;
  platform.alertAnswers = {kResultAll};
  EXPECT_EQ(ShowAlert("Overwrite?", kAlertInfoYesNoAll, false), kResultAll);
  EXPECT_EQ(ActiveChildWindow, kSolutionWindow);
  ActiveChildWindow = kNoWindow;
}

TEST_F(MessagesTest, EquationErrorShowsAbsoluteNumberAndSelectsTheStatement) {
  SetMessageArg(1, "7");
  ShowEquationError(-389, 10, 20, 3);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "Unexpected I/O error: number 7");
  EXPECT_EQ(platform.alerts[0].kind, kAlertErrorOk);
  ASSERT_EQ(windows.selections.size(), 1u);
  EXPECT_EQ(windows.selections[0].start, 10);
  EXPECT_EQ(windows.selections[0].end, 20);
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_EQ(windows.focused, std::vector<int>{kEquationsWindow});
}

TEST_F(MessagesTest, EquationErrorsThatShowNothing) {
  ShowEquationError(58, 1, 5, 1);
  ShowWarningMessages = false;
  ShowEquationError(900, 1, 5, 1);
  EXPECT_TRUE(platform.alerts.empty());
  EXPECT_TRUE(windows.selections.empty());
}

TEST_F(MessagesTest, WarningIsInformationWithoutBeepFromMessageText) {
  MessageText = "Property is out of range";
  ShowEquationError(900, 0, 0, 0);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "Property is out of range");
  EXPECT_EQ(platform.alerts[0].kind, kAlertInfoOk);
  EXPECT_EQ(platform.beeps, 0);
}

TEST_F(MessagesTest, OutOfMemorySelectsNothingAndMacroPlaySilencesAlerts) {
  ShowEquationError(75, 1, 5, 2);
  EXPECT_EQ(platform.alerts.size(), 1u);
  EXPECT_TRUE(windows.selections.empty());
  PlayingMacroFile = true;
  ShowEquationError(389, 1, 5, 2);
  EXPECT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(windows.selections.size(), 1u);  // the selection still happens
}

TEST_F(MessagesTest, DiagramInputErrorsArePrefixed) {
  DiagramInputStatement = true;
  MessageText = "Diagram input error: x=1";
  ShowEquationError(58 + 331, 0, 0, -99);  // 389
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text.rfind("Diagram input error: x=1.  Unexpected I/O error", 0), 0u);
  EXPECT_TRUE(windows.selections.empty());
}

// A pending warning selects the statement of the equation that raised it.
TEST_F(MessagesTest, WarningSelectsTheEquationThatRaisedIt) {
  SetEquationRangeReader([](const TEquationRecord*) { return EquationTextRange{40, 52, 6}; });
  int dummy = 0;
  WarningEquation = reinterpret_cast<TEquationRecord*>(&dummy);
  MessageText = "Warning text";
  ShowEquationError(900, 1, 2, 3);
  WarningEquation = nullptr;
  ShowEquationError(900, 1, 2, 3);  // no equation: nothing to select
  SetEquationRangeReader(nullptr);
  ASSERT_EQ(platform.alerts.size(), 2u);
  ASSERT_EQ(windows.selections.size(), 1u);
  EXPECT_EQ(windows.selections[0].start, 40);
  EXPECT_EQ(windows.selections[0].end, 52);
  EXPECT_EQ(windows.selections[0].line, 6);
  EXPECT_EQ(platform.beeps, 0);
}

TEST_F(MessagesTest, EquationErrorKindsAndSelections) {
  const struct {
    int32_t number;
    int32_t line;
    bool loadingLibrary;
    bool distributable;
    int kind;
    size_t selections;
    std::vector<int> focused;
  } cases[] = {
      {54, 2, false, false, kAlertInfoOk, 1, {kEquationsWindow}},  // 54 is information
      {389, 2, true, false, kAlertErrorOk, 0, {}},                  // a library line is not shown
      {389, 2, false, true, kAlertErrorOk, 0, {}},                  // nor in a distributable program
      {389, -4, false, false, kAlertErrorOk, 0, {kParametricTableWindow}},
  };
  for (const auto& c : cases) {
    platform.alerts.clear();
    windows.selections.clear();
    windows.focused.clear();
    LoadingLibrary = c.loadingLibrary;
    DistributableMode = c.distributable;
    ShowEquationError(c.number, 1, 5, c.line);
    LoadingLibrary = false;
    DistributableMode = false;
    ASSERT_EQ(platform.alerts.size(), 1u) << c.number << " " << c.line;
    EXPECT_EQ(platform.alerts[0].kind, c.kind) << c.number << " " << c.line;
    EXPECT_EQ(windows.selections.size(), c.selections) << c.number << " " << c.line;
    EXPECT_EQ(windows.focused, c.focused) << c.number << " " << c.line;
  }
}

// The Diagram prefix is put on before the out-of-memory alert, never on 100.
TEST_F(MessagesTest, DiagramPrefixComesBeforeTheOutOfMemoryAlertAndSkips100) {
  DiagramInputStatement = true;
  MessageText = "Diagram input error: x=1";
  ShowEquationError(75, 0, 0, -99);
  ShowEquationError(100, 0, 0, -99);
  DiagramInputStatement = false;
  ASSERT_EQ(platform.alerts.size(), 2u);
  EXPECT_EQ(platform.alerts[0].text,
            "Diagram input error: x=1.  There is not enough memory to complete this process.  Sorry...");
  EXPECT_EQ(platform.alerts[1].text, "Diagram input error: x=1");
}

// The one out-of-memory report only sets the number: a checked allocator
// shows its alert at once, the compiler leaves it for the failed statement,
// so an alert here would show twice.
TEST_F(MessagesTest, OutOfMemoryReportSetsTheNumberAndShowsNothing) {
  ReportOutOfMemory();
  EXPECT_EQ(CalcErrorCode, 75);
  EXPECT_TRUE(platform.alerts.empty());
  EXPECT_EQ(platform.beeps, 0);
}

TEST_F(MessagesTest, ReportIOErrorPicksTheMessageByCode) {
  ReportIOError(5);
  ReportIOError(32);
  ReportIOError(101);
  ASSERT_EQ(platform.alerts.size(), 3u);
  EXPECT_EQ(platform.alerts[0].text,
            "File access denied.  Either the file is marked read-only or the drive is write-protected.");
  EXPECT_EQ(platform.alerts[1].text, "Unexpected I/O error: number 32");
  const std::string& full = platform.alerts[2].text;
  EXPECT_EQ(full.substr(full.size() - 12), ":  Disk full");
}

TEST_F(MessagesTest, BeepsAtMostOnceASecond) {
  ThrottledBeep();
  platform.ticks += 300;
  ThrottledBeep();
  EXPECT_EQ(platform.beeps, 1);
  platform.ticks += 800;
  ThrottledBeep();
  EXPECT_EQ(platform.beeps, 2);
}

TEST_F(MessagesTest, EscTurnsIntoError58AtTheNextPoll) {
  platform.keyQueue = {false, true};
  CheckUserAbort();  // takes the first keystroke
  EXPECT_EQ(CalcErrorCode, 0);
  platform.ticks += 100;  // too soon: the queue is not read
  CheckUserAbort();
  EXPECT_EQ(platform.keyQueue.size(), 1u);
  platform.ticks += 200;
  CheckUserAbort();
  EXPECT_TRUE(AbortRequested);
  EXPECT_EQ(CalcErrorCode, 58);
  // The abort keeps producing 58 until the driver clears it.
  CalcErrorCode = 0;
  CheckAbortRequested();
  EXPECT_EQ(CalcErrorCode, 58);
  EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(MessagesTest, BusyCursorAlternates) {
  BusyCursorSwitchTicks = platform.ticks;
  platform.ticks += 5001;
  CheckUserAbort();
  platform.ticks += 1001;
  CheckUserAbort();
  EXPECT_EQ(platform.cursors, (std::vector<int>{5, 1}));
}

}  // namespace
}  // namespace voq
