#pragma once

// The station that sends a decoded message, as WSJT-X shows it in its band
// activity list.

#include <string>
#include <string_view>

namespace orvanta {

// The calling station of a decoded message text, upper-cased and without the
// angle brackets of a hashed call:
//   "CQ Q1ABC JO62", "CQ DX Q1ABC JO62", "CQ 290 Q1ABC": Q1ABC;
//   "Q2XY Q1ABC -12", "Q2XY Q1ABC RR73": Q1ABC, the second call;
//   "Q2XY RR73; Q3ZZ <Q1ABC> -08" (a Fox answering two Hounds): Q1ABC.
// Empty when the message names no valid sender: free text, a hash not yet
// known ("<...>"), a word that is no call sign.
std::string callingStation(std::string_view message);

}  // namespace orvanta
