#pragma once

// The small dialog that asks for a station typed in by hand.

#include "platform/StationDialog.h"

class QWidget;

namespace orvanta {

// Fields "call", "locator" and "remark" (Qt object names), a label "problem"
// that tells what is wrong with the entry, and OK / Cancel. OK closes the
// dialog only when the request's check accepts the entry.
class QtStationDialog final : public IStationDialog {
 public:
  explicit QtStationDialog(QWidget* parent) : parent_(parent) {}
  std::optional<StationEntry> askStation(const StationDialogRequest& request) override;

 private:
  QWidget* parent_;
};

}  // namespace orvanta
