// CStubView: the document's view, a child window of the frame that draws nothing.
#pragma once

#include "base/base_window.h"

#include <windows.h>

namespace orvane::app {

class CStubView : public BaseWindow {
public:
  bool Create(HWND frame);

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  const char* ReportName() const noexcept override { return "CStubView"; }
};

}  // namespace orvane::app
