// Feeds arbitrary datagrams to the WSJT-X message reader and to what
// following does with a message. Besides not crashing or hanging, it checks
// that reader and writer agree: a Status or QSO Logged read, written again
// and read once more is the same message, and the counts of ignored
// datagrams stay bounded however many odd reasons arrive.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <variant>

#include "link/Follow.h"
#include "link/Locator.h"
#include "link/Protocol.h"

namespace {

using namespace orvanta::link;

void check(bool condition) {
  if (!condition) std::abort();
}

FollowState& state() {
  static FollowState follow;
  return follow;
}

void checkStatus(const Status& status) {
  const auto again = readMessage(encodeStatus(status).bytes());
  const auto* read = std::get_if<Status>(&again);
  check(read != nullptr && read->dxCall == status.dxCall && read->dxGrid == status.dxGrid &&
        read->txMessage == status.txMessage && read->dialFrequency == status.dialFrequency);
  state().status(status);
  const BeamPath path = beamPath(status.deGrid, status.dxGrid);
  check(!path.km || (*path.km >= 0 && *path.km <= 20016));
  check(!path.degrees || (*path.degrees >= 0 && *path.degrees < 360));
}

void checkLogged(const QsoLogged& logged) {
  const auto again = readMessage(encodeQsoLogged(logged).bytes());
  const auto* read = std::get_if<QsoLogged>(&again);
  check(read != nullptr && read->dxCall == logged.dxCall &&
        read->timeOn.dateText() == logged.timeOn.dateText() &&
        read->propagationMode == logged.propagationMode);
  if (const auto contact = contactOf(logged)) state().logged(*contact);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Message message = readMessage(std::span(data, size));
  if (const auto* status = std::get_if<Status>(&message)) checkStatus(*status);
  if (const auto* logged = std::get_if<QsoLogged>(&message)) checkLogged(*logged);
  if (const auto* adif = std::get_if<LoggedAdif>(&message)) {
    if (const auto contact = contactOf(*adif)) check(!contact->call.empty());
  }
  if (const auto* ignored = std::get_if<Ignored>(&message)) state().ignored(ignored->reason);
  check(state().ignoredCounts().size() <= 33);
  check(state().loggedContacts().size() <= 10000);
  return 0;
}
