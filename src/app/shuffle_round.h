#pragma once
// Random order without repeats: every item once, in an order drawn anew for each round, before
// any comes again. A new round never starts with the item that ended the last, and the place
// in the round is kept as text in the user's settings, so that short runs night after night
// still get through the whole show.
#include <cstdint>
#include <string>
#include <vector>

namespace vitrine {

class ShuffleRound {
 public:
  // The next item of count (> 0); draws a new round when the current one is used up or was
  // made for another count.
  int32_t Next(int32_t count);

  // The round and the place in it as "3;0;4;1;2;|2" (the order, then how many were shown).
  std::string SavedPlace() const;
  // Takes up a saved place; anything that is not a whole round of count items is ignored,
  // and the next item starts a fresh round.
  void Restore(const std::string& saved, int32_t count);

 private:
  std::vector<int32_t> order_;
  size_t shown_ = 0;
};

}  // namespace vitrine
