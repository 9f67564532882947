#pragma once

// The "worked before?" window on Qt: a modal dialog with the heading, the
// table of bands and modes, the notes, the base-call check box and a close
// button. Its parts carry object names for tests: "heading", "table",
// "empty", "notes", "baseCall", "close".

#include "platform/WorkedBeforeView.h"

class QWidget;

namespace orvanta {

class QtWorkedBeforeView final : public IWorkedBeforeView {
 public:
  explicit QtWorkedBeforeView(QWidget* parent) : parent_(parent) {}
  void show(const WorkedBeforeTable& table, const std::function<WorkedBeforeTable(bool)>& retable) override;

 private:
  QWidget* parent_;
};

}  // namespace orvanta
