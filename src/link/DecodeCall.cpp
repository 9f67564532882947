#include "link/DecodeCall.h"

#include <array>
#include <cstddef>

#include "maintenance/TakeOver.h"
#include "records/Text.h"

namespace orvanta {
namespace {

// Enough words for every shape of a standard message; the rest is not looked at.
constexpr std::size_t kWords = 5;

struct Words {
  std::array<std::string_view, kWords> word;
  std::size_t count = 0;
};

Words splitWords(std::string_view text) {
  Words words;
  std::size_t at = 0;
  while (words.count < kWords) {
    at = text.find_first_not_of(' ', at);
    if (at == std::string_view::npos) break;
    const std::size_t end = std::min(text.find(' ', at), text.size());
    words.word[words.count++] = text.substr(at, end - at);
    at = end;
  }
  return words;
}

// The call a word names, upper-cased and without angle brackets; empty when
// it names none ("<...>" included).
std::string callOf(std::string_view word) {
  if (word.size() >= 2 && word.front() == '<' && word.back() == '>') word = word.substr(1, word.size() - 2);
  std::string call(word);
  for (char& c : call) c = upperAscii(c);
  return isValidCall(call) ? call : std::string();
}

bool isCallOrHash(std::string_view word) {
  return !callOf(word).empty() || (word.size() >= 2 && word.front() == '<' && word.back() == '>');
}

}  // namespace

std::string callingStation(std::string_view message) {
  std::string upper(trimBlanks(message));
  for (char& c : upper) c = upperAscii(c);
  const Words words = splitWords(upper);
  if (words.count < 2) return {};
  const auto& w = words.word;
  if (w[0] == "CQ" || w[0] == "QRZ") {
    // "CQ CALL", else "CQ MODIFIER CALL": a modifier is never a call.
    if (isCallOrHash(w[1])) return callOf(w[1]);
    return words.count >= 3 ? callOf(w[2]) : std::string();
  }
  // A Fox answers one Hound with RR73 and calls the next in one message.
  if (words.count >= 4 && w[1].size() > 1 && w[1].back() == ';') return callOf(w[3]);
  if (!isCallOrHash(w[0])) return {};
  return callOf(w[1]);
}

}  // namespace orvanta
