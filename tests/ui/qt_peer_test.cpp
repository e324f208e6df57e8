// The Qt peer, control by control, on the offscreen platform.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

#include "tests/support/skip_without.h"
#include "tests/ui/qt_peer_fixture.h"

namespace vorzik::ui {
namespace {

using testing::QtPeerTest;
using testing::RadioButtons;

QString Q(const std::string& s) {
  return QString::fromUtf8(s);
}

TEST_F(QtPeerTest, EveryControlHasAWidgetWithTheModelsGeometryTooltipAndEnabledState) {
  QWidget* panel = peer->WidgetOf(form->P1);
  ASSERT_NE(panel, nullptr);
  for (Control* c : form->Controls()) {
    QWidget* w = peer->WidgetOf(*c);
    ASSERT_NE(w, nullptr) << c->Name();
    const Rect& r = c->Bounds();
    EXPECT_EQ(w->geometry(), QRect(r.left, r.top, r.width, r.height)) << c->Name();
    const bool onWindow = c == &form->P1 || c == &form->SB1;
    EXPECT_EQ(w->parentWidget(), onWindow ? peer->Window() : panel) << c->Name();
    EXPECT_EQ(w->toolTip(), Q(c->Hint)) << c->Name();
    EXPECT_EQ(w->isEnabled(), c->Enabled()) << c->Name();
  }
}

TEST_F(QtPeerTest, RadioItemsStandBelowTheCaptionLineAndInsideTheFrame) {
  for (RadioGroup* group : {&form->RG1, &form->RG2, &form->RG3}) {
    auto* box = WidgetOf<QGroupBox>(*group);
    const QRect area = box->contentsRect();
    EXPECT_GT(area.top(), box->fontMetrics().height() / 2) << group->Name();
    for (QRadioButton* item : RadioButtons(box)) {
      EXPECT_GE(item->geometry().top(), area.top()) << group->Name();
      EXPECT_LE(item->geometry().bottom(), area.bottom()) << group->Name();
      EXPECT_GE(item->height(), 13) << group->Name() << ": the indicator fits";
    }
  }
}

TEST_F(QtPeerTest, WindowIsFixedSizeWithTheCaptionAndNoMaximiseButton) {
  QWidget* window = peer->Window();
  EXPECT_EQ(window->size(), QSize(410, 358));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_EQ(window->windowTitle(), Q(form->Caption()));
  EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(window->palette().color(QPalette::Window), window->palette().color(QPalette::Button));
  EXPECT_EQ(window->font().pixelSize(), 12);
  EXPECT_EQ(peer->WidgetOf(form->E1)->font().pixelSize(), 13);
  EXPECT_EQ(peer->WidgetOf(form->CB3)->font().pixelSize(), 12);
  EXPECT_EQ(window->font().family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
  EXPECT_TRUE(QApplication::applicationDisplayName().isEmpty() ||
              !window->windowTitle().contains(QApplication::applicationDisplayName()));
}

TEST_F(QtPeerTest, WithoutTheDesignedFaceTheJapaneseGothicFallbackRenders) {
  const QString face = QString::fromUtf8("ＭＳ Ｐゴシック");
  if (!QFontDatabase::hasFamily("IPAPGothic"))
    VORZIK_SKIP_WITHOUT("IPAPGothic font");
  if (QFontDatabase::hasFamily(face))
    GTEST_SKIP() << "the designed face is there, so no fallback is needed";
  const QFontInfo used(peer->WidgetOf(form->CB3)->font());
  EXPECT_EQ(used.family(), "IPAPGothic");
  EXPECT_EQ(used.pixelSize(), 12);
  // Condensed to the designed widths, the longest captions fit their boxes.
  for (CheckBox* box : {&form->CB3, &form->CB7, &form->CB8, &form->CB9}) {
    QWidget* w = peer->WidgetOf(*box);
    const int used = w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
                     w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w) +
                     w->fontMetrics().horizontalAdvance(Q(box->Caption()));
    EXPECT_LE(used, box->Bounds().width) << box->Name();
  }
  for (Label* label : {&form->L1, &form->L2}) {
    QWidget* w = peer->WidgetOf(*label);
    EXPECT_LE(w->fontMetrics().horizontalAdvance(Q(label->Caption())), label->Bounds().width)
        << label->Name();
  }
}

TEST_F(QtPeerTest, CaptionsTextsAndItemsAreTheModels) {
  for (Control* c : form->Controls()) {
    SCOPED_TRACE(c->Name());
    if (auto* box = dynamic_cast<CheckBox*>(c)) {
      auto* w = WidgetOf<QCheckBox>(*c);
      EXPECT_EQ(w->text(), Q(box->Caption()));
      EXPECT_EQ(w->isChecked(), box->Checked());
    } else if (auto* group = dynamic_cast<RadioGroup*>(c)) {
      auto* w = WidgetOf<QGroupBox>(*c);
      EXPECT_EQ(w->title(), Q(group->Caption()));
      auto buttons = RadioButtons(w);
      ASSERT_EQ(buttons.size(), static_cast<int>(group->Items().size()));
      for (int i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->text(), Q(group->Items()[i]));
        EXPECT_EQ(buttons[i]->isChecked(), i == group->ItemIndex());
      }
    } else if (auto* edit = dynamic_cast<Edit*>(c)) {
      EXPECT_EQ(WidgetOf<QLineEdit>(*c)->text(), Q(edit->Text()));
    } else if (auto* combo = dynamic_cast<ComboBox*>(c)) {
      auto* w = WidgetOf<QComboBox>(*c);
      EXPECT_TRUE(w->isEditable());
      EXPECT_EQ(w->currentText(), Q(combo->Text()));
      ASSERT_EQ(w->count(), static_cast<int>(combo->Items().size()));
      for (int i = 0; i < w->count(); ++i)
        EXPECT_EQ(w->itemText(i), Q(combo->Items()[i]));
    } else if (auto* label = dynamic_cast<Label*>(c)) {
      EXPECT_EQ(WidgetOf<QLabel>(*c)->text(), Q(label->Caption()));
    } else if (auto* button = dynamic_cast<Button*>(c)) {
      auto* w = WidgetOf<QPushButton>(*c);
      EXPECT_EQ(w->text(), Q(button->Caption()));
      EXPECT_TRUE(w->autoDefault());
      EXPECT_FALSE(w->isDefault());
    }
  }
  auto* bar = WidgetOf<QStatusBar>(form->SB1);
  ASSERT_NE(bar, nullptr);
  auto* text = bar->findChild<QLabel*>();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->text(), Q(form->SB1.SimpleText()));
}

TEST_F(QtPeerTest, ModelChangesReachTheWidgets) {
  for (Control* c : form->Controls()) {
    c->SetEnabled(!c->Enabled());
    EXPECT_EQ(peer->WidgetOf(*c)->isEnabled(), c->Enabled()) << c->Name();
    c->SetEnabled(true);
    if (auto* box = dynamic_cast<CheckBox*>(c)) {
      box->SetChecked(!box->Checked());
      EXPECT_EQ(WidgetOf<QCheckBox>(*c)->isChecked(), box->Checked()) << c->Name();
    } else if (auto* group = dynamic_cast<RadioGroup*>(c)) {
      group->SetItemIndex(1);
      EXPECT_TRUE(RadioButtons(peer->WidgetOf(*c))[1]->isChecked()) << c->Name();
      group->SetItemIndex(-1);
      for (auto* b : RadioButtons(peer->WidgetOf(*c)))
        EXPECT_FALSE(b->isChecked()) << c->Name();
    } else if (auto* edit = dynamic_cast<Edit*>(c)) {
      edit->SetText("4567");
      EXPECT_EQ(WidgetOf<QLineEdit>(*c)->text(), "4567") << c->Name();
    } else if (auto* combo = dynamic_cast<ComboBox*>(c)) {
      combo->SetText("xyz12");
      EXPECT_EQ(WidgetOf<QComboBox>(*c)->currentText(), "xyz12") << c->Name();
    }
  }
  form->UD3.SetPosition(7);
  EXPECT_EQ(WidgetOf<QLineEdit>(form->E3)->text(), "7");
  form->SB1.SetSimpleText("message");
  EXPECT_EQ(WidgetOf<QStatusBar>(form->SB1)->findChild<QLabel*>()->text(), "message");
}

TEST_F(QtPeerTest, ClickingACheckBoxTogglesTheModelAndRunsItsRule) {
  for (Control* c : form->Controls()) {
    auto* box = dynamic_cast<CheckBox*>(c);
    if (!box)
      continue;
    c->SetEnabled(true);
    const bool before = box->Checked();
    QTest::mouseClick(peer->WidgetOf(*c), Qt::LeftButton, {}, QPoint(6, 8));
    EXPECT_EQ(box->Checked(), !before) << c->Name();
    EXPECT_EQ(WidgetOf<QCheckBox>(*c)->isChecked(), box->Checked()) << c->Name();
  }
  // CB4 was unticked at start: its click switched E2 on through CB4Click.
  EXPECT_TRUE(form->CB4.Checked());
  EXPECT_TRUE(peer->WidgetOf(form->E2)->isEnabled());
}

TEST_F(QtPeerTest, SpaceOnAFocusedCheckBoxClicksIt) {
  form->Focus().SetFocus(&form->CB6);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_TRUE(form->CB6.Checked());
  EXPECT_TRUE(form->E4.Enabled());
}

TEST_F(QtPeerTest, ClickingARadioItemChoosesItInTheModel) {
  for (RadioGroup* group : {&form->RG1, &form->RG2, &form->RG3}) {
    group->SetEnabled(true);
    auto buttons = RadioButtons(peer->WidgetOf(*group));
    QTest::mouseClick(buttons.last(), Qt::LeftButton, {}, QPoint(6, buttons.last()->height() / 2));
    EXPECT_EQ(group->ItemIndex(), buttons.size() - 1) << group->Name();
  }
}

TEST_F(QtPeerTest, TypingGoesThroughTheModelsLimit) {
  auto* e1 = WidgetOf<QLineEdit>(form->E1);
  e1->setFocus();
  e1->selectAll();
  QTest::keyClicks(e1, "9999");
  EXPECT_EQ(form->E1.Text(), "999");
  EXPECT_EQ(e1->text(), "999");
  for (Edit* edit : {&form->E2, &form->E3, &form->E4, &form->E5, &form->E6}) {
    edit->SetEnabled(true);
    auto* w = WidgetOf<QLineEdit>(*edit);
    w->setFocus();
    w->selectAll();
    QTest::keyClicks(w, "12");
    EXPECT_EQ(edit->Text(), "12") << edit->Name();
  }
}

TEST_F(QtPeerTest, TypingIntoAComboBoxIsLimitedAndPickingIsNot) {
  form->ComB2.SetEnabled(true);
  auto* w = WidgetOf<QComboBox>(form->ComB2);
  w->setFocus();
  w->lineEdit()->selectAll();
  QTest::keyClicks(w, "78");
  EXPECT_EQ(form->ComB2.Text(), "7");
  EXPECT_EQ(w->currentText(), "7");
  // Down steps through the list from the item shown: 7, 8, 9, 10.
  for (int i = 0; i < 3; ++i)
    QTest::keyClick(w, Qt::Key_Down);
  EXPECT_EQ(form->ComB2.Text(), "10");
  EXPECT_EQ(w->currentText(), "10");

  for (ComboBox* combo : {&form->ComB1, &form->ComB3, &form->ComB4, &form->ComB5}) {
    combo->SetEnabled(true);
    auto* cw = WidgetOf<QComboBox>(*combo);
    cw->setFocus();
    cw->lineEdit()->selectAll();
    QTest::keyClicks(cw, "12345");
    EXPECT_EQ(form->Find(combo->Name()) == combo, true);
    EXPECT_EQ(combo->Text(), std::string("12345").substr(0, combo->MaxLength())) << combo->Name();
  }
}

TEST_F(QtPeerTest, PickingFromTheListShowsTheWholeItem) {
  form->ComB2.SetEnabled(true);
  auto* w = WidgetOf<QComboBox>(form->ComB2);
  w->showPopup();
  QAbstractItemView* view = w->view();
  const QRect item = view->visualRect(w->model()->index(9, 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
  EXPECT_EQ(form->ComB2.Text(), "10");
  EXPECT_EQ(w->currentText(), "10");
  // Shown whole: the field has room for it beside the arrow (2 pixels of the
  // line edit's own margin on either side).
  QLineEdit* line = w->lineEdit();
  const QMargins margins = line->textMargins();
  EXPECT_GE(line->contentsRect().width() - margins.left() - margins.right() - 4,
            line->fontMetrics().horizontalAdvance("10"));
}

TEST_F(QtPeerTest, TheSpinnersArrowsStepTheModelWithoutWrapping) {
  struct Pair {
    UpDown* upDown;
    Edit* edit;
  };
  for (Pair p :
       {Pair{&form->UD1, &form->E1}, Pair{&form->UD2, &form->E2}, Pair{&form->UD3, &form->E3},
        Pair{&form->UD4, &form->E4}, Pair{&form->UD5, &form->E5}, Pair{&form->UD6, &form->E6}}) {
    p.upDown->SetEnabled(true);
    p.edit->SetEnabled(true);
    QWidget* ud = peer->WidgetOf(*p.upDown);
    auto* up = ud->findChild<QToolButton*>("up");
    auto* down = ud->findChild<QToolButton*>("down");
    ASSERT_TRUE(up && down);
    p.upDown->SetPosition(p.upDown->Max() - 1);
    QTest::mouseClick(up, Qt::LeftButton);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(p.upDown->Position(), p.upDown->Max()) << p.upDown->Name();
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(p.upDown->Position(), p.upDown->Max() - 1) << p.upDown->Name();
    EXPECT_EQ(WidgetOf<QLineEdit>(*p.edit)->text(), QString::number(p.upDown->Max() - 1));
  }
}

TEST_F(QtPeerTest, SwitchedOffControlsRefuseInput) {
  ASSERT_FALSE(form->E2.Enabled());
  auto* w = WidgetOf<QLineEdit>(form->E2);
  QTest::keyClicks(w, "5");
  EXPECT_EQ(form->E2.Text(), "100");
  ASSERT_FALSE(form->CB10.Enabled());
  QTest::mouseClick(peer->WidgetOf(form->CB10), Qt::LeftButton, {}, QPoint(6, 8));
  EXPECT_FALSE(form->CB10.Checked());
}

}  // namespace
}  // namespace vorzik::ui
