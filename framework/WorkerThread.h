#pragma once
// Worker threads that can be created suspended, so that whoever tracks them can register a thread before
// it runs (a thread that finished first would otherwise leave a dead entry behind).
#include <windows.h>

#include <functional>

#include "framework/Handles.h"

namespace fw {

class WorkerThread {
 public:
  WorkerThread() = default;
  // A thread still suspended when its owner is destroyed is discarded (see Discard).
  ~WorkerThread();
  WorkerThread(WorkerThread&& other) noexcept;
  WorkerThread& operator=(WorkerThread&& other) noexcept;

  // Creates the thread, suspended when asked; returns false (and runs nothing) when it cannot be created.
  // The function and what it captures belong to the thread and are destroyed on it when it ends.
  bool Start(std::function<void()> body, bool suspended = false);
  // Lets a suspended thread run; false when it could not be resumed (it is then still suspended, and
  // still holds its function: Discard it).
  bool Resume();
  // Ends a thread that was started suspended and never resumed, and destroys its function with what it
  // captured. Does nothing for a thread that runs.
  void Discard();
  // Waits for the thread to end; true when it did within `timeout_ms`.
  bool Join(DWORD timeout_ms = INFINITE) const;
  DWORD id() const { return id_; }
  HANDLE handle() const { return handle_.get(); }
  explicit operator bool() const { return static_cast<bool>(handle_); }

  // Fault injection for tests: the next `count` calls of Resume in this process fail.
  static void FailResumesForTesting(int count);

 private:
  UniqueHandle handle_;
  DWORD id_ = 0;
  std::function<void()>* suspended_body_ = nullptr;  // owned here while the thread has not run
};

}  // namespace fw
