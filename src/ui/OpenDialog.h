#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"

namespace orvanta {

// What the open dialog needs around it: the platform's dialog, the event loop
// it yields to once it has closed, and the message box for its errors.
struct OpenDialogServices {
  IFileDialog& dialog;
  IEventLoop& events;
  IMessageBox& messages;
  std::string newLine;                   // line break inside the error message
  std::vector<std::string> places = {};  // folders offered beside the system's own
};

// Splits a filter list "description|pattern|description|pattern" into its
// entries; a description without a pattern is dropped.
std::vector<FileFilter> parseFilterList(const std::string& filterList);

// Shows the file-open dialog for one existing file. Returns the chosen file's
// full path and sets fileName to its name without folder; returns the empty
// text, fileName unchanged, when the operator cancels or the dialog fails (a
// failure is reported in a message box titled with the title). A filter index
// of 0 means 1; an empty title or folder leaves the dialog's own.
std::string ShowOpenDialog(const OpenDialogServices& services, const std::string& title,
                           const std::string& initialFolder, std::string& fileName,
                           const std::string& filterList, std::int32_t filterIndex);

}  // namespace orvanta
