#include "core/pollable.h"

#include <algorithm>
#include <vector>

namespace vorn {

namespace {

// Never destroyed: owners may remove themselves from static destructors at exit.
std::vector<Pollable*>& Pollables() {
  static auto* list = new std::vector<Pollable*>();
  return *list;
}

}  // namespace

void AddPollable(Pollable* pollable) {
  if (pollable) Pollables().push_back(pollable);
}

void RemovePollable(Pollable* pollable) {
  auto& list = Pollables();
  auto found = std::find(list.rbegin(), list.rend(), pollable);
  if (found == list.rend()) return;
  list.erase(std::next(found).base());
  if (list.capacity() > 2 * list.size() + 32) list.shrink_to_fit();
}

void PollAllPollables() {
  auto& list = Pollables();
  // The index is checked against the current size before every call, so a Poll that
  // removes entries never makes the walk read past the end.
  for (size_t i = list.size(); i-- > 0;) {
    if (i >= list.size()) continue;
    list[i]->Poll();
  }
}

size_t PollableCount() { return Pollables().size(); }

}  // namespace vorn
