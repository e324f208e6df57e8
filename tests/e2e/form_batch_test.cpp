// "Encode Start" through the window model on a fake Windows machine: what the
// form hands the batch, what it locks while the batch runs, and what a user
// can still change.

#include "ui/form_batch.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "tests/browser/fake_machine.h"
#include "tests/support/pipeline_fakes.h"
#include "ui/qt/form_peer.h"
#include "ui/tform1.h"

namespace vorzik::ui {
namespace {

using vorzik::testing::FakeFileSystem;
using vorzik::testing::FakeStageRunner;
using Names = std::vector<std::string>;

class FormBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::BuildWindowsMachine(machine);
    machine.AddFolder("D:\\rec");
    machine.AddFolder("D:\\rec\\empty");
    for (std::string name : {"b.wav", "a.mp2"}) {
      machine.AddFile("D:\\rec\\" + name);
      files.Write("D:\\rec\\" + name);
    }
    machine.ChangeDirectory("D:\\rec");
    form = std::make_unique<TForm1>(FormServices{
        .browserFs = machine,
        .runner = &runner,
        .files = &files,
        .powerAction =
            [this](int index) {
              powerCalls.push_back(index);
              events.push_back("power");
            },
        .keepAwake = [this](bool hold) { events.push_back(hold ? "hold awake" : "let sleep"); },
        .endAfterStop =
            [this](int signal) { events.push_back("end by signal " + std::to_string(signal)); }});
    form->OnCloseRequest = [this] { ++closeRequests; };
  }

  testing::FakeMachine machine;
  FakeFileSystem files;
  FakeStageRunner runner{files};
  std::vector<int> powerCalls;
  Names events;  // power, sleep inhibitor and program end, in order
  int closeRequests = 0;
  std::unique_ptr<TForm1> form;
};

TEST_F(FormBatch, DefaultsConvertEveryListedFile) {
  ASSERT_EQ(form->FLB1.Items(), (Names{"a.mp2", "b.wav"}));
  form->B1.Click();
  EXPECT_EQ(runner.commands,
            (Names{
                "BeSweet.exe -core( -input \"D:\\rec\\a.mp2\" -output "
                "\"D:\\rec\\EtcEnc\\a_TMP1.wav\" -2ch )",
                "ql7rzfir.exe -y -q 200 D:\\rec\\EtcEnc\\a_TMP1.wav D:\\rec\\EtcEnc\\a_TMP2.wav",
                "normalize.exe -m 90 -o D:\\rec\\EtcEnc\\a_TMP3.wav D:\\rec\\EtcEnc\\a_TMP2.wav",
                "BeSweet.exe -core( -input \"D:\\rec\\EtcEnc\\a_TMP3.wav\" -output "
                "\"D:\\rec\\EtcEnc\\a.mp2\" ) -mp2enc(  -b 224 -m s )",
                "ql7rzfir.exe -y -q 200 D:\\rec\\b.wav D:\\rec\\EtcEnc\\b_TMP2.wav",
                "normalize.exe -m 90 -o D:\\rec\\EtcEnc\\b_TMP3.wav D:\\rec\\EtcEnc\\b_TMP2.wav",
                "BeSweet.exe -core( -input \"D:\\rec\\EtcEnc\\b_TMP3.wav\" -output "
                "\"D:\\rec\\EtcEnc\\b.mp2\" ) -mp2enc(  -b 224 -m s )",
            }));
  EXPECT_EQ(files.createdFolders, (Names{"D:\\rec\\EtcEnc"}));
  EXPECT_EQ(form->FLB1.ItemIndex(), 1);
  EXPECT_EQ(form->SB1.SimpleText(), kStatusText);
  EXPECT_TRUE(powerCalls.empty());
}

TEST_F(FormBatch, ButtonAndBrowserRefuseInputOnlyWhileTheBatchRuns) {
  std::vector<Control*> locked{&form->B1, &form->DCB1, &form->DLB1, &form->FLB1};
  int pressesDuringBatch = 0;
  runner.duringRun = [&](std::size_t index) {
    for (Control* c : locked)
      EXPECT_FALSE(c->Enabled()) << c->Name();
    EXPECT_TRUE(form->CB9.Enabled()) << "options stay live";
    if (index == 0) {
      ++pressesDuringBatch;
      form->B1Click(form->B1);  // even a press that reaches the handler starts nothing
    }
  };
  form->B1.Click();
  EXPECT_EQ(pressesDuringBatch, 1);
  EXPECT_EQ(runner.commands.size(), 7u) << "no nested batch";
  for (Control* c : locked)
    EXPECT_TRUE(c->Enabled()) << c->Name();
  EXPECT_FALSE(form->BatchRunning());
}

// A focused B1 switched off would pass the focus on to EXIT, where the next
// Enter ends the program: the form itself holds it while the batch runs.
TEST_F(FormBatch, NoButtonHoldsTheFocusDuringTheBatchAndB1GetsItBackUnlessTheUserMovedIt) {
  // As a toolkit does: a focused control that is switched off passes the focus on.
  for (Control* c : form->Focus().TabStops()) {
    c->Subscribe([this](Control& sender, Property what) {
      if (what == Property::Enabled && !sender.Enabled() && form->Focus().Focused() == &sender)
        form->Focus().MoveNext(true);
    });
  }
  auto focusName = [this] {
    return form->Focus().Focused() ? form->Focus().Focused()->Name() : "";
  };
  Names focusDuring;
  runner.duringRun = [&](std::size_t) { focusDuring.push_back(focusName()); };
  form->KeyDown(form->B1, Key::Enter);
  EXPECT_EQ(focusDuring, Names(7, ""));
  EXPECT_EQ(form->Focus().Focused(), &form->B1);

  // Keys during the batch: Enter on EXIT presses nothing, a click gives it no
  // focus, and the Enter walk passes it by.
  runner.duringRun = [&](std::size_t index) {
    if (index != 7)
      return;
    form->KeyDown(form->B2, Key::Enter);
    form->Focus().SetFocus(&form->B2);
    focusDuring.push_back(focusName());
    form->KeyDown(form->CB13, Key::Enter);
    focusDuring.push_back(focusName());
  };
  form->KeyDown(form->B1, Key::Enter);
  EXPECT_EQ(runner.commands.size(), 14u);
  EXPECT_EQ(closeRequests, 0);
  EXPECT_FALSE(form->ClosePending());
  EXPECT_EQ(focusDuring.back(), "CB1") << "after CB13 every other stop is off or a button";
  EXPECT_EQ(focusDuring[focusDuring.size() - 2], "");
  EXPECT_EQ(form->Focus().Focused(), &form->CB1) << "the user's move stays";
}

TEST_F(FormBatch, ExitDuringABatchEndsTheProgramOnlyAfterIt) {
  std::size_t commandsAtClose = 0;
  runner.duringRun = [&](std::size_t index) {
    if (index == 1) {
      form->B2.Click();
      commandsAtClose = runner.commands.size();
      EXPECT_EQ(closeRequests, 0);
    }
  };
  form->CB13.Click();
  form->B1.Click();
  EXPECT_EQ(commandsAtClose, 2u);
  EXPECT_EQ(runner.commands.size(), 7u) << "the batch runs to its end";
  EXPECT_EQ(powerCalls, (std::vector<int>{0})) << "power action included";
  EXPECT_EQ(closeRequests, 1);
}

TEST_F(FormBatch, OptionClickedDuringTheFirstFileReachesTheSecond) {
  runner.duringRun = [&](std::size_t index) {
    if (index == 2)
      form->CB9.Click();  // untick Normalize while a_TMP3 is made
  };
  form->B1.Click();
  ASSERT_EQ(runner.commands.size(), 6u);
  EXPECT_EQ(runner.commands[4].find("ql7rzfir.exe"), 0u);
  EXPECT_EQ(runner.commands[5].find("BeSweet.exe -core( -input \"D:\\rec\\EtcEnc\\b_TMP2.wav\""),
            0u);
  EXPECT_FALSE(form->E6.Enabled()) << "the rule ran during the batch";
}

TEST_F(FormBatch, PowerActionGetsTheChoiceAlsoForAnEmptyFolder) {
  form->DLB1.Open(form->DLB1.Items().size() - 1);  // the one subfolder
  ASSERT_EQ(form->DLB1.Directory(), "D:\\rec\\empty");
  form->CB13.Click();
  form->RG3.Choose(1);
  form->B1.Click();
  EXPECT_EQ(form->SB1.SimpleText(), " フォルダ内に有効なファイルがありません。*.mp2 *.mpa *.wav");
  EXPECT_EQ(powerCalls, (std::vector<int>{1}));
  EXPECT_TRUE(runner.commands.empty());
}

// The sleep inhibitor is held from the start of a batch to its power action,
// which it must not hold up, and to a stop, which ends the program.
TEST_F(FormBatch, TheSystemIsKeptAwakeWhileTheBatchRunsOnly) {
  std::vector<Names> seenDuringTools;
  runner.duringRun = [&](std::size_t) { seenDuringTools.push_back(events); };
  form->B1.Click();
  ASSERT_EQ(seenDuringTools.size(), 7u);
  EXPECT_EQ(seenDuringTools.back(), Names{"hold awake"});
  EXPECT_EQ(events, (Names{"hold awake", "let sleep"}));

  events.clear();
  form->CB13.Click();
  form->B1.Click();
  EXPECT_EQ(events, (Names{"hold awake", "let sleep", "power", "let sleep"}));

  events.clear();
  runner.stopAt = runner.commands.size() + 1;
  form->B1.Click();
  EXPECT_EQ(events, (Names{"hold awake", "let sleep", "end by signal 15", "let sleep"}))
      << "a stopped batch ends the program instead of powering off";
}

TEST_F(FormBatch, FailedToolIsReportedInTheStatusBar) {
  runner.silent = {"normalize.exe"};
  form->B1.Click();
  EXPECT_EQ(form->SB1.SimpleText(),
            " 変換に失敗したファイルがあります（2 件）: a.mp2 (normalize.exe)");
  runner.silent.clear();
  form->B1.Click();
  EXPECT_EQ(form->SB1.SimpleText(), kStatusText) << "a good batch clears the old report";
}

TEST_F(FormBatch, SettingsAreReadFromEveryOptionControlEnabledOrNot) {
  form->E1.SetText("1");
  form->E2.SetText("2");
  form->E3.SetText("3");
  form->E4.SetText("4");
  form->E5.SetText("5");
  form->E6.SetText("6");
  form->ComB1.SetText("Brex");
  form->ComB2.SetText("7");
  form->ComB3.SetText("65");
  form->ComB4.SetText("8.00");
  form->ComB5.SetText("320");
  for (CheckBox* box :
       {&form->CB4, &form->CB5, &form->CB6, &form->CB7, &form->CB8, &form->CB10, &form->CB11}) {
    box->SetChecked(true);
  }
  form->CB3.SetChecked(false);
  form->RG1.SetItemIndex(1);
  form->RG2.SetItemIndex(2);
  ConversionSettings s = ReadConversionSettings(*form);
  EXPECT_EQ(s.quality + s.effect + s.gain + s.fadeIn + s.fadeOut + s.normaliseRatio, "123456");
  EXPECT_EQ(s.boostPreset, "Brex");
  EXPECT_EQ(s.boostLevel, "7");
  EXPECT_EQ(s.noiseGateLevel, "65");
  EXPECT_EQ(s.oggQuality, "8.00");
  EXPECT_EQ(s.bitRate, "320");
  EXPECT_FALSE(s.useQuality);
  EXPECT_TRUE(s.useEffect && s.useGain && s.useFadeIn && s.useFadeOut && s.errorProtection &&
              s.useBoost && s.useNoiseGate);
  EXPECT_FALSE(form->CB10.Enabled()) << "CB10 is off in MP2 mode yet counts as ticked";
  EXPECT_EQ(s.filterVariant, 1);
  EXPECT_EQ(s.encodeMode, 2);

  FormSwitches switches(*form);
  form->CB1.SetChecked(false);
  form->CB12.SetChecked(false);
  EXPECT_FALSE(switches.Filter());
  EXPECT_EQ(switches.FilterVariant(), 1);
  EXPECT_TRUE(switches.Normalise());
  EXPECT_TRUE(switches.Encode());
  EXPECT_FALSE(switches.DeleteIntermediate());
}

// Enter on "Encode Start" through the Qt window: one more Enter during the
// batch lands on no button, and after it a second batch starts; EXIT clicked
// during that one takes no focus and ends the program when it is over.
TEST_F(FormBatch, InTheWindowEnterDuringABatchPressesNothingAndAfterItStartsAnother) {
  qt::FormPeer peer(*form);
  bool closed = false;
  form->OnCloseRequest = [&closed] { closed = true; };
  peer.Show();
  peer.Window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(peer.Window()));
  std::vector<QWidget*> focusDuring;
  runner.duringRun = [&](std::size_t index) {
    focusDuring.push_back(QApplication::focusWidget());
    if (index == 0)
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    if (index == 7)
      QTest::mouseClick(peer.WidgetOf(form->B2), Qt::LeftButton);
  };
  form->Focus().SetFocus(&form->B1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  ASSERT_EQ(runner.commands.size(), 7u);
  EXPECT_EQ(focusDuring, std::vector<QWidget*>(7, peer.Window())) << "the form itself";
  EXPECT_FALSE(closed);
  EXPECT_EQ(QApplication::focusWidget(), peer.WidgetOf(form->B1));

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  ASSERT_EQ(runner.commands.size(), 14u);
  EXPECT_EQ(focusDuring.back(), peer.Window()) << "EXIT took no focus from the click";
  EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace vorzik::ui
