#pragma once

// The station window: what is known of the station being worked, beside the
// main window, never modal and never taking the focus.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/WorkedBeforeView.h"

namespace orvanta {

struct StationPanel {
  std::string title;
  std::string link;         // the state of the link in one line
  std::string linkTooltip;  // datagrams not read, by reason
  // Label and value: instance, band, mode, grid, distance, beam heading.
  std::vector<std::pair<std::string, std::string>> facts;
  std::string notice;         // "Q1ABC is not in CALL3.txt", what a take-over did
  std::string highlightHint;  // while calls are coloured: what WSJT-X needs for it
  WorkedBeforeTable worked;
  std::string autoAddText;
  bool autoAdd = false;
  bool showAutoAdd = false;  // only while following
};

class IStationView {
 public:
  virtual ~IStationView() = default;
  // Shows the window (opening it when closed) without taking the focus.
  virtual void show(const StationPanel& panel) = 0;
  // Fills the window when it is open; a closed window stays closed.
  virtual void update(const StationPanel& panel) = 0;
  [[nodiscard]] virtual bool isOpen() const = 0;
  // What the window's check boxes call when the operator ticks them.
  virtual void setHandlers(std::function<void(bool)> baseCall, std::function<void(bool)> autoAdd) = 0;
};

// What the connection dialog asks for.
struct ConnectionEntry {
  std::string address;
  std::string port;
  std::string myLocator;
  // The colours of the calls in WSJT-X as "#RRGGBB": needed, new band or
  // mode, worked.
  std::array<std::string, 3> colours;
};

struct ConnectionRequest {
  std::string title;
  std::string addressLabel;
  std::string portLabel;
  std::string myLocatorLabel;
  std::array<std::string, 3> colourLabels;
  std::string hint;
  std::string okCaption;
  std::string cancelCaption;
  ConnectionEntry initial;
  // Empty when the entry may be taken, else the reason shown in the dialog.
  std::function<std::string(const ConnectionEntry&)> check;
};

class IConnectionDialog {
 public:
  virtual ~IConnectionDialog() = default;
  // Modal; nothing when cancelled.
  virtual std::optional<ConnectionEntry> ask(const ConnectionRequest& request) = 0;
};

}  // namespace orvanta
