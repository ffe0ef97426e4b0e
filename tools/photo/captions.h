#pragma once
// Caption and description texts filled from each picture's own metadata at pack time.
#include <string>

#include "photo/exif.h"

namespace vitrine::photo {

// What placeholders can say of one picture.
struct CaptionFacts {
  ExifFacts exif;
  std::string xmpTitle;
  std::string fileStem;  // the file's name without folder and extension
};

// Replaces the placeholders of text (UTF-8):
//   {date}         the date taken, as "14 July 2019"
//   {date:FORMAT}  the date and time taken through strftime's FORMAT ("{date:%Y-%m-%d}")
//   {time}         the time taken, as "15:42"
//   {camera}       make and model ("Canon EOS 80D"; the make once when the model repeats it)
//   {title}        the EXIF ImageDescription, else the XMP title
//   {file}         the file's name without extension
// A value the picture lacks gives an empty text. Braces that form no placeholder stay.
std::string FillPlaceholders(const std::string& text, const CaptionFacts& facts);

// Whether text holds any placeholder FillPlaceholders would replace.
bool HasPlaceholders(const std::string& text);

}  // namespace vitrine::photo
