#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
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
  [[nodiscard]] std::optional<std::uint64_t> size() const override { return bytes_.size(); }
  [[nodiscard]] std::unique_ptr<IInputFile> readerAt(std::uint64_t offset) const override {
    auto reader = std::make_unique<PieceInput>(bytes_, piece_);
    reader->pos_ = std::min<std::size_t>(static_cast<std::size_t>(offset), bytes_.size());
    return reader;
  }

 private:
  std::string bytes_;
  std::size_t piece_;
  std::size_t pos_ = 0;
};

}  // namespace orvanta::testing
