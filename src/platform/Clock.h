#pragma once

namespace orvanta {

struct CivilDate {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
};

class IClock {
 public:
  virtual ~IClock() = default;
  [[nodiscard]] virtual CivilDate today() const = 0;
};

// Local date from the system clock.
class SystemClock final : public IClock {
 public:
  [[nodiscard]] CivilDate today() const override;
};

}  // namespace orvanta
