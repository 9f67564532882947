#pragma once

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <array>
#include <csignal>

#include <string>
#include <utility>

#include "app/frmVHF.h"
#include "fakes/Fakes.h"

namespace orvanta::testing {

// A form on the real file system with a hook before every disk change.
struct Rig {
  explicit Rig(StdFileSystem::Hook hook) : files(std::move(hook)) {
    form.Language = "de";
    form.NewLine = "\r\n";
  }
  FakeWindow window;
  FakeMessageBox messages;
  FakeFileDialog dialog;
  FakeSettingsStore settings;
  StdFileSystem files;
  FakeClock clock;
  FakeEventLoop events;
  frmVHF form{FormServices{window, messages, dialog, settings, files, clock, events}};
};

// One-way signal between two processes through a pipe: a barrier that
// needs no sleeping.
class Signal {
 public:
  Signal() {
    if (::pipe(fds_.data()) != 0) fds_[0] = fds_[1] = -1;
  }
  ~Signal() {
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
  Signal(const Signal&) = delete;
  Signal& operator=(const Signal&) = delete;

  void post() const {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(fds_[1], &c, 1);
  }
  // True when the signal came within the time.
  [[nodiscard]] bool wait(int milliseconds = 10000) const {
    pollfd p{fds_[0], POLLIN, 0};
    if (::poll(&p, 1, milliseconds) != 1) return false;
    char c = 0;
    return ::read(fds_[0], &c, 1) == 1;
  }
  // True when a signal is waiting; takes it.
  [[nodiscard]] bool posted() const { return wait(0); }

 private:
  std::array<int, 2> fds_{};
};

// Runs work in a child process, which ends with work's result as its exit code.
template <typename Work>
pid_t spawn(Work work) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(work());
  return child;
}

// The exit code of a child, or -signal when a signal ended it.
inline int finish(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// Waits up to the given time for a child; kills it when it does not end.
inline int finishWithin(pid_t child, int milliseconds) {
  for (int waited = 0; waited < milliseconds; ++waited) {
    int status = 0;
    if (::waitpid(child, &status, WNOHANG) == child) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }
    ::usleep(1000);
  }
  ::kill(child, SIGKILL);
  finish(child);
  return -1000;
}

}  // namespace orvanta::testing
