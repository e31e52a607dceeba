# The table of item kinds both roads read, the link id's read and write, and the subjects' comparison.
set(ORVANE_items_PURE)
set(ORVANE_items_WINDOWS
  link_id.cpp
  subject_match.cpp)
set(ORVANE_items_SYSTEM_LIBS)
