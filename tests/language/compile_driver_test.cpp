#include "language/compile_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/program_flags.h"
#include "language/code_listing.h"
#include "language/comments.h"
#include "language/document_settings.h"
#include "language/language_state.h"
#include "language/reader_state.h"
#include "platform/scripted_platform.h"
#include "solver/warnings_window.h"
#include "language/store_fixture.h"

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

  // A library file is read through the window; until its loader exists it
  // is refused, and the window text and clipboard come back unchanged.
  platform.alerts.clear();
  platform.clipboard = "before";
  const std::string text = "$INCLUDE " + kData + "/include_library.lib\r\nx = 1";
  Compile(text);
  EXPECT_EQ(CalcErrorCode, 100);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_NE(platform.alerts[0].text.find("include_library.lib"), std::string::npos);
  EXPECT_EQ(editor.GetText(), text);
  EXPECT_FALSE(LoadingLibrary);
  EXPECT_FALSE(ReadingIncludedText);
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

}  // namespace
}  // namespace voq
