// GoogleTest's customisation header, taking the place of its empty default for the mingw
// build of the Wine tests. The win32 thread model of mingw-w64 GCC 12 has no std::mutex or
// std::condition_variable, which GoogleTest's own Notification is made of; this one waits on
// a Win32 event instead (gtest_notification.cpp), and the rest of GoogleTest keeps its
// Win32 locks.
#ifndef KIT_GTEST_CUSTOM_GTEST_PORT_H_
#define KIT_GTEST_CUSTOM_GTEST_PORT_H_

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

// Lets a controller thread hold back threads it created until it notifies them.
class Notification {
 public:
  Notification();
  ~Notification();
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify();
  void WaitForNotification();

 private:
  void* event_;  // a manual-reset event, owned
};

}  // namespace internal
}  // namespace testing

#endif  // KIT_GTEST_CUSTOM_GTEST_PORT_H_
