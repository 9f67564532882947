#pragma once

// What one datagram did while following, for orvanta-bench and the tests.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "link/HighlightPlanner.h"
#include "link/Locator.h"
#include "link/Protocol.h"
#include "records/RecordView.h"

namespace orvanta {

enum class AddResult { New, Changed, Unchanged, Refused };

struct FollowReport {
  link::Message message;
  // A Status with a new DX call, or a logged contact.
  std::string call;
  bool lookedUp = false;  // the call was shown (not waiting behind a handler)
  bool deferred = false;  // the call waits until the running handler ends
  bool found = false;
  std::array<std::string, kRecordBoxes> boxes;  // Text2..Text9 as shown
  std::optional<std::size_t> worked;            // contacts with the call
  link::BeamPath path;
  bool repeatedContact = false;  // the second message of a logged contact
  std::optional<AddResult> added;
  std::string addReason;
  // Colours sent because of this datagram.
  std::vector<HighlightAction> highlights;
};

}  // namespace orvanta
