#include "package/zov_array.h"

#include "core/errors.h"
#include "core/text.h"

namespace vitrine {

void TZovArray::ParseList(std::string_view text) {
  for (;;) {
    size_t end = text.find(';');
    if (end == std::string_view::npos) break;
    std::string_view piece = TrimControl(text.substr(0, end));
    if (!piece.empty()) items_.push_back(StrToInt(piece));
    text.remove_prefix(end + 1);
  }
  cursor_ = 0;
}

int32_t TZovArray::NextValue() {
  if (items_.empty()) return -1;
  if (cursor_ < 0 || cursor_ >= Count()) cursor_ = 0;
  int32_t value = items_[static_cast<size_t>(cursor_)];
  cursor_ = cursor_ + 1 >= Count() ? 0 : cursor_ + 1;
  return value;
}

int32_t TZovArray::ValueAt(int32_t i) {
  if (items_.empty()) return -1;
  if (i < 0 || i >= Count()) throw EListError::OutOfBounds(i);
  cursor_ = i;
  return items_[static_cast<size_t>(i)];
}

}  // namespace vitrine
