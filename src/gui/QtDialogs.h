#pragma once

// The modal dialogs and the event-loop yield on Qt.

#include "platform/EventLoop.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"

class QWidget;

namespace orvanta {

class QtMessageBox final : public IMessageBox {
 public:
  explicit QtMessageBox(QWidget* parent) : parent_(parent) {}
  MessageAnswer show(const std::string& text, const std::string& title, MessageIcon icon,
                     MessageButtons buttons) override;

 private:
  QWidget* parent_;
};

class QtFileDialog final : public IFileDialog {
 public:
  explicit QtFileDialog(QWidget* parent) : parent_(parent) {}
  OpenFileResult openFile(const OpenFileRequest& request) override;

 private:
  QWidget* parent_;
};

class QtEventLoop final : public IEventLoop {
 public:
  void yield() override;
};

}  // namespace orvanta
