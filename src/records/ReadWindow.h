#pragma once

#include <cstddef>
#include <vector>

#include "platform/FileSystem.h"

namespace orvanta {

// The bytes of a file that a reader holds: [0, end()) were read and are still
// needed. Every reader of databases refills through it, so that moving what
// is kept to the front, growing for a long line and meeting the end of the
// file are done in one place.
class ReadWindow {
 public:
  ReadWindow(IInputFile& file, std::size_t size) : file_(file), bytes_(size) {}

  char* data() { return bytes_.data(); }
  [[nodiscard]] const char* data() const { return bytes_.data(); }
  [[nodiscard]] std::size_t end() const { return end_; }
  [[nodiscard]] std::size_t room() const { return bytes_.size(); }
  [[nodiscard]] bool full() const { return end_ == bytes_.size(); }
  [[nodiscard]] bool atEndOfFile() const { return eof_; }

  // Gives up the bytes before keep: the rest moves to the front.
  void drop(std::size_t keep);
  // Makes room for at least size bytes.
  void grow(std::size_t size) {
    if (size > bytes_.size()) bytes_.resize(size);
  }
  // Reads after the bytes held, as many as there is room for; false at the
  // end of the file. Throws FileError when reading fails.
  bool readMore();

 private:
  IInputFile& file_;
  std::vector<char> bytes_;
  std::size_t end_ = 0;
  bool eof_ = false;
};

}  // namespace orvanta
