#include "language/routine_reader.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/string_constants.h"

namespace voq::testing {
namespace {

// An argument text as the header and CALL readers hand it over: "," the
// separator and ".." written as byte 255.
std::string ListText(std::string text) {
  for (size_t k = 0; k + 1 < text.size(); ++k) {
    if (text[k] == '.' && text[k + 1] == '.') text.replace(k, 2, 1, static_cast<char>(255));
  }
  for (char& c : text) {
    if (c == ',') c = ArgumentSeparator;
  }
  return text;
}

// Every (name, code) the list gives until it is used up; the code of a
// range is shown as "R" followed by the text of its string constant.
std::vector<std::pair<std::string, std::string>> TakeAll(const std::string& written) {
  std::string text = ListText(written);
  std::deque<std::string> pending;
  std::vector<std::pair<std::string, std::string>> out;
  while ((!text.empty() || !pending.empty()) && CalcErrorCode == 0 && out.size() < 50) {
    std::string name;
    int32_t code = 0;
    ExpandArrayRangeList(pending, name, text, code);
    if (CalcErrorCode != 0) break;
    std::string shown = code > 0 ? "R" + StringConstText(code) : std::to_string(code);
    for (char& c : name) {
      if (c == ArgumentSeparator) c = ',';
    }
    out.emplace_back(name, shown);
  }
  return out;
}

TEST(RoutineReaderTest, ExpandArrayRangeListHandsOutArgumentsAndElements) {
  const std::string end(1, '\x0B');  // the first "]" of a range text
  using List = std::vector<std::pair<std::string, std::string>>;
  const struct {
    const char* written;
    List expected;
  } cases[] = {
      // A header's list: every parameter ends with a separator.
      {"x,Y[1..3],z,", {{"x", "0"}, {"Y[1]", "RY_1..3" + end}, {"Y[2]", "-1"}, {"Y[3]", "-1"}, {"z", "0"}}},
      // Two ranged subscripts, in row order.
      {"M[1..2,0..1])",
       {{"M[1,0]", "RM_1..2,0..1" + end}, {"M[1,1]", "-1"}, {"M[2,0]", "-1"}, {"M[2,1]", "-1"}}},
      // Bounds are index expressions.
      {"V[2*2-1..1+3])", {{"V[3]", "RV_2*2-1..1+3" + end}, {"V[4]", "-1"}}},
      // A ":" outside brackets ends the inputs; parentheses nest.
      {"a(1,2),b:c)", {{"a(1,2)", "0"}, {"b", "0"}, {"c", "0"}}},
      // hi < lo: the group's code without an element.
      {"W[3..1],", {{"", "RW_3..1" + end}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TakeAll(c.written), c.expected) << c.written;
    EXPECT_EQ(CalcErrorCode, 0) << c.written;
  }
}

TEST(RoutineReaderTest, ExpandArrayRangeListRefusesBrokenAndHugeRanges) {
  const struct {
    const char* written;
    int32_t error;
  } cases[] = {
      {"V[1..3", kMsgIllegalSubscript},   // no closing "]" or separator
      {"V[1..q],", kMsgIllegalSubscript},  // a bound that is no index expression
      {"V[1..20000],", kMsgTooManyArguments},
      {"V[1..200,1..200],", kMsgTooManyArguments},
  };
  for (const auto& c : cases) {
    CalcErrorCode = 0;
    TakeAll(c.written);
    EXPECT_EQ(CalcErrorCode, c.error) << c.written;
  }
}

TEST(RoutineReaderTest, NewArgumentListGoesInFrontOfTheChain) {
  TArgumentListRecord* head = nullptr;
  TArgumentListRecord* first = NewArgumentList(-1, "F", head);
  TArgumentListRecord* second = NewArgumentList(3, "A_name_longer_than_thirty_characters", head);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(head, second);
  EXPECT_EQ(second->Next, first);
  EXPECT_EQ(second->Kind, 3);
  EXPECT_EQ(second->Name, "A_name_longer_than_thirty_char");
  EXPECT_EQ(first->Kind, -1);
  EXPECT_TRUE(first->Codes.empty());
  while (head != nullptr) {
    TArgumentListRecord* next = head->Next;
    delete head;
    head = next;
  }
}

}  // namespace
}  // namespace voq::testing
