#include "testbed/bench/bench_support.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace orvane {

using namespace outlook;

double NowMs() {
  LARGE_INTEGER count;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PumpUntil(const std::function<bool()>& done, const char* what, DWORD timeoutMs) {
  const double start = NowMs();
  while (!done()) {
    if (NowMs() - start > timeoutMs) throw std::runtime_error(std::string("timed out waiting for ") + what);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const size_t rank = static_cast<size_t>(std::ceil(fraction * static_cast<double>(values.size())));
  return values[std::max<size_t>(rank, 1) - 1];
}

std::string Format(const char* format, double a, double b, double c) {
  char text[200];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

void PrintRow(const std::string& figure, const std::string& value, const std::string& calls) {
  std::printf("| %s | %s | %s |\n", figure.c_str(), value.c_str(), calls.c_str());
  std::fflush(stdout);
}

Standin::Standin() : control_(outlook::LateBound::Create(outlook_standin::kControlProgId)) {
  if (!application_.CreateDispatch(outlook::kProgId)) throw std::runtime_error("Outlook cannot be reached");
  session_ = application_.InvokeForObject(kGetNamespace, outlook::Variant::Text("MAPI"));
}

outlook::DispatchDriver Standin::Items(int32_t folder) const { return Folder(folder).GetObject(kItems); }

outlook::DispatchDriver Standin::Folder(int32_t folder) const {
  return session_.InvokeForObject(kGetDefaultFolder, outlook::Variant::Int32(folder));
}

outlook::DispatchDriver Standin::NewItem(int32_t itemType) const {
  return application_.InvokeForObject(kCreateItem, outlook::Variant::Int32(itemType));
}

bool Standin::SinksListen() const {
  return std::all_of(std::begin(kFolders), std::end(kFolders),
                     [this](int32_t folder) { return Control(L"SinkCount", outlook::Variant::Int32(folder)) > 0; });
}

void Standin::WaitForCallsToSettle() const {
  long last = -1;
  int still = 0;
  PumpUntil(
      [&] {
        const long now = TotalCalls();
        still = now == last ? still + 1 : 0;
        last = now;
        if (still < 3) Sleep(20);
        return still >= 3;
      },
      "the plug-in's calls to settle");
}

}  // namespace orvane
