#include "gui/QtWorkedBeforeView.h"
#include "gui/QtText.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvanta {

void fillWorkedTable(const WorkedTableParts& parts, const WorkedBeforeTable& table) {
  parts.heading->setText(qs(table.heading));
  QStringList columns;
  for (const auto& column : table.columns) columns << qs(column);
  parts.table->clear();
  parts.table->setColumnCount(static_cast<int>(table.columns.size()));
  parts.table->setHorizontalHeaderLabels(columns);
  parts.table->setRowCount(static_cast<int>(table.rows.size()));
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
      auto* item = new QTableWidgetItem(qs(table.rows[r][c]));
      // The counts line up on the right; band, dates and grids read from the left.
      const bool count = c > 0 && c + 3 < table.columns.size();
      item->setTextAlignment(count ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
      parts.table->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  }
  parts.table->resizeColumnsToContents();
  parts.empty->setText(qs(table.emptyText));
  parts.empty->setVisible(!table.emptyText.empty());
  QStringList notes;
  for (const auto& note : table.notes) notes << qs(note);
  parts.notes->setText(notes.join('\n'));
  parts.notes->setVisible(!notes.isEmpty());
  const QSignalBlocker quiet(parts.baseCall);
  parts.baseCall->setText(qs(table.checkBoxText));
  parts.baseCall->setChecked(table.checked);
}

WorkedTableParts makeWorkedTableParts(QWidget* owner, QVBoxLayout* layout) {
  WorkedTableParts parts{new QLabel(owner), new QTableWidget(owner), new QLabel(owner), new QLabel(owner),
                         new QCheckBox(owner)};
  parts.heading->setObjectName("heading");
  parts.table->setObjectName("table");
  parts.empty->setObjectName("empty");
  parts.notes->setObjectName("notes");
  parts.notes->setWordWrap(true);
  parts.baseCall->setObjectName("baseCall");
  parts.table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  parts.table->verticalHeader()->setVisible(false);
  QFont bold = parts.heading->font();
  bold.setBold(true);
  parts.heading->setFont(bold);
  layout->addWidget(parts.heading);
  layout->addWidget(parts.table);
  layout->addWidget(parts.empty);
  layout->addWidget(parts.notes);
  return parts;
}

void QtWorkedBeforeView::show(const WorkedBeforeTable& table,
                              const std::function<WorkedBeforeTable(bool)>& retable) {
  QDialog dialog(parent_);
  dialog.setObjectName("workedBefore");
  dialog.setWindowTitle(qs(table.title));
  auto* layout = new QVBoxLayout(&dialog);
  const WorkedTableParts parts = makeWorkedTableParts(&dialog, layout);
  auto* close = new QPushButton(qs(table.closeText), &dialog);
  close->setObjectName("close");
  close->setDefault(true);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(parts.baseCall);
  bottom->addStretch();
  bottom->addWidget(close);
  layout->addLayout(bottom);
  fillWorkedTable(parts, table);
  QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(parts.baseCall, &QCheckBox::toggled, &dialog,
                   [&parts, &retable](bool checked) { fillWorkedTable(parts, retable(checked)); });
  dialog.resize(560, 320);
  dialog.exec();
}

}  // namespace orvanta
