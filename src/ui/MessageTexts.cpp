#include "ui/MessageTexts.h"

#include <cstddef>

namespace orvanta {

std::string fillIn(std::string_view text, std::initializer_list<std::string_view> values,
                   std::string_view lineEnd) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\n') {
      out += lineEnd;
      ++i;
      continue;
    }
    const std::size_t close = text[i] == '{' ? text.find('}', i) : std::string_view::npos;
    std::size_t index = 0;
    bool number = close != std::string_view::npos && close > i + 1;
    for (std::size_t k = i + 1; number && k < close; ++k) {
      number = text[k] >= '0' && text[k] <= '9' && index < values.size();
      index = index * 10 + static_cast<std::size_t>(text[k] - '0');
    }
    if (number && index < values.size()) {
      out += *(values.begin() + index);
      i = close + 1;
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace orvanta
