#pragma once

// The WSJT-X connection dialog on Qt: address, port, own locator and the
// colours of the calls, the hint on WSJT-X's "UDP Server" setting, and the
// reason an entry is refused.
// Parts carry object names for tests: "address", "port", "myLocator",
// "colourNeeded", "colourNewSlot", "colourWorked", "problem", "ok", "cancel".

#include "platform/StationView.h"
#include "platform/UdpReceiver.h"

class QWidget;

namespace orvanta {

class QtConnectionDialog final : public IConnectionDialog {
 public:
  explicit QtConnectionDialog(QWidget* parent) : parent_(parent) {}
  std::optional<ConnectionEntry> ask(const ConnectionRequest& request) override;

 private:
  QWidget* parent_;
};

// Watches a socket from Qt's event loop.
class QtSocketWatcher final : public ISocketWatcher {
 public:
  QtSocketWatcher();
  ~QtSocketWatcher() override;
  QtSocketWatcher(const QtSocketWatcher&) = delete;
  QtSocketWatcher& operator=(const QtSocketWatcher&) = delete;
  void watch(int descriptor, std::function<void()> readable) override;
  void unwatch() override;

 private:
  struct Notifier;
  std::unique_ptr<Notifier> notifier_;
};

}  // namespace orvanta
