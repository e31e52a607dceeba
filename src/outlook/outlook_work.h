// OutlookWork: marks the plug-in's work with Outlook as under way on its one thread.
#pragma once

#include <utility>

namespace orvane {

// COM's wait loop, a message box or a wait may dispatch timer messages while work with Outlook is
// under way (a tick, or one of Outlook's events). A tick run then would open, release or
// disconnect the very objects the outer work is using; so a tick that finds work under way
// returns at once, its timer still armed. Marks nest: the outer mark stays until its own end.
class OutlookWork {
public:
  OutlookWork() noexcept : outer_(std::exchange(inProgress_, true)) {}
  ~OutlookWork() { inProgress_ = outer_; }
  OutlookWork(const OutlookWork&) = delete;
  OutlookWork& operator=(const OutlookWork&) = delete;

  static bool InProgress() noexcept { return inProgress_; }

private:
  inline static bool inProgress_ = false;
  bool outer_;
};

}  // namespace orvane
