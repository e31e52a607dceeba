// Class identifiers, ProgIDs and interface identifiers the stand-in Outlook serves.
#pragma once

#include <windows.h>

namespace orvane {

namespace outlook_standin {

// Outlook's own Application class, so that clients find the stand-in where they look for Outlook.
// {0006F03A-0000-0000-C000-000000000046}
constexpr CLSID kApplicationClsid = {0x0006F03A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr wchar_t kApplicationProgId[] = L"Outlook.Application";

// The test controls, a class of the stand-in's own.
// {5B8E6C2A-3F41-4D7B-9A2E-0C7D4F1B6A93}
constexpr CLSID kControlClsid = {0x5B8E6C2A, 0x3F41, 0x4D7B, {0x9A, 0x2E, 0x0C, 0x7D, 0x4F, 0x1B, 0x6A, 0x93}};
constexpr wchar_t kControlProgId[] = L"OutlookStandin.Control";

// Answered by the stand-in's own objects (the test controls and their class factory), so that its
// busy Outlook tells their calls apart. {5B8E6C2B-3F41-4D7B-9A2E-0C7D4F1B6A93}
constexpr IID kTestControlIid = {0x5B8E6C2B, 0x3F41, 0x4D7B, {0x9A, 0x2E, 0x0C, 0x7D, 0x4F, 0x1B, 0x6A, 0x93}};

// Outlook's ItemsEvents dispatch interface, {00063077-0000-0000-C000-000000000046}.
constexpr IID kItemsEventsIid = {0x00063077, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace outlook_standin

}  // namespace orvane
