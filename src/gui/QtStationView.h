#pragma once

// The station window on Qt: a tool window beside the main window that shows
// itself without taking the focus (WSJT-X keeps it), with the state of the
// link, the facts of the station, a notice line, the worked-before table and
// the check boxes. Parts carry object names for tests: "link", "facts",
// "notice", "autoAdd" and those of the worked-before table.

#include <QWidget>

#include "gui/QtWorkedBeforeView.h"
#include "platform/StationView.h"

class QFormLayout;

namespace orvanta {

class QtStationView final : public IStationView {
 public:
  explicit QtStationView(QWidget* parent);
  ~QtStationView() override;
  QtStationView(const QtStationView&) = delete;
  QtStationView& operator=(const QtStationView&) = delete;

  void show(const StationPanel& panel) override;
  void update(const StationPanel& panel) override;
  [[nodiscard]] bool isOpen() const override;
  void setHandlers(std::function<void(bool)> baseCall, std::function<void(bool)> autoAdd) override;

  QWidget& widget() { return *window_; }

 private:
  QWidget* window_;
  QLabel* link_;
  QFormLayout* facts_;
  QLabel* notice_;
  QLabel* highlightHint_;
  WorkedTableParts worked_;
  QCheckBox* autoAdd_;
  std::function<void(bool)> onBaseCall_;
  std::function<void(bool)> onAutoAdd_;
};

}  // namespace orvanta
