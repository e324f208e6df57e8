// The Qt peer's focus: Enter, Tab and clicks walk the model's order; EXIT and
// the window's close go through the model.

#include <sys/stat.h>
#include <unistd.h>

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "tests/support/temp_dir.h"
#include "tests/ui/qt_peer_fixture.h"

namespace vorzik::ui {
namespace {

using testing::QtPeerTest;
using testing::RadioButtons;

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

TEST(QtPeerBrowser, EnterInTheFolderListMovesOnWithoutOpeningAndTheFileListSelectsNothing) {
  vorzik::testing::TempDir folder;
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  for (const char* name : {"a.wav", "b.mp2"})
    vorzik::testing::WriteFile(folder / name, "");
  vorzik::testing::CurrentDirGuard restore;
  ASSERT_EQ(chdir(folder.path().c_str()), 0);
  auto form = testing::MakeTestForm();
  qt::FormPeer peer(*form);
  peer.Show();
  peer.Window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(peer.Window()));
  ASSERT_EQ(form->FLB1.Count(), 2);
  auto* files = qobject_cast<QListWidget*>(peer.WidgetOf(form->FLB1));
  ASSERT_NE(files, nullptr);

  const int last = static_cast<int>(form->DLB1.Items().size()) - 1;
  ASSERT_GT(last, form->DLB1.ItemIndex());
  form->DLB1.Highlight(last);
  const std::string opened = form->DLB1.Directory();
  form->Focus().SetFocus(&form->DLB1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(form->DLB1.Directory(), opened);
  EXPECT_EQ(form->DLB1.ItemIndex(), last);
  ASSERT_EQ(QApplication::focusWidget(), files);
  // Gaining the focus, by Enter or by Tab, selects no file.
  EXPECT_EQ(form->FLB1.ItemIndex(), -1);
  EXPECT_TRUE(files->selectedItems().isEmpty());
  form->Focus().SetFocus(&form->DLB1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), files);
  EXPECT_EQ(form->FLB1.ItemIndex(), -1);
  // The user's own choice selects.
  QTest::keyClick(files, Qt::Key_Down);
  EXPECT_EQ(form->FLB1.ItemIndex(), 0);
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

TEST_F(QtPeerTest, KeysOnButtonsRadioItemsAndEditsReachTheModel) {
  int batches = 0;
  form->OnEncodeStart = [&](Control&) { ++batches; };
  form->Focus().SetFocus(&form->B1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(batches, 1);
  form->Focus().SetFocus(&form->RG2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  EXPECT_EQ(form->RG2.ItemIndex(), 2) << "round the group";
  EXPECT_EQ(QApplication::focusWidget(), RadioButtons(peer->WidgetOf(form->RG2))[2]);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(form->RG2.ItemIndex(), 2);
  form->Focus().SetFocus(&form->E1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  EXPECT_EQ(WidgetOf<QLineEdit>(form->E1)->text(), "201");
  form->Focus().SetFocus(&form->B2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_FALSE(peer->Window()->isVisible());
}

TEST_F(QtPeerTest, ClickingARadioItemGivesItTheFocus) {
  for (RadioGroup* group : {&form->RG1, &form->RG2, &form->RG3}) {
    group->SetEnabled(true);
    const auto items = RadioButtons(peer->WidgetOf(*group));
    const int last = static_cast<int>(items.size()) - 1;
    // From another control, and from the group's own selected item.
    form->Focus().SetFocus(&form->CB9);
    QTest::mouseClick(items[last], Qt::LeftButton, {}, QPoint(6, items[last]->height() / 2));
    EXPECT_EQ(QApplication::focusWidget(), items[last]) << group->Name();
    QTest::mouseClick(items[0], Qt::LeftButton, {}, QPoint(6, items[0]->height() / 2));
    EXPECT_EQ(QApplication::focusWidget(), items[0]) << group->Name();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(group->ItemIndex(), 0) << group->Name() << ": space keeps the clicked item";
    EXPECT_EQ(form->Focus().Focused(), group);
  }
}

TEST_F(QtPeerTest, EnterInAnEditPressesNoButton) {
  int batches = 0;
  form->OnEncodeStart = [&](Control&) { ++batches; };
  form->Focus().SetFocus(&form->E6);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(batches, 0);
  EXPECT_TRUE(peer->Window()->isVisible());
}

// Pixels of the pen's colour along the top edge of a frame, in a list's viewport.
int TopEdgeDots(QListWidget& list, const QRect& frame, const QColor& pen) {
  const QImage image = list.viewport()->grab().toImage();
  int dots = 0;
  for (int x = frame.left(); x <= frame.right(); ++x)
    dots += image.pixelColor(x, frame.top()) == pen;
  return dots;
}

// As the native lists do, the folder and file lists show which of them holds
// the focus: a dotted frame round the current row, or the first row when none
// is current.
TEST_F(QtPeerTest, TheBrowserListsDrawAFocusFrameOnlyWhileTheyHoldTheFocus) {
  for (Control* list : std::initializer_list<Control*>{&form->DLB1, &form->FLB1}) {
    auto* widget = WidgetOf<QListWidget>(*list);
    QListWidgetItem* current = widget->currentItem();
    // Its right half: the highlight, and the frame, begin where the row is indented to.
    QRect frame =
        current ? widget->visualItemRect(current) : QRect(0, 0, widget->viewport()->width(), 1);
    frame.setLeft(frame.center().x());
    const bool onHighlight = current && current->isSelected();
    const QColor pen =
        widget->palette().color(onHighlight ? QPalette::HighlightedText : QPalette::Text);
    form->Focus().SetFocus(&form->CB1);
    const int without = TopEdgeDots(*widget, frame, pen);
    form->Focus().SetFocus(list);
    ASSERT_EQ(QApplication::focusWidget(), widget) << list->Name();
    EXPECT_GT(TopEdgeDots(*widget, frame, pen) - without, frame.width() / 4) << list->Name();
  }
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
