// The Qt peer's focus: Enter, Tab and clicks walk the model's order; EXIT and
// the window's close go through the model.

#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/temp_dir.h"
#include "tests/ui/qt_peer_fixture.h"

namespace vorzik::ui {
namespace {

using testing::QtPeerTest;

TEST_F(QtPeerTest, EnterInEveryBoundWidgetFocusesTheNextTabStop) {
  for (Control* c : form->Focus().TabStops())
    c->SetEnabled(true);
  int bound = 0;
  for (Control* c : form->Controls()) {
    if (!c->OnKeyPress)
      continue;
    ++bound;
    form->Focus().SetFocus(c);
    QWidget* focused = QApplication::focusWidget();
    ASSERT_EQ(peer->ControlOf(focused), c) << c->Name();
    Control* next = form->Focus().NextTabStop(c, true);
    QTest::keyClick(focused, Qt::Key_Return);
    EXPECT_EQ(form->Focus().Focused(), next) << c->Name();
    EXPECT_EQ(QApplication::focusWidget(), peer->FocusWidgetOf(*next)) << c->Name();
  }
  EXPECT_EQ(bound, 27);
  EXPECT_EQ(form->E1.Text(), "200");
}

TEST(QtPeerBrowser, EnterInTheFolderListMovesOnWithoutOpeningTheHighlightedFolder) {
  vorzik::testing::TempDir folder;
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  vorzik::testing::CurrentDirGuard restore;
  ASSERT_EQ(chdir(folder.path().c_str()), 0);
  auto form = testing::MakeTestForm();
  qt::FormPeer peer(*form);
  peer.Show();
  peer.Window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(peer.Window()));

  const int last = static_cast<int>(form->DLB1.Items().size()) - 1;
  ASSERT_GT(last, form->DLB1.ItemIndex());
  form->DLB1.Highlight(last);
  const std::string opened = form->DLB1.Directory();
  form->Focus().SetFocus(&form->DLB1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(form->DLB1.Directory(), opened);
  EXPECT_EQ(form->DLB1.ItemIndex(), last);
  EXPECT_EQ(QApplication::focusWidget(), peer.WidgetOf(form->FLB1));
}

TEST_F(QtPeerTest, EnterInTheFileListGoesToB1WithoutABatch) {
  int batches = 0;
  form->OnEncodeStart = [&](Control&) { ++batches; };
  form->Focus().SetFocus(&form->FLB1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
  EXPECT_EQ(QApplication::focusWidget(), peer->WidgetOf(form->B1));
  EXPECT_EQ(batches, 0);
}

TEST_F(QtPeerTest, TabAndShiftTabWalkTheModelsOrder) {
  form->Focus().SetFocus(&form->B2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), peer->WidgetOf(form->CB1));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), peer->FocusWidgetOf(form->RG1));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), peer->WidgetOf(form->E1));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(form->Focus().Focused(), &form->CB4);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(form->Focus().Focused(), &form->E1);
  form->Focus().SetFocus(&form->CB1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), peer->WidgetOf(form->B2));
}

TEST_F(QtPeerTest, ClickingAWidgetMovesTheModelsFocus) {
  QTest::mouseClick(peer->WidgetOf(form->CB9), Qt::LeftButton, {}, QPoint(6, 8));
  EXPECT_EQ(form->Focus().Focused(), &form->CB9);
  peer->WidgetOf(form->ComB5)->setFocus();
  EXPECT_EQ(form->Focus().Focused(), &form->ComB5);
}

TEST_F(QtPeerTest, EnterOnAFocusedRadioItemDoesNothing) {
  form->Focus().SetFocus(&form->RG2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(form->Focus().Focused(), &form->RG2);
  EXPECT_EQ(form->RG2.ItemIndex(), 0);
}

TEST_F(QtPeerTest, EnterOnAFocusedButtonPressesIt) {
  int batches = 0;
  form->OnEncodeStart = [&](Control&) { ++batches; };
  form->Focus().SetFocus(&form->B1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(batches, 1);
  form->Focus().SetFocus(&form->B2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_FALSE(peer->Window()->isVisible());
}

TEST_F(QtPeerTest, EnterInAnEditPressesNoButton) {
  int batches = 0;
  form->OnEncodeStart = [&](Control&) { ++batches; };
  form->Focus().SetFocus(&form->E6);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(batches, 0);
  EXPECT_TRUE(peer->Window()->isVisible());
}

TEST_F(QtPeerTest, ClosingTheWindowDuringABatchWaitsForItsEnd) {
  form->SetBatchRunning(true);
  peer->Window()->close();
  EXPECT_TRUE(peer->Window()->isVisible());
  QTest::mouseClick(peer->WidgetOf(form->B2), Qt::LeftButton);
  EXPECT_TRUE(peer->Window()->isVisible());
  form->SetBatchRunning(false);
  EXPECT_FALSE(peer->Window()->isVisible());
}

TEST_F(QtPeerTest, ClosingOutsideABatchClosesAtOnce) {
  peer->Window()->close();
  EXPECT_FALSE(peer->Window()->isVisible());
}

}  // namespace
}  // namespace vorzik::ui
