#pragma once

namespace orvanta {

// Lets long operations hand control back to the toolkit so the window repaints.
class IEventLoop {
 public:
  virtual ~IEventLoop() = default;
  virtual void yield() = 0;
};

}  // namespace orvanta
