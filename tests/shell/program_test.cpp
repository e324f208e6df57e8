// The vorzik program itself on a private Xvfb: one instance at a time, and
// what its window looks like.

#include <X11/Xatom.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "shell/instance_finder.h"
#include "tests/shell/x_session.h"
#include "tests/support/skip_without.h"
#include "tests/support/temp_dir.h"

namespace vorzik::shell {
namespace {

using namespace std::chrono_literals;
using namespace testing;
using ::testing::IsSupersetOf;
using ::testing::StartsWith;

constexpr char kCaption[] = " PC-QL7RZ/PCI 支援\u3000( Vorzik\uFF01)   Ver 1.1a";

class ProgramTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server = new XvfbServer(); }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (!server->Running())
      VORZIK_SKIP_WITHOUT("Xvfb");
    display = server->Connection();
  }
  void TearDown() override {
    for (Window w : created)
      XDestroyWindow(display, w);
    if (display)
      XSync(display, False);
  }

  std::unique_ptr<Process> Start(const std::vector<std::string>& args = {},
                                 const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> argv{VORZIK_EXECUTABLE};
    argv.insert(argv.end(), args.begin(), args.end());
    // No session bus: the runtime folder is fresh and no address is announced.
    std::vector<std::string> env{"DISPLAY=" + server->Name(), "QT_QPA_PLATFORM=xcb",
                                 "XDG_RUNTIME_DIR=" + runtime.path(), "DBUS_SESSION_BUS_ADDRESS"};
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    return std::make_unique<Process>(argv, env, folder.path());
  }
  // The startup-notification messages sent to the root window since it was
  // watched, each put together from its 20-byte pieces.
  std::vector<std::string> StartupMessages() {
    const Atom begin = XInternAtom(display, "_NET_STARTUP_INFO_BEGIN", False);
    const Atom more = XInternAtom(display, "_NET_STARTUP_INFO", False);
    XSync(display, False);
    std::vector<std::string> messages;
    XEvent event{};
    while (XCheckTypedEvent(display, ClientMessage, &event)) {
      const auto& piece = event.xclient;
      if (piece.message_type == begin)
        messages.emplace_back();
      if ((piece.message_type == begin || piece.message_type == more) && !messages.empty())
        messages.back().append(piece.data.b, strnlen(piece.data.b, sizeof piece.data.b));
    }
    XSelectInput(display, DefaultRootWindow(display), NoEventMask);
    return messages;
  }
  std::vector<Window> MainWindows() { return WindowsTitled(display, kCaption); }
  std::vector<Window> ApplicationWindows() { return WindowsTitled(display, kApplicationTitle); }
  // Waits for the one running instance's main window to be on the screen.
  Window WaitForMainWindow() {
    Window found = 0;
    WaitFor(
        [&] {
          auto windows = MainWindows();
          found = windows.size() == 1 && IsShown(display, windows[0]) ? windows[0] : 0;
          return found != 0;
        },
        10s);
    return found;
  }
  void Close(Window main, Process& program) {
    SendDeleteWindow(display, main);
    EXPECT_EQ(program.WaitExit(10s), 0);
  }

  static XvfbServer* server;
  Display* display = nullptr;
  vorzik::testing::TempDir folder;
  vorzik::testing::TempDir runtime;
  std::vector<Window> created;
};

XvfbServer* ProgramTest::server = nullptr;

TEST_F(ProgramTest, ASecondStartEndsAtOnceWithoutAWindow) {
  auto first = Start();
  Window main = WaitForMainWindow();
  ASSERT_NE(main, 0u);
  ASSERT_EQ(ApplicationWindows().size(), 1u);
  const auto before = StackingOrder(display).size();

  // A folder for the second start changes nothing: it is not passed on. The
  // launcher that started it learns that no window will come.
  vorzik::testing::TempDir other;
  XSelectInput(display, DefaultRootWindow(display), PropertyChangeMask);
  XSync(display, False);
  auto second = Start({other.path()}, {"DESKTOP_STARTUP_ID=menu \"1\"_TIME42"});
  EXPECT_EQ(second->WaitExit(5s), 0);
  EXPECT_EQ(StartupMessages(), (std::vector<std::string>{R"(remove: ID="menu \"1\"_TIME42")"}));
  EXPECT_EQ(MainWindows().size(), 1u);
  EXPECT_EQ(ApplicationWindows().size(), 1u);
  EXPECT_EQ(StackingOrder(display).size(), before);
  EXPECT_FALSE(first->Ended());
  Close(main, *first);
}

TEST_F(ProgramTest, ASecondStartRestoresAndRaisesTheMinimisedMainWindow) {
  auto first = Start();
  Window main = WaitForMainWindow();
  ASSERT_NE(main, 0u);
  Iconify(display, main);
  created.push_back(CreateTitledWindow(display, "cover", true));
  ASSERT_FALSE(IsShown(display, main));

  auto second = Start();
  EXPECT_EQ(second->WaitExit(5s), 0);
  EXPECT_TRUE(WaitFor([&] { return IsShown(display, main); }, 2s));
  auto order = StackingOrder(display);
  auto position = [&](Window w) {
    return std::find(order.begin(), order.end(), w) - order.begin();
  };
  EXPECT_GT(position(main), position(created.back()));
  Close(main, *first);
}

TEST_F(ProgramTest, AForeignWindowWithTheTitleInOtherCaseBlocksEveryStart) {
  created.push_back(CreateTitledWindow(display, "VORZIK VER 1.1A", true));
  for (int start = 0; start < 2; ++start) {
    auto program = Start();
    EXPECT_EQ(program->WaitExit(5s), 0);
    EXPECT_TRUE(MainWindows().empty());
  }
}

TEST_F(ProgramTest, TheMainCaptionOrATitleContainingTheTitleDoesNotBlock) {
  created.push_back(CreateTitledWindow(display, "Vorzik Ver 1.1a (notes)", true));
  created.push_back(CreateTitledWindow(display, "x Vorzik Ver 1.1a", false));
  auto program = Start();
  Window main = 0;
  // A foreign window carries the caption too; ours is the one that appears.
  created.push_back(CreateTitledWindow(display, kCaption, false));
  ASSERT_TRUE(WaitFor(
      [&] {
        for (Window w : MainWindows()) {
          if (IsShown(display, w))
            main = w;
        }
        return main != 0;
      },
      10s));
  EXPECT_FALSE(program->Ended());
  Close(main, *program);
}

// A session bus the D-Bus library starts on demand (dbus-launch) announces
// itself on the X server by owning a selection named for the user and the
// machine.
bool SessionBusStartedOn(Display* display) {
  const passwd* user = getpwuid(getuid());
  std::set<std::string> machineIds;
  for (const char* file : {"/var/lib/dbus/machine-id", "/etc/machine-id"}) {
    std::string id;
    if (std::ifstream(file) >> id)
      machineIds.insert(id);
  }
  for (const std::string& id : machineIds) {
    const std::string name =
        "_DBUS_SESSION_BUS_SELECTION_" + std::string(user ? user->pw_name : "") + "_" + id;
    if (XGetSelectionOwner(display, XInternAtom(display, name.c_str(), False)) != None)
      return true;
  }
  return false;
}

TEST_F(ProgramTest, OpeningTheWindowStartsNoSessionBus) {
  auto program = Start();
  Window main = WaitForMainWindow();
  ASSERT_NE(main, 0u);
  EXPECT_FALSE(SessionBusStartedOn(display));
  Close(main, *program);
}

// The window manager's icon for the window: _NET_WM_ICON holds width,
// height and that many ARGB pixels, once per size.
TEST_F(ProgramTest, TheWindowCarriesTheProgramIcon) {
  auto program = Start();
  Window main = WaitForMainWindow();
  ASSERT_NE(main, 0u);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(display, main, XInternAtom(display, "_NET_WM_ICON", False), 0,
                               1 << 20, False, XA_CARDINAL, &type, &format, &count, &after, &data),
            Success);
  std::set<unsigned long> sizes;
  unsigned long opaque = 0;
  const auto* items = reinterpret_cast<const unsigned long*>(data);
  for (unsigned long at = 0; data && format == 32 && at + 2 <= count;) {
    const unsigned long width = items[at], height = items[at + 1];
    if (width != height || at + 2 + width * height > count)
      break;
    sizes.insert(width);
    for (unsigned long i = 0; i < width * height; ++i)
      opaque += ((items[at + 2 + i] >> 24) & 0xff) == 0xff;  // sign-extended longs
    at += 2 + width * height;
  }
  if (data)
    XFree(data);
  EXPECT_THAT(sizes, IsSupersetOf({16ul, 32ul, 48ul}));
  EXPECT_GT(opaque, 0ul);
  Close(main, *program);
}

// The command line is answered before the window system is touched: with no
// display at all, and with one, where no window may open either.
TEST_F(ProgramTest, OptionsAndBadArgumentsAnswerWithoutAWindow) {
  vorzik::testing::TempDir output;
  const std::string file = folder / "a.wav";
  vorzik::testing::WriteFile(file, "");
  struct Case {
    std::vector<std::string> args;
    bool display;
    int status;
    std::string out;               // what standard output starts with
    std::vector<std::string> err;  // the lines of standard error, each as it starts
  };
  const std::string tryHelp = "Try 'vorzik --help'";
  const std::string noDisplay =
      "vorzik: no display to open the window on: neither DISPLAY nor "
      "WAYLAND_DISPLAY";
  const Case cases[] = {
      {{"--help"}, false, 0, "usage: vorzik [FOLDER]\n", {}},
      {{"-h"}, true, 0, "usage: vorzik [FOLDER]\n", {}},
      {{"--version"}, true, 0, "vorzik (Vorzik) ", {}},
      {{"-V"}, false, 0, "vorzik (Vorzik) ", {}},
      {{"--bogus"}, false, 2, "", {"vorzik: unknown option: --bogus", tryHelp}},
      {{"-x", "--help"}, true, 2, "", {"vorzik: unknown option: -x", tryHelp}},
      {{folder.path(), folder.path()}, true, 2, "", {"vorzik: more than one FOLDER", tryHelp}},
      {{file}, true, 2, "", {"vorzik: " + file + ": not a folder"}},
      {{"--", folder / "none"}, true, 2, "", {"vorzik: " + (folder / "none") + ": No such"}},
      {{}, false, 1, "", {noDisplay}},
      {{folder.path()}, false, 1, "", {noDisplay}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    std::vector<std::string> argv{VORZIK_EXECUTABLE};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    std::vector<std::string> env{"QT_QPA_PLATFORM", "WAYLAND_DISPLAY",
                                 "XDG_RUNTIME_DIR=" + runtime.path()};
    env.push_back(c.display ? "DISPLAY=" + server->Name() : "DISPLAY");
    Process program(argv, env, folder.path(), output.path());
    EXPECT_EQ(program.WaitExit(5s), c.status);
    EXPECT_THAT(vorzik::testing::ReadFile(output / "stdout.txt"), StartsWith(c.out));
    std::vector<std::string> lines;
    std::istringstream err(vorzik::testing::ReadFile(output / "stderr.txt"));
    for (std::string line; std::getline(err, line);)
      lines.push_back(line);
    ASSERT_EQ(lines.size(), c.err.size()) << ::testing::PrintToString(lines);
    for (std::size_t i = 0; i < lines.size(); ++i)
      EXPECT_THAT(lines[i], StartsWith(c.err[i]));
  }
  EXPECT_TRUE(MainWindows().empty());
  EXPECT_TRUE(ApplicationWindows().empty());
}

TEST_F(ProgramTest, AfterTheFirstInstanceEndsTheNextStartRuns) {
  auto first = Start();
  Window main = WaitForMainWindow();
  ASSERT_NE(main, 0u);
  Close(main, *first);
  EXPECT_TRUE(WaitFor([&] { return ApplicationWindows().empty(); }, 5s));

  auto next = Start();
  Window again = WaitForMainWindow();
  ASSERT_NE(again, 0u);
  EXPECT_FALSE(next->Ended());
  Close(again, *next);
}

TEST_F(ProgramTest, ScreenshotShowsTheDesignedWindowWithItsStatusText) {
  auto program = Start();
  Window main = WaitForMainWindow();
  ASSERT_NE(main, 0u);
  XWindowAttributes attributes{};
  ASSERT_TRUE(XGetWindowAttributes(display, main, &attributes));
  EXPECT_EQ(attributes.width, 410);
  EXPECT_EQ(attributes.height, 358);
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display, main, DefaultRootWindow(display), 0, 0, &x, &y, &child);
  EXPECT_NEAR(x, (1024 - 410) / 2, 1);  // centred
  EXPECT_NEAR(y, (768 - 358) / 2, 1);

  std::this_thread::sleep_for(1s);  // let the first paint land
  const std::string shot = std::string(VORZIK_ARTIFACT_DIR) + "/screenshot.png";
  const std::string command = "DISPLAY=" + server->Name() + " import -window root " + shot;
  ASSERT_EQ(std::system(command.c_str()), 0);
  QImage image(QString::fromStdString(shot));
  ASSERT_FALSE(image.isNull());

  // The status text: many pixels in the bar differ clearly from its background.
  std::map<QRgb, int> counts;
  for (int row = y + 341; row < y + 356; ++row) {
    for (int col = x + 4; col < x + 400; ++col)
      ++counts[image.pixel(col, row)];
  }
  auto background = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                      return a.second < b.second;
                    })->first;
  int ink = 0;
  for (auto [colour, count] : counts) {
    if (qGray(colour) + 80 < qGray(background))
      ink += count;
  }
  EXPECT_GT(ink, 300);
  // The window's own area is not blank either.
  QColor face = image.pixelColor(x + 405, y + 200);
  EXPECT_GT(face.lightness(), 150);
  Close(main, *program);
}

}  // namespace
}  // namespace vorzik::shell
