// Virtual time that writes each wait into a shared journal, so that tests see the waits in
// their order among the other calls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace fakes {

class JournalClock : public platform::Clock {
 public:
  explicit JournalClock(std::vector<std::string>& journal) : journal_(journal) {}
  void Sleep(std::uint32_t milliseconds) override {
    journal_.push_back("sleep " + std::to_string(milliseconds));
    now_ += milliseconds;
  }
  std::uint32_t TickCount() override { return now_; }

 private:
  std::vector<std::string>& journal_;
  std::uint32_t now_ = 0;
};

}  // namespace fakes
