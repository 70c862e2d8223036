// Native objects that want a call at every run-loop iteration. The list does not own them;
// an owner removes its pollable before destroying it.
#pragma once

#include <cstddef>

namespace vorn {

class Pollable {
 public:
  virtual void Poll() = 0;

 protected:
  ~Pollable() = default;
};

void AddPollable(Pollable* pollable);
// Removes the most recently added copy of the pointer; a pointer not listed is ignored.
void RemovePollable(Pollable* pollable);
// Polls from the last added to the first. A Poll may add or remove pollables.
void PollAllPollables();

size_t PollableCount();

}  // namespace vorn
