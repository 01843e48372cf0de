// Port settings for GoogleTest built with the win32 thread model, whose C++
// library has no std::mutex or std::condition_variable. GoogleTest's own
// Windows code covers every other threading need; only its Notification
// needs these, so it is supplied here as a Win32 event (notification.cc).
#ifndef KRESKA_GTEST_CUSTOM_PORT_H
#define KRESKA_GTEST_CUSTOM_PORT_H

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification();
  ~Notification();
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify();
  void WaitForNotification();

 private:
  void* event_;  // a manual-reset event; HANDLE without <windows.h>
};

}  // namespace internal
}  // namespace testing

#endif
