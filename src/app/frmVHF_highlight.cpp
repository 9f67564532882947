// Colouring the calls of WSJT-X's band activity while following: the index
// answers, the planner decides, and the form sends what the planner returns
// to the instance whose decode it answers.

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "app/frmVHF.h"
#include "maintenance/Merge.h"
#include "maintenance/TakeOver.h"
#include "ui/MessageTexts.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

link::Colour wireColour(const Rgb& colour) { return {true, colour.red, colour.green, colour.blue}; }

std::vector<std::uint8_t> datagramOf(const HighlightAction& action) {
  if (!action.background) return link::encodeClearHighlight(action.id, action.call);
  // Black on the colour of the state; "highlight last" off, so that WSJT-X
  // keeps the colour for the call's later decodes until it is taken back.
  return link::encodeHighlightCallsign(action.id, action.call, wireColour(*action.background),
                                       wireColour(Rgb{}), false);
}

}  // namespace

void frmVHF::resumeFollowing() {
  Highlighting = settingOr(std::string(kHighlightKey).c_str(), "0") == "1";
  window_.setChecked(ctl::kMnuHighlight, Highlighting);
  if (settingOr("Follow", "0") == "1") startFollowing();
}

void frmVHF::mnuHighlight_Click() {
  Highlighting = !Highlighting;
  window_.setChecked(ctl::kMnuHighlight, Highlighting);
  try {
    settings_.write(kApplication, kSection, std::string(kHighlightKey), Highlighting ? "1" : "0");
  } catch (const std::exception&) {
    // Not remembered this time; colouring itself goes on.
  }
  if (!Following) return;
  if (Highlighting) {
    startHighlighting();
  } else {
    stopHighlighting();
  }
  refreshStation(false);
}

std::pair<std::vector<std::string>, std::vector<std::string>> frmVHF::highlightFiles() {
  std::vector<std::string> databases;
  std::vector<std::string> listed = window_.listItems(ctl::kCombo1);
  listed.push_back(window_.text(ctl::kCombo1));
  for (auto& path : listed) {
    if (!path.empty() && isUserDatabasePath(path) &&
        std::find(databases.begin(), databases.end(), path) == databases.end()) {
      databases.push_back(std::move(path));
    }
  }
  return {std::move(databases), listedLogs()};
}

void frmVHF::startHighlighting() {
  stopHighlighting();
  highlightBaseCalls_ = settingOr("BaseCall", "0") == "1";
  const HighlightColours colours = HighlightColours::fromSettings(
      [this](std::string_view key) { return settingOr(std::string(key).c_str(), ""); });
  callIndex_ = std::make_unique<CallIndex>(files_);
  indexedFiles_ = highlightFiles();
  callIndex_->start(indexedFiles_.first, indexedFiles_.second);
  indexVersion_ = callIndex_->version();
  // Until the index is built it answers nothing, and the planner colours nothing.
  planner_ = std::make_unique<HighlightPlanner>(
      [this](std::string_view call, std::size_t band, std::string_view mode) {
        return callIndex_->state(call, band, mode, highlightBaseCalls_);
      },
      colours);
}

void frmVHF::stopHighlighting() {
  clearHighlights();
  planner_.reset();
  callIndex_.reset();
  indexedFiles_ = {};
}

std::vector<HighlightAction> frmVHF::clearHighlights() {
  if (!planner_) return {};
  std::vector<HighlightAction> clears = planner_->clearAll();
  sendHighlights(clears, nullptr);
  return clears;
}

void frmVHF::keepIndexCurrent() {
  if (!callIndex_) return;
  auto files = highlightFiles();
  if (files == indexedFiles_) return;
  // The colours in place stay until the new index has answered for them.
  indexedFiles_ = std::move(files);
  callIndex_->start(indexedFiles_.first, indexedFiles_.second);
}

void frmVHF::highlightDatagram(const Datagram& datagram, FollowReport& report) {
  if (!planner_ || !callIndex_) return;
  const auto now = HighlightPlanner::Clock::now();
  std::vector<HighlightAction> actions;
  const auto take = [&](std::vector<HighlightAction> more) {
    actions.insert(actions.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
  };
  // A contact learned or a file read again: what is coloured may mean
  // something else now.
  const auto review = [&] {
    if (const std::uint64_t version = callIndex_->version(); version != indexVersion_) {
      indexVersion_ = version;
      take(planner_->review(now));
    }
  };
  if (const auto* status = std::get_if<link::Status>(&report.message)) {
    take(planner_->onStatus(status->id, status->dialFrequency, status->mode, now));
  } else if (const auto* decode = std::get_if<link::Decode>(&report.message)) {
    review();
    take(planner_->onDecode(
        SeenDecode{decode->id, decode->message, {datagram.senderAddress, datagram.senderPort}, decode->isNew},
        now));
  } else if (const auto* close = std::get_if<link::Close>(&report.message)) {
    // Its colours went with it.
    planner_->forget(close->id);
  }
  review();
  sendHighlights(actions, &report);
}

void frmVHF::sendHighlights(const std::vector<HighlightAction>& actions, FollowReport* report) {
  for (const auto& action : actions) {
    if (report != nullptr) report->highlights.push_back(action);
    if (!receiver_) continue;
    try {
      receiver_->sendTo(datagramOf(action), action.to.address, action.to.port);
    } catch (const FileError& e) {
      stationNotice_ = fillIn(texts::kHighlightNotSent.in(isGerman()), {action.call, e.what()});
    }
  }
}

}  // namespace orvanta
