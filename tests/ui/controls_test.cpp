// Typing limits, spinners and picks, as a user meets them in the window.

#include <gtest/gtest.h>

#include "tests/ui/test_form.h"

namespace vorzik::ui {
namespace {

using testing::MakeTestForm;

TEST(Edit, TypedNumberBeyondTheSpinnerLimitIsAcceptedAndAFourthCharacterRefused) {
  auto form = MakeTestForm();
  form->E1.SetText("");
  EXPECT_TRUE(form->E1.Type("999"));
  EXPECT_EQ(form->E1.Text(), "999");
  EXPECT_FALSE(form->E1.Type("9"));
  EXPECT_EQ(form->E1.Text(), "999");
  EXPECT_EQ(form->UD1.Position(), 200);  // the spinner does not check typed text
}

TEST(Edit, ProgramSetIsNotLimitedAndUserMayShortenAnOverlongText) {
  auto form = MakeTestForm();
  form->E2.SetText("12345");
  EXPECT_EQ(form->E2.Text(), "12345");
  EXPECT_TRUE(form->E2.UserSetText("1234"));
  EXPECT_FALSE(form->E2.UserSetText("12349"));
  EXPECT_EQ(form->E2.Text(), "1234");
}

TEST(UpDown, AtItsMaximumTheUpArrowStaysThere) {
  auto form = MakeTestForm();
  form->UD1.SetPosition(300);
  form->UD1.StepUp();
  EXPECT_EQ(form->UD1.Position(), 300);
  EXPECT_EQ(form->E1.Text(), "300");
  form->UD4.StepDown();  // at its minimum 0
  EXPECT_EQ(form->UD4.Position(), 0);
  EXPECT_EQ(form->E4.Text(), "0");
}

TEST(UpDown, StepsByOneAndShowsItsPositionInTheEdit) {
  auto form = MakeTestForm();
  form->UD6.StepUp();
  EXPECT_EQ(form->E6.Text(), "91");
  form->UD6.StepDown();
  form->UD6.StepDown();
  EXPECT_EQ(form->UD6.Position(), 89);
  EXPECT_EQ(form->E6.Text(), "89");
}

TEST(UpDown, StepFromATypedNumberStartsThereWithinTheLimits) {
  auto form = MakeTestForm();
  form->E1.UserSetText("50");
  form->UD1.StepUp();
  EXPECT_EQ(form->E1.Text(), "51");
  form->E1.UserSetText("999");
  form->UD1.StepUp();
  EXPECT_EQ(form->E1.Text(), "300");
}

TEST(ComboBox, PickingTenShowsItThoughOnlyOneCharacterMayBeTyped) {
  auto form = MakeTestForm();
  form->ComB2.Pick(9);
  EXPECT_EQ(form->ComB2.Text(), "10");
  EXPECT_TRUE(form->ComB2.UserSetText(""));
  EXPECT_TRUE(form->ComB2.UserSetText("7"));
  EXPECT_FALSE(form->ComB2.UserSetText("77"));
  EXPECT_EQ(form->ComB2.Text(), "7");
}

TEST(ComboBox, PickOutsideTheItemsChangesNothing) {
  auto form = MakeTestForm();
  form->ComB5.Pick(8);
  form->ComB5.Pick(-1);
  EXPECT_EQ(form->ComB5.Text(), "224");
}

TEST(CheckBox, ClickTogglesBeforeTheHandlerRuns) {
  CheckBox box("X", {}, "x", false);
  std::vector<bool> seen;
  box.OnClick = [&](Control&) { seen.push_back(box.Checked()); };
  box.Click();
  box.Click();
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST(RadioGroup, ChoosingAnotherItemRunsTheHandlerTheSameOneDoesNot) {
  RadioGroup group("G", {}, "g", {"a", "b"}, 0);
  int clicks = 0;
  group.OnClick = [&](Control&) { ++clicks; };
  group.Choose(0);
  EXPECT_EQ(clicks, 0);
  group.Choose(1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(group.ItemIndex(), 1);
  group.SetItemIndex(0);  // the program's set runs no handler
  EXPECT_EQ(clicks, 1);
}

TEST(CharCount, CountsCharactersNotBytes) {
  EXPECT_EQ(CharCount("abc"), 3u);
  EXPECT_EQ(CharCount("あい"), 2u);
  Edit edit("E", {}, "", 2);
  EXPECT_TRUE(edit.Type("あい"));
}

}  // namespace
}  // namespace vorzik::ui
