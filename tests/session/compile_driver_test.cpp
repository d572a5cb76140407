#include "model/routines.h"
#include "session/compile_driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "language/code_listing.h"
#include "language/comments.h"
#include "language/reader_state.h"
#include "language/store_fixture.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "solver/numeric_opcodes.h"
#include "session/document_reset.h"

namespace voq {
namespace {

const std::string kData = VOQ_TEST_DATA_DIR;

class CompileDriverTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CommentRecordList.clear();
    KeptCommentRecordList.clear();
    PendingStatements.clear();
    EquationsCompiled = false;
    SolutionAvailable = false;
    CheckOnlyMode = true;  // compile only, unless a test solves
    LoadingLibrary = false;
    DiagramInputStatement = false;
    AbortRequested = false;
    SavedDecimalSeparator = '.';
  }
  void TearDown() override {
    SetEquationsEditor(nullptr);
    SetDiagramInputs(nullptr);
    SetStatementReaders(nullptr);
    UseDiagramInput = false;
    CheckOnlyMode = false;
    SavedDecimalSeparator = '.';
    LanguageStoreTest::TearDown();
  }

  // Compiles the text as the Check command does, without the summary.
  void Compile(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
  }

  std::vector<TEquationRecord*> Equations() {
    std::vector<TEquationRecord*> list;
    for (TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) list.push_back(e);
    return list;
  }
  std::string Listing(size_t k) { return ListEquationCode(*Equations().at(k), MainProgramUnit); }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
};

TEST_F(CompileDriverTest, SemicolonMakesTwoStatementsWithTheirPositions) {
  Compile("x = 1; y = x + 1");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(EquationsCompiled);
  const auto eqs = Equations();
  ASSERT_EQ(eqs.size(), 2u);
  EXPECT_EQ(Listing(0), "x 1 =");
  EXPECT_EQ(Listing(1), "y x 1 + =");
  EXPECT_EQ(eqs[0]->TextStart, 0);
  EXPECT_EQ(eqs[1]->TextStart, 6);  // behind the ";"
  EXPECT_EQ(eqs[0]->LineNumber, 1);
  EXPECT_EQ(eqs[1]->LineNumber, 1);
  // y was solved while reading, from x known before it.
  EXPECT_EQ(eqs[1]->SolvedAlone, 1);
  EXPECT_EQ(VarNamed("y")->Value, 2.0L);
  EXPECT_TRUE(platform.alerts.empty());
}

// With the uniform-case preference every later use takes the spelling of the
// first one, in the window text itself.
TEST_F(CompileDriverTest, LaterUsesTakeTheFirstSpelling) {
  Preferences.UniformVariableCase = 1;
  Compile("Speed = 3\r\ny = SPEED*2\r\nz = speed + y");
  Preferences = TPreferencesRecord{};
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(editor.GetText(), "Speed = 3\r\ny = Speed*2\r\nz = Speed + y");
}

// Every read starts with an empty warnings window: a warning of the last
// solve that comes again is pending again.
TEST_F(CompileDriverTest, ReadStartsWithNoWarnings) {
  AddWarning("from the last solve");
  Compile("x = 1");
  EXPECT_EQ(WarningLineCount(), 0u);
  EXPECT_FALSE(WarningsPending);
}

TEST_F(CompileDriverTest, CommaDecimalSeparatorSplitsAtColonOnly) {
  SetDecimalSeparator(',');
  Compile("x = 1,5: y = x*2\r\nCALL P(a:b)");
  // The two statements of the first line compile; the CALL line is one
  // statement (there is no CALL reader yet, so the compiler refuses it, on
  // line 2 and whole).
  const auto eqs = Equations();
  ASSERT_GE(eqs.size(), 2u);
  EXPECT_EQ(VarNamed("x")->Value, 1.5L);
  EXPECT_EQ(eqs[1]->TextStart, 8);
  EXPECT_GT(CalcErrorCode, 0);
  EXPECT_EQ(EquationLineNo, 2);
  EXPECT_EQ(CalcErrorStart, 18);
  EXPECT_EQ(CalcErrorEnd, 29);  // the whole "CALL P(a:b)"
  ASSERT_EQ(platform.alerts.size(), 1u);
}

TEST_F(CompileDriverTest, NestedCommentIsCutOutAndRecordedOnce) {
  Compile("x = 1 {a {b} c} + 2");
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(Equations().size(), 1u);
  EXPECT_EQ(Listing(0), "x 1 2 + =");
  ASSERT_EQ(CommentRecordList.size(), 1u);
  EXPECT_EQ(CommentRecordList[0].start, 7);  // the "a"
  EXPECT_EQ(CommentRecordList[0].end, 14);   // the last "}"
}

TEST_F(CompileDriverTest, QuoteInsideBraceCommentIsPartOfIt) {
  Compile("y = 2 {a \"b\" c}\r\nz = y");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Equations().size(), 2u);
  ASSERT_EQ(CommentRecordList.size(), 1u);
  EXPECT_EQ(CommentRecordList[0].isQuoteComment, 0);
}

TEST_F(CompileDriverTest, UnclosedCommentIsError17FromBraceToEnd) {
  const std::string text = "x = 1\r\ny = 2 {open\r\nz = 3";
  Compile(text);
  EXPECT_EQ(CalcErrorCode, 17);
  EXPECT_EQ(CalcErrorStart, 13);  // the "{"
  EXPECT_EQ(CalcErrorEnd, int32_t(text.size()));
  EXPECT_FALSE(EquationsCompiled);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "Unmatched comment delimeters. ");
}

TEST_F(CompileDriverTest, LineLengthLimit) {
  // A statement joined from two lines: 254 characters is one too many.
  const std::string head = "x = " + std::string(150, '1') + "&";
  const std::string tail254 = "+" + std::string(254 - 155, '2');
  ASSERT_EQ(head.size() - 1 + tail254.size(), 254u);
  Compile(head + "\r\n" + tail254);
  EXPECT_EQ(CalcErrorCode, 42);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text,
            "Each line must be less than 253 characters, terminated by a carriage return.");

  // A line of 300 characters whose comment brings it to 253 or fewer.
  platform.alerts.clear();
  const std::string line300 = "w = 3 {" + std::string(300 - 8, 'c') + "}";
  ASSERT_EQ(line300.size(), 300u);
  Compile(line300 + "\r\nv = w");
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(VarNamed("v")->Value, 3.0L);
  EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(CompileDriverTest, EditingOneStatementOf100RecompilesOnlyIt) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "y" + std::to_string(i) + " = " + std::to_string(i) + " + z\r\n";
  text += "z = 1\r\n";
  Compile(text);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(LastCompileCounts.Statements, 101);
  EXPECT_EQ(LastCompileCounts.Fresh, 101);

  const std::string edited = "y57 = 57 + 2*z";
  const size_t at = text.find("y57 = 57 + z");
  text.replace(at, 12, edited);
  Compile(text);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(LastCompileCounts.Statements, 101);
  EXPECT_EQ(LastCompileCounts.Fresh, 1);
  EXPECT_EQ(Equations().size(), 101u);
  EXPECT_EQ(Listing(57), "y57 57 2 z * + =");
}

TEST_F(CompileDriverTest, FailedStatementIsReportedAndCompiledAfreshNextTime) {
  Compile("x = 1\r\ny = (x + 2\r\nz = 3");
  EXPECT_EQ(CalcErrorCode, 1);  // unmatched parentheses
  EXPECT_EQ(CalcErrorStart, 7);
  EXPECT_EQ(EquationLineNo, 2);
  EXPECT_FALSE(EquationsCompiled);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "This equation has unmatched parentheses.");
  // The third statement was never read; the failed one kept no text.
  ASSERT_EQ(Equations().size(), 2u);
  EXPECT_FALSE(Equations()[1]->Text.has_value());

  Compile("x = 1\r\ny = (x + 2)\r\nz = 3");
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(LastCompileCounts.Fresh, 2);  // x = 1 was kept
}

TEST_F(CompileDriverTest, StatementsOfLaterReadersAreRefusedNotSkipped) {
  for (const char* text : {"FUNCTION f(x)", "MODULE m(a: b)", "DUPLICATE i=1,3", "IF x>1 THEN y=2"}) {
    platform.alerts.clear();
    Compile(std::string("x = 1\r\n") + text);
    EXPECT_GT(CalcErrorCode, 0) << text;
    EXPECT_EQ(platform.alerts.size(), 1u) << text;
  }
}

TEST_F(CompileDriverTest, IncludedTextFileWithItsDecimalSeparator) {
  Compile("$INCLUDE " + kData + "/include_ds_comma.txt\r\nw = y*2");
  ASSERT_EQ(CalcErrorCode, 0) << (platform.alerts.empty() ? "" : platform.alerts[0].text);
  EXPECT_EQ(VarNamed("x")->Value, 1.0L);
  EXPECT_EQ(VarNamed("y")->Value, 1.5L);
  EXPECT_EQ(VarNamed("w")->Value, 3.0L);
  EXPECT_EQ(VarNamed("y")->Units, "m");
  // The separator the file was written with holds for the file only.
  EXPECT_EQ(SavedDecimalSeparator, '.');
  ASSERT_EQ(IncludedFiles.size(), 1u);
  EXPECT_EQ(IncludedFiles[0].Text, "$Include " + kData + "/include_ds_comma.txt");
  EXPECT_EQ(IncludedFiles[0].Line, 0);
  // Included statements report the $INCLUDE line and are not from the window.
  const auto eqs = Equations();
  ASSERT_EQ(eqs.size(), 3u);
  EXPECT_EQ(eqs[0]->NotFromWindow, 1);
  EXPECT_EQ(eqs[0]->TextStart, 0);
  EXPECT_EQ(eqs[1]->LineNumber, 1);
  EXPECT_EQ(eqs[2]->NotFromWindow, 0);
  EXPECT_EQ(eqs[2]->LineNumber, 2);
}

TEST_F(CompileDriverTest, IncludedFileWithSeparatorsAndQuoteComments) {
  Compile("$INCLUDE '" + kData + "/include_plain.txt'");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(VarNamed("c")->Value, 7.0L);
  EXPECT_TRUE(CommentRecordList.empty());  // comments of included files make no records
}

TEST_F(CompileDriverTest, MissingIncludeDeclinedEndsTheReadWithoutError) {
  platform.alertAnswers = {kResultNo};
  Compile("x = 1\r\n$INCLUDE no_such_file_here.txt\r\ny = 2");
  EXPECT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text,
            "File no_such_file_here.txt was not found.  Do you want to browse to locate this file?");
  EXPECT_EQ(platform.alerts[0].kind, kAlertWarningYesNo);
  EXPECT_EQ(Equations().size(), 1u);  // y = 2 was not read
  EXPECT_FALSE(EquationsCompiled);

  // Yes, then the dialog is cancelled: the same.
  platform.alerts.clear();
  platform.alertAnswers = {kResultYes};
  Compile("$INCLUDE no_such_file_here.txt");
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(platform.fileDialogTitles.size(), 1u);

  // The dialog offers first the filter of the missing name's extension.
  const struct {
    const char* name;
    int filterIndex;
  } cases[] = {{"gone.txt", 1}, {"gone.lib", 2}, {"gone.FDL", 3}, {"gone.dlf", 4},
               {"gone.dlp", 5}, {"gone.var", 6}, {"gone", 1}};
  for (const auto& c : cases) {
    platform.fileDialogFilterIndexes.clear();
    platform.alertAnswers = {kResultYes};
    Compile(std::string("$INCLUDE ") + c.name);
    ASSERT_EQ(platform.fileDialogFilterIndexes.size(), 1u) << c.name;
    EXPECT_EQ(platform.fileDialogFilterIndexes[0], c.filterIndex) << c.name;
  }
}

TEST_F(CompileDriverTest, MissingIncludeLocatedInTheDialogIsUsedAndNamed) {
  platform.alertAnswers = {kResultYes};
  platform.openFileAnswers = {kData + "/include_plain.txt"};
  Compile("$INCLUDE include_plain_moved.txt\r\nd = c");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(VarNamed("d")->Value, 7.0L);
  EXPECT_EQ(editor.GetText(), "$INCLUDE " + kData + "/include_plain.txt\r\nd = c");
}

TEST_F(CompileDriverTest, IncludeOfOtherKinds) {
  Compile("x = 1\r\n$INCLUDE " + kData + "/include_document.voq");
  EXPECT_EQ(CalcErrorCode, 238);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text,
            "Only text files can be used with the $INCLUDE directive.  Use the Save As command to "
            "save the file as a .txt file.");

  // A library file is read through the window: its routines are loaded as
  // library routines, and the window text and clipboard come back unchanged.
  platform.alerts.clear();
  platform.clipboard = "before";
  const std::string text = "$INCLUDE " + kData + "/include_library.lib\r\nx = f(2)";
  Compile(text);
  EXPECT_EQ(CalcErrorCode, 0) << MessageText;
  EXPECT_TRUE(platform.alerts.empty());
  const TRoutineRecord* f = RoutineAt(FindRoutineSlot("F"));
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->IsLibrary, 1);
  EXPECT_EQ(editor.GetText(), text);
  // Equations before the $INCLUDE keep their records.
  const std::string later = "a = 1\r\n$INCLUDE " + kData + "/include_library.lib\r\nx = f(a)";
  Compile(later);
  EXPECT_EQ(CalcErrorCode, 0) << MessageText;
  ASSERT_NE(MainProgramUnit->FirstEquation, nullptr);
  ASSERT_NE(MainProgramUnit->FirstEquation->Next, nullptr);
  EXPECT_EQ(MainProgramUnit->FirstEquation->Next->Next, nullptr);
  EXPECT_FALSE(LoadingLibrary);
  EXPECT_FALSE(ReadingIncludedText);
}

// Lines of an included file may end in CR LF, LF or a lone CR, like the
// window's; a line that never ends within the limit (a device, a file that is
// not text) is refused with 42 on the $INCLUDE statement instead of filling
// memory.
TEST_F(CompileDriverTest, IncludedFileLineBreaksAndLineLimit) {
  const std::string crOnly = ::testing::TempDir() + "voq_include_cr_only.txt";
  std::ofstream(crOnly, std::ios::binary) << "a = 2\rb = a + 1\r\nc = b*2\nd = c + 1";
  Compile("$INCLUDE " + crOnly + "\r\ne = d");
  ASSERT_EQ(CalcErrorCode, 0) << (platform.alerts.empty() ? "" : platform.alerts[0].text);
  EXPECT_EQ(VarNamed("e")->Value, 7.0L);  // 2, 3, 6, 7 by hand
  EXPECT_EQ(Equations().size(), 5u);

  const std::string endless = ::testing::TempDir() + "voq_include_endless.txt";
  std::ofstream(endless, std::ios::binary) << "x = 1\n" << std::string(70000, '\0');
  const std::string text = "y = 2\r\n$INCLUDE " + endless + "\r\nz = 3";
  Compile(text);
  EXPECT_EQ(CalcErrorCode, 42);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text,
            "Each line must be less than 253 characters, terminated by a carriage return.");
  EXPECT_EQ(CalcErrorStart, 7);  // the $INCLUDE statement
  EXPECT_EQ(CalcErrorEnd, int32_t(text.find("\r\nz")));
  EXPECT_EQ(VarNamed("z"), nullptr);  // the read ended there
  EXPECT_FALSE(EquationsCompiled);
  std::remove(crOnly.c_str());
  std::remove(endless.c_str());
}

// Every statement of an included line selects the $INCLUDE statement, also
// the ones a separator splits off: their offsets within the file's line are
// no positions of the window text.
TEST_F(CompileDriverTest, SplitIncludedLineSelectsTheIncludeStatement) {
  const std::string file = ::testing::TempDir() + "voq_include_split.txt";
  for (const char* line : {"aaaaaaaaaaaaaaaaaaaaaaaa = 1; b = (", "b = (; aaaaaaaaaaaaaaaaaaaaaaaaaaaa = 1"}) {
    std::ofstream(file, std::ios::binary) << line;
    platform.alerts.clear();
    const std::string text = "x = 1\r\n$INCLUDE " + file + "\r\ny = 2\r\nz = 3";
    Compile(text);
    SCOPED_TRACE(line);
    EXPECT_EQ(CalcErrorCode, 3);  // "b = (" is a syntax error
    EXPECT_EQ(CalcErrorStart, 7);
    EXPECT_EQ(CalcErrorEnd, int32_t(text.find("\r\ny")));
    EXPECT_EQ(EquationLineNo, 2);
    EXPECT_EQ(platform.alerts.size(), 1u);
  }
  std::remove(file.c_str());
}

// Readers that record in which order a statement was offered to them.
class RecordingReaders : public StatementReaders {
 public:
  void ProcessProcedureStatement(std::string& s, bool& handled) override { Note("procedure", s, handled); }
  void ProcessFunctionStatement(std::string& s, bool& handled) override { Note("function", s, handled); }
  void ProcessModuleStatement(std::string& s, bool& handled) override { Note("module", s, handled); }
  void ProcessCommonDirective(std::string& s, bool& handled) override { Note("common", s, handled); }
  void RewriteIfThenElse(std::string& s, bool& handled) override { Note("if", s, handled); }
  bool ProcessDuplicate(std::string& s) override {
    bool handled = false;
    Note("duplicate", s, handled);
    return handled;
  }
  bool RoutineBodyOpen() const override { return routineBody; }
  bool ModuleBodyOpen() const override { return moduleBody; }

  void Note(const std::string& reader, const std::string& statement, bool& handled) {
    calls += (calls.empty() ? "" : " ") + reader;
    if (reader == takenBy) handled = true;
    if (reader == failsAt) CalcErrorCode = 9;
    (void)statement;
  }
  std::string calls, takenBy, failsAt;
  bool routineBody = false, moduleBody = false;
};

TEST_F(CompileDriverTest, StatementDispatchOrder) {
  struct Case {
    bool routineBody, moduleBody;
    const char* takenBy;
    const char* failsAt;
    const char* calls;
    bool compiled;
  };
  const Case cases[] = {
      // Outside any body: the header readers, then DUPLICATE, then the compiler.
      {false, false, "", "", "procedure function module duplicate", true},
      // A reader that takes the statement ends the chain.
      {false, false, "function", "", "procedure function", false},
      {false, false, "duplicate", "", "procedure function module duplicate", false},
      // So does an error.
      {false, false, "", "procedure", "procedure", false},
      // Inside a routine body no MODULE header is looked for; $COMMON and
      // IF/THEN/ELSE are.
      {true, false, "", "", "procedure function common if duplicate", true},
      {true, false, "common", "", "procedure function common", false},
      // Inside a MODULE body the MODULE reader still sees the statement.
      {false, true, "", "", "procedure function module common if duplicate", true},
      {false, true, "if", "", "procedure function module common if", false},
  };
  for (const Case& c : cases) {
    RecordingReaders readers;
    readers.routineBody = c.routineBody;
    readers.moduleBody = c.moduleBody;
    readers.takenBy = c.takenBy;
    readers.failsAt = c.failsAt;
    SetStatementReaders(&readers);
    Compile("q = 5");
    SetStatementReaders(nullptr);
    SCOPED_TRACE(c.calls);
    EXPECT_EQ(readers.calls, c.calls);
    EXPECT_EQ(LastCompileCounts.Statements, c.compiled ? 1 : 0);
  }
  // A directive is taken before any reader sees it.
  const TPreferencesRecord savedPreferences = Preferences;
  RecordingReaders readers;
  SetStatementReaders(&readers);
  Compile("$TABWIDTH 4");
  SetStatementReaders(nullptr);
  Preferences = savedPreferences;
  EXPECT_EQ(readers.calls, "");
}

// A Diagram window with inputs.
class FakeDiagram : public DiagramInputs {
 public:
  bool UseInputs() const override { return true; }
  std::vector<TDiagramInputItem>& InputItems() override { return items; }
  std::vector<TDiagramInputItem> items;
};

TEST_F(CompileDriverTest, DiagramInputsSetVariablesAndAddStatements) {
  FakeDiagram diagram;
  diagram.items.push_back({"T", 300, false, ""});
  diagram.items.push_back({"Material", 0, true, "Steel // k=45; rho = 7800; c =?"});
  SetDiagramInputs(&diagram);
  UseDiagramInput = true;
  Compile("q = k*T");
  ASSERT_EQ(CalcErrorCode, 0) << (platform.alerts.empty() ? "" : platform.alerts[0].text);
  EXPECT_EQ(VarNamed("T")->UnknownPosition, kDeterminedVariable);
  EXPECT_EQ(VarNamed("k")->Value, 45.0L);
  EXPECT_EQ(VarNamed("rho")->Value, 7800.0L);
  EXPECT_EQ(VarNamed("c"), nullptr);  // the "=?" statement is not compiled
  const auto eqs = Equations();
  ASSERT_EQ(eqs.size(), 3u);
  EXPECT_EQ(eqs[1]->NotFromWindow, 1);

  // A variable given twice is error 177 (the Check command drops it).
  platform.alerts.clear();
  CheckOnlyMode = false;
  diagram.items = {{"T", 300, false, ""}, {"T", 310, false, ""}};
  Compile("q = T");
  EXPECT_EQ(CalcErrorCode, 177);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text.rfind("T has already been specified", 0), 0u);
}

TEST_F(CompileDriverTest, CheckSummaryInCheckOnlyMode) {
  editor.SetText("x = 1\r\ny = x + z");
  CompileEquations(true, false);
  EXPECT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].kind, kAlertInfoOk);
  EXPECT_EQ(platform.alerts[0].text.rfind(
                "There are 2 equations and 3 variables.  No syntax errors were detected.  "
                "Compilation time: ",
                0),
            0u)
      << platform.alerts[0].text;
}

// A reader that asks for a second read when it meets "$again".
class RecompileReaders : public StatementReaders {
 public:
  void ProcessProcedureStatement(std::string& statement, bool& handled) override {
    if (statement == "$again") {
      RecompileRequested = true;
      handled = true;
    }
  }
};

TEST_F(CompileDriverTest, SecondReadCompilesEverythingAfresh) {
  RecompileReaders readers;
  SetStatementReaders(&readers);
  Compile("a = 1\r\nb = a + 1\r\n$again");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(LastCompileCounts.Fresh, 2);  // the second read's statements
  EXPECT_EQ(VarNamed("b")->Value, 2.0L);
  EXPECT_FALSE(RecompileRequested);
}

// With solve, the one-unknown pass follows the read: an equation that could
// not be solved while it was read (x was not known yet) is solved then.
TEST_F(CompileDriverTest, EnsureCompiledWithSolveRunsTheOneUnknownPass) {
  editor.SetText("y = x^2 + 1\r\nx = 2");
  EnsureCompiled(true);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(EquationsCompiled);
  ASSERT_EQ(Equations().size(), 2u);
  EXPECT_EQ(Equations()[0]->SolvedAlone, 1);
  EXPECT_EQ(VarNamed("y")->Value, 5.0L);  // 2^2 + 1

  // Without solve the equation is left as the read left it.
  EquationsCompiled = false;
  editor.SetText("y = x^2 + 1\r\nx = 3");
  EnsureCompiled(false);
  EXPECT_EQ(Equations()[0]->SolvedAlone, 0);
}

TEST_F(CompileDriverTest, EnsureCompiledReadsOnlyWhenNeeded) {
  editor.SetText("x = 2\r\ny = x^2");
  EnsureCompiled(true);
  EXPECT_TRUE(EquationsCompiled);
  EXPECT_EQ(VarNamed("y")->Value, 4.0L);
  editor.SetText("this does not compile (");
  EnsureCompiled(false);  // EquationsCompiled is set: no read
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(platform.alerts.empty());
}

// The records kept from a real-mode read must not be taken over once the
// mode changes before any equation: the read starts again without them.
TEST_F(CompileDriverTest, ComplexModeSwitchedOnAboveSolvedEquationsCompilesThemAfresh) {
  editor.SetText("x = 1 + y\r\ny = 2");
  EnsureCompiled(true);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(VarNamed("x")->Value, 3.0L);

  // Solved as the Solve command does.
  CheckOnlyMode = false;
  Compile("$COMPLEX ON\r\nx = 1 + y\r\ny = 2");
  ASSERT_EQ(CalcErrorCode, 0);
  for (const auto& alert : platform.alerts) ADD_FAILURE() << alert.text;
  EXPECT_TRUE(EquationsCompiled);
  ASSERT_EQ(Equations().size(), 4u);  // a real and an imaginary part each
  for (size_t k = 0; k < Equations().size(); ++k) {
    EXPECT_EQ(Listing(k).find("x "), std::string::npos) << Listing(k);
  }
  EXPECT_EQ(VarNamed("x_r")->Value, 3.0L);
  EXPECT_EQ(VarNamed("x_i")->Value, 0.0L);
  // The real-mode x is no longer part of the problem.
  EXPECT_EQ(VarNamed("x")->UnknownPosition, 0);
}

// A read that the complex-mode alert ended read part of the text only.
TEST_F(CompileDriverTest, ReadEndedByTheComplexModeAlertIsNotCompiled) {
  Compile("x = 1\r\n$COMPLEX ON\r\ny = 2");
  EXPECT_EQ(platform.alerts.size(), 1u);
  EXPECT_FALSE(EquationsCompiled);
}

// A document's directives do not outlive it: the reset restores the mode
// and the warnings option of the stored preferences.
TEST_F(CompileDriverTest, ResetDocumentRestoresComplexModeAndWarnings) {
  Compile("$COMPLEX ON\r\n$WARNINGS OFF\r\nz = 2");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(MainProgramUnit->UnitComplexMode, 1);
  EXPECT_FALSE(ShowWarningMessages);
  ResetDocument();
  EXPECT_EQ(Preferences.ComplexMode, 0);
  EXPECT_EQ(MainProgramUnit->UnitComplexMode, 0);
  EXPECT_TRUE(ShowWarningMessages);
  Compile("z = 2");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NE(VarNamed("z"), nullptr);
  EXPECT_EQ(VarNamed("z_r"), nullptr);
}

// The case of a built-in name is set where the name stands: on its own
// line, and not in a variable that begins with the same letters.
TEST_F(CompileDriverTest, FunctionNameCaseIsSetAtTheCallItself) {
  Preferences.FunctionNameCase = 2;
  Compile("x = 1\r\ny = sinx + sin(1) + pi");
  EXPECT_EQ(editor.GetText(), "x = 1\r\ny = sinx + SIN(1) + PI");
}

// Where $EXPORT writes does not depend on where an included file was
// found: the working directory never moves.
TEST_F(CompileDriverTest, ExportAfterAnIncludeFoundOnTheSearchPathWritesInTheWorkingDirectory) {
  namespace fs = std::filesystem;
  const fs::path start = fs::current_path();
  const fs::path root = fs::temp_directory_path() / ("voq_export_cwd_" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "lib");
  fs::create_directories(root / "work");
  { std::ofstream(root / "lib" / "inc.txt") << "y = 2\r\n"; }
  fs::current_path(root / "work");
  SearchPathList = {(root / "lib").string()};

  CheckOnlyMode = false;
  Compile("$INCLUDE inc.txt\r\nx = y + 1\r\n$EXPORT 'out.csv' x");
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(VarNamed("x")->Value, 3.0L);
  EXPECT_EQ(fs::current_path(), root / "work");
  EXPECT_TRUE(fs::exists(root / "work" / "out.csv"));
  EXPECT_FALSE(fs::exists(root / "lib" / "out.csv"));

  SearchPathList.clear();
  fs::current_path(start);
  fs::remove_all(root);
}

// A read starts with the unit settings unused; SIN uses them.
TEST_F(CompileDriverTest, ReadClearsTheUseOfUnitSettings) {
  UnitSettingsUsed = 1;
  Compile("x = 2");
  EXPECT_EQ(UnitSettingsUsed, 0);
  CheckOnlyMode = false;
  Compile("y = SIN(30)");
  EXPECT_EQ(UnitSettingsUsed, 1);
}

}  // namespace
}  // namespace voq
