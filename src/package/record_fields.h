#pragma once
// One machinery for the fields of every record: a table row names a field, its record key, its
// kind, its length limit and what it means. The player's record parsers, the package builder
// and the reports of the vitrine tool all go through these rows, and the manifest reference
// is written from them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "package/package_file.h"

namespace vitrine {

// What a value means, beyond how the record stores it. The package builder accepts friendly
// forms for some kinds (colours as "#RRGGBB", transition lists by name).
enum class FieldKind {
  Integer,
  Boolean,
  Text,
  IntegerList,     // "0;1;2;"
  Colour,          // integer holding 0x00BBGGRR
  TransitionList,  // integer list of catalogue indices
  FontStyle,       // style digits: 1 bold, 2 italic, 3 underline, 4 strike-out
};

// A value that is not one plain member: stored through one member function, read back through
// another (the font's style digits add to its style).
template <class Owner>
struct FieldAccessor {
  void (Owner::*Store)(std::string_view);
  std::string (Owner::*Read)() const;
};

template <class Owner>
using FieldMember = std::variant<int32_t Owner::*, bool Owner::*, std::string Owner::*, FieldAccessor<Owner>>;

template <class Owner>
struct FieldSpec {
  const char* Name;
  int Key;  // for the font fields: the offset from the font's first key
  FieldKind Kind;
  FieldMember<Owner> Member;
  size_t MaxLength;     // texts and lists; 0 for no limit
  const char* Default;  // as the reference shows it
  const char* Meaning;
};

template <class Owner>
using FieldTable = std::span<const FieldSpec<Owner>>;

template <class Owner>
const FieldSpec<Owner>* FindField(FieldTable<Owner> table, int key) {
  for (const FieldSpec<Owner>& field : table)
    if (field.Key == key) return &field;
  return nullptr;
}

template <class Owner>
const FieldSpec<Owner>* FindField(FieldTable<Owner> table, std::string_view name) {
  for (const FieldSpec<Owner>& field : table)
    if (name == field.Name) return &field;
  return nullptr;
}

// Stores a record value: integers convert as a whole (EConvertError naming the text
// otherwise), exactly "1" is true, texts are cut to the field's limit.
template <class Owner>
void StoreField(Owner& owner, const FieldSpec<Owner>& field, std::string_view value) {
  std::visit(
      [&](auto member) {
        using M = decltype(member);
        if constexpr (std::is_same_v<M, int32_t Owner::*>) {
          owner.*member = FieldInteger(value);
        } else if constexpr (std::is_same_v<M, bool Owner::*>) {
          owner.*member = FieldBoolean(value);
        } else if constexpr (std::is_same_v<M, std::string Owner::*>) {
          if (field.MaxLength && value.size() > field.MaxLength) value = value.substr(0, field.MaxLength);
          owner.*member = std::string(value);
        } else {
          (owner.*member.Store)(value);
        }
      },
      field.Member);
}

// Stores the value when the table has a row for key; false otherwise.
template <class Owner>
bool StoreFieldByKey(Owner& owner, FieldTable<Owner> table, int key, std::string_view value) {
  const FieldSpec<Owner>* field = FindField(table, key);
  if (!field) return false;
  StoreField(owner, *field, value);
  return true;
}

// The field's current value as its record holds it.
template <class Owner>
std::string FieldRecordText(const Owner& owner, const FieldSpec<Owner>& field) {
  return std::visit(
      [&](auto member) -> std::string {
        using M = decltype(member);
        if constexpr (std::is_same_v<M, int32_t Owner::*>) return std::to_string(owner.*member);
        else if constexpr (std::is_same_v<M, bool Owner::*>) return owner.*member ? "1" : "0";
        else if constexpr (std::is_same_v<M, std::string Owner::*>) return owner.*member;
        else return (owner.*member.Read)();
      },
      field.Member);
}

}  // namespace vitrine
