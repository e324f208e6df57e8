// The enabling rules against their tables, their order of steps, and the cases
// a user runs into.

#include <gtest/gtest.h>

#include "tests/ui/form_snapshot.h"
#include "tests/ui/test_form.h"

namespace vorzik::ui {
namespace {

using testing::MakeTestForm;
using testing::Snapshot;
using testing::Take;

// A table cell: on, off, or "= CBn".
struct Cell {
  enum { On, Off, Box } what;
  const char* box = nullptr;
};
constexpr Cell kOn{Cell::On};
constexpr Cell kOff{Cell::Off};
Cell Same(const char* box) {
  return {Cell::Box, box};
}

bool Expected(TForm1& form, const Cell& cell) {
  if (cell.what == Cell::Box)
    return dynamic_cast<CheckBox&>(*form.Find(cell.box)).Checked();
  return cell.what == Cell::On;
}

CheckBox& Box(TForm1& form, const std::string& name) {
  return dynamic_cast<CheckBox&>(*form.Find(name));
}

// Rows: control, then the cells of the columns in the table's order.
using Table = std::vector<std::pair<std::string, std::vector<Cell>>>;

// Columns: item 0 checked, item 1 checked, unchecked.
Table FilterTable() {
  return {
      {"RG1", {kOn, kOn, kOff}},
      {"CB3", {kOn, kOff, kOff}},
      {"CB4", {kOn, kOn, kOff}},
      {"CB5", {kOn, kOn, kOff}},
      {"CB6", {kOn, kOn, kOff}},
      {"CB7", {kOn, kOn, kOff}},
      {"E1", {Same("CB3"), kOff, kOff}},
      {"UD1", {Same("CB3"), kOff, kOff}},
      {"E2", {Same("CB4"), Same("CB4"), kOff}},
      {"UD2", {Same("CB4"), Same("CB4"), kOff}},
      {"E3", {Same("CB5"), Same("CB5"), kOff}},
      {"UD3", {Same("CB5"), Same("CB5"), kOff}},
      {"E4", {Same("CB6"), Same("CB6"), kOff}},
      {"UD4", {Same("CB6"), Same("CB6"), kOff}},
      {"E5", {Same("CB7"), Same("CB7"), kOff}},
      {"UD5", {Same("CB7"), Same("CB7"), kOff}},
  };
}

// Columns: MP2, AC3, Ogg Vorbis (CB2 checked), then CB2 unchecked.
Table EncoderTable() {
  return {
      {"RG2", {kOn, kOn, kOn, kOff}},
      {"CB8", {kOn, kOff, kOff, kOff}},
      {"CB10", {kOff, kOn, kOff, kOff}},
      {"CB11", {kOn, kOn, kOn, kOff}},
      {"L1", {kOff, kOff, kOn, kOff}},
      {"L2", {kOn, kOn, kOff, kOff}},
      {"ComB1", {kOff, Same("CB10"), kOff, kOff}},
      {"ComB2", {kOff, Same("CB10"), kOff, kOff}},
      {"ComB3", {Same("CB11"), Same("CB11"), Same("CB11"), kOff}},
      {"ComB4", {kOff, kOff, kOn, kOff}},
      {"ComB5", {kOn, kOn, kOff, kOff}},
  };
}

// A scrambled start, so that a rule's effect cannot come from the defaults.
void Scramble(TForm1& form, unsigned seed) {
  int i = 0;
  for (Control* c : form.Controls())
    c->SetEnabled(((seed >> (i++ % 13)) & 1) != 0);
}

void ExpectColumn(TForm1& form, const Table& table, int column, const std::string& where) {
  for (const auto& [name, cells] : table) {
    EXPECT_EQ(form.Find(name)->Enabled(), Expected(form, cells[column])) << where << " " << name;
  }
}

TEST(FilterRule, EveryCombinationOfVariantFilterBoxAndOptionBoxes) {
  const Table table = FilterTable();
  for (int index : {0, 1, -1, 2}) {
    for (bool cb1 : {true, false}) {
      for (unsigned boxes = 0; boxes < 32; ++boxes) {
        for (bool viaGroup : {false, true}) {
          auto form = MakeTestForm();
          form->RG1.SetItemIndex(index);
          form->CB1.SetChecked(cb1);
          const char* names[] = {"CB3", "CB4", "CB5", "CB6", "CB7"};
          for (int b = 0; b < 5; ++b)
            Box(*form, names[b]).SetChecked((boxes >> b) & 1);
          Scramble(*form, boxes * 7 + index + 3);
          const Snapshot before = Take(*form);
          if (viaGroup) {
            form->RG1Click(form->RG1);
          } else {
            form->CB1Click(form->CB1);
          }
          const std::string where = "index " + std::to_string(index) + " cb1 " +
                                    std::to_string(cb1) + " boxes " + std::to_string(boxes);
          Snapshot after = Take(*form);
          EXPECT_EQ(after.values, before.values) << where;
          if (index != 0 && index != 1) {
            EXPECT_EQ(after, before) << where;
            continue;
          }
          ExpectColumn(*form, table, cb1 ? index : 2, where);
          for (const auto& [name, cells] : table)
            after.enabled.erase(name);
          Snapshot untouched = before;
          for (const auto& [name, cells] : table)
            untouched.enabled.erase(name);
          EXPECT_EQ(after.enabled, untouched.enabled) << where;
        }
      }
    }
  }
}

TEST(EncoderRule, EveryCombinationOfModeEncodeBoxBoostAndNoiseGate) {
  const Table table = EncoderTable();
  for (int index : {0, 1, 2, -1, 3}) {
    for (bool cb2 : {true, false}) {
      for (bool cb10 : {true, false}) {
        for (bool cb11 : {true, false}) {
          for (bool viaGroup : {false, true}) {
            auto form = MakeTestForm();
            form->RG2.SetItemIndex(index);
            form->CB2.SetChecked(cb2);
            form->CB10.SetChecked(cb10);
            form->CB11.SetChecked(cb11);
            Scramble(*form, 0x1555u + index * 5 + cb10 * 2 + cb11);
            const Snapshot before = Take(*form);
            if (viaGroup) {
              form->RG2Click(form->RG2);
            } else {
              form->CB2Click(form->CB2);
            }
            const std::string where = "index " + std::to_string(index) + " cb2 " +
                                      std::to_string(cb2) + " cb10 " + std::to_string(cb10) +
                                      " cb11 " + std::to_string(cb11);
            Snapshot after = Take(*form);
            EXPECT_EQ(after.values, before.values) << where;
            if (index < 0 || index > 2) {
              EXPECT_EQ(after, before) << where;
              continue;
            }
            ExpectColumn(*form, table, cb2 ? index : 3, where);
            Snapshot untouched = before;
            for (const auto& [name, cells] : table) {
              after.enabled.erase(name);
              untouched.enabled.erase(name);
            }
            EXPECT_EQ(after.enabled, untouched.enabled) << where;
          }
        }
      }
    }
  }
}

struct PairRule {
  void (TForm1::*handler)(Control&);
  const char* box;
  std::vector<std::string> controls;
};

TEST(PairRules, EachSetsItsControlsToItsOwnBoxInOrderAndNothingElse) {
  const PairRule rules[] = {
      {&TForm1::CB3Click, "CB3", {"E1", "UD1"}},
      {&TForm1::CB4Click, "CB4", {"E2", "UD2"}},
      {&TForm1::CB5Click, "CB5", {"E3", "UD3"}},
      {&TForm1::CB6Click, "CB6", {"E4", "UD4"}},
      {&TForm1::CB7Click, "CB7", {"E5", "UD5"}},
      {&TForm1::CB9Click, "CB9", {"E6", "UD6"}},
      {&TForm1::CB10Click, "CB10", {"ComB1", "ComB2"}},
      {&TForm1::CB11Click, "CB11", {"ComB3"}},
      {&TForm1::CB13Click, "CB13", {"RG3"}},
  };
  for (const auto& rule : rules) {
    for (bool checked : {true, false}) {
      auto form = MakeTestForm();
      Box(*form, rule.box).SetChecked(checked);
      for (Control* c : form->Controls())
        c->SetEnabled(!checked);
      const Snapshot before = Take(*form);
      std::vector<std::string> log;
      for (Control* c : form->Controls()) {
        c->Subscribe([&log](Control& s, Property p) {
          if (p == Property::Enabled)
            log.push_back(s.Name());
        });
      }
      (form.get()->*rule.handler)(*form->Find(rule.box));
      EXPECT_EQ(log, rule.controls) << rule.box;
      Snapshot after = Take(*form);
      EXPECT_EQ(after.values, before.values) << rule.box;
      for (const auto& name : rule.controls) {
        EXPECT_EQ(after.enabled[name], checked) << rule.box << " " << name;
        after.enabled[name] = !checked;
      }
      EXPECT_EQ(after.enabled, before.enabled) << rule.box;
    }
  }
}

std::vector<std::string> StepLog(TForm1& form, void (TForm1::*handler)(Control&), Control& sender) {
  std::vector<std::string> log;
  for (Control* c : form.Controls()) {
    c->Subscribe([&log](Control& s, Property p) {
      if (p == Property::Enabled)
        log.push_back(s.Name());
    });
  }
  (form.*handler)(sender);
  return log;
}

using Names = std::vector<std::string>;

TEST(RuleOrder, FilterRuleWithTheFilterBoxTickedAndUnticked) {
  auto form = MakeTestForm();
  EXPECT_EQ(StepLog(*form, &TForm1::CB1Click, form->CB1),
            (Names{"RG1", "CB3", "CB4", "CB5", "CB6", "CB7", "E1", "UD1", "E2", "UD2", "E3", "UD3",
                   "E4", "UD4", "E5", "UD5"}));
  form = MakeTestForm();
  form->RG1.SetItemIndex(1);
  EXPECT_EQ(StepLog(*form, &TForm1::RG1Click, form->RG1),
            (Names{"RG1", "CB3", "CB4", "CB5", "CB6", "CB7", "E1", "UD1", "E2", "UD2", "E3", "UD3",
                   "E4", "UD4", "E5", "UD5"}));
  form = MakeTestForm();
  form->CB1.SetChecked(false);
  EXPECT_EQ(StepLog(*form, &TForm1::CB1Click, form->CB1),
            (Names{"RG1", "CB3", "CB4", "CB5", "CB6", "CB7", "E1", "UD1", "E2", "UD2", "E3", "UD3",
                   "E4", "UD4", "E5", "UD5"}));
}

TEST(RuleOrder, EncoderRuleInItsThreeBranches) {
  const Names mp2AndOgg = {"RG2",   "CB8",   "CB10",  "CB11",  "L1",   "L2",
                           "ComB1", "ComB2", "ComB4", "ComB5", "ComB3"};
  const Names ac3 = {"RG2",   "CB8",   "CB10",  "CB11",  "L1",   "L2",
                     "ComB4", "ComB5", "ComB1", "ComB2", "ComB3"};
  const Names off = {"RG2",   "CB8",   "CB10",  "CB11",  "L1",   "L2",
                     "ComB1", "ComB2", "ComB3", "ComB4", "ComB5"};
  for (int index : {0, 2}) {
    auto form = MakeTestForm();
    form->RG2.SetItemIndex(index);
    EXPECT_EQ(StepLog(*form, &TForm1::RG2Click, form->RG2), mp2AndOgg) << index;
  }
  auto form = MakeTestForm();
  form->RG2.SetItemIndex(1);
  EXPECT_EQ(StepLog(*form, &TForm1::RG2Click, form->RG2), ac3);
  form = MakeTestForm();
  form->CB2.SetChecked(false);
  EXPECT_EQ(StepLog(*form, &TForm1::CB2Click, form->CB2), off);
}

TEST(RuleOrder, NoSelectedItemSetsNothing) {
  auto form = MakeTestForm();
  form->RG1.SetItemIndex(-1);
  form->RG2.SetItemIndex(3);
  EXPECT_TRUE(StepLog(*form, &TForm1::RG1Click, form->RG1).empty());
  EXPECT_TRUE(StepLog(*form, &TForm1::CB2Click, form->CB2).empty());
}

}  // namespace
}  // namespace vorzik::ui
