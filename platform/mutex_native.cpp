#include <mutex>

#include "platform/mutex.h"

namespace platform {

struct Mutex::Impl {
  std::mutex mutex;
};

Mutex::Mutex() : impl_(new Impl) {}
Mutex::~Mutex() = default;
void Mutex::Lock() { impl_->mutex.lock(); }
void Mutex::Unlock() { impl_->mutex.unlock(); }

}  // namespace platform
