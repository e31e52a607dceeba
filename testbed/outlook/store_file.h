// The file a kept store lives in: its text form, read back whole or not at all, and written so
// that a reader finds either the old file or the new one, never a part.
#pragma once

#include "testbed/outlook/item_data.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

namespace outlook_standin {

struct StoreImage {
  uint32_t storeTag = 0;
  uint32_t lastSerial = 0;
  double lastModification = 0;
  // Each default folder's items, folder by folder in the order they were first saved.
  std::vector<ItemImage> items;
};

// UTF-8 text, one line per value.
std::string WriteStoreText(const StoreImage& store);
// False, and `store` untouched, when the text is not a whole store of this form.
bool ReadStoreText(const std::string& text, StoreImage* store);

// The whole file; false when it cannot be read (missing: `missing` is set).
bool ReadWholeFile(const std::wstring& path, std::string* bytes, bool* missing);
// Writes a temporary file beside `path`, flushes it, and moves it over `path` in one step.
bool ReplaceFile(const std::wstring& path, const std::string& bytes);

}  // namespace outlook_standin

}  // namespace orvane
