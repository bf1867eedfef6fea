#pragma once
// How worker threads reach a window that may close before they end. The window creates one port, shares
// it with every worker it starts and closes it when it is destroyed; a worker posts through the port and
// learns from the result whether the window was still there to take the message (if not, whatever the
// message would have handed over is still the worker's to clean up). The window thread never waits for a
// worker, so closing the window cannot deadlock with a worker stuck in a device library call.
#include <windows.h>

#include <memory>
#include <mutex>
#include <set>

namespace app {

class WindowPort {
 public:
  explicit WindowPort(HWND hwnd) : hwnd_(hwnd) {}

  // Posts to the window; false when the port is closed or the post failed (the message was not delivered).
  bool Post(UINT msg, WPARAM wp, LPARAM lp) {
    std::lock_guard<std::mutex> lock(mutex_);
    return hwnd_ && ::PostMessageW(hwnd_, msg, wp, lp) != 0;
  }
  // Sends to the window and waits for it to be handled; false when the port is closed.
  // Must not be called while the window thread could be waiting for this thread.
  bool Send(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr) {
    HWND target;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      target = hwnd_;
    }
    if (!target) return false;
    DWORD_PTR r = 0;
    if (!::SendMessageTimeoutW(target, msg, wp, lp, SMTO_NORMAL, 60000, &r)) return false;
    if (result) *result = static_cast<LRESULT>(r);
    return true;
  }
  // Called on the window thread when the window is being destroyed.
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    hwnd_ = nullptr;
  }
  bool IsOpen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return hwnd_ != nullptr;
  }

 private:
  std::mutex mutex_;
  HWND hwnd_;
};

// The set of running workers of a window, shared with the workers so that one ending after the window
// can still remove itself. Workers are inserted before they start running.
class WorkerSet {
 public:
  void Insert(DWORD thread_id) {
    std::lock_guard<std::mutex> lock(mutex_);
    ids_.insert(thread_id);
  }
  void Remove(DWORD thread_id) {
    std::lock_guard<std::mutex> lock(mutex_);
    ids_.erase(thread_id);
  }
  size_t Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return ids_.size();
  }

 private:
  std::mutex mutex_;
  std::set<DWORD> ids_;
};

}  // namespace app
