// EXIT and every other close: at once outside a batch, at the batch's end during one.

#include <gtest/gtest.h>

#include "tests/ui/test_form.h"

namespace vorzik::ui {
namespace {

using testing::MakeTestForm;

TEST(Exit, OutsideABatchAsksTheProgramToEndAtOnce) {
  auto form = MakeTestForm();
  int requests = 0;
  form->OnCloseRequest = [&] { ++requests; };
  form->B2.Click();
  EXPECT_EQ(requests, 1);
  form->SetBatchRunning(true);
  form->SetBatchRunning(false);
  EXPECT_EQ(requests, 1) << "nothing left for a later batch's end";
}

TEST(Exit, DuringASimulatedBatchIsRecordedAndHonouredWhenTheBatchEnds) {
  auto form = MakeTestForm();
  std::vector<std::string> log;
  form->OnCloseRequest = [&] { log.push_back("close"); };
  form->OnEncodeStart = [&](Control&) {
    form->SetBatchRunning(true);
    for (int file = 0; file < 3; ++file) {
      log.push_back("file" + std::to_string(file));
      if (file == 0)
        form->B2.Click();  // the user presses EXIT while a tool runs
      if (file == 1)
        form->Close();  // and closes the window by its title bar
    }
    log.push_back("power");
    form->SetBatchRunning(false);
    log.push_back("returned");
  };
  form->B1.Click();
  EXPECT_EQ(log,
            (std::vector<std::string>{"file0", "file1", "file2", "power", "close", "returned"}));
  EXPECT_FALSE(form->BatchRunning());
  form->SetBatchRunning(true);
  form->SetBatchRunning(false);
  EXPECT_EQ(log.back(), "returned") << "the close was honoured once, not left for a later batch";
}

TEST(Exit, ABatchWithoutACloseRequestLeavesTheProgramRunning) {
  auto form = MakeTestForm();
  int requests = 0;
  form->OnCloseRequest = [&] { ++requests; };
  form->SetBatchRunning(true);
  form->SetBatchRunning(false);
  EXPECT_EQ(requests, 0);
}

TEST(EncodeStart, DoesNothingUntilTheBatchIsConnected) {
  auto form = MakeTestForm();
  form->B1.Click();
  EXPECT_FALSE(form->BatchRunning());
  int batches = 0;
  form->OnEncodeStart = [&](Control& sender) {
    EXPECT_EQ(&sender, &form->B1);
    ++batches;
  };
  form->B1.Click();
  EXPECT_EQ(batches, 1);
}

}  // namespace
}  // namespace vorzik::ui
