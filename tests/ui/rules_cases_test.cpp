// The cases a user runs into with the enabling rules.

#include <gtest/gtest.h>

#include "tests/ui/form_snapshot.h"
#include "tests/ui/test_form.h"

namespace vorzik::ui {
namespace {

using testing::MakeTestForm;
using testing::Snapshot;
using testing::Take;
using Names = std::vector<std::string>;

// The user's clicks, as they reach the rules through the controls.
TEST(RuleCases, QualityRowFollowsTheFilterVariant) {
  auto form = MakeTestForm();
  form->RG1.Choose(1);
  EXPECT_FALSE(form->CB3.Enabled());
  EXPECT_FALSE(form->E1.Enabled());
  EXPECT_FALSE(form->UD1.Enabled());
  EXPECT_TRUE(form->CB3.Checked());
  form->RG1.Choose(0);
  EXPECT_TRUE(form->CB3.Enabled());
  EXPECT_TRUE(form->E1.Enabled());
  EXPECT_TRUE(form->UD1.Enabled());
}

TEST(RuleCases, UntickingTheFilterSwitchesOffEveryRowAndTickingBringsBackTheTickedOnes) {
  auto form = MakeTestForm();
  form->CB5.Click();  // Gain on
  form->CB1.Click();
  for (const char* n : {"RG1", "CB3", "E1", "UD1", "CB4", "E2", "UD2", "CB5", "E3", "UD3", "CB6",
                        "E4", "UD4", "CB7", "E5", "UD5"}) {
    EXPECT_FALSE(form->Find(n)->Enabled()) << n;
  }
  form->CB1.Click();
  EXPECT_TRUE(form->E1.Enabled());
  EXPECT_TRUE(form->E3.Enabled());
  EXPECT_FALSE(form->E2.Enabled());
  EXPECT_FALSE(form->E5.Enabled());

  form->RG1.Choose(1);
  form->CB1.Click();
  form->CB1.Click();
  EXPECT_TRUE(form->CB3.Checked());
  EXPECT_FALSE(form->CB3.Enabled());
  EXPECT_FALSE(form->E1.Enabled());
  EXPECT_FALSE(form->UD1.Enabled());
  EXPECT_TRUE(form->E3.Enabled());
}

TEST(RuleCases, BoostFollowsAc3AndKeepsItsTick) {
  auto form = MakeTestForm();
  form->RG2.Choose(1);
  form->CB10.Click();
  EXPECT_TRUE(form->ComB1.Enabled());
  EXPECT_TRUE(form->ComB2.Enabled());
  form->RG2.Choose(0);
  EXPECT_FALSE(form->CB10.Enabled());
  EXPECT_FALSE(form->ComB1.Enabled());
  EXPECT_FALSE(form->ComB2.Enabled());
  EXPECT_TRUE(form->CB10.Checked());
  form->RG2.Choose(1);
  EXPECT_TRUE(form->CB10.Enabled());
  EXPECT_TRUE(form->ComB1.Enabled());
  EXPECT_TRUE(form->ComB2.Enabled());
}

TEST(RuleCases, NoiseGateLevelFollowsTheEncodeBox) {
  auto form = MakeTestForm();
  form->CB11.Click();
  EXPECT_TRUE(form->ComB3.Enabled());
  form->CB2.Click();
  EXPECT_FALSE(form->ComB3.Enabled());
  form->CB2.Click();
  EXPECT_TRUE(form->ComB3.Enabled());
}

TEST(RuleCases, OggVorbisSwapsQualityForBitRate) {
  auto form = MakeTestForm();
  form->RG2.Choose(2);
  EXPECT_TRUE(form->L1.Enabled());
  EXPECT_TRUE(form->ComB4.Enabled());
  EXPECT_FALSE(form->L2.Enabled());
  EXPECT_FALSE(form->ComB5.Enabled());
  EXPECT_FALSE(form->CB8.Enabled());
}

TEST(RuleCases, NormalizeOffWhateverTheEncoder) {
  for (int mode : {0, 1, 2}) {
    for (bool cb2 : {true, false}) {
      auto form = MakeTestForm();
      form->RG2.Choose(mode);
      if (!cb2)
        form->CB2.Click();
      form->CB9.Click();
      EXPECT_FALSE(form->E6.Enabled());
      EXPECT_FALSE(form->UD6.Enabled());
    }
  }
}

TEST(RuleCases, AutoExitSwitchesItsGroupAndKeepsTheSelection) {
  auto form = MakeTestForm();
  form->CB13.Click();
  EXPECT_TRUE(form->RG3.Enabled());
  EXPECT_EQ(form->RG3.ItemIndex(), 0);
  form->RG3.Choose(1);
  form->CB13.Click();
  EXPECT_FALSE(form->RG3.Enabled());
  EXPECT_EQ(form->RG3.ItemIndex(), 1);
}

TEST(RuleCases, ARuleRunTwiceGivesTheSameStatesAsOnce) {
  using Handler = void (TForm1::*)(Control&);
  const std::pair<Handler, const char*> handlers[] = {
      {&TForm1::CB1Click, "CB1"},  {&TForm1::RG1Click, "RG1"}, {&TForm1::CB2Click, "CB2"},
      {&TForm1::RG2Click, "RG2"},  {&TForm1::CB3Click, "CB3"}, {&TForm1::CB10Click, "CB10"},
      {&TForm1::CB13Click, "CB13"}};
  for (auto [handler, name] : handlers) {
    auto form = MakeTestForm();
    form->RG2.SetItemIndex(1);
    form->RG1.SetItemIndex(1);
    form->CB10.SetChecked(true);
    form->CB13.SetChecked(true);
    (form.get()->*handler)(*form->Find(name));
    const Snapshot once = Take(*form);
    (form.get()->*handler)(*form->Find(name));
    EXPECT_EQ(Take(*form), once) << name;
  }
}

TEST(RuleCases, TheRulesGiveTheStartStatesForTheDefaults) {
  auto form = MakeTestForm();
  const Snapshot start = Take(*form);
  for (auto handler : {&TForm1::CB1Click, &TForm1::RG1Click, &TForm1::CB2Click, &TForm1::RG2Click,
                       &TForm1::CB3Click, &TForm1::CB4Click, &TForm1::CB5Click, &TForm1::CB6Click,
                       &TForm1::CB7Click, &TForm1::CB9Click, &TForm1::CB10Click, &TForm1::CB11Click,
                       &TForm1::CB13Click}) {
    (form.get()->*handler)(form->P1);
  }
  EXPECT_EQ(Take(*form), start);
  const Names on = {"RG1", "CB3", "CB4",  "CB5", "CB6",   "CB7", "E1", "UD1",
                    "RG2", "CB8", "CB11", "L2",  "ComB5", "E6",  "UD6"};
  const Names off = {"E2",   "UD2", "E3",    "UD3",   "E4",    "UD4",   "E5", "UD5",
                     "CB10", "L1",  "ComB1", "ComB2", "ComB3", "ComB4", "RG3"};
  for (const auto& n : on)
    EXPECT_TRUE(form->Find(n)->Enabled()) << n;
  for (const auto& n : off)
    EXPECT_FALSE(form->Find(n)->Enabled()) << n;
}

}  // namespace
}  // namespace vorzik::ui
