// OutlookWork: marks the plug-in's work with Outlook as under way on its one thread.
#pragma once

#include <utility>

namespace orvane::outlook {

// COM's wait loop, a message box or a wait may dispatch timer messages while work with Outlook is
// under way (a tick, or one of Outlook's events). A tick run then would open, release or
// disconnect the very objects the outer work is using; so a tick that finds work under way
// returns at once, its timer still armed. One mark serves the plug-in's thread; marks nest: the
// outer mark stays until its own end.
class OutlookWorkMark {
public:
  bool InProgress() const noexcept { return inProgress_; }

private:
  friend class OutlookWork;
  bool inProgress_ = false;
};

class OutlookWork {
public:
  explicit OutlookWork(OutlookWorkMark& mark) noexcept : mark_(mark), outer_(std::exchange(mark.inProgress_, true)) {}
  ~OutlookWork() { mark_.inProgress_ = outer_; }
  OutlookWork(const OutlookWork&) = delete;
  OutlookWork& operator=(const OutlookWork&) = delete;

private:
  OutlookWorkMark& mark_;
  bool outer_;
};

}  // namespace orvane::outlook
