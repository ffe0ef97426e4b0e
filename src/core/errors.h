#pragma once
// The exception classes of the system. Each carries its exact user-visible text in what().
#include <stdexcept>
#include <string>
#include <string_view>

namespace vitrine {

// Base of every error the system raises on purpose.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text that should hold an integer does not: "'abc' is not a valid integer value".
class EConvertError : public Error {
 public:
  using Error::Error;
  static EConvertError NotAnInteger(std::string_view text);
};

// An index outside a list: "List index out of bounds (5)".
class EListError : public Error {
 public:
  using Error::Error;
  static EListError OutOfBounds(long long index);
};

// A picture reader met a file it cannot decode ("Invalid %s image format." and friends).
class EInvalidGraphic : public Error {
 public:
  using Error::Error;
  static EInvalidGraphic InvalidFormat(std::string_view formatName);
  // "Unsupport image format!": a version or variant of a known format that is not read.
  static EInvalidGraphic UnsupportedFormat();
  // "Invalid color format.": a colour layout the reader cannot handle.
  static EInvalidGraphic InvalidColorFormat();
};

// The pixel-format converter was asked for a combination it cannot do: "Error!".
class EColorConversionError : public Error {
 public:
  using Error::Error;
};

// A file could not be created: "Cannot create file %s".
class EFCreateError : public Error {
 public:
  using Error::Error;
  static EFCreateError CannotCreate(std::string_view path);
};

// Settings store failures ("Failed to get data for '%s'", ...).
class ERegistryException : public Error {
 public:
  using Error::Error;
};

// Replaces the first "%s" of a format with arg; a format without "%s" comes back unchanged.
std::string FormatWithString(std::string_view format, std::string_view arg);

}  // namespace vitrine
