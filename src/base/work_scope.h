// WorkUnderWay and WorkScope: the one guard against re-entrance on the program's thread. COM's wait
// loop, a message box or a sent message can run a timer tick, an Outlook event or another message
// inside work that is under way; each kind of work that must not run inside itself keeps a
// WorkUnderWay, named for what it keeps out, and marks itself with a WorkScope for its life.
#pragma once

namespace orvane {

class WorkUnderWay {
public:
  // `keepsOut` says what the mark keeps out while it is set, for a reader and a debugger.
  explicit constexpr WorkUnderWay(const char* keepsOut) noexcept : keepsOut_(keepsOut) {}
  WorkUnderWay(const WorkUnderWay&) = delete;
  WorkUnderWay& operator=(const WorkUnderWay&) = delete;

  bool Now() const noexcept { return depth_ > 0; }
  const char* KeepsOut() const noexcept { return keepsOut_; }

private:
  friend class WorkScope;
  const char* keepsOut_;
  int depth_ = 0;
};

// Marks the work under way from its construction to its end, however the work ends; marks nest,
// the outer one staying to its own end.
class WorkScope {
public:
  explicit WorkScope(WorkUnderWay& work) noexcept : work_(work) { ++work_.depth_; }
  ~WorkScope() { --work_.depth_; }
  WorkScope(const WorkScope&) = delete;
  WorkScope& operator=(const WorkScope&) = delete;

private:
  WorkUnderWay& work_;
};

}  // namespace orvane
