#pragma once

#include "platform/Window.h"

namespace orvanta {

// Holds a maintenance command for the time it runs: marks it as running (so
// that no second one and no change of the database list starts while it
// yields to the event loop) and brings the mouse pointer back to normal
// however the command ends.
class MaintenanceScope {
 public:
  MaintenanceScope(bool& running, IWindow& window) : running_(running), window_(window) { running_ = true; }
  ~MaintenanceScope() {
    normalPointer();
    running_ = false;
  }
  MaintenanceScope(const MaintenanceScope&) = delete;
  MaintenanceScope& operator=(const MaintenanceScope&) = delete;

  void busyPointer() {
    window_.setMousePointer(MousePointer::Busy);
    busy_ = true;
  }
  void normalPointer() {
    if (!busy_) return;
    window_.setMousePointer(MousePointer::Normal);
    busy_ = false;
  }

 private:
  bool& running_;
  IWindow& window_;
  bool busy_ = false;
};

}  // namespace orvanta
