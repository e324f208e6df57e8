// The window's keys through the model (Enter as a move to the next field or a
// button's press, the arrows on radio items and in edits), and the walk over
// the tab stops.

#include <gtest/gtest.h>

#include <set>

#include "tests/ui/test_form.h"

namespace vorzik::ui {
namespace {

using testing::MakeTestForm;

// Presses Enter in `control`; returns the new focus's name.
std::string EnterIn(TForm1& form, Control& control, bool& taken) {
  taken = form.KeyDown(control, Key::Enter);
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
    bool taken = false;
    EXPECT_EQ(EnterIn(*form, *form->Find(c.from), taken), c.to) << c.from;
    EXPECT_TRUE(taken) << c.from;
  }
}

TEST(EnterKey, InAnEditLeavesItsTextAlone) {
  auto form = MakeTestForm();
  bool taken = false;
  EnterIn(*form, form->E1, taken);
  EXPECT_EQ(form->E1.Text(), "200");
}

TEST(EnterKey, SkipsASwitchedOffEdit) {
  auto form = MakeTestForm();  // E5 starts switched off
  ASSERT_FALSE(form->E5.Enabled());
  bool taken = false;
  EXPECT_EQ(EnterIn(*form, form->CB7, taken), "CB2");
}

TEST(EnterKey, FromTheFileListDoesNotStartABatch) {
  auto form = MakeTestForm();
  int batches = 0;
  form->OnEncodeStart = [&](Control&) { ++batches; };
  bool taken = false;
  EXPECT_EQ(EnterIn(*form, form->FLB1, taken), "B1");
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

TEST(EnterKey, OnAFocusedButtonPressesItAndOnARadioItemDoesNothing) {
  auto form = MakeTestForm();
  int batches = 0;
  int closes = 0;
  form->OnEncodeStart = [&](Control&) { ++batches; };
  form->OnCloseRequest = [&] { ++closes; };
  bool taken = false;
  EXPECT_EQ(EnterIn(*form, form->B1, taken), "B1");
  EXPECT_TRUE(taken);
  EXPECT_EQ(batches, 1);
  EnterIn(*form, form->B2, taken);
  EXPECT_EQ(closes, 1);
  form->RG2.SetItemIndex(2);
  EXPECT_EQ(EnterIn(*form, form->RG2, taken), "RG2");
  EXPECT_TRUE(taken) << "the item never sees it";
  EXPECT_EQ(form->RG2.ItemIndex(), 2);
  EXPECT_EQ(batches, 1);
}

struct ArrowCase {
  const char* group;
  Key key;
  int from;
  int to;
};

TEST(ArrowKeys, OnARadioItemChooseTheNextItemRoundTheGroup) {
  const ArrowCase cases[] = {
      {"RG2", Key::Down, 0, 1}, {"RG2", Key::Right, 1, 2}, {"RG2", Key::Down, 2, 0},
      {"RG2", Key::Up, 0, 2},   {"RG2", Key::Left, 2, 1},  {"RG1", Key::Down, 1, 0},
      {"RG1", Key::Up, 0, 1},   {"RG3", Key::Right, 0, 1},
  };
  for (const auto& c : cases) {
    auto form = MakeTestForm();
    auto& group = static_cast<RadioGroup&>(*form->Find(c.group));
    group.SetEnabled(true);
    group.SetItemIndex(c.from);
    EXPECT_TRUE(form->KeyDown(group, c.key));
    EXPECT_EQ(group.ItemIndex(), c.to) << c.group << " from " << c.from;
    EXPECT_EQ(form->Focus().Focused(), &group);
  }
}

TEST(ArrowKeys, ChoosingByArrowRunsTheGroupsRuleAndASwitchedOffGroupStays) {
  auto form = MakeTestForm();
  form->KeyDown(form->RG2, Key::Down);
  EXPECT_TRUE(form->CB10.Enabled()) << "AC3 chosen: the encoder rule ran";
  ASSERT_FALSE(form->RG3.Enabled());
  form->KeyDown(form->RG3, Key::Down);
  EXPECT_EQ(form->RG3.ItemIndex(), 0);
}

TEST(ArrowKeys, InAnEditStepItsSpinnerWithoutWrapping) {
  auto form = MakeTestForm();
  for (Control* c : form->Controls())
    c->SetEnabled(true);
  for (Edit* edit : {&form->E1, &form->E2, &form->E3, &form->E4, &form->E5, &form->E6}) {
    UpDown* upDown = form->UpDownOf(*edit);
    ASSERT_NE(upDown, nullptr) << edit->Name();
    upDown->SetPosition(upDown->Max() - 1);
    EXPECT_TRUE(form->KeyDown(*edit, Key::Up));
    form->KeyDown(*edit, Key::Up);
    EXPECT_EQ(edit->Text(), std::to_string(upDown->Max())) << edit->Name();
    upDown->SetPosition(upDown->Min());
    form->KeyDown(*edit, Key::Down);
    EXPECT_EQ(edit->Text(), std::to_string(upDown->Min())) << edit->Name();
    // Left and right move the caret: the edit's own keys.
    EXPECT_FALSE(form->KeyDown(*edit, Key::Left)) << edit->Name();
  }
  form->UD1.SetEnabled(false);
  form->E1.SetText("200");
  EXPECT_TRUE(form->KeyDown(form->E1, Key::Up));
  EXPECT_EQ(form->E1.Text(), "200") << "a switched-off spinner does not step";
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
  for (Control* c : testing::TabStopsOf(*form))
    c->SetEnabled(false);
  EXPECT_EQ(form->Focus().NextTabStop(&form->CB1, true), nullptr);
  form->Focus().MoveNext(true);
  EXPECT_EQ(form->Focus().Focused(), &form->CB1);
}

}  // namespace
}  // namespace vorzik::ui
