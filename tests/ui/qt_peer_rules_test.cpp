// The enabling rules as the user meets them in the Qt window.

#include <QGroupBox>
#include <QRadioButton>

#include "tests/ui/qt_peer_fixture.h"

namespace vorzik::ui {
namespace {

using testing::QtPeerTest;

TEST_F(QtPeerTest, ClickingOggVorbisSwapsTheBitRateForTheQuality) {
  auto buttons = peer->WidgetOf(form->RG2)->findChildren<QRadioButton*>();
  ASSERT_EQ(buttons.size(), 3);
  ASSERT_EQ(buttons[2]->text(), "OGG-Vorbis");
  QTest::mouseClick(buttons[2], Qt::LeftButton, {}, QPoint(6, buttons[2]->height() / 2));
  EXPECT_EQ(form->RG2.ItemIndex(), 2);
  EXPECT_FALSE(peer->WidgetOf(form->ComB5)->isEnabled());
  EXPECT_FALSE(peer->WidgetOf(form->L2)->isEnabled());
  EXPECT_TRUE(peer->WidgetOf(form->ComB4)->isEnabled());
  EXPECT_TRUE(peer->WidgetOf(form->L1)->isEnabled());
}

TEST_F(QtPeerTest, UntickingTheFilterGreysTheFilterColumnAndTheWalkSkipsIt) {
  QTest::mouseClick(peer->WidgetOf(form->CB1), Qt::LeftButton, {}, QPoint(6, 8));
  for (Control* c : {static_cast<Control*>(&form->RG1), static_cast<Control*>(&form->CB3),
                     static_cast<Control*>(&form->E1), static_cast<Control*>(&form->UD1),
                     static_cast<Control*>(&form->CB7)}) {
    EXPECT_FALSE(peer->WidgetOf(*c)->isEnabled()) << c->Name();
  }
  form->Focus().SetFocus(&form->CB1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), peer->WidgetOf(form->CB2));
}

}  // namespace
}  // namespace vorzik::ui
