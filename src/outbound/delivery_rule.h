// When a record handed to the main application counts as delivered, and when it goes again.
// SendMessageTimeout that gives up has two cases: a message the receiving thread never took is
// cancelled, one it took runs to completion after the sender stopped waiting. The plug-in cannot
// tell the second from a message cancelled late, so a record goes again only where the main
// application getting it twice does no harm.
#pragma once

#include "outbound/item_picture.h"

#include <cstdint>
#include <string_view>

namespace orvane::outbound {

// How a hand-over ended, as far as the plug-in can tell.
enum class SendOutcome {
  kTaken,     // the window procedure returned within the time-out
  kNotThere,  // no window, or the main application did not start: nothing was sent
  kRefused,   // refused, or given up on a receiver hung at the end: the message was never taken
  kTimedOut,  // gave up after its time-out: the receiver may have taken it and be running it still
};

// What a SendMessageTimeout that answered `answered` after `elapsedMs` of its `timeoutMs` means:
// one that failed well before its time-out was refused; one that failed later may have been taken,
// unless the receiver counted as hung when it failed (`receiverHung`). Windows counts a thread hung
// once it has not asked for a message for 5 s; one that took the message within a wait of 5 s
// asked for it then. So a receiver hung at the end of the wait never took it, and it was cancelled.
SendOutcome OutcomeOfSend(bool answered, std::uint32_t elapsedMs, std::uint32_t timeoutMs, bool receiverHung = false);

// Whether the main application may get the record twice without harm: a changed item's record sets
// what it sets; a deletion whose subject no other item of its folder has (`subjectElsewhere`
// false) finds nothing more to delete the second time; a new item's record would make a second item.
bool SafeToRepeat(std::uint32_t kind, bool subjectElsewhere);

// Whether an item of the picture other than `goneId` may bear `subject` as the main application
// knows it. Letters are compared ignoring ASCII case, and any two bytes beyond ASCII count as the
// same: a doubt answers yes, so that a second deletion never reaches a second item.
bool SubjectElsewhere(const FolderPicture& picture, std::string_view subject, std::string_view goneId);

enum class AfterSend {
  kDelivered,         // taken
  kSendAgain,         // back first in line, to go at the next occasion
  kCountedDelivered,  // maybe taken and not safe to repeat: counted as delivered, with a log line
};

// How many time-outs in a row a record safe to repeat goes again after. A main application that
// stops pumping costs one time-out a pause: a message it never took is cancelled, and once it has
// taken none for 5 seconds Windows counts it hung and refuses sends at once. So a change gets through
// three pauses in a row; a main application slower than the time-out at every record has had it
// four times by then, and it counts as delivered.
constexpr std::uint32_t kTimeOutsSentAgain = 3;

// What becomes of a record after its hand-over, or after a process that ended during it (whose
// outcome is then kTimedOut: it may have been taken). A record safe to repeat goes again after a
// time-out while it has had fewer than kTimeOutsSentAgain before (`timeOutsBefore`).
AfterSend DecideAfterSend(SendOutcome outcome, bool safeToRepeat, std::uint32_t timeOutsBefore = 0);

}  // namespace orvane::outbound
