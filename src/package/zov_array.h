#pragma once
// A list of integers with a cursor, parsed from a list text such as "0;1;2;".
#include <cstdint>
#include <string_view>
#include <vector>

namespace vitrine {

class TZovArray {
 public:
  // Appends the numbers of a ";"-terminated list; a last number without ";" is ignored.
  // A piece that is not an integer raises EConvertError. The cursor becomes 0.
  void ParseList(std::string_view text);
  // -1 for an empty list; else the element at the cursor, which then moves on and wraps.
  int32_t NextValue();
  // -1 for an empty list; else element i (EListError outside the list); the cursor becomes i.
  int32_t ValueAt(int32_t i);
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  const std::vector<int32_t>& Values() const { return items_; }

 private:
  std::vector<int32_t> items_;
  int32_t cursor_ = 0;
};

}  // namespace vitrine
