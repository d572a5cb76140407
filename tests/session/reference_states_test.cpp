// $REFERENCE through the compile pass: the catalogue row's state, the list
// of chosen states across reads, and the errors.
#include <gtest/gtest.h>

#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "language/statement_readers.h"
#include "language/store_fixture.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "properties/fluid_catalog.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

class ReferenceStatesTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CheckOnlyMode = true;
  }
  void TearDown() override {
    SetEquationsEditor(nullptr);
    CheckOnlyMode = false;
    LanguageStoreTest::TearDown();
  }
  int32_t Compile(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CalcErrorCode = 0;
    CompileEquations(false, false);
    return CalcErrorCode;
  }
  int32_t ListedState(const std::string& fluid) {
    for (const auto& entry : ReferenceStateList) {
      if (entry.first == fluid) return entry.second;
    }
    return -99;
  }
  InMemoryEquationsEditor editor;
};

TEST_F(ReferenceStatesTest, AHighAccuracyFluidTakesAState) {
  ASSERT_EQ(Compile("$REFERENCE R134a ASHRAE\r\nx = 1"), 0);
  EXPECT_EQ(SubstanceCatalog[47].ReferenceState, 2);
  EXPECT_EQ(ListedState("R134A"), 2);
  // The same state again keeps the entry; another one changes it.
  ASSERT_EQ(Compile("$REFERENCE R134a ASH\r\nx = 1"), 0);
  EXPECT_EQ(ListedState("R134A"), 2);
  ASSERT_EQ(Compile("$REFERENCE R134a NBP\r\nx = 1"), 0);
  EXPECT_EQ(ListedState("R134A"), 1);
  EXPECT_EQ(SubstanceCatalog[47].ReferenceState, 1);
  // Without the directive the state is the default again and the entry goes.
  ASSERT_EQ(Compile("x = 1"), 0);
  EXPECT_EQ(SubstanceCatalog[47].ReferenceState, 0);
  EXPECT_EQ(ListedState("R134A"), -99);
}

TEST_F(ReferenceStatesTest, Errors) {
  struct Case {
    const char* text;
    int32_t error;
    const char* arg;
  };
  const Case cases[] = {
      {"$REFERENCE R134a", kMsgReferenceFormat, nullptr},
      {"$REFERENCE Nonesuch NBP", kMsgUnknownSubstance, "NONESUCH"},
      {"$REFERENCE Air NBP", kMsgReferenceStateFixed, "Air"},
      {"$REFERENCE Steam IIR", kMsgReferenceStateFixed, "Steam"},
      {"$REFERENCE R134a XYZ", kMsgUnknownReference, "XYZ"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Compile(std::string(c.text) + "\r\nx = 1"), c.error) << c.text;
    if (c.arg != nullptr) {
      EXPECT_EQ(MessageArgs[1], c.arg) << c.text;
    }
  }
}

// Statements read before a changed directive used the old state: the
// compile reads the text a second time.
TEST_F(ReferenceStatesTest, AChangedStateReadsTheTextTwice) {
  struct CountingReaders : StatementReaders {
    int reads = 0;
    void BeginRead() override { ++reads; }
  } counting;
  SetStatementReaders(&counting);
  ASSERT_EQ(Compile("$REFERENCE R134a IIR\r\nx = 1"), 0);
  EXPECT_EQ(counting.reads, 1);
  ASSERT_EQ(Compile("$REFERENCE R134a IIR\r\nx = 1"), 0);
  EXPECT_EQ(counting.reads, 2);
  ASSERT_EQ(Compile("$REFERENCE R134a DFT\r\nx = 1"), 0);
  EXPECT_EQ(counting.reads, 4);
  SetStatementReaders(nullptr);
}

}  // namespace
}  // namespace voq
