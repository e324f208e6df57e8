#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "tests/browser/fake_machine.h"
#include "ui/qt/collation.h"
#include "ui/qt/form_peer.h"
#include "ui/tform1.h"

namespace vorzik::ui {
namespace {

using testing::BuildWindowsMachine;
using testing::FakeMachine;

QStringList Texts(const QListWidget& list) {
  QStringList texts;
  for (int i = 0; i < list.count(); ++i)
    texts.append(list.item(i)->text());
  return texts;
}

void DoubleClick(QListWidget& list, const QString& text) {
  QList<QListWidgetItem*> found = list.findItems(text, Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1) << text.toStdString();
  QPoint at = list.visualItemRect(found.front()).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

// The window's services with only the browser's queries: whatever else the
// window may take (a runner, a power action) stays unset, so no batch runs.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
FormServices BrowserOnly(FileSystemQueries& fs) {
  return FormServices{.browserFs = fs};
}
#pragma GCC diagnostic pop

// The whole window on the fake Windows machine, started in D:\rec.
class BrowserWidgets : public ::testing::Test {
 protected:
  BrowserWidgets() {
    BuildWindowsMachine(machine);
    machine.AddFile("D:\\rec\\a.mp2");
    machine.AddFile("D:\\rec\\in\\b.wav");
    machine.AddFile("C:\\work\\c.mpa");
    machine.AddFolder("C:\\work\\sub");
    machine.AddFile("C:\\work\\sub\\d.wav");
    machine.ChangeDirectory("C:\\work");
    machine.ChangeDirectory("D:\\rec");
    form = std::make_unique<TForm1>(BrowserOnly(machine));
    form->FLB1.SetMask("*.mp2;*.mpa;*.wav");
    peer = std::make_unique<qt::FormPeer>(*form);
    peer->Show();
    drives = qobject_cast<QComboBox*>(peer->WidgetOf(form->DCB1));
    folders = qobject_cast<QListWidget*>(peer->WidgetOf(form->DLB1));
    files = qobject_cast<QListWidget*>(peer->WidgetOf(form->FLB1));
  }

  FakeMachine machine;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<qt::FormPeer> peer;
  QComboBox* drives = nullptr;
  QListWidget* folders = nullptr;
  QListWidget* files = nullptr;
};

TEST_F(BrowserWidgets, ShowTheModelWithItsHints) {
  ASSERT_TRUE(drives && folders && files);
  EXPECT_FALSE(drives->isEditable());
  EXPECT_EQ(drives->currentText(), "d: [data]");
  EXPECT_EQ(Texts(*folders), (QStringList{"D:\\", "rec", "in"}));
  EXPECT_EQ(folders->currentRow(), 1);
  EXPECT_EQ(Texts(*files), (QStringList{"a.mp2"}));
  EXPECT_EQ(folders->toolTip(), QString::fromUtf8("フォルダを選択します"));
  EXPECT_EQ(files->toolTip(), QString::fromUtf8("変換ファイルが表示されます"));
  EXPECT_EQ(drives->toolTip(), QString::fromUtf8("ドライブを選択します"));
}

TEST_F(BrowserWidgets, ChoosingADriveAndDoubleClickingAFolderRefillTheFileList) {
  ASSERT_TRUE(drives && folders && files);
  drives->setFocus();
  QTest::keyClick(drives, Qt::Key_Up);  // from d: to c:
  EXPECT_EQ(form->DCB1.Drive(), "c");
  EXPECT_EQ(Texts(*folders), (QStringList{"C:\\", "work", "sub"}));
  EXPECT_EQ(Texts(*files), (QStringList{"c.mpa"}));
  DoubleClick(*folders, "sub");
  EXPECT_EQ(machine.CurrentDirectory(), "C:\\work\\sub");
  EXPECT_EQ(Texts(*files), (QStringList{"d.wav"}));
}

TEST_F(BrowserWidgets, AClickOnlyMovesTheHighlight) {
  ASSERT_TRUE(folders);
  QList<QListWidgetItem*> in = folders->findItems("in", Qt::MatchExactly);
  ASSERT_EQ(in.size(), 1);
  QTest::mouseClick(folders->viewport(), Qt::LeftButton, {},
                    folders->visualItemRect(in.front()).center());
  EXPECT_EQ(form->DLB1.ItemIndex(), 2);
  EXPECT_EQ(form->DLB1.Directory(), "D:\\rec");
}

TEST_F(BrowserWidgets, EnterInTheFolderListMovesOnWithoutOpening) {
  ASSERT_TRUE(folders && files);
  peer->Window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(peer->Window()));
  folders->setFocus();
  ASSERT_EQ(form->Focus().Focused(), &form->DLB1);
  QTest::keyClick(folders, Qt::Key_Down);  // highlight "in"
  ASSERT_EQ(form->DLB1.ItemIndex(), 2);
  QTest::keyClick(folders, Qt::Key_Return);
  EXPECT_EQ(form->DLB1.Directory(), "D:\\rec");
  EXPECT_EQ(form->Focus().Focused(), &form->FLB1);
  EXPECT_EQ(QApplication::focusWidget(), files);
}

TEST_F(BrowserWidgets, TheBatchsSelectionShowsAndScrollsIntoViewWithoutAUserSelection) {
  ASSERT_TRUE(folders && files);
  for (int i = 0; i < 60; ++i)
    machine.AddFile("D:\\rec\\in\\" + std::to_string(100 + i) + ".wav");
  DoubleClick(*folders, "in");
  int changes = 0;
  form->FLB1.OnChange = [&](Control&) { ++changes; };
  form->FLB1.SetItemIndex(55);
  EXPECT_EQ(files->currentRow(), 55);
  EXPECT_TRUE(files->viewport()->rect().contains(files->visualItemRect(files->item(55))));
  EXPECT_EQ(changes, 0);
}

TEST_F(BrowserWidgets, SwitchedOffWidgetsTakeNoInput) {
  ASSERT_TRUE(drives && folders);
  form->DCB1.SetEnabled(false);
  form->DLB1.SetEnabled(false);
  EXPECT_FALSE(drives->isEnabled());
  EXPECT_FALSE(folders->isEnabled());
}

TEST_F(BrowserWidgets, AFullListShowsItsErrorBox) {
  ASSERT_TRUE(folders && files);
  machine.AddFile("D:\\rec\\in\\c.wav");
  form->FLB1.SetCapacity(1);
  QString shown;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  DoubleClick(*folders, "in");
  EXPECT_EQ(shown, QString::fromUtf8("行を挿入できません"));
  EXPECT_EQ(Texts(*files), (QStringList{"b.wav"}));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(BrowserWidgets, TheHourglassShowsWhileALongFolderIsRead) {
  for (int i = 0; i < 150; ++i)
    machine.AddFile("D:\\rec\\in\\" + std::to_string(1000 + i) + ".wav");
  bool busySeen = false;
  form->FLB1.Subscribe([&](Control&, Property what) {
    if (what == Property::Cursor && form->FLB1.Cursor() == TCursor::crHourGlass)
      busySeen = QApplication::overrideCursor() &&
                 QApplication::overrideCursor()->shape() == Qt::WaitCursor;
  });
  DoubleClick(*folders, "in");
  EXPECT_TRUE(busySeen);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(files->count(), 151);
}

// The file list takes the user's locale collation from the Qt side: letter
// case ignored also in the C locale, where a case-sensitive collation would
// list "B.wav" and "C.mp2" before "a.wav".
TEST(UserLocaleCollation, IgnoresLetterCaseAlsoInTheCLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale::c());
  NameCollation collation = qt::UserLocaleCollation();
  QLocale::setDefault(saved);
  FakeMachine machine(kPosixPathStyle);
  machine.AddVolume("/", {});
  for (const char* name : {"B.wav", "a.wav", "C.mp2"})
    machine.AddFile(std::string("/rec/") + name);
  machine.SetCollation(collation);
  ASSERT_TRUE(machine.ChangeDirectory("/rec"));
  TFileListBox list("FLB1", Rect{}, machine);
  list.SetMask("*.mp2;*.mpa;*.wav");
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"a.wav", "B.wav", "C.mp2"}));
}

}  // namespace
}  // namespace vorzik::ui
