#include "base/base_window.h"

#include "base/callback_guard.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace orvane {
namespace {

// How many windows of each class of ours exist; a class is unregistered when its last one goes.
class ClassUsers {
public:
  bool Add(const char* className, WNDPROC procedure) {
    const std::lock_guard<std::mutex> lock(mutex_);
    int& users = users_[className];
    if (users == 0 && !Register(className, procedure)) {
      users_.erase(className);
      return false;
    }
    ++users;
    return true;
  }
  void Remove(const char* className) noexcept {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = users_.find(className);
    if (found == users_.end() || --found->second > 0) return;
    users_.erase(found);
    UnregisterClassA(className, GetModuleHandleA(nullptr));
  }

private:
  static bool Register(const char* className, WNDPROC procedure) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    if (RegisterClassExA(&windowClass) != 0) return true;
    // A class of that name registered by other code sends its windows' messages elsewhere: a
    // window made of it would never reach its object.
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS &&
           GetClassInfoExA(windowClass.hInstance, className, &existing) && existing.lpfnWndProc == procedure;
  }

  std::mutex mutex_;
  std::map<std::string, int> users_;
};

// Never destroyed: a window held by a static object (the plug-in's frame, say) goes during the
// static destruction of exit(), possibly after a static registry would already be gone.
ClassUsers& Classes() {
  static ClassUsers* const classes = new ClassUsers;
  return *classes;
}

}  // namespace

BaseWindow::~BaseWindow() {
  DestroyOwnWindow();
  ReleaseClass();
}

bool BaseWindow::CreateWindowOf(const Creation& creation) {
  if (window_ || !creation.className) return false;
  if (!Classes().Add(creation.className, &BaseWindow::Procedure)) return false;
  className_ = creation.className;
  const HWND created =
      CreateWindowExA(creation.exStyle, creation.className, creation.title, creation.style, creation.x, creation.y,
                      creation.width, creation.height, creation.parent, nullptr, GetModuleHandleA(nullptr), this);
  if (!created) ReleaseClass();
  return created != nullptr;
}

void BaseWindow::DestroyOwnWindow() noexcept {
  if (!window_) return;
  // From here on the window's messages no longer reach this object.
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(std::exchange(window_, nullptr));
}

void BaseWindow::ReleaseClass() noexcept {
  if (className_.empty()) return;
  Classes().Remove(className_.c_str());
  className_.clear();
}

LRESULT CALLBACK BaseWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<BaseWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<BaseWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  AssertOnOwnerThread(self->thread_);
  const LRESULT result =
      Guarded(self->ReportName(), LRESULT{0}, [&] { return self->HandleMessage(message, wParam, lParam); });
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
  }
  return result;
}

}  // namespace orvane
