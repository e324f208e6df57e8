#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "tests/ui/test_form.h"
#include "ui/qt/form_peer.h"

namespace vorzik::ui::testing {

/// The item buttons of a radio group's widget, in item order.
inline QList<QRadioButton*> RadioButtons(QWidget* group) {
  return group->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
}

/// A form with its Qt peer, shown and active on the offscreen platform.
class QtPeerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = MakeTestForm();
    peer = std::make_unique<qt::FormPeer>(*form);
    peer->Show();
    peer->Window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(peer->Window()));
  }
  void TearDown() override {
    peer.reset();
    form.reset();
  }

  template <typename W>
  W* WidgetOf(const Control& control) {
    W* widget = qobject_cast<W*>(peer->WidgetOf(control));
    EXPECT_NE(widget, nullptr) << control.Name();
    return widget;
  }

  std::unique_ptr<TForm1> form;
  std::unique_ptr<qt::FormPeer> peer;
};

}  // namespace vorzik::ui::testing
