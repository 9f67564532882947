#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orvanta {

// What the "worked before?" window shows, every text in the program's language.
struct WorkedBeforeTable {
  std::string title;
  std::string heading;               // the call sign and the number of contacts
  std::vector<std::string> columns;  // band, one column per mode, first, last, grids
  std::vector<std::vector<std::string>> rows;
  std::string emptyText;           // shown when there is no row
  std::vector<std::string> notes;  // logs that could not be read
  std::string checkBoxText;
  bool checked = false;
  std::string closeText;
};

// The small window of "worked before?".
class IWorkedBeforeView {
 public:
  virtual ~IWorkedBeforeView() = default;
  // Shows the table modally until the window is closed. When the operator
  // toggles the check box, retable is called with its new state and the
  // window shows the table it returns.
  virtual void show(const WorkedBeforeTable& table,
                    const std::function<WorkedBeforeTable(bool)>& retable) = 0;
};

}  // namespace orvanta
