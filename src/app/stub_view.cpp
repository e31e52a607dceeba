#include "app/stub_view.h"

namespace orvane::app {

namespace {

constexpr char kViewClassName[] = "OrvaneOutlookView";

}  // namespace

bool CStubView::Create(HWND frame) {
  RECT client{};
  GetClientRect(frame, &client);
  Creation creation;
  creation.className = kViewClassName;
  creation.style = WS_CHILD | WS_VISIBLE;
  creation.parent = frame;
  creation.x = 0;
  creation.y = 0;
  creation.width = client.right;
  creation.height = client.bottom;
  return CreateWindowOf(creation);
}

LRESULT CStubView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(Window(), &paint);  // the view draws nothing
    EndPaint(Window(), &paint);
    return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace orvane::app
