// When items missing from a folder's read are believed gone. Outlook shows a folder empty, or only
// part of it, while its store loads (an offline store being rebuilt, a profile recreated, a slow
// server), for seconds or minutes: reporting what such a read lacks would have the main application
// delete its items, then get them back as new ones without their link ids. So a read that lacks
// many items, or all of them, is held back until the folder has looked the same for a while.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace orvane::outbound {

// More deletions than this at once, and more than a quarter of the folder, are many: single
// deletions, which Outlook announces item by item, never are.
constexpr std::size_t kFewDeletions = 10;
bool ManyDeletions(std::size_t gone, std::size_t known);

// What one read showed: how many items it found, and which of the picture's items it lacked.
struct Disappearance {
  std::uint64_t itemsRead = 0;
  std::uint64_t gone = 0;
  // Of the ids gone, whatever their order.
  std::uint64_t goneDigest = 0;
  bool operator==(const Disappearance& other) const {
    return itemsRead == other.itemsRead && gone == other.gone && goneDigest == other.goneDigest;
  }
};

// A disappearance held back, kept with its folder's picture.
struct HeldBack {
  Disappearance seen;
  // When the read that started it was made, in milliseconds of the confirmation's clock.
  std::uint64_t since = 0;
  // Whether it is, or was at any read since it started, of many deletions: the longer wait.
  bool many = false;
  // The connection to Outlook it was read in. Not kept on disk: a hold an earlier process kept
  // reads as 0, which no connection of this process is.
  std::uint64_t connection = 0;
  // The same hold wherever it was read.
  bool operator==(const HeldBack& other) const {
    return seen == other.seen && since == other.since && many == other.many;
  }
};

// The moment of a read, and how long a hold waits for a read that confirms it.
struct Confirmation {
  std::uint64_t now = 0;
  std::uint64_t connection = 0;
  // For a folder read empty that held few items.
  std::uint64_t emptyReadWait = 0;
  // For many deletions at once.
  std::uint64_t manyWait = 0;
};

// How long the hold waits from its start.
std::uint64_t WaitOf(const HeldBack& hold, const Confirmation& confirmation);

struct Judgement {
  // The items gone are reported now.
  bool report = true;
  // The hold that goes on; none once the items are reported or nothing is missing.
  std::optional<HeldBack> hold;
  // Whether this read started the hold (afresh).
  bool started = false;
};

// What is done with the items a read lacks, `known` the items of the picture it is compared with.
// A read that lacks nothing ends any hold. One that lacks items is held back when it reads empty,
// when they are many, or while a hold is under way (a store that loads over minutes shows a little
// more at each read, and never many items fewer than the last). It confirms the hold under way,
// and its items are reported once, when it agrees with the read that started it (as many items
// read, the same items gone), in the same connection, at least the hold's wait after it; every
// read between them agreed too, as one that does not starts the hold afresh. The first read of a
// connection always starts afresh: while no sink watched, the folder may have changed and come
// back, and right after (re)connecting Outlook shows folders that are still loading.
Judgement Judge(const std::optional<HeldBack>& held, const Disappearance& seen, std::size_t known,
                const Confirmation& confirmation);

}  // namespace orvane::outbound
