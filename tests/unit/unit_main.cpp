// Runs the unit tests inside a single-threaded COM apartment, as the plug-in's own thread is.
#include <gtest/gtest.h>

#include <objbase.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
