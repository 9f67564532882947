#include "gui/QtStationView.h"
#include "gui/QtText.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvanta {

QtStationView::QtStationView(QWidget* parent)
    : window_(new QWidget(parent, Qt::Tool | Qt::WindowDoesNotAcceptFocus)) {
  window_->setObjectName("station");
  window_->setAttribute(Qt::WA_ShowWithoutActivating);
  window_->setFocusPolicy(Qt::NoFocus);
  auto* layout = new QVBoxLayout(window_);
  link_ = new QLabel(window_);
  link_->setObjectName("link");
  link_->setWordWrap(true);
  layout->addWidget(link_);
  auto* factsBox = new QWidget(window_);
  factsBox->setObjectName("facts");
  facts_ = new QFormLayout(factsBox);
  facts_->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(factsBox);
  notice_ = new QLabel(window_);
  notice_->setObjectName("notice");
  notice_->setWordWrap(true);
  layout->addWidget(notice_);
  highlightHint_ = new QLabel(window_);
  highlightHint_->setObjectName("highlightHint");
  highlightHint_->setWordWrap(true);
  layout->addWidget(highlightHint_);
  worked_ = makeWorkedTableParts(window_, layout);
  autoAdd_ = new QCheckBox(window_);
  autoAdd_->setObjectName("autoAdd");
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(worked_.baseCall);
  bottom->addStretch();
  bottom->addWidget(autoAdd_);
  layout->addLayout(bottom);
  // Ticking a box must not pull the focus away from WSJT-X either.
  worked_.baseCall->setFocusPolicy(Qt::NoFocus);
  autoAdd_->setFocusPolicy(Qt::NoFocus);
  QObject::connect(worked_.baseCall, &QCheckBox::toggled, window_, [this](bool checked) {
    if (onBaseCall_) onBaseCall_(checked);
  });
  QObject::connect(autoAdd_, &QCheckBox::toggled, window_, [this](bool checked) {
    if (onAutoAdd_) onAutoAdd_(checked);
  });
  window_->resize(520, 420);
}

QtStationView::~QtStationView() = default;

void QtStationView::show(const StationPanel& panel) {
  update(panel);
  if (!window_->isVisible() && window_->parentWidget() != nullptr) {
    // Beside the main window, so that neither hides the other.
    const QRect main = window_->parentWidget()->frameGeometry();
    window_->move(main.right() + 8, main.top());
  }
  window_->show();
}

void QtStationView::update(const StationPanel& panel) {
  window_->setWindowTitle(qs(panel.title));
  link_->setText(qs(panel.link));
  link_->setToolTip(qs(panel.linkTooltip));
  while (facts_->rowCount() > 0) facts_->removeRow(0);
  for (const auto& [label, value] : panel.facts) {
    auto* shown = new QLabel(qs(value));
    shown->setTextInteractionFlags(Qt::NoTextInteraction);
    facts_->addRow(qs(label), shown);
  }
  notice_->setText(qs(panel.notice));
  notice_->setVisible(!panel.notice.empty());
  highlightHint_->setText(qs(panel.highlightHint));
  highlightHint_->setVisible(!panel.highlightHint.empty());
  fillWorkedTable(worked_, panel.worked);
  const bool hasTable = !panel.worked.heading.empty();
  for (QWidget* part : {static_cast<QWidget*>(worked_.heading), static_cast<QWidget*>(worked_.table),
                        static_cast<QWidget*>(worked_.baseCall)}) {
    part->setVisible(hasTable);
  }
  const QSignalBlocker quiet(autoAdd_);
  autoAdd_->setText(qs(panel.autoAddText));
  autoAdd_->setChecked(panel.autoAdd);
  autoAdd_->setVisible(panel.showAutoAdd);
}

bool QtStationView::isOpen() const { return window_->isVisible(); }

void QtStationView::setHandlers(std::function<void(bool)> baseCall, std::function<void(bool)> autoAdd) {
  onBaseCall_ = std::move(baseCall);
  onAutoAdd_ = std::move(autoAdd);
}

}  // namespace orvanta
