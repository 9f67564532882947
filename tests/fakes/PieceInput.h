#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

#include "platform/FileSystem.h"

namespace orvanta::testing {

// A file in memory that hands out its bytes in pieces of a chosen size, so
// that line ends, CR LF pairs and byte-order marks fall on every possible
// read boundary.
class PieceInput final : public IInputFile {
 public:
  PieceInput(std::string bytes, std::size_t piece) : bytes_(std::move(bytes)), piece_(piece) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, piece_, bytes_.size() - pos_});
    std::copy_n(bytes_.data() + pos_, n, buffer);
    pos_ += n;
    return n;
  }

 private:
  std::string bytes_;
  std::size_t piece_;
  std::size_t pos_ = 0;
};

}  // namespace orvanta::testing
