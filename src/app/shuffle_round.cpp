#include "app/shuffle_round.h"

#include <algorithm>

#include "core/random.h"
#include "core/text.h"

namespace vitrine {

int32_t ShuffleRound::Next(int32_t count) {
  if (order_.size() != size_t(count) || shown_ >= order_.size()) {
    int32_t last = order_.size() == size_t(count) && !order_.empty() ? order_.back() : -1;
    order_.resize(size_t(count));
    for (int32_t i = 0; i < count; ++i) order_[size_t(i)] = i;
    for (int32_t i = count - 1; i > 0; --i) std::swap(order_[size_t(i)], order_[size_t(Random(i + 1))]);
    // The item that ended the last round would come twice in a row: it changes places with
    // another one drawn from the rest of the round.
    if (count > 1 && order_[0] == last) std::swap(order_[0], order_[size_t(1 + Random(count - 1))]);
    shown_ = 0;
  }
  return order_[shown_++];
}

std::string ShuffleRound::SavedPlace() const {
  std::string text;
  for (int32_t i : order_) text += std::to_string(i) + ";";
  return text + "|" + std::to_string(shown_);
}

void ShuffleRound::Restore(const std::string& saved, int32_t count) {
  order_.clear();
  shown_ = 0;
  size_t bar = saved.find('|');
  if (bar == std::string::npos) return;
  std::vector<int32_t> order;
  std::vector<bool> seen(size_t(std::max(count, 0)), false);
  std::string_view list(saved.data(), bar);
  while (!list.empty()) {
    size_t semi = list.find(';');
    if (semi == std::string_view::npos) return;
    int32_t n = 0;
    if (!TryStrToInt(std::string(list.substr(0, semi)), n) || n < 0 || n >= count || seen[size_t(n)]) return;
    seen[size_t(n)] = true;
    order.push_back(n);
    list.remove_prefix(semi + 1);
  }
  int32_t shown = 0;
  if (order.size() != size_t(count) || !TryStrToInt(saved.substr(bar + 1), shown) || shown < 0 || shown > count) return;
  order_ = std::move(order);
  shown_ = size_t(shown);
}

}  // namespace vitrine
