#include "framework/WorkerThread.h"

#include <process.h>

#include <memory>

namespace fw {
namespace {
unsigned __stdcall ThreadMain(void* arg) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(arg));
  (*body)();
  return 0;
}
}  // namespace

bool WorkerThread::Start(std::function<void()> body, bool suspended) {
  auto heap_body = std::make_unique<std::function<void()>>(std::move(body));
  unsigned id = 0;
  auto h = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ThreadMain, heap_body.get(),
                                                   suspended ? CREATE_SUSPENDED : 0, &id));
  if (!h) return false;
  heap_body.release();  // the thread owns it now
  handle_.reset(h);
  id_ = id;
  return true;
}

bool WorkerThread::Resume() { return handle_ && ::ResumeThread(handle_.get()) != static_cast<DWORD>(-1); }

bool WorkerThread::Join(DWORD timeout_ms) const {
  return handle_ && ::WaitForSingleObject(handle_.get(), timeout_ms) == WAIT_OBJECT_0;
}

}  // namespace fw
