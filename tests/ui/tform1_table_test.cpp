// The window's design, control by control, as the design tables give it.

#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "tests/ui/test_form.h"

namespace vorzik::ui {
namespace {

using testing::MakeTestForm;

struct Row {
  const char* name;
  ControlKind kind;
  const char* caption;  // caption, label text or default text
  std::vector<std::string> items;
  bool enabled;
};

std::vector<std::string> Items110() {
  std::vector<std::string> v;
  for (int i = 1; i <= 10; ++i)
    v.push_back(std::to_string(i));
  return v;
}

const std::vector<Row>& Rows() {
  using K = ControlKind;
  static const std::vector<Row> rows = {
      {"P1", K::Panel, "", {}, true},
      {"CB1", K::CheckBox, "", {}, true},
      {"RG1", K::RadioGroup, " PC-QL7RZ ", {"ql7rzfir", "ql7rviir"}, true},
      {"CB2", K::CheckBox, "", {}, true},
      {"RG2", K::RadioGroup, " Encode Mode ", {"MP2 (mp2enc)", "AC3 (ac3enc)", "OGG-Vorbis"}, true},
      {"CB3", K::CheckBox, "Quality", {}, true},
      {"E1", K::Edit, "200", {}, true},
      {"UD1", K::UpDown, "", {}, true},
      {"CB4", K::CheckBox, "Effect", {}, true},
      {"E2", K::Edit, "100", {}, false},
      {"UD2", K::UpDown, "", {}, false},
      {"CB5", K::CheckBox, "Gain", {}, true},
      {"E3", K::Edit, "100", {}, false},
      {"UD3", K::UpDown, "", {}, false},
      {"CB6", K::CheckBox, "Fade in", {}, true},
      {"E4", K::Edit, "0", {}, false},
      {"UD4", K::UpDown, "", {}, false},
      {"CB7", K::CheckBox, "Fade out", {}, true},
      {"E5", K::Edit, "0", {}, false},
      {"UD5", K::UpDown, "", {}, false},
      {"CB8", K::CheckBox, "Error Protection", {}, true},
      {"CB9", K::CheckBox, "Normalize", {}, true},
      {"E6", K::Edit, "90", {}, true},
      {"UD6", K::UpDown, "", {}, true},
      {"CB10", K::CheckBox, "Boost Set", {}, false},
      {"ComB1", K::ComboBox, "Ov", {"Brex", "Ov", "Snal"}, false},
      {"ComB2", K::ComboBox, "3", Items110(), false},
      {"CB11", K::CheckBox, "Noise Gate", {}, true},
      {"ComB3", K::ComboBox, "70", {"60", "65", "70", "75"}, false},
      {"L1", K::Label, "Quality(VBR)", {}, false},
      {"ComB4",
       K::ComboBox,
       "4.00",
       {"0.00", "1.00", "2.00", "3.00", "4.00", "5.00", "6.00", "7.00", "8.00", "9.00", "10"},
       false},
      {"L2", K::Label, "Bitrate", {}, true},
      {"ComB5", K::ComboBox, "224", {"128", "160", "192", "224", "256", "320", "384", "448"}, true},
      {"CB12", K::CheckBox, "TMP File Delete", {}, true},
      {"CB13", K::CheckBox, "", {}, true},
      {"GB_L1", K::Separator, "", {}, true},
      {"GB_L2", K::Separator, "", {}, true},
      {"GB_L3", K::Separator, "", {}, true},
      {"DCB1", K::DriveBox, "", {}, true},
      {"DLB1", K::FolderList, "", {}, true},
      {"FLB1", K::FileList, "", {}, true},
      {"SB1", K::StatusBar, "", {}, true},
      {"B1", K::Button, "Encode Start", {}, true},
      {"B2", K::Button, "EXIT", {}, true},
      {"RG3", K::RadioGroup, " Auto Exit Setting ", {"Shut Down", "Hidernate"}, false},
  };
  return rows;
}

std::string CaptionOf(const Control& c) {
  if (auto* x = dynamic_cast<const CheckBox*>(&c))
    return x->Caption();
  if (auto* x = dynamic_cast<const RadioGroup*>(&c))
    return x->Caption();
  if (auto* x = dynamic_cast<const Edit*>(&c))
    return x->Text();
  if (auto* x = dynamic_cast<const ComboBox*>(&c))
    return x->Text();
  if (auto* x = dynamic_cast<const Label*>(&c))
    return x->Caption();
  if (auto* x = dynamic_cast<const Button*>(&c))
    return x->Caption();
  return "";
}

std::vector<std::string> ItemsOf(const Control& c) {
  if (auto* x = dynamic_cast<const RadioGroup*>(&c))
    return x->Items();
  if (auto* x = dynamic_cast<const ComboBox*>(&c))
    return x->Items();
  return {};
}

TEST(TForm1Design, ControlsInDeclarationOrderWithKindCaptionItemsAndEnabledState) {
  auto form = MakeTestForm();
  const auto& rows = Rows();
  ASSERT_EQ(form->Controls().size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Control& c = *form->Controls()[i];
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(c.Name(), rows[i].name);
    EXPECT_EQ(c.Kind(), rows[i].kind);
    EXPECT_EQ(CaptionOf(c), rows[i].caption);
    EXPECT_EQ(ItemsOf(c), rows[i].items);
    EXPECT_EQ(c.Enabled(), rows[i].enabled);
  }
}

TEST(TForm1Design, CheckedDefaults) {
  auto form = MakeTestForm();
  const std::vector<std::pair<const char*, bool>> checked = {
      {"CB1", true},   {"CB2", true},  {"CB3", true},  {"CB4", false}, {"CB5", false},
      {"CB6", false},  {"CB7", false}, {"CB8", false}, {"CB9", true},  {"CB10", false},
      {"CB11", false}, {"CB12", true}, {"CB13", false}};
  for (auto [name, value] : checked) {
    auto* box = dynamic_cast<CheckBox*>(form->Find(name));
    ASSERT_NE(box, nullptr) << name;
    EXPECT_EQ(box->Checked(), value) << name;
  }
  EXPECT_EQ(form->RG1.ItemIndex(), 0);
  EXPECT_EQ(form->RG2.ItemIndex(), 0);
  EXPECT_EQ(form->RG3.ItemIndex(), 0);
}

TEST(TForm1Design, UpDownsBoundToTheirEditsWithLimitsAndPositions) {
  auto form = MakeTestForm();
  struct UdRow {
    const char* ud;
    const char* edit;
    int min, max, position;
  };
  const UdRow rows[] = {{"UD1", "E1", 0, 300, 200}, {"UD2", "E2", 0, 150, 100},
                        {"UD3", "E3", 0, 120, 100}, {"UD4", "E4", 0, 150, 0},
                        {"UD5", "E5", 0, 150, 0},   {"UD6", "E6", 0, 100, 90}};
  for (const auto& r : rows) {
    auto* ud = dynamic_cast<UpDown*>(form->Find(r.ud));
    ASSERT_NE(ud, nullptr) << r.ud;
    EXPECT_EQ(&ud->Associate(), form->Find(r.edit)) << r.ud;
    EXPECT_EQ(ud->Min(), r.min) << r.ud;
    EXPECT_EQ(ud->Max(), r.max) << r.ud;
    EXPECT_EQ(ud->Position(), r.position) << r.ud;
    EXPECT_EQ(ud->Associate().Text(), std::to_string(r.position)) << r.ud;
  }
}

TEST(TForm1Design, BrowserLinksAndMask) {
  auto form = MakeTestForm();
  EXPECT_EQ(form->DCB1.DirList, &form->DLB1);
  EXPECT_EQ(form->DLB1.FileList, &form->FLB1);
  EXPECT_EQ(form->FLB1.Mask(), "*.mp2;*.mpa;*.wav");
}

TEST(TForm1Design, TypingLimits) {
  auto form = MakeTestForm();
  const std::vector<std::pair<const char*, int>> limits = {
      {"E1", 3},    {"E2", 3},    {"E3", 3},    {"E4", 3},    {"E5", 3},   {"E6", 3},
      {"ComB1", 4}, {"ComB2", 1}, {"ComB3", 2}, {"ComB4", 4}, {"ComB5", 3}};
  for (auto [name, limit] : limits) {
    Control* c = form->Find(name);
    if (auto* e = dynamic_cast<Edit*>(c)) {
      EXPECT_EQ(e->MaxLength(), limit) << name;
    } else if (auto* cb = dynamic_cast<ComboBox*>(c)) {
      EXPECT_EQ(cb->MaxLength(), limit) << name;
    } else {
      ADD_FAILURE() << name << " is neither an edit nor a combo box";
    }
  }
}

TEST(TForm1Design, HintsByteExact) {
  auto form = MakeTestForm();
  const std::vector<std::pair<const char*, const char*>> hints = {
      {"CB1", "PC-QL7RZ/PCI \xE6\x94\xAF\xE6\x8F\xB4\xE8\xA8\xAD\xE5\xAE\x9A"},
      {"RG1", "モード設定"},
      {"CB2", "BeSweet 使用設定"},
      {"RG2", "モード設定"},
      {"CB3", "周波数特性設定(QL7RZFIRのみ有効)"},
      {"E1", "高いほど周波数特性の波が減少"},
      {"CB4", "フィルタの適用量設定"},
      {"E2", "適用量を指定"},
      {"CB5", "音量設定"},
      {"E3", "音量を指定"},
      {"CB6", "フェードイン設定"},
      {"E4", "フレームを指定"},
      {"CB7", "フェードアウト設定"},
      {"E5", "フレームを指定"},
      {"CB8", "エラープロテクション設定"},
      {"CB9", "正規化設定"},
      {"E6", "比率設定"},
      {"CB10", "ブースト設定"},
      {"ComB1", "モード設定"},
      {"ComB2", "レベル設定"},
      {"CB11", "ノイズゲート設定"},
      {"ComB3", "60/65/70/75"},
      {"ComB4", "クオリティ設定"},
      {"ComB5", "ビットレート設定"},
      {"CB12", "中間ファイルを削除"},
      // Full-width P and C: U+FF30 U+FF23.
      {"CB13", "変換終了後に\xEF\xBC\xB0\xEF\xBC\xA3を自動終了します"},
      {"DCB1", "ドライブを選択します"},
      {"DLB1", "フォルダを選択します"},
      {"FLB1", "変換ファイルが表示されます"},
      {"B1", "変換を開始します"},
      {"B2", "終了します"},
      {"RG3", "\"シャットダウン\"と\"休止状態\"から選べます。"},
  };
  std::set<std::string> withHint;
  for (auto [name, hint] : hints) {
    ASSERT_NE(form->Find(name), nullptr) << name;
    EXPECT_EQ(form->Find(name)->Hint, hint) << name;
    withHint.insert(name);
  }
  for (Control* c : form->Controls()) {
    if (!withHint.count(c->Name())) {
      EXPECT_EQ(c->Hint, "") << c->Name();
    }
  }
}

TEST(TForm1Design, CaptionAndStatusTextByteExact) {
  auto form = MakeTestForm();
  // Leading blank, ideographic space U+3000, full-width "!" U+FF01, three blanks before Ver.
  EXPECT_EQ(form->Caption(),
            " PC-QL7RZ/PCI \xE6\x94\xAF\xE6\x8F\xB4\xE3\x80\x80( Vorzik\xEF\xBC\x81)   Ver 1.1a");
  // Full-width 4 (U+FF14), "?" (U+FF1F) and "!" (U+FF01).
  EXPECT_EQ(form->SB1.SimpleText(),
            " 最大で\xEF\xBC\x94回変換処理をする事から音質は\xEF\xBC\x9F\xEF\xBC\x9F\xEF\xBC\x9F"
            "です。せめて LPCM に対応を\xEF\xBC\x81");
  EXPECT_TRUE(form->SB1.SimplePanel());
}

struct GeoRow {
  const char* name;
  int left, top, width, height;
  std::optional<int> tab;
};

TEST(TForm1Design, GeometryAndTabOrder) {
  const GeoRow rows[] = {
      {"CB1", 8, 8, 17, 17, 0},
      {"RG1", 24, 8, 97, 49, 1},
      {"CB3", 8, 84, 57, 17, 2},
      {"E1", 78, 78, 27, 22, 3},
      {"UD1", 105, 78, 15, 22, 4},
      {"CB4", 8, 108, 57, 17, 5},
      {"E2", 78, 102, 27, 22, 6},
      {"UD2", 105, 102, 15, 22, 7},
      {"CB5", 8, 132, 49, 17, 8},
      {"E3", 78, 126, 27, 22, 9},
      {"UD3", 105, 126, 15, 22, 10},
      {"CB6", 8, 156, 65, 17, 11},
      {"E4", 78, 150, 27, 22, 12},
      {"UD4", 105, 150, 15, 22, 13},
      {"CB7", 8, 180, 65, 17, 14},
      {"E5", 78, 174, 27, 22, 15},
      {"UD5", 105, 174, 15, 22, 16},
      {"CB2", 128, 8, 17, 17, 17},
      {"RG2", 144, 8, 121, 65, 18},
      {"ComB4", 218, 80, 47, 20, 19},
      {"ComB5", 218, 100, 47, 20, 20},
      {"CB10", 144, 140, 73, 17, 21},
      {"ComB1", 218, 136, 47, 20, 22},
      {"ComB2", 233, 156, 32, 20, 23},
      {"CB11", 144, 180, 81, 17, 24},
      {"ComB3", 228, 176, 37, 20, 25},
      {"CB9", 288, 70, 73, 17, 26},
      {"E6", 358, 62, 27, 22, 27},
      {"UD6", 385, 62, 15, 22, 28},
      {"CB8", 288, 87, 97, 17, 29},
      {"CB12", 288, 113, 113, 17, 30},
      {"CB13", 272, 8, 17, 17, 31},
      {"RG3", 288, 8, 113, 49, 32},
      {"DCB1", 8, 208, 143, 18, 33},
      {"DLB1", 8, 228, 143, 100, 34},
      {"FLB1", 154, 208, 247, 121, 35},
      {"B1", 288, 139, 113, 28, 36},
      {"B2", 288, 168, 113, 28, 37},
      {"GB_L1", 288, 102, 113, 9, 38},
      {"GB_L2", 288, 128, 113, 9, 39},
      {"GB_L3", 8, 196, 393, 9, 40},
      {"L1", 144, 88, 68, 12, std::nullopt},
      {"L2", 144, 108, 35, 12, std::nullopt},
      {"P1", 0, 0, 409, 337, 0},
      {"SB1", 0, 339, 410, 19, std::nullopt},
  };
  auto form = MakeTestForm();
  EXPECT_EQ(std::size(rows), form->Controls().size());
  for (const auto& r : rows) {
    const Control* c = form->Find(r.name);
    ASSERT_NE(c, nullptr) << r.name;
    EXPECT_EQ(c->Bounds().left, r.left) << r.name;
    EXPECT_EQ(c->Bounds().top, r.top) << r.name;
    EXPECT_EQ(c->Bounds().width, r.width) << r.name;
    EXPECT_EQ(c->Bounds().height, r.height) << r.name;
    EXPECT_EQ(c->TabOrder, r.tab.value_or(-1)) << r.name;
  }
}

TEST(TForm1Design, TabStopsWalkInTheDesignedFocusOrder) {
  auto form = MakeTestForm();
  const std::vector<std::string> order = {
      "CB1", "RG1", "CB3",  "E1",    "CB4",   "E2",   "CB5",   "E3",    "CB6",  "E4",    "CB7",
      "E5",  "CB2", "RG2",  "ComB4", "ComB5", "CB10", "ComB1", "ComB2", "CB11", "ComB3", "CB9",
      "E6",  "CB8", "CB12", "CB13",  "RG3",   "DCB1", "DLB1",  "FLB1",  "B1",   "B2"};
  // With every control switched on, Tab from the window itself round to the first stop again.
  for (Control* c : form->Controls())
    c->SetEnabled(true);
  std::vector<std::string> stops;
  for (const Control* c = form->Focus().NextTabStop(nullptr, true);
       c != nullptr && (stops.empty() || c->Name() != stops.front());
       c = form->Focus().NextTabStop(c, true)) {
    stops.push_back(c->Name());
  }
  EXPECT_EQ(stops, order);
}

}  // namespace
}  // namespace vorzik::ui
