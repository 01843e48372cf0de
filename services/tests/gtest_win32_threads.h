// GoogleTest on the win32-thread MinGW runtime, which has no std::mutex or
// std::condition_variable: the one class GoogleTest builds on them, its
// internal Notification, made from a Win32 event instead. Force-included
// into the GoogleTest library and the programs that use it.
#pragma once

#include <windows.h>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event); }
    void Notify() { SetEvent(event); }
    void WaitForNotification() { WaitForSingleObject(event, INFINITE); }

private:
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    HANDLE event;
};

}  // namespace internal
}  // namespace testing
