#include "records/ReadWindow.h"

#include <cstring>

namespace orvanta {

void ReadWindow::drop(std::size_t keep) {
  if (keep == 0) return;
  std::memmove(bytes_.data(), bytes_.data() + keep, end_ - keep);
  end_ -= keep;
}

bool ReadWindow::readMore() {
  if (eof_) return false;
  const std::size_t n = file_.read(bytes_.data() + end_, bytes_.size() - end_);
  if (n == 0) {
    eof_ = true;
    return false;
  }
  end_ += n;
  return true;
}

}  // namespace orvanta
