#include "lsp/Hover.h"
#include "tests/support/CheckedSets.h"

#include <gtest/gtest.h>

namespace dovetrel {
namespace {

// A set with every kind of row: a menu, a dial with its busy row, no input, a key answered twice,
// menus two levels down, and a file read for a row that never acts, which no call reaches.
const test::Files kSet = {
    {"/s/main.ivr", "10   welcome.wav\n"
                    "1    menu            sales.ivr\n"
                    "2    dial            104\n"
                    "b    menu            sales.ivr\n"
                    "-    disconnect\n"
                    "1    menu            other.ivr\n"
                    "\n"},
    {"/s/sales.ivr",
     "15   sales.wav\n3    menu            deep.ivr\n-    menu            main.ivr\n"},
    {"/s/deep.ivr", "20   deep.wav\n0    disconnect\n"},
    {"/s/other.ivr", "x    other.wav\n"},
};

constexpr const char* kMain = "\n\nГлавное меню набора.";
constexpr const char* kSales = "меню `sales.ivr`: приветствие `sales.wav`, ожидание 15 с";

struct HoverCase {
  std::string strFile;
  int nLine;
  std::string strShown; ///< empty: no hover
};

class Hovers : public testing::TestWithParam<HoverCase> {};

TEST_P(Hovers, SayWhatTheRowDoesAndHowACallComesThere) {
  static const std::unique_ptr<CheckedSet> pSet = test::CheckInMemory(kSet, "/s/main.ivr");
  const HoverCase& c = GetParam();
  const nlohmann::json hover = Hover(*pSet, "/s/" + c.strFile, c.nLine);
  if (c.strShown.empty()) {
    EXPECT_TRUE(hover.is_null()) << hover;
    return;
  }
  ASSERT_FALSE(hover.is_null());
  EXPECT_EQ(hover["contents"]["kind"], "markdown");
  EXPECT_EQ(hover["contents"]["value"], c.strShown);
  EXPECT_EQ(hover["range"]["start"]["line"], c.nLine - 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Hovers,
    testing::Values(
        HoverCase{"main.ivr", 1,
                  std::string("Меню `main.ivr`: приветствие `welcome.wav`, ожидание 10 с") + kMain},
        HoverCase{"main.ivr", 2, std::string("`1` → ") + kSales + kMain},
        HoverCase{"main.ivr", 3, std::string("`2` → набор `104` (занято: ") + kSales + ")" + kMain},
        HoverCase{"main.ivr", 4,
                  std::string("`b` (занято) → ") + kSales + " — после набора в строке 3" + kMain},
        HoverCase{"main.ivr", 5, std::string("`-` (нет ввода) → отбой") + kMain},
        HoverCase{"main.ivr", 6,
                  std::string("**Не сработает.** клавиша «1» уже назначена в строке 2: эта строка "
                              "не сработает") +
                      kMain},
        HoverCase{"main.ivr", 7, ""},
        HoverCase{"deep.ivr", 1,
                  "Меню `deep.ivr`: приветствие `deep.wav`, ожидание 20 с\n\n"
                  "Из главного меню: `1`, `3`"},
        // A timeout that is no number is shown as it is read.
        HoverCase{"other.ivr", 1,
                  "Меню `other.ivr`: приветствие `other.wav`, ожидание `x`\n\n"
                  "Из главного меню не достигается."}));

} // namespace
} // namespace dovetrel
