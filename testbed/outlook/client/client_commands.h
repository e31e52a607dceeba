// The commands of OutlookClient, a command-line client that drives Outlook by member names only.
#pragma once

#include "outlook/late_binding.h"

#include <string>
#include <vector>

namespace orvane {

// Exit codes of the client.
constexpr int kClientDone = 0;
constexpr int kClientUsage = 1;
constexpr int kClientNoSuchItem = 2;
constexpr int kClientOutlookFailed = 3;

// Runs one command on the Outlook Application given; `words` are the arguments after the program name:
//   list   <folder>                               index, tab, subject: one line per item
//   add    <folder> <subject> [body]              a note's text is the subject, a line break, the body
//   set    <folder> <subject> <member> <value>    the first item with that subject (any case); saved
//   get    <folder> <subject> <member>            the member's value as text; "A.B" reads B of what A answers
//   delete <folder> <subject>
// <folder> is task(s), appointment(s) or calendar, note(s). What the command prints (ANSI text, one
// line per "\n") goes to `output`, failures to `errors`. Answers one of the exit codes above.
int RunClientCommand(const outlook::LateBound& application, const std::vector<std::wstring>& words, std::string& output,
                     std::string& errors);

// Calls one of the stand-in Outlook's test controls ("OutlookStandin.Control") by name; `words`
// are the arguments after "control": the control's name, then its arguments, a whole number going
// as a number and anything else as text. Its answer, when it gives one, goes to `output` as a line.
//   control <name> [argument...]                  e.g. "control EventDelay 300"
int RunControlCommand(const outlook::LateBound& control, const std::vector<std::wstring>& words, std::string& output,
                      std::string& errors);

// How to call the client.
extern const char kClientUsageText[];

}  // namespace orvane
