// Enter as a move to the next field, and the walk over the tab stops.

#include <gtest/gtest.h>

#include <set>

#include "tests/ui/test_form.h"

namespace vorzik::ui {
namespace {

using testing::MakeTestForm;

// Presses Enter on `control` after giving it the focus; returns the new focus's name.
std::string EnterIn(TForm1& form, Control& control, char& key) {
  form.Focus().SetFocus(&control);
  key = '\r';
  if (control.OnKeyPress)
    control.OnKeyPress(control, key);
  return form.Focus().Focused() ? form.Focus().Focused()->Name() : "";
}

TEST(EnterKey, MovesToTheNextTabStopAndIsConsumed) {
  struct Case {
    const char* from;
    const char* to;
  };
  const Case cases[] = {{"E1", "CB4"},    {"E5", "CB2"},     {"DLB1", "FLB1"}, {"FLB1", "B1"},
                        {"CB1", "RG1"},   {"ComB5", "CB11"}, {"E6", "CB8"},    {"CB13", "DCB1"},
                        {"CB12", "CB13"}, {"ComB3", "CB9"}};
  for (const auto& c : cases) {
    auto form = MakeTestForm();
    char key = 0;
    EXPECT_EQ(EnterIn(*form, *form->Find(c.from), key), c.to) << c.from;
    EXPECT_EQ(key, 0) << c.from;
  }
}

TEST(EnterKey, InAnEditLeavesItsTextAlone) {
  auto form = MakeTestForm();
  char key = 0;
  EnterIn(*form, form->E1, key);
  EXPECT_EQ(form->E1.Text(), "200");
}

TEST(EnterKey, SkipsASwitchedOffEdit) {
  auto form = MakeTestForm();  // E5 starts switched off
  ASSERT_FALSE(form->E5.Enabled());
  char key = 0;
  EXPECT_EQ(EnterIn(*form, form->CB7, key), "CB2");
}

TEST(EnterKey, FromTheFileListDoesNotStartABatch) {
  auto form = MakeTestForm();
  int batches = 0;
  form->OnEncodeStart = [&](Control&) { ++batches; };
  char key = 0;
  EXPECT_EQ(EnterIn(*form, form->FLB1, key), "B1");
  EXPECT_EQ(batches, 0);
}

TEST(EnterKey, IsBoundToExactlyTheTwentySevenControls) {
  auto form = MakeTestForm();
  const std::set<std::string> bound = {"CB1",   "CB2",  "CB3",   "E1",    "CB4",  "E2",    "CB5",
                                       "E3",    "CB6",  "E4",    "CB7",   "E5",   "CB8",   "CB9",
                                       "E6",    "CB10", "ComB1", "ComB2", "CB11", "ComB3", "ComB4",
                                       "ComB5", "CB12", "CB13",  "DCB1",  "DLB1", "FLB1"};
  ASSERT_EQ(bound.size(), 27u);
  for (Control* c : form->Controls()) {
    EXPECT_EQ(static_cast<bool>(c->OnKeyPress), bound.count(c->Name()) == 1) << c->Name();
  }
}

TEST(EnterKey, OtherKeysPassUnchangedAndTheFocusStays) {
  auto form = MakeTestForm();
  for (char k : {'a', '9', ' ', '\n', '\t', '\x1b', '\b'}) {
    form->Focus().SetFocus(&form->E1);
    char key = k;
    form->E1.OnKeyPress(form->E1, key);
    EXPECT_EQ(key, k);
    EXPECT_EQ(form->Focus().Focused(), &form->E1);
  }
}

TEST(EnterKey, ButtonsAndRadioGroupsAreNotBound) {
  auto form = MakeTestForm();
  for (Control* c :
       std::initializer_list<Control*>{&form->B1, &form->B2, &form->RG1, &form->RG2, &form->RG3}) {
    EXPECT_FALSE(c->OnKeyPress) << c->Name();
  }
}

TEST(FocusWalk, ForwardFromTheLastWrapsToTheFirstAndBackwardFromTheFirstToTheLast) {
  auto form = MakeTestForm();
  form->Focus().SetFocus(&form->B2);
  form->Focus().MoveNext(true);
  EXPECT_EQ(form->Focus().Focused(), &form->CB1);
  form->Focus().MoveNext(false);
  EXPECT_EQ(form->Focus().Focused(), &form->B2);
}

TEST(FocusWalk, BackwardSkipsSwitchedOffControls) {
  auto form = MakeTestForm();
  form->Focus().SetFocus(&form->CB2);
  form->Focus().MoveNext(false);
  EXPECT_EQ(form->Focus().Focused(), &form->CB7);  // E5 is off
}

TEST(FocusWalk, TheFirstFocusIsCB1) {
  auto form = MakeTestForm();
  EXPECT_EQ(form->Focus().Focused(), &form->CB1);
}

TEST(FocusWalk, FromANonTabStopGoesToTheFirstEnabledOne) {
  auto form = MakeTestForm();
  form->CB1.SetEnabled(false);
  EXPECT_EQ(form->Focus().NextTabStop(&form->L1, true), &form->RG1);
  EXPECT_EQ(form->Focus().NextTabStop(&form->L1, false), &form->B2);
}

TEST(FocusWalk, NothingEnabledGivesNoTarget) {
  auto form = MakeTestForm();
  for (Control* c : form->Focus().TabStops())
    c->SetEnabled(false);
  EXPECT_EQ(form->Focus().NextTabStop(&form->CB1, true), nullptr);
  form->Focus().MoveNext(true);
  EXPECT_EQ(form->Focus().Focused(), &form->CB1);
}

}  // namespace
}  // namespace vorzik::ui
