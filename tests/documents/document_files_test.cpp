#include "documents/document_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "documents/document_image.h"
#include "documents/document_sections.h"
#include "documents/documents_state.h"
#include "documents/equations_text.h"
#include "file_bytes.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/document_reset.h"
#include "session/program_start.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

using testing::ReadFileBytes;
using testing::WriteFileBytes;

class DocumentFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    dir = fs::temp_directory_path() / ("voq_docfiles_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(dir);
    fs::create_directories(dir);
    SetPlatform(&platform);
    SetEquationsEditor(&editor);
  }
  void TearDown() override {
    SetPlatform(nullptr);
    SetEquationsEditor(nullptr);
    SetDecimalSeparator('.');
    fs::remove_all(dir);
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  // The folder holds exactly these names.
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir;
  ScriptedPlatform platform;
  InMemoryEquationsEditor editor;
};

// --- The decimal-separator conversion --------------------------------------------

struct ConversionCase {
  char system;
  const char* in;
  const char* out;
};

TEST(ConvertDecimalSeparatorTest, ConvertsNumbersAndSeparatorsOutsideCommentsAndStrings) {
  const ConversionCase cases[] = {
      // The document used the point, the system uses the comma.
      {',', "x=1.5", "x=1,5"},
      {',', "f(a,b)", "f(a;b)"},
      {',', "a=1;b=2", "a=1:b=2"},
      {',', "y = 2.5E3 * .5", "y = 2,5E3 * ,5"},
      {',', "s$='a,b.5'", "s$='a,b.5'"},
      {',', "x=1.5 {note 1.5, 2} \"t,1.5\"", "x=1,5 {note 1.5, 2} \"t,1.5\""},
      {',', "z=a.b", "z=a.b"},  // no number around the point
      {',', "$TabStops 0.5 1.5\r\nx=0.5", "$TabStops 0.5 1.5\r\nx=0,5"},
      {',', "$INTEGRALTABLE t:0.5", "$INTEGRALTABLE t:0,5"},
      // The document used the comma, the system uses the point.
      {'.', "a:=1,5", "a:=1.5"},
      {'.', "f(a;b)", "f(a,b)"},
      {'.', "f(x;1,5)", "f(x,1.5)"},
      {'.', "x=1:y=2", "x=1;y=2"},
      {'.', "x=f(a:b)", "x=f(a:b)"},  // inside parentheses ":" stays
      {'.', "x=1,5 \"a,1,5\" {c 1,5; d}", "x=1.5 \"a,1,5\" {c 1,5; d}"},
      {'.', "x=1,5 \"{\" y=2,5", "x=1.5 \"{\" y=2.5"},  // a brace in a string opens no comment
  };
  for (const ConversionCase& c : cases) {
    std::string text = c.in;
    ConvertDecimalSeparator(text, c.system, c.system == ',' ? ':' : ';');
    EXPECT_EQ(text, c.out) << c.in;
  }
}

// --- Saving --------------------------------------------------------------------------

TEST_F(DocumentFilesTest, TextAndModuleFreeLibrarySaveTheDirectiveTheTextAndAZeroByte) {
  editor.SetText("x=1.5\r\ny=2");
  for (const char* name : {"a.TXT", "a.LIB", "a.eqs"}) {
    ASSERT_TRUE(SaveDocumentFile(Path(name), false, false, false)) << name;
    EXPECT_EQ(ReadFileBytes(Path(name)), std::string("{$DS.}x=1.5\r\ny=2", 16) + '\0') << name;
  }
  SetDecimalSeparator(',');
  editor.SetText("x=1,5");
  SavedDecimalSeparator = '.';
  ASSERT_TRUE(SaveDocumentFile(Path("c.txt"), false, false, false));
  EXPECT_EQ(ReadFileBytes(Path("c.txt")), std::string("{$DS,}x=1,5") + '\0');
  EXPECT_EQ(SavedDecimalSeparator, ',');
  EXPECT_TRUE(DocumentUnchanged);
  EXPECT_EQ(Listing(), (std::vector<std::string>{"a.LIB", "a.TXT", "a.eqs", "c.txt"}));
}

TEST_F(DocumentFilesTest, TextFilesReadUnderTheOtherSeparatorAreConverted) {
  // Written under the point, read under the comma.
  WriteFileBytes(Path("p.txt"), std::string("{$DS.}x=1.5\r\nf(a,b)") + '\0');
  SetDecimalSeparator(',');
  ASSERT_TRUE(ReadDocumentFile(Path("p.txt"), false));
  EXPECT_EQ(editor.GetText(), "x=1,5\r\nf(a;b)");
  EXPECT_EQ(SavedDecimalSeparator, '.');
  // Written under the comma, read under the point.
  WriteFileBytes(Path("c.txt"), std::string("{$DS,}a:=1,5\r\n\"q 1,5\" {c 1,5}") + '\0');
  SetDecimalSeparator('.');
  ASSERT_TRUE(ReadDocumentFile(Path("c.txt"), false));
  EXPECT_EQ(editor.GetText(), "a:=1.5\r\n\"q 1,5\" {c 1,5}");
  EXPECT_TRUE(DocumentUnchanged);
  // A text without the directive is taken as written under the point.
  WriteFileBytes(Path("plain.txt"), "x=2.5");
  ASSERT_TRUE(ReadDocumentFile(Path("plain.txt"), false));
  EXPECT_EQ(editor.GetText(), "x=2.5");
}

TEST_F(DocumentFilesTest, ProblemFileRoundTripAndSaveMacroLine) {
  editor.SetText("x = 3\r\ny = x^2");
  StopCriteria.MaxIterations = 321;
  MacroRecording = true;
  DocumentUnchanged = false;
  ASSERT_TRUE(SaveDocumentFile(Path("m.voq"), false, false, false));
  EXPECT_EQ(MacroText, "SAVE " + Path("m.voq") + "\r\n");
  MacroRecording = false;
  EXPECT_TRUE(DocumentUnchanged);
  EXPECT_EQ(ReadFileBytes(Path("m.voq")).substr(1, 6), "X6.462");
  ResetDocument();
  StopCriteria.MaxIterations = 5;
  ASSERT_TRUE(ReadDocumentFile(Path("m.voq"), false));
  EXPECT_EQ(editor.GetText(), "x = 3\r\ny = x^2");
  EXPECT_EQ(StopCriteria.MaxIterations, 321);
  EXPECT_TRUE(platform.alerts.empty());
}

// A disk that fills up part-way: 389 is reported, and the document on disk is
// the previous one, whether or not an autosave copy exists beside it.
TEST_F(DocumentFilesTest, AShortWriteKeepsThePreviousDocument) {
  for (const char* name : {"m.voq", "t.txt"}) {
    for (bool autosaveCopy : {false, true}) {
      SCOPED_TRACE(std::string(name) + (autosaveCopy ? " with ~copy" : ""));
      fs::remove_all(dir);
      fs::create_directories(dir);
      platform.alerts.clear();
      editor.SetText("old = 1");
      ASSERT_TRUE(SaveDocumentFile(Path(name), false, false, false));
      const std::string previous = ReadFileBytes(Path(name));
      if (autosaveCopy) WriteFileBytes(Path(std::string("~") + name), "copy");
      editor.SetText(std::string(20000, 'y') + " = 2");
      DocumentUnchanged = false;
      SetDocumentWriteLimit(10);
      EXPECT_FALSE(SaveDocumentFile(Path(name), false, false, false));
      SetDocumentWriteLimit(-1);
      EXPECT_EQ(CalcErrorCode, kMsgUnexpectedIOError);
      ASSERT_EQ(platform.alerts.size(), 1u);
      EXPECT_EQ(platform.alerts[0].text, "Unexpected I/O error: number 389");
      EXPECT_EQ(ReadFileBytes(Path(name)), previous);
      EXPECT_FALSE(DocumentUnchanged);
      // Nothing half-written stays behind; the copy stays until a save succeeds.
      EXPECT_FALSE(fs::exists(TemporarySaveName(Path(name))));
      EXPECT_EQ(fs::exists(Path(std::string("~") + name)), autosaveCopy);
      ClearCalcError();
    }
  }
}

TEST_F(DocumentFilesTest, ALibraryWithModulesIsSavedInTheLibraryFormAndReadBack) {
  const std::string text = "MODULE Pump(a:b)\r\nb = 2*a\r\nEND";
  editor.SetText(text);
  ASSERT_NE(FindOrCreateModule("Pump"), nullptr);
  ASSERT_GT(ProgramUnitList.size(), 1u);
  ASSERT_TRUE(SaveDocumentFile(Path("pump.lib"), false, false, false));
  const std::string bytes = ReadFileBytes(Path("pump.lib"));
  EXPECT_EQ(bytes.substr(1, 6), "$SB1-X");
  ResetDocument();
  editor.SetText("");
  ASSERT_TRUE(ReadDocumentFile(Path("pump.lib"), false));
  EXPECT_EQ(editor.GetText(), text);
  EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(DocumentFilesTest, AReadOnlyDocumentIsNotReplaced) {
  editor.SetText("r = 1");
  ASSERT_TRUE(SaveDocumentFile(Path("r.txt"), false, false, false));
  const std::string previous = ReadFileBytes(Path("r.txt"));
  fs::permissions(Path("r.txt"), fs::perms::owner_read | fs::perms::group_read);
  editor.SetText("r = 2");
  EXPECT_FALSE(SaveDocumentFile(Path("r.txt"), false, false, false));
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text,
            "File access denied.  Either the file is marked read-only or the drive is write-protected.");
  EXPECT_EQ(ReadFileBytes(Path("r.txt")), previous);
  // A writable document keeps its permissions through the rename.
  fs::permissions(Path("r.txt"), fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(SaveDocumentFile(Path("r.txt"), false, false, false));
  EXPECT_EQ(fs::status(Path("r.txt")).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(DocumentFilesTest, ACopyLeavesTheChangedStateAndANormalSaveRemovesIt) {
  editor.SetText("a = 1");
  ASSERT_TRUE(SaveDocumentFile(Path("m.voq"), false, false, false));
  DocumentUnchanged = false;
  const std::string copy = AutoSaveCopyName(Path("m.voq"));
  EXPECT_EQ(copy, Path("~m.voq"));
  ASSERT_TRUE(SaveDocumentFile(copy, false, false, true));
  EXPECT_TRUE(fs::exists(copy));
  EXPECT_FALSE(DocumentUnchanged);
  ASSERT_TRUE(SaveDocumentFile(Path("m.voq"), false, false, false));
  EXPECT_FALSE(fs::exists(copy));
  EXPECT_TRUE(DocumentUnchanged);
  EXPECT_EQ(Listing(), std::vector<std::string>{"m.voq"});
}

TEST_F(DocumentFilesTest, FormsBuiltElsewhereAreRefusedClearly) {
  // Without the text export installed.
  DocumentFormatHooks().ExportDocumentText = nullptr;
  editor.SetText("a = 1");
  EXPECT_FALSE(SaveDocumentFile(Path("m.xpt"), false, false, false));
  EXPECT_FALSE(SaveDocumentFile(Path("m.voq"), true, false, false));
  EXPECT_EQ(platform.alerts.size(), 2u);
  EXPECT_FALSE(fs::exists(Path("m.xpt")));
  EXPECT_FALSE(fs::exists(Path("m.voq")));
}

// --- Reading -------------------------------------------------------------------------

// A document the system cannot read (reading /proc/self/mem at offset 0
// fails) or that is no file at all: an alert with the I/O result and the
// name, never an exception out of the file buffer.
TEST_F(DocumentFilesTest, ADocumentThatCannotBeReadIsReportedNotThrown) {
  for (const std::string& name : {std::string("/proc/self/mem"), Path("")}) {
    platform.alerts.clear();
    EXPECT_FALSE(ReadDocumentFile(name, false)) << name;
    ASSERT_EQ(platform.alerts.size(), 1u) << name;
    EXPECT_NE(platform.alerts[0].text.find("100"), std::string::npos) << platform.alerts[0].text;
    EXPECT_NE(platform.alerts[0].text.find(name), std::string::npos) << platform.alerts[0].text;
    TDocumentReadResult read;
    EXPECT_FALSE(ReadDocumentBinary(name, read)) << name;
    EXPECT_EQ(CalcErrorCode, kMsgUnexpectedIOError);
    EXPECT_EQ(MessageArgs[1], "100");
  }
}

TEST_F(DocumentFilesTest, ANewerVersionAsksAndOnlyOkReads) {
  editor.SetText("a = 1");
  ASSERT_TRUE(SaveDocumentFile(Path("m.voq"), false, false, false));
  std::string bytes = ReadFileBytes(Path("m.voq"));
  ASSERT_EQ(bytes.substr(1, 6), "X6.462");
  bytes.replace(2, 5, "7.000");
  WriteFileBytes(Path("m.voq"), bytes);
  for (int answer : {kResultCancel, kResultOk}) {
    platform.alerts.clear();
    platform.alertAnswers = {answer};
    editor.SetText("before");
    EXPECT_EQ(ReadDocumentFile(Path("m.voq"), false), answer == kResultOk);
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].kind, kAlertWarningOkCancel);
    EXPECT_EQ(platform.alerts[0].text,
              "This file was saved with VOQ version 7.000.  You are using version 6.462.  VOQ may be able to read "
              "the file, but you should consider updating your version of VOQ.");
    // Cancel keeps the open document: it is replaced only by a read that
    // goes through.
    EXPECT_EQ(editor.GetText(), answer == kResultOk ? "a = 1" : "before");
  }
  // The same version as the program's asks nothing, nor does "6.4620".
  bytes.replace(2, 5, "6.462");
  WriteFileBytes(Path("m.voq"), bytes);
  platform.alerts.clear();
  EXPECT_TRUE(ReadDocumentFile(Path("m.voq"), false));
  EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(DocumentFilesTest, TheEditorLimitIsTheLongestTextThatOpens) {
  for (const char* name : {"m.voq", "m.txt"}) {
    for (size_t length : {size_t(196608), size_t(196609)}) {
      SCOPED_TRACE(std::string(name) + " " + std::to_string(length));
      platform.alerts.clear();
      editor.SetText(std::string(length, 'x'));
      ASSERT_TRUE(SaveDocumentFile(Path(name), false, false, false));
      editor.SetText("");
      const bool fits = length <= 196608;
      EXPECT_EQ(ReadDocumentFile(Path(name), false), fits);
      EXPECT_EQ(editor.GetText().size(), fits ? length : 0u);
      if (!fits) {
        ASSERT_EQ(platform.alerts.size(), 1u);
        EXPECT_EQ(platform.alerts[0].text,
                  "This operation exceeds the 196608 maximum character limit of the editor.  Sorry...");
      }
    }
  }
}

TEST_F(DocumentFilesTest, CtrlAndShiftShortenTheReading) {
  editor.SetText("x = 1");
  StopCriteria.MaxIterations = 77;
  CustomColors = {"ColorA=FFEEDD"};
  ASSERT_TRUE(SaveDocumentFile(Path("m.voq"), false, false, false));
  struct KeyCase {
    bool ctrl, shift, colours;
  };
  for (const KeyCase& k : {KeyCase{false, false, true}, KeyCase{true, false, false}, KeyCase{true, true, false}}) {
    SCOPED_TRACE(std::to_string(k.ctrl) + std::to_string(k.shift));
    ResetDocument();
    CustomColors.clear();
    StopCriteria.MaxIterations = 1;
    platform.ctrlDown = k.ctrl;
    platform.shiftDown = k.shift;
    ASSERT_TRUE(ReadDocumentFile(Path("m.voq"), false));
    EXPECT_EQ(editor.GetText(), "x = 1");
    EXPECT_EQ(StopCriteria.MaxIterations, 77);
    EXPECT_EQ(!CustomColors.empty(), k.colours);
  }
}

TEST_F(DocumentFilesTest, MergeInsertsTheTextAtTheCaretAndReadsNothingElse) {
  editor.SetText("z = 9\r\nq = 1");
  StopCriteria.MaxIterations = 55;
  ASSERT_TRUE(SaveDocumentFile(Path("other.voq"), false, false, false));
  WriteFileBytes(Path("piece.txt"), std::string("{$DS.}b = 2\r\n") + '\0');
  editor.SetText("a = 1\r\nc = 3");
  StopCriteria.MaxIterations = 11;
  editor.SetCaret(7);
  ASSERT_TRUE(ReadDocumentFile(Path("piece.txt"), true));
  EXPECT_EQ(editor.GetText(), "a = 1\r\nb = 2\r\nc = 3");
  EXPECT_EQ(editor.CaretPosition(), 14);
  ASSERT_TRUE(ReadDocumentFile(Path("other.voq"), true));
  EXPECT_EQ(editor.GetText(), "a = 1\r\nb = 2\r\nz = 9\r\nq = 1c = 3");
  EXPECT_EQ(StopCriteria.MaxIterations, 11);
}

// A header without the layout letter: only the text is taken, its lone CR
// line ends repaired.
TEST_F(DocumentFilesTest, AnUnrecognisedHeaderGivesTheTextWithRepairedLineEnds) {
  std::string bytes(16, '\0');
  bytes[0] = 3;
  bytes.replace(1, 3, "5.1");
  const std::string text = "a=1\rb=2\r\nc=3";
  const uint32_t t = uint32_t(text.size() + 1);
  for (int k = 0; k < 4; ++k) bytes += char((t >> (8 * k)) & 0xFF);
  bytes += text;
  bytes += '\0';
  WriteFileBytes(Path("old.voq"), bytes);
  ASSERT_TRUE(ReadDocumentFile(Path("old.voq"), false));
  EXPECT_EQ(editor.GetText(), "a=1\r\nb=2\r\nc=3");
  EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(DocumentFilesTest, ADistributableProgramReadsTheModelAtItsOffset) {
  editor.SetText("d = 7");
  ASSERT_TRUE(SaveDocumentFile(Path("m.voq"), false, false, false));
  WriteFileBytes(Path("program.bin"), std::string(100, 'P') + ReadFileBytes(Path("m.voq")));
  DocumentFormatHooks().DistributableModelOffset = [](const std::string&) { return size_t(100); };
  DistributableMode = true;
  editor.SetText("");
  const bool read = ReadDocumentFile(Path("program.bin"), false);
  DistributableMode = false;
  EXPECT_TRUE(read);
  EXPECT_EQ(editor.GetText(), "d = 7");
}

TEST_F(DocumentFilesTest, MissingFilesAndExternalLibrariesReadNothing) {
  EXPECT_FALSE(ReadDocumentFile(Path("none.voq"), false));
  ASSERT_EQ(platform.alerts.size(), 2u);
  EXPECT_EQ(platform.alerts[0].text, Path("none.voq") + " was not found ");
  WriteFileBytes(Path("lib.dlf"), "x");
  platform.alerts.clear();
  EXPECT_FALSE(ReadDocumentFile(Path("lib.dlf"), false));
  EXPECT_TRUE(platform.alerts.empty());
}

// A stored rectangle and stacking position for window layout entries.
std::vector<uint8_t> LayoutEntry(int left, int top, int right, int bottom, int stacking) {
  std::vector<uint8_t> e(kWindowLayoutEntrySize, 0);
  auto set16 = [&](size_t at, int v) {
    e[at] = uint8_t(v & 0xFF);
    e[at + 1] = uint8_t((v >> 8) & 0xFF);
  };
  set16(0, left);
  set16(2, top);
  set16(4, right);
  set16(6, bottom);
  e[8] = stacking > 0 ? 1 : 0;
  set16(13, stacking);
  return e;
}

TEST_F(DocumentFilesTest, TheWindowPlanFollowsTheStoredLayout) {
  WindowLayoutEntries.assign(9, LayoutEntry(20, 20, 40, 40, 0));
  WindowLayoutEntries[0] = LayoutEntry(2, 30, 402, 330, 2);       // Equations, second from the front
  WindowLayoutEntries[1] = LayoutEntry(100, 100, 300, 300, 1);    // Solution: never reopened
  WindowLayoutEntries[3] = LayoutEntry(200, 142, 600, 442, 1);    // Parametric table in front
  WindowLayoutEntries[6] = LayoutEntry(100, 100, 500, 400, 3);    // Diagram at the back
  WindowLayoutActive = -4;
  const TWindowArrangement plan = PlanDocumentWindows(true, true);
  EXPECT_TRUE(plan.CloseAll);
  EXPECT_EQ(plan.ShowOrder, (std::vector<int32_t>{7, 1, 4}));
  EXPECT_TRUE(plan.Maximized);
  EXPECT_EQ(plan.ActiveWindow, 4);
  const TWindowPlacement& eq = plan.Placement[1];
  EXPECT_TRUE(eq.Placed);
  EXPECT_EQ((std::vector<int32_t>{eq.Left, eq.Top, eq.Width, eq.Height}), (std::vector<int32_t>{0, 0, 400, 300}));
  EXPECT_EQ(plan.Placement[4].Left, 196);
  EXPECT_EQ(plan.Placement[4].Top, 100);
  EXPECT_FALSE(plan.Placement[5].Placed);  // 20 x 20: too small to place
  // An unrecognised header places every window at the default size.
  const TWindowArrangement old = PlanDocumentWindows(true, false);
  EXPECT_EQ(old.Placement[5].Width, 350);
  EXPECT_EQ(old.Placement[5].Height, 250);
  // A text file shows the equations alone; an out-of-range active window is 1.
  WindowLayoutActive = 12;
  EXPECT_EQ(PlanDocumentWindows(true, true).ActiveWindow, 1);
  const TWindowArrangement text = PlanDocumentWindows(false, false);
  EXPECT_FALSE(text.CloseAll);
  EXPECT_EQ(text.ShowOrder, std::vector<int32_t>{1});
}

}  // namespace
}  // namespace voq
