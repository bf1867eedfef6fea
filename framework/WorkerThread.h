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
  WorkerThread(WorkerThread&&) = default;
  WorkerThread& operator=(WorkerThread&&) = default;

  // Creates the thread, suspended when asked; returns false (and runs nothing) when it cannot be created.
  // The function and what it captures belong to the thread and are destroyed on it when it ends.
  bool Start(std::function<void()> body, bool suspended = false);
  bool Resume();
  // Waits for the thread to end; true when it did within `timeout_ms`.
  bool Join(DWORD timeout_ms = INFINITE) const;
  DWORD id() const { return id_; }
  HANDLE handle() const { return handle_.get(); }
  explicit operator bool() const { return static_cast<bool>(handle_); }

 private:
  UniqueHandle handle_;
  DWORD id_ = 0;
};

}  // namespace fw
