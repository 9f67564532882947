#pragma once

// The "worked before?" window on Qt: a modal dialog with the heading, the
// table of bands and modes, the notes, the base-call check box and a close
// button. Its parts carry object names for tests: "heading", "table",
// "empty", "notes", "baseCall", "close".

#include "platform/WorkedBeforeView.h"

class QCheckBox;
class QLabel;
class QTableWidget;
class QVBoxLayout;
class QWidget;

namespace orvanta {

// The parts that show a worked-before table; the station window has them too.
struct WorkedTableParts {
  QLabel* heading;
  QTableWidget* table;
  QLabel* empty;
  QLabel* notes;
  QCheckBox* baseCall;
};
// Makes the parts inside owner, named for tests, and lays out all but the check box.
WorkedTableParts makeWorkedTableParts(QWidget* owner, QVBoxLayout* layout);
void fillWorkedTable(const WorkedTableParts& parts, const WorkedBeforeTable& table);

class QtWorkedBeforeView final : public IWorkedBeforeView {
 public:
  explicit QtWorkedBeforeView(QWidget* parent) : parent_(parent) {}
  void show(const WorkedBeforeTable& table, const std::function<WorkedBeforeTable(bool)>& retable) override;

 private:
  QWidget* parent_;
};

}  // namespace orvanta
