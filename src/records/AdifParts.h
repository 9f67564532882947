#pragma once

// A large ADIF file walked for a text in parts side by side, one thread a
// part. Where a part starts is guessed: right after an "<eor>" found near
// its share of the file. The walk of the part before checks the guess, since
// it must reach that very place as the end of a record; when it does not (a
// value holding "<eor>"), it goes on through the next part itself and that
// part's lines are dropped. The lines come out exactly as walking the whole
// file in one go gives them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "records/Adif.h"

namespace orvanta {

class AdifParts {
 public:
  // Null when the file is too small to split, cannot give readers of its
  // parts, or no part but the first has a start. Throws FileError.
  static std::unique_ptr<AdifParts> open(const IInputFile& file, const RawTextFilter& filter,
                                         const AdifSplit& split);
  ~AdifParts();
  AdifParts(const AdifParts&) = delete;
  AdifParts& operator=(const AdifParts&) = delete;

  // The next line for a reader that has given out `lines` so far, without
  // a line end; false at the end of the file. Throws what a part's walk threw.
  bool next(const LinesSoFar& lines, std::string& line);
  [[nodiscard]] std::size_t count() const { return parts_.size(); }

  struct Part;

 private:
  AdifParts(RawTextFilter filter, const std::vector<std::uint64_t>& starts,
            std::vector<std::unique_ptr<IInputFile>> readers);
  void walkPart(std::size_t index, const std::stop_token& stop);
  void stopAll();
  void moveTo(std::size_t index, const LinesSoFar& lines);

  RawTextFilter filter_;
  std::vector<std::unique_ptr<Part>> parts_;
  std::size_t current_ = 0;  // the part whose lines are taken
  unsigned wanted_ = 0;      // the bit of the lines taken from it
};

}  // namespace orvanta
