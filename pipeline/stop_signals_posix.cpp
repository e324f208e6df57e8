// Stop signals passed on to the running tool; the signals a tool starts with.
#include "pipeline/stop_signals_posix.h"

#include <sys/prctl.h>
#include <unistd.h>

#include "pipeline/stage_runner.h"

namespace vorzik {

namespace {

volatile sig_atomic_t caughtSignal = 0;
volatile sig_atomic_t watchedChild = 0;

extern "C" void PassStopSignalOn(int signo) {
  caughtSignal = signo;
  pid_t child = watchedChild;
  if (child > 0)
    ::kill(child, signo);
}

// The signals ignored when the program started, read before main and so
// before the toolkit or a library sets any of its own. The user asked for
// them to be ignored (nohup, a script's background job), and the tools are
// part of the job: a logout must not end the tool the user shielded.
sigset_t SignalsIgnoredNow() {
  sigset_t ignored;
  sigemptyset(&ignored);
  for (int signo = 1; signo < NSIG; ++signo) {
    struct sigaction action {};
    if (::sigaction(signo, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
      sigaddset(&ignored, signo);
  }
  return ignored;
}
const sigset_t kIgnoredAtStart = SignalsIgnoredNow();

}  // namespace

StopSignalForwarding::StopSignalForwarding() {
  caughtSignal = 0;
  struct sigaction forward {};
  forward.sa_handler = PassStopSignalOn;
  sigemptyset(&forward.sa_mask);
  forward.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    ::sigaction(kStopSignals[i], nullptr, &saved_[i]);
    if (saved_[i].sa_handler != SIG_IGN)
      ::sigaction(kStopSignals[i], &forward, nullptr);
  }
}

StopSignalForwarding::~StopSignalForwarding() {
  watchedChild = 0;
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
    ::sigaction(kStopSignals[i], &saved_[i], nullptr);
}

void StopSignalForwarding::Watch(pid_t child) {
  watchedChild = child;
  if (caughtSignal != 0)
    ::kill(child, caughtSignal);
}

void StopSignalForwarding::Unwatch() {
  watchedChild = 0;
}

int StopSignalForwarding::Caught() const {
  return caughtSignal;
}

bool GiveToolItsSignals(pid_t parent) {
  struct sigaction standard {};
  sigemptyset(&standard.sa_mask);
  for (int signo = 1; signo < NSIG; ++signo) {
    standard.sa_handler = sigismember(&kIgnoredAtStart, signo) == 1 ? SIG_IGN : SIG_DFL;
    ::sigaction(signo, &standard, nullptr);
  }
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  // A SIGTERM the tool ignores could not end it.
  ::prctl(PR_SET_PDEATHSIG, sigismember(&kIgnoredAtStart, SIGTERM) == 1 ? SIGKILL : SIGTERM);
  return ::getppid() == parent;
}

void EndAfterStop(int stopSignal) {
  ::signal(stopSignal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, stopSignal);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(stopSignal);
  ::_exit(128 + stopSignal);
}

}  // namespace vorzik
