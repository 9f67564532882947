#pragma once

#include <functional>
#include <optional>
#include <string>

namespace orvanta {

// A station as the operator types it in: call sign, locator and remark, as
// UTF-8 text.
struct StationEntry {
  std::string call;
  std::string locator;
  std::string remark;
};

struct StationDialogRequest {
  std::string title;
  std::string callLabel;
  std::string locatorLabel;
  std::string remarkLabel;
  std::string okCaption;
  std::string cancelCaption;
  StationEntry initial;
  // Tells what is wrong with an entry, in the program's language; the empty
  // text accepts it. The dialog shows the text and stays open until the
  // entry is accepted or the operator cancels.
  std::function<std::string(const StationEntry&)> check;
};

// Modal dialog that asks for one station. Empty when cancelled.
class IStationDialog {
 public:
  virtual ~IStationDialog() = default;
  virtual std::optional<StationEntry> askStation(const StationDialogRequest& request) = 0;
};

}  // namespace orvanta
