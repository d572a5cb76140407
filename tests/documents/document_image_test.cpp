#include "documents/document_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "documents/diagram_section.h"
#include "documents/document_file.h"
#include "documents/document_files.h"
#include "documents/document_sections.h"
#include "documents/documents_state.h"
#include "model/document_settings.h"
#include "model/routines.h"
#include "plots/plot_list.h"
#include "plots/plots_state.h"
#include "tables/tables_state.h"
#include "session/document_reset.h"
#include "session/engine.h"
#include "tables/table_fixture.h"

namespace voq {
namespace {

void Put16(std::vector<uint8_t>& out, int32_t v) {
  out.push_back(uint8_t(v & 0xFF));
  out.push_back(uint8_t((v >> 8) & 0xFF));
}
void Put32(std::vector<uint8_t>& out, int32_t v) {
  for (int k = 0; k < 4; ++k) out.push_back(uint8_t((uint32_t(v) >> (8 * k)) & 0xFF));
}
// The first offset where two images differ; the common size when one is a
// prefix of the other, and npos when they are equal.
size_t FirstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t k = 0; k < n; ++k)
    if (a[k] != b[k]) return k;
  return a.size() == b.size() ? std::string::npos : n;
}
int32_t Int16At(const std::vector<uint8_t>& b, size_t at) { return int16_t(b[at] | (b[at + 1] << 8)); }
int32_t Int32At(const std::vector<uint8_t>& b, size_t at) {
  return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24);
}

// A diagram entry: the 75-byte head and a text of (word 73) + 1 bytes.
void Entry(std::vector<uint8_t>& out, uint8_t kind, int32_t variable, int32_t window, const std::string& text,
           bool choice = false, int32_t choices = 0) {
  std::vector<uint8_t> head(kDiagramEntryHeadSize, 0);
  head[0] = kind;
  head[1] = uint8_t(variable);
  head[2] = uint8_t(variable >> 8);
  if (choices > 0) {
    head[5] = 0x78;  // the choice list's pointer, meaningless in a file
    head[65] = uint8_t(choices);
  }
  head[19] = 30;  // rectangle left
  head[61] = uint8_t(window);
  head[62] = uint8_t(window >> 8);
  if (choice) {
    head[19] = uint8_t(-100);
    head[20] = 0xFF;
    head[67] = 1;
  }
  const size_t length = text.size() + (choice ? 1 : 0);
  head[73] = uint8_t(length);
  out.insert(out.end(), head.begin(), head.end());
  out.push_back(uint8_t(text.size()));
  out.insert(out.end(), text.begin(), text.end());
  if (choice) out.push_back(0);  // a choice entry carries one byte more
}

// A diagram as a document with a diagram holds it: a background picture,
// the four fixed buttons, an input with a three-choice drop-down and an
// output, then a group of a line and a picture, the end-of-objects marker
// and one item after it.
std::vector<uint8_t> HandBuiltDiagramEntries(int32_t inputVariable, int32_t outputVariable) {
  std::vector<uint8_t> out;
  Put32(out, 16);
  Put16(out, 8);    // mapping mode
  Put16(out, 254);  // x extent
  Put16(out, 127);  // y extent
  Put16(out, 0x1234);
  Put32(out, 6);
  out.insert(out.end(), {1, 0, 9, 0, 0, 3});
  Put16(out, 11);
  Entry(out, 3, 0, 0, "Calculate");
  Entry(out, 5, 0, 0, "Save");
  Entry(out, 8, 0, 0, "Load");
  Entry(out, 1, inputVariable, 0, "1", false, 3);
  Entry(out, 0, 0, 0, "Low//1", true);
  Entry(out, 0, 0, 0, "Mid//2.5", true);
  Entry(out, 0, 0, 0, "High//4", true);
  Entry(out, 2, outputVariable, 0, "x =");
  // A hot area with a picture of its own, inline after the entry's text.
  Entry(out, 0, 0, -1, "Detail");
  Entry(out, 0, 0, -2, "DOC_1.WMF");
  Put32(out, 16);
  for (int k = 0; k < 4; ++k) Put16(out, 10 * k);
  Put32(out, 3);
  out.insert(out.end(), {7, 8, 9});
  Entry(out, 6, 0, 0, std::string("Help") + char(1));
  return out;
}

std::vector<uint8_t> HandBuiltDiagramObjects() {
  std::vector<uint8_t> out;
  Put16(out, 3);
  std::vector<uint8_t> group(115, 0);
  group[103] = 1;  // the group's member list follows
  out.insert(out.end(), group.begin(), group.end());
  Put16(out, 2);
  std::vector<uint8_t> line(115, 0);
  line[1] = 1;
  out.insert(out.end(), line.begin(), line.end());
  std::vector<uint8_t> picture(115, 0);
  picture[0] = 3;
  out.insert(out.end(), picture.begin(), picture.end());
  Put32(out, 4);
  out.insert(out.end(), {'W', 'M', 'F', 0});
  std::vector<uint8_t> end(115, 0);
  end[0] = 4;
  out.insert(out.end(), end.begin(), end.end());
  Entry(out, 0, 0, 0, "a note");
  return out;
}

class DocumentImageTest : public testing::TableTest {
 protected:
  void TearDown() override {
    SetDecimalSeparator('.');
    TableTest::TearDown();
  }

  // Two parametric tables, a lookup table, a plot of two curves with error
  // bars, a module called twice, a function with a formatted local, three
  // uncertainties, custom colours and the hand-built diagram.
  void BuildRichDocument() {
    text = "MODULE Sq(a : b)\r\n  b = a^2\r\nEND\r\n"
           "FUNCTION f(z)\r\n  w := z*2\r\n  f := w\r\nEND\r\n"
           "CALL Sq(2 : y1)\r\nCALL Sq(3 : y2)\r\n"
           "T = 10\r\nP = 100\r\nx = T + P + f(1)\r\n";
    CompileOnly(text);
    ASSERT_GT(ProgramUnitList.size(), 1u);

    TTableForm* form = MakeParametric({"T", "P"}, 3);
    ASSERT_NE(form, nullptr);
    for (int32_t r = 1; r <= 3; ++r) form->Columns->SetCell(r, 10 * r);
    ParametricColumnOrder = {0, VariableIndex("x")};
    TableRowCounts[1] = 2;
    TableColumnCounts[1] = 1;
    form->MultipleTableSetup();
    form->TableName = "Second";
    form->Columns->SetCell(2, 7.5L);
    form->MultipleTableRefresh();
    TTableForm* lookup = MakeLookup(2, 3, "Lookup 1");
    ASSERT_NE(lookup, nullptr);
    lookup->Columns->SetCell(1, 1.25L);

    TPlotRecord& plot = *CreateMPRPtr();
    plot.PlotName = "Plot 1";
    for (int16_t n = 1; n <= 2; ++n) {
      auto* curve = new TPlotLineRecord;
      curve->NPoints = 3;
      curve->XValues = {1, 2, 3};
      curve->YValues = {n * 1.0L, n * 2.0L, n * 3.0L};
      curve->CurveNumber = n;
      curve->LineType = 1;
      curve->TableKind = 1;
      curve->XErrorBars = 1;
      curve->YErrorBars = 1;
      curve->XErrors = {0.1L, 0.2L, 0.3L};
      curve->YErrors = {1, 2, 3};
      curve->Next = plot.Axes.FirstCurve;
      plot.Axes.FirstCurve = curve;
    }

    for (const char* name : {"T", "P", "x"}) MainProgramUnit->Variable(VariableIndex(name))->Uncertainty = 0.5L;
    CustomColors = {"ColorA=FF8000", "ColorB=00FF00"};
    const int32_t slot = FindRoutineSlot("F");
    ASSERT_GT(slot, 0);
    bool formatted = false;
    for (TLocalVariableRecord* l = RoutineAt(slot)->Locals; l != nullptr; l = l->Next) {
      if (l->Name == "w") {
        l->FormatGiven = 1;
        l->Style = 1;
        l->Digits = 3;
        formatted = true;
      }
    }
    ASSERT_TRUE(formatted);
    DiagramEntrySection = HandBuiltDiagramEntries(VariableIndex("T"), VariableIndex("x"));
    DiagramObjectSection = HandBuiltDiagramObjects();
  }

  TDocumentReadResult ReadBack(const std::vector<uint8_t>& image) {
    ResetEngineState();  // puts the installed host back
    ScopedPlatform scripted{platform};
    SetEquationsEditor(&editor);
    return ReadDocumentImage(image.data(), image.size());
  }

  std::string text;
};

TEST_F(DocumentImageTest, HeaderCarriesModeSeparatorAndPrinter) {
  SetDecimalSeparator(',');
  PrinterLandscape = true;
  const std::vector<uint8_t> image = WriteDocumentImage("a = 1");
  EXPECT_EQ(image[0], 8);
  EXPECT_EQ(std::string(image.begin() + 1, image.begin() + 9), "X6.462,L");
  const TDocumentReadResult read = ReadBack(image);
  ASSERT_TRUE(read.Read);
  EXPECT_EQ(read.FailedSection, 0);
  EXPECT_EQ(read.DocumentSeparator, ',');
  EXPECT_TRUE(read.Landscape);
  EXPECT_EQ(read.Version, "6.462");
  EXPECT_EQ(read.Text, "a = 1");
}

TEST_F(DocumentImageTest, NoTablesWriteFiveZeroWords) {
  CompileOnly("a = 1");
  const std::vector<uint8_t> image = WriteDocumentImage("a = 1");
  const size_t tables = 16 + 4 + 6 + 32 + 28 + 1664 + 2 + size_t(MainProgramUnit->VariableCount) * 122;
  for (size_t k = 0; k < 20; ++k) EXPECT_EQ(image[tables + k], 0) << k;
  EXPECT_EQ(Int16At(image, tables + 20), 0) << "no plots";
}

TEST_F(DocumentImageTest, ASingleTableWithoutListHasNoHeaderBlock) {
  TableRowCounts[3] = 2;
  TableColumnCounts[3] = 2;
  TTableForm* arrays = CreateTableForm(kArraysTableKind);
  ASSERT_NE(arrays, nullptr);
  arrays->Columns->SetCell(1, 4.5L);
  std::vector<uint8_t> group;
  WriteTableGroup(kArraysTableKind, group);
  ASSERT_GE(group.size(), 9u + 2u);
  EXPECT_EQ(Int32At(group, 0), 1);
  EXPECT_EQ(group[4], 0);
  EXPECT_EQ(Int32At(group, 5), 1);
  EXPECT_EQ(Int16At(group, 9), 2) << "the section's column count follows at once";
  std::vector<uint8_t> section;
  WriteTableSection(section, 8, false);
  EXPECT_EQ(group.size(), 9 + section.size());

  ResetEngineState();
  size_t pos = 0;
  ASSERT_TRUE(ReadTableGroup(kArraysTableKind, group.data(), group.size(), pos));
  EXPECT_EQ(pos, group.size());
  ASSERT_TRUE(TableForms[3]);
  EXPECT_EQ(TableForms[3]->Columns->Cell(1), 4.5L);
}

TEST_F(DocumentImageTest, RichDocumentRoundTripsByteForByte) {
  BuildRichDocument();
  const std::vector<uint8_t> first = WriteDocumentImage(text);
  const TDocumentReadResult read = ReadBack(first);
  ASSERT_TRUE(read.Read);
  ASSERT_EQ(read.FailedSection, 0) << CalcErrorCode;
  EXPECT_EQ(read.Text, text);

  ASSERT_TRUE(TableLists[1]);
  ASSERT_EQ(TableLists[1]->size(), 2u);
  EXPECT_EQ((*TableLists[1])[1]->Name, "Second");
  ASSERT_TRUE(TableLists[2]);
  EXPECT_EQ((*TableLists[2])[0]->Name, "Lookup 1");
  ASSERT_EQ(PlotList.size(), 1u);
  int curves = 0;
  for (const TPlotLineRecord* c = PlotList[0]->Axes.FirstCurve; c != nullptr; c = c->Next, ++curves) {
    EXPECT_EQ(c->XErrors, (std::vector<Extended>{0.1L, 0.2L, 0.3L}));
    EXPECT_EQ(c->YErrors, (std::vector<Extended>{1, 2, 3}));
  }
  EXPECT_EQ(curves, 2);
  TProgramUnitRecord* module = nullptr;
  for (TProgramUnitRecord* u : ProgramUnitList)
    if (u != nullptr && u->UpperName == "SQ") module = u;
  ASSERT_NE(module, nullptr);
  EXPECT_GT(module->VariableCount, 0);
  int uncertain = 0;
  for (int32_t i = 1; i <= MainProgramUnit->VariableCount; ++i)
    uncertain += IsBlank(MainProgramUnit->Variable(i)->Uncertainty) ? 0 : 1;
  EXPECT_EQ(uncertain, 3);
  EXPECT_EQ(CustomColors, (std::vector<std::string>{"ColorA=FF8000", "ColorB=00FF00"}));
  ASSERT_EQ(LocalFormatList.size(), 1u);
  EXPECT_EQ(LocalFormatList[0]->UpperName, "F");
  EXPECT_EQ(LocalFormatList[0]->Digits, 3);
  EXPECT_EQ(DiagramEntrySection, HandBuiltDiagramEntries(VariableIndex("T"), VariableIndex("x")));
  EXPECT_EQ(DiagramObjectSection, HandBuiltDiagramObjects());

  // Saved again before any compile: the same bytes.
  EXPECT_EQ(FirstDifference(WriteDocumentImage(read.Text), first), std::string::npos) << first.size();
}

TEST_F(DocumentImageTest, ReadingStopsWhereTheKeysSay) {
  BuildRichDocument();
  const std::vector<uint8_t> image = WriteDocumentImage(text);
  struct Case {
    bool ctrl;
    bool shift;
    bool plotsRead;
    bool unitsRead;
  };
  // Ctrl and Shift: the tables and nothing after them; Ctrl alone: nothing
  // after the diagram's objects.
  const Case cases[] = {{true, true, false, false}, {true, false, true, false}, {false, false, true, true}};
  for (const Case& c : cases) {
    platform.ctrlDown = c.ctrl;
    platform.shiftDown = c.shift;
    const TDocumentReadResult read = ReadBack(image);
    platform.ctrlDown = platform.shiftDown = false;
    EXPECT_EQ(read.FailedSection, 0);
    ASSERT_TRUE(TableLists[1]);
    EXPECT_EQ(TableLists[1]->size(), 2u);
    EXPECT_EQ(PlotList.size(), c.plotsRead ? 1u : 0u) << c.ctrl << c.shift;
    EXPECT_EQ(CustomColors.size(), c.unitsRead ? 2u : 0u) << c.ctrl << c.shift;
    EXPECT_EQ(LocalFormatList.size(), c.unitsRead ? 1u : 0u) << c.ctrl << c.shift;
  }
}

TEST_F(DocumentImageTest, WindowLayoutRoundTripsWithRunRangeAndShownPlot) {
  CompileOnly("T = 10\r\nP = 100");
  ASSERT_NE(MakeParametric({"T", "P"}, 5), nullptr);
  CreateMPRPtr();
  CreateMPRPtr();
  CurrentPlotNumber = 2;
  FirstRun = 2;
  LastRun = 4;
  StopOnWarning = true;
  std::vector<uint8_t> layout;
  WriteWindowLayout(layout);
  ASSERT_EQ(layout.size(), 2u + 9u * kWindowLayoutEntrySize + 2u);
  EXPECT_EQ(Int16At(layout, 0), 9);
  const size_t window4 = 2 + 3 * kWindowLayoutEntrySize;
  EXPECT_EQ(Int16At(layout, window4), 20) << "a window never laid out";
  EXPECT_EQ(Int16At(layout, window4 + 4), 40);
  EXPECT_EQ(Int16At(layout, window4 + 9), 2);
  EXPECT_EQ(Int16At(layout, window4 + 11), 4);
  EXPECT_EQ(Int16At(layout, window4 + 17), 2);
  EXPECT_EQ(Int16At(layout, 2 + 8 * kWindowLayoutEntrySize + 17), 2);
  EXPECT_EQ(Int16At(layout, layout.size() - 2), 1);

  layout[2 + 8] = 1;                     // the Equations window shown
  layout[layout.size() - 2] = uint8_t(-9);  // the Plot window, maximised
  layout[layout.size() - 1] = 0xFF;
  FirstRun = 1;
  LastRun = 5;
  StopOnWarning = false;
  CurrentPlotNumber = 1;
  size_t pos = 0;
  ASSERT_TRUE(ReadWindowLayout(layout.data(), layout.size(), pos));
  EXPECT_EQ(pos, layout.size());
  EXPECT_EQ(FirstRun, 2);
  EXPECT_EQ(LastRun, 4);
  EXPECT_TRUE(StopOnWarning);
  EXPECT_EQ(CurrentPlotNumber, 2);
  std::vector<uint8_t> again;
  WriteWindowLayout(again);
  EXPECT_EQ(again, layout);

  const std::vector<uint8_t> impossible = {0x10, 0x27, 0, 0};
  pos = 0;
  EXPECT_FALSE(ReadWindowLayout(impossible.data(), impossible.size(), pos));
  EXPECT_EQ(CalcErrorCode, kMsgUnexpectedIOError);
}

TEST_F(DocumentImageTest, AFailedReadLeavesNoDiagramOfTheDocumentBefore) {
  BuildRichDocument();
  const std::vector<uint8_t> image = WriteDocumentImage(text);
  ReadBack(image);
  ASSERT_FALSE(DiagramEntrySection.empty());
  // The next document ends inside its tables: the diagram is the reset one.
  const std::vector<uint8_t> part(image.begin(), image.begin() + 3000);
  ScopedPlatform scripted{platform};
  const TDocumentReadResult read = ReadDocumentImage(part.data(), part.size());
  EXPECT_GT(read.FailedSection, 4);
  EXPECT_TRUE(DiagramEntrySection.empty());
  EXPECT_TRUE(WindowLayoutEntries.empty());
}

// A document reset frees what the document before brought, whatever the
// host (the test host's window hooks do nothing): opening a document without
// tables, plots, diagram or layout after one with them, or starting a new
// one (File > New), saves the same bytes as that document saved from the
// start.
TEST_F(DocumentImageTest, TheNextDocumentSavesNothingOfTheOneBefore) {
  BuildRichDocument();
  // The colour dialog's custom colours are the program's, not the document's;
  // a routine's local formats outlive its disposal on purpose (a recompile
  // finds them again).
  CustomColors.clear();
  for (TLocalVariableRecord* l = RoutineAt(FindRoutineSlot("F"))->Locals; l != nullptr; l = l->Next) l->FormatGiven = 0;
  TPlotRecord& second = *CreateMPRPtr();
  second.PlotName = "Plot 2";
  auto* curve = new TPlotLineRecord;
  curve->NPoints = 2;
  curve->XValues = {1, 2};
  curve->YValues = {3, 4};
  curve->CurveNumber = 1;
  second.Axes.FirstCurve = curve;
  const std::string folder = ::testing::TempDir() + "voq_next_doc_" + std::to_string(getpid());
  const std::string rich = folder + "_rich.voq";
  const std::string plain = folder + "_plain.voq";
  auto save = [](const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
  };
  save(rich, WriteDocumentImage(text));
  const std::string plainText = "y = 2";
  ResetEngineState();
  const std::vector<uint8_t> fresh = WriteDocumentImage(plainText);
  save(plain, fresh);

  ScopedPlatform scripted{platform};
  SetEquationsEditor(&editor);
  for (const bool fileNew : {false, true}) {
    SCOPED_TRACE(fileNew ? "File > New" : "the next document read");
    ASSERT_TRUE(ReadDocumentFile(rich, false));
    ASSERT_EQ(PlotList.size(), 2u);
    ASSERT_FALSE(DiagramEntrySection.empty());
    ASSERT_FALSE(WindowLayoutEntries.empty());
    if (fileNew) {
      ResetDocument();
    } else {
      ASSERT_TRUE(ReadDocumentFile(plain, false));
    }
    EXPECT_TRUE(PlotList.empty());
    EXPECT_EQ(CurrentPlotNumber, 0);
    if (fileNew) {
      // The reset diagram and the default layout are written for a document
      // that brought none.
      EXPECT_TRUE(DiagramEntrySection.empty());
      EXPECT_TRUE(DiagramObjectSection.empty());
      EXPECT_TRUE(WindowLayoutEntries.empty());
    }
    EXPECT_FALSE(TableLists[1]);
    EXPECT_EQ(FirstDifference(WriteDocumentImage(plainText), fresh), std::string::npos) << fresh.size();
  }
  std::remove(rich.c_str());
  std::remove(plain.c_str());
}

TEST_F(DocumentImageTest, StoredLocalFormatsFindTheirRoutineByName) {
  // Formats of w in g and in f, both saved while their routine had slot 1.
  std::vector<uint8_t> section;
  for (const char* routine : {"G", "F"}) {
    TLocalVariableRecord l;
    l.Name = "w";
    l.Routine = 1;
    l.Style = 1;
    l.Digits = 5;
    l.FormatGiven = 1;
    uint8_t block[kStoredLocalVariableSize];
    PackLocalVariableRecord(l, routine, block);
    EXPECT_EQ(Int32At(std::vector<uint8_t>(block + 136, block + 140), 0), 0) << "no slot is stored";
    section.insert(section.end(), block, block + kStoredLocalVariableSize);
  }
  std::vector<uint8_t> data;
  Put32(data, 2);
  data.insert(data.end(), section.begin(), section.end());
  size_t pos = 0;
  ASSERT_TRUE(ReadLocalFormats(data.data(), data.size(), pos));
  ASSERT_EQ(LocalFormatList.size(), 2u);

  CompileOnly("FUNCTION f(z)\r\n  w := z*2\r\n  f := w\r\nEND\r\nx = f(1)");
  const TRoutineRecord* f = RoutineAt(FindRoutineSlot("F"));
  ASSERT_NE(f, nullptr);
  const TLocalVariableRecord* w = nullptr;
  for (const TLocalVariableRecord* l = f->Locals; l != nullptr; l = l->Next)
    if (l->Name == "w") w = l;
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Digits, 5);
  ASSERT_EQ(LocalFormatList.size(), 1u) << "g's format waits for g";
  EXPECT_EQ(LocalFormatList[0]->UpperName, "G");
}

TEST_F(DocumentImageTest, ClearedErrorBarFlagsWithArraysKeptRoundTrip) {
  BuildRichDocument();
  // Modify Plot turned the bars off; the arrays stay with the curves.
  for (TPlotLineRecord* c = PlotList[0]->Axes.FirstCurve; c != nullptr; c = c->Next) {
    c->XErrorBars = 0;
    c->YErrorBars = 0;
  }
  const std::vector<uint8_t> first = WriteDocumentImage(text);
  const TDocumentReadResult read = ReadBack(first);
  ASSERT_EQ(read.FailedSection, 0) << CalcErrorCode;
  ASSERT_EQ(PlotList.size(), 1u);
  int curves = 0;
  for (const TPlotLineRecord* c = PlotList[0]->Axes.FirstCurve; c != nullptr; c = c->Next) ++curves;
  EXPECT_EQ(curves, 2);
  EXPECT_EQ(CustomColors.size(), 2u) << "the sections after the plots are read from the right place";
  EXPECT_EQ(FirstDifference(WriteDocumentImage(read.Text), first), std::string::npos) << first.size();
}

TEST_F(DocumentImageTest, TruncationAtEvery97thByteReportsAnError) {
  BuildRichDocument();
  const std::vector<uint8_t> image = WriteDocumentImage(text);
  std::vector<uint8_t> tail;
  WriteLocalFormats(tail);
  const size_t localFormatsStart = image.size() - tail.size();
  for (size_t cut = 0; cut < image.size(); cut += 97) {
    const std::vector<uint8_t> part(image.begin(), image.begin() + std::ptrdiff_t(cut));
    const TDocumentReadResult read = ReadBack(part);
    if (cut == localFormatsStart) continue;  // the last section is optional
    EXPECT_TRUE(!read.Read || read.FailedSection != 0) << cut;
    EXPECT_NE(CalcErrorCode, 0) << cut;
  }
}

TEST_F(DocumentImageTest, PlotWithoutCurvesGives398AndLaterPlotsRead) {
  CompileOnly("a = 1");
  for (int k = 0; k < 3; ++k) {
    TPlotRecord& plot = *CreateMPRPtr();
    plot.PlotName = "Plot " + std::to_string(k + 1);
    if (k == 1) continue;  // the middle plot holds no curve
    auto* curve = new TPlotLineRecord;
    curve->NPoints = 1;
    curve->XValues = {1};
    curve->YValues = {2};
    plot.Axes.FirstCurve = curve;
  }
  CustomColors = {"C=1"};
  const std::vector<uint8_t> image = WriteDocumentImage("a = 1");
  platform.alerts.clear();
  const TDocumentReadResult read = ReadBack(image);
  EXPECT_EQ(read.FailedSection, 0);
  ASSERT_EQ(PlotList.size(), 2u);
  EXPECT_EQ(PlotList[1]->PlotName, "Plot 3");
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "The plot from this old version of VOQ was not read.");
  EXPECT_EQ(CustomColors, (std::vector<std::string>{"C=1"}));
}

TEST_F(DocumentImageTest, SectionFailuresStopTheReading) {
  BuildRichDocument();
  const std::vector<uint8_t> image = WriteDocumentImage(text);
  const size_t variables = 16 + 4 + text.size() + 1 + 32 + 28 + 1664;
  std::vector<uint8_t> tail, colours, uncertainty;
  WriteLocalFormats(tail);
  WriteCustomColors(colours);
  WriteUncertaintySection(uncertainty);
  const size_t firstEntry = image.size() - tail.size() - colours.size() - uncertainty.size() + 4 + 607 + 4;

  struct Case {
    const char* what;
    size_t at;
    int32_t value;
    int32_t section;
    int32_t error;
  };
  const Case cases[] = {
      {"10,001 variables", variables, 10001, 4, kMsgVariableLimitExceeded},
      {"uncertainty of variable 0", firstEntry, 0, 17, kMsgUncertaintyReadError},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bad = image;
    bad[c.at] = uint8_t(c.value & 0xFF);
    bad[c.at + 1] = uint8_t((c.value >> 8) & 0xFF);
    if (c.section == 17) bad[c.at + 2] = bad[c.at + 3] = 0;
    platform.alerts.clear();
    const TDocumentReadResult read = ReadBack(bad);
    EXPECT_TRUE(read.Read) << c.what;
    EXPECT_EQ(read.FailedSection, c.section) << c.what;
    EXPECT_EQ(CalcErrorCode, c.error) << c.what;
    ASSERT_EQ(platform.alerts.size(), 1u) << c.what;
    // Nothing after the failed section was read.
    EXPECT_TRUE(CustomColors.empty()) << c.what;
  }
  EXPECT_NE(platform.alerts[0].text.find("Error encountered in reading uncertainty"), std::string::npos);
}

TEST_F(DocumentImageTest, VariableLimitMessageNamesTheCount) {
  CompileOnly("a = 1");
  std::vector<uint8_t> image = WriteDocumentImage("a = 1");
  const size_t variables = 16 + 4 + 6 + 32 + 28 + 1664;
  image[variables] = 0x11;  // 10,001
  image[variables + 1] = 0x27;
  platform.alerts.clear();
  ReadBack(image);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_NE(platform.alerts[0].text.find("uses 10001 variables"), std::string::npos) << platform.alerts[0].text;
}

TEST_F(DocumentImageTest, PurgingKeepsUsedShownAndTabulatedVariables) {
  CompileOnly("T = 10\r\nP = 100\r\nx = T + P");
  TProgramUnitRecord* main = MainProgramUnit;
  CurrentProgramUnit = main;
  AddVariable("unused");
  AddVariable("shown");
  AddVariable("column");
  const int32_t shown = VariableIndex("shown");
  const int32_t column = VariableIndex("column");
  const int32_t unused = VariableIndex("unused");
  ASSERT_GT(shown, 0);
  main->Variable(unused)->UnknownPosition = 0;
  main->Variable(shown)->UnknownPosition = 0;
  main->Variable(column)->UnknownPosition = 0;
  main->Variable(VariableIndex("x"))->UpperVariable = int16_t(column);
  main->Variable(VariableIndex("T"))->Uncertainty = 0.1L;
  ASSERT_NE(MakeParametric({"column"}, 2), nullptr);
  // An input of "shown", an output of a number no variable has.
  DiagramEntrySection.clear();
  Put32(DiagramEntrySection, 0);
  Put16(DiagramEntrySection, 2);
  Entry(DiagramEntrySection, 1, shown, 0, "1");
  Entry(DiagramEntrySection, 2, 99, 0, "y");

  const std::vector<int16_t> numbers = PurgedVariableNumbers();
  const std::vector<uint8_t> image = WriteDocumentImage("x = T + P", true);
  EXPECT_EQ(main->VariableCount, 6) << "the document itself keeps its variables";
  ReadBack(image);
  ASSERT_EQ(MainProgramUnit->VariableCount, 5);
  CurrentProgramUnit = MainProgramUnit;
  EXPECT_EQ(FindVariable("unused"), 0);
  const int32_t newColumn = FindVariable("column");
  ASSERT_GT(newColumn, 0);
  EXPECT_EQ(newColumn, numbers[size_t(column)]);
  EXPECT_EQ(MainProgramUnit->Variable(FindVariable("x"))->UpperVariable, newColumn);
  for (int32_t i = 1; i <= 5; ++i) EXPECT_TRUE(IsBlank(MainProgramUnit->Variable(i)->Uncertainty)) << i;
  ASSERT_TRUE(TableForms[1]);
  EXPECT_EQ(TableForms[1]->Columns->VariableIndex, newColumn);
  // The input shows its variable's new number; the output became a text.
  EXPECT_EQ(DiagramItemVariables(), (std::vector<int32_t>{FindVariable("shown")}));
}

TEST_F(DocumentImageTest, LibraryFormCarriesTheModules) {
  text = "MODULE Sq(a : b)\r\n  b = a^2\r\nEND\r\nCALL Sq(2 : y1)\r\n";
  CompileOnly(text);
  SetDecimalSeparator(',');
  EXPECT_EQ(WriteLibraryImage(text)[6], ',') << "the decimal comma follows the mark";
  SetDecimalSeparator('.');
  const std::vector<uint8_t> image = WriteLibraryImage(text);
  EXPECT_EQ(std::string(image.begin() + 1, image.begin() + 6), "$SB1-");
  EXPECT_EQ(std::string(image.begin() + 1, image.begin() + 1 + image[0]), "$SB1-X6.462\r");
  const TDocumentReadResult read = ReadBack(image);
  ASSERT_TRUE(read.Library);
  EXPECT_EQ(read.FailedSection, 0);
  EXPECT_EQ(read.Version, "6.462");
  EXPECT_EQ(read.Text, text);
  bool found = false;
  for (TProgramUnitRecord* u : ProgramUnitList) found = found || (u != nullptr && u->UpperName == "SQ" && u->VariableCount > 0);
  EXPECT_TRUE(found);
  // A library's reader takes no local formats: cuts among them go unseen.
  std::vector<uint8_t> formats;
  WriteLocalFormats(formats);
  for (size_t cut = 0; cut < image.size() - formats.size(); cut += 13) {
    const std::vector<uint8_t> part(image.begin(), image.begin() + std::ptrdiff_t(cut));
    const TDocumentReadResult shortRead = ReadBack(part);
    EXPECT_TRUE(!shortRead.Read || shortRead.FailedSection == 16) << cut;
    EXPECT_NE(CalcErrorCode, 0) << cut;
  }
}

TEST_F(DocumentImageTest, FilesChooseTheirFormByExtension) {
  text = "MODULE Sq(a : b)\r\n  b = a^2\r\nEND\r\nCALL Sq(2 : y1)\r\n";
  CompileOnly(text);
  const std::string stem = ::testing::TempDir() + "voq_document_" + std::to_string(getpid());
  for (const std::string& name : {stem + ".VOQ", stem + ".lib"}) {
    ASSERT_TRUE(WriteDocumentBinary(name, text)) << name;
    TDocumentReadResult read;
    ResetEngineState();
    ASSERT_TRUE(ReadDocumentBinary(name, read)) << name;
    EXPECT_EQ(read.Library, name.back() == 'b') << name;
    EXPECT_EQ(read.Text, text);
    std::remove(name.c_str());
  }
  TDocumentReadResult read;
  EXPECT_FALSE(ReadDocumentBinary(stem + ".missing", read));
}

TEST(DiagramSection, ResetDiagramHasTheFourButtonsAndNoPicture) {
  std::vector<uint8_t> out;
  WriteDiagramEntrySection(out);
  EXPECT_EQ(Int32At(out, 0), 0);
  EXPECT_EQ(Int16At(out, 4), 4);
  const uint8_t kinds[] = {3, 5, 8, 6};
  size_t at = 6;
  for (uint8_t kind : kinds) {
    ASSERT_LT(at, out.size());
    EXPECT_EQ(out[at], kind);
    at += kDiagramEntryHeadSize + size_t(Int16At(out, at + 73)) + 1;
  }
  EXPECT_EQ(at, out.size());
  // The Calculate button: hidden at (140, 80), its caption after the head.
  EXPECT_EQ(Int16At(out, 6 + 19), 140);
  EXPECT_EQ(Int16At(out, 6 + 21), 80);
  EXPECT_EQ(out[6 + 67], 1);
  EXPECT_EQ(std::string(out.begin() + 6 + 76, out.begin() + 6 + 76 + 9), "Calculate");
  size_t pos = 0;
  ASSERT_TRUE(ReadDiagramEntrySection(out.data(), out.size(), pos));
  EXPECT_EQ(pos, out.size());
  std::vector<uint8_t> objects;
  WriteDiagramObjectSection(objects);
  EXPECT_EQ(objects, (std::vector<uint8_t>{0, 0}));
}

TEST(DiagramSection, DamagedSectionsAreRefused) {
  std::vector<uint8_t> deep;
  // Groups nested far deeper than any diagram holds.
  for (int k = 0; k < 200; ++k) {
    Put16(deep, 1);
    std::vector<uint8_t> group(115, 0);
    group[103] = 1;
    deep.insert(deep.end(), group.begin(), group.end());
  }
  std::vector<uint8_t> badMarker;
  Put32(badMarker, 7);
  Put16(badMarker, 0);
  std::vector<uint8_t> hugeCount;
  Put32(hugeCount, 0);
  Put16(hugeCount, 30000);
  size_t pos = 0;
  EXPECT_FALSE(ReadDiagramObjectSection(deep.data(), deep.size(), pos));
  EXPECT_EQ(CalcErrorCode, kMsgUnexpectedIOError);
  for (const auto& bytes : {badMarker, hugeCount}) {
    CalcErrorCode = 0;
    pos = 0;
    EXPECT_FALSE(ReadDiagramEntrySection(bytes.data(), bytes.size(), pos));
    EXPECT_EQ(CalcErrorCode, kMsgUnexpectedIOError);
    EXPECT_TRUE(DiagramEntrySection.empty());
  }
}

TEST(DocumentSections, UntrustedCountsAreRefusedBeforeAnythingIsMade) {
  using Reader = bool (*)(const uint8_t*, size_t, size_t&);
  auto units = [](const uint8_t* d, size_t n, size_t& p) { return ReadProgramUnits(d, n, p); };
  auto group = [](const uint8_t* d, size_t n, size_t& p) { return ReadTableGroup(1, d, n, p); };
  struct Case {
    const char* what;
    Reader read;
    std::vector<uint8_t> data;
  };
  const Case cases[] = {
      {"colour count", &ReadCustomColors, {0xFF, 0xFF, 0, 0, 1, 0, 0, 0, 0}},
      {"colour length 0", &ReadCustomColors, {1, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"colour length past the end", &ReadCustomColors, {1, 0, 0, 0, 0x2C, 1, 0, 0, 3, 'R', 'e', 'd'}},
      {"negative format count", &ReadLocalFormats, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"format count", &ReadLocalFormats, {2, 0, 0, 0}},
      {"unit count", units, {0x10, 0x27}},
      {"string block length", &ReadStringBlock, {0, 0, 0, 0x40, 'a'}},
      {"table count", group, {0, 0, 0, 0x10, 1, 1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    ResetEngineState();
    size_t pos = 0;
    EXPECT_FALSE(c.read(c.data.data(), c.data.size(), pos)) << c.what;
    EXPECT_EQ(CalcErrorCode, kMsgUnexpectedIOError) << c.what;
    EXPECT_TRUE(CustomColors.empty()) << c.what;
    EXPECT_TRUE(LocalFormatList.empty()) << c.what;
    EXPECT_EQ(ProgramUnitList.size(), 1u) << c.what;
    EXPECT_FALSE(TableForms[1]) << c.what;
  }
}

TEST(StringBlock, AddsOnlyNewLines) {
  std::vector<uint8_t> block;
  const std::string lines = "Water\r\n??\r\nwater\r\nAir";
  Put32(block, int32_t(lines.size()));
  block.insert(block.end(), lines.begin(), lines.end());
  size_t pos = 0;
  ASSERT_TRUE(ReadStringBlock(block.data(), block.size(), pos));
  EXPECT_EQ(StringConstants, (std::vector<std::string>{"??", "Water", "Air"}));
  std::vector<uint8_t> written;
  WriteStringBlock(written);
  EXPECT_EQ(written, (std::vector<uint8_t>{1, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace voq
