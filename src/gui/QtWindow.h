#pragma once

// The main window built from the window description. It implements IWindow
// for the form and reports the toolkit's events to one listener.

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMainWindow>
#include <QTimer>
#include <map>
#include <memory>
#include <string>

#include "platform/Window.h"

class QAction;
class QMenu;
class QTranslator;

namespace orvanta {

struct ControlDescription;

class QtWindow final : public QMainWindow, public IWindow {
  Q_OBJECT

 public:
  QtWindow();
  ~QtWindow() override;

  void setListener(IWindowEvents* listener) { listener_ = listener; }
  void reportLoad();
  // Reports Activate the first time only.
  void reportActivate();

  [[nodiscard]] std::string text(std::string_view control) const override;
  void setText(std::string_view control, std::string_view text) override;
  [[nodiscard]] std::string caption(std::string_view control) const override;
  void setCaption(std::string_view control, std::string_view caption) override;
  [[nodiscard]] std::string toolTip(std::string_view control) const override;
  void setToolTip(std::string_view control, std::string_view tip) override;
  [[nodiscard]] bool isEnabled(std::string_view control) const override;
  void setEnabled(std::string_view control, bool enabled) override;
  [[nodiscard]] bool isChecked(std::string_view control) const override;
  void setChecked(std::string_view control, bool checked) override;
  void setFocus(std::string_view control) override;
  [[nodiscard]] std::vector<std::string> listItems(std::string_view control) const override;
  void addListItem(std::string_view control, std::string_view item) override;
  void clearList(std::string_view control) override;
  [[nodiscard]] std::string title() const override;
  void setTitle(std::string_view title) override;
  [[nodiscard]] int top() const override;
  [[nodiscard]] int left() const override;
  [[nodiscard]] int height() const override;
  void setTop(int value) override;
  void setLeft(int value) override;
  void setHeight(int value) override;
  [[nodiscard]] WindowState state() const override;
  [[nodiscard]] std::vector<TwipRect> screens() const override;
  void setMousePointer(MousePointer pointer) override;
  void setToolkitLanguage(std::string_view code) override;
  void beep() override;
  void close() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  class StepKeyFilter;
  bool pressKeyButton(QObject* watched, const QKeyEvent& key);
  QObject* stepKeys_ = nullptr;  // a StepKeyFilter, owned by the window
  void buildControls();
  QWidget* createControl(const ControlDescription& c, QWidget* client);
  void buildMenus();
  void report(std::string_view control, WindowEvent event, int key = 0);
  void applyHeight();
  [[nodiscard]] QPoint framePosition() const;
  void moveFrame(QPoint frame);
  void placeFrame();
  void watchFrame();
  [[nodiscard]] int frameHeight() const;
  [[nodiscard]] QObject* entry(std::string_view name) const;
  [[nodiscard]] QWidget* widget(std::string_view name) const;
  [[nodiscard]] QAction* action(std::string_view name) const;
  [[nodiscard]] QMenu* menu(std::string_view name) const;

  std::map<std::string, QObject*, std::less<>> entries_;
  std::unique_ptr<QTranslator> translator_;  // Qt's own German texts, while German is chosen
  IWindowEvents* listener_ = nullptr;
  bool activated_ = false;
  bool unloaded_ = false;
  bool busy_ = false;
  int requestedHeight_ = 0;    // outer height in twips the form asked for, 0 before it did
  int appliedFrame_ = -1;      // frame height in pixels when that height was last applied
  QPoint wantedFrame_;         // where the frame's top-left corner belongs, in pixels
  bool framePending_ = false;  // the frame is not yet where it belongs
  QTimer frameTimer_;
  QElapsedTimer frameWatch_;
};

}  // namespace orvanta
