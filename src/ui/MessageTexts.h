#pragma once

// The texts of every message box, in both languages, beside the captions of
// the window description. Handlers pick a text by the form's language; texts
// are exactly as shown, blanks included.

#include <string_view>

namespace orvanta {

struct BilingualText {
  std::string_view german;
  std::string_view english;
  constexpr std::string_view in(bool isGerman) const { return isGerman ? german : english; }
};

namespace texts {

// ---- Search, stepping and the file dialog ----

// ---- Merge ----

// ---- Month-end update ----

// ---- Taking stations over ----

// ---- Worked before ----

// ---- Whole program ----

}  // namespace texts
}  // namespace orvanta
