#include "framework/WorkerThread.h"

#include <process.h>

#include <atomic>
#include <memory>
#include <utility>

namespace fw {
namespace {

std::atomic<int> g_failing_resumes{0};

unsigned __stdcall ThreadMain(void* arg) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(arg));
  (*body)();
  return 0;
}

}  // namespace

WorkerThread::~WorkerThread() { Discard(); }

WorkerThread::WorkerThread(WorkerThread&& other) noexcept
    : handle_(std::move(other.handle_)),
      id_(std::exchange(other.id_, 0)),
      suspended_body_(std::exchange(other.suspended_body_, nullptr)) {}

WorkerThread& WorkerThread::operator=(WorkerThread&& other) noexcept {
  if (this != &other) {
    Discard();
    handle_ = std::move(other.handle_);
    id_ = std::exchange(other.id_, 0);
    suspended_body_ = std::exchange(other.suspended_body_, nullptr);
  }
  return *this;
}

bool WorkerThread::Start(std::function<void()> body, bool suspended) {
  Discard();
  auto heap_body = std::make_unique<std::function<void()>>(std::move(body));
  unsigned id = 0;
  auto h = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ThreadMain, heap_body.get(),
                                                   suspended ? CREATE_SUSPENDED : 0, &id));
  if (!h) return false;
  // A running thread owns its function; a suspended one's stays here until it runs.
  std::function<void()>* raw = heap_body.release();
  suspended_body_ = suspended ? raw : nullptr;
  handle_.reset(h);
  id_ = id;
  return true;
}

bool WorkerThread::Resume() {
  if (!handle_) return false;
  int failing = g_failing_resumes.load();
  while (failing > 0 && !g_failing_resumes.compare_exchange_weak(failing, failing - 1)) {
  }
  if (failing > 0) return false;
  if (::ResumeThread(handle_.get()) == static_cast<DWORD>(-1)) return false;
  suspended_body_ = nullptr;
  return true;
}

void WorkerThread::Discard() {
  if (!suspended_body_) return;
  // The thread has not run a single instruction of its own, so ending it leaves nothing half done.
  ::TerminateThread(handle_.get(), 1);
  ::WaitForSingleObject(handle_.get(), INFINITE);
  delete suspended_body_;
  suspended_body_ = nullptr;
}

bool WorkerThread::Join(DWORD timeout_ms) const {
  return handle_ && ::WaitForSingleObject(handle_.get(), timeout_ms) == WAIT_OBJECT_0;
}

void WorkerThread::FailResumesForTesting(int count) { g_failing_resumes = count; }

}  // namespace fw
