// platform::Mutex over a CRITICAL_SECTION: the 32-bit product toolchain has no std::mutex,
// and a critical section is available on every Windows the utility supports.
#include "platform/mutex.h"

#include <windows.h>

namespace platform {

struct Mutex::Impl {
  Impl() { ::InitializeCriticalSection(&section); }
  ~Impl() { ::DeleteCriticalSection(&section); }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  CRITICAL_SECTION section;
};

Mutex::Mutex() : impl_(new Impl) {}
Mutex::~Mutex() = default;
void Mutex::Lock() { ::EnterCriticalSection(&impl_->section); }
void Mutex::Unlock() { ::LeaveCriticalSection(&impl_->section); }

}  // namespace platform
