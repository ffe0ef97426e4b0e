// The vitrine tool's JSON reader and writer: what strict JSON reads as, and each way a text
// fails with the line and column of the fault.
#include <gtest/gtest.h>

#include <string>

#include "json.h"

namespace vitrine::tool {
namespace {

// The error a text raises, or "(parsed)".
std::string ErrorOf(const std::string& text) {
  try {
    ParseJson(text);
  } catch (const JsonError& e) {
    return e.what();
  }
  return "(parsed)";
}

std::string StringOf(const std::string& text) { return ParseJson(text).AsString(); }

TEST(JsonReader, ReadsEveryKindOfValueWithMembersInTheirWrittenOrder) {
  const Json doc = ParseJson(" {\"b\": [true, false, null, \"x\"],\r\n\t\"a\": {\"c\": {}} , \"d\": []} ");
  ASSERT_TRUE(doc.IsObject());
  ASSERT_EQ(doc.AsObject().size(), 3u);
  EXPECT_EQ(doc.AsObject()[0].first, "b");
  EXPECT_EQ(doc.AsObject()[1].first, "a");
  EXPECT_EQ(doc.AsObject()[2].first, "d");
  const Json::Array& b = doc.Find("b")->AsArray();
  ASSERT_EQ(b.size(), 4u);
  EXPECT_TRUE(b[0].AsBool());
  EXPECT_FALSE(b[1].AsBool());
  EXPECT_TRUE(b[2].IsNull());
  EXPECT_EQ(b[3].AsString(), "x");
  EXPECT_TRUE(doc.Find("a")->Find("c")->IsObject());
  EXPECT_TRUE(doc.Find("d")->AsArray().empty());
  EXPECT_EQ(doc.Find("z"), nullptr);
  EXPECT_EQ(b[0].Find("b"), nullptr);  // only objects have members
  EXPECT_STREQ(b[3].KindName(), "a string");
  EXPECT_STREQ(doc.KindName(), "an object");
}

TEST(JsonReader, NumbersAreIntegersUnlessTheyHaveAFractionOrExponentOrPass64Bits) {
  EXPECT_EQ(ParseJson("0").AsInteger(), 0);
  EXPECT_EQ(ParseJson("-0").AsInteger(), 0);
  EXPECT_EQ(ParseJson("123").AsInteger(), 123);
  EXPECT_EQ(ParseJson("9223372036854775807").AsInteger(), INT64_MAX);
  EXPECT_EQ(ParseJson("-9223372036854775808").AsInteger(), INT64_MIN);
  const Json big = ParseJson("9223372036854775808");
  EXPECT_FALSE(big.IsInteger());
  EXPECT_EQ(std::get<double>(big.Raw()), 9223372036854775808.0);
  for (const auto& [text, value] : {std::pair{"1.5", 1.5}, {"1e3", 1000.0}, {"-2.5E-3", -0.0025}, {"1E+2", 100.0},
                                    {"0.25e1", 2.5}, {"1e-400", 0.0}}) {
    SCOPED_TRACE(text);
    const Json number = ParseJson(text);
    EXPECT_TRUE(number.IsNumber());
    EXPECT_FALSE(number.IsInteger());
    EXPECT_EQ(std::get<double>(number.Raw()), value);
  }
}

TEST(JsonReader, MalformedNumbersAndNumbersBeyondADoubleAreRefused) {
  EXPECT_EQ(ErrorOf("01"), "line 1, column 3: leading zero in a number");
  EXPECT_EQ(ErrorOf("-01"), "line 1, column 4: leading zero in a number");
  EXPECT_EQ(ErrorOf("-"), "line 1, column 2: bad number");
  EXPECT_EQ(ErrorOf("1."), "line 1, column 3: bad number");
  EXPECT_EQ(ErrorOf("1e"), "line 1, column 3: bad number");
  EXPECT_EQ(ErrorOf("1e+"), "line 1, column 4: bad number");
  EXPECT_EQ(ErrorOf(".5"), "line 1, column 1: unexpected character '.'");
  EXPECT_EQ(ErrorOf("+1"), "line 1, column 1: unexpected character '+'");
  // An infinity would be written back as text no JSON reader takes.
  EXPECT_EQ(ErrorOf("1e400"), "line 1, column 1: number out of range");
  EXPECT_EQ(ErrorOf("[1, -1e999]"), "line 1, column 5: number out of range");
}

TEST(JsonReader, EscapesIncludingSurrogatePairsBecomeUtf8) {
  EXPECT_EQ(StringOf(R"("\"\\\/\b\f\n\r\t")"), "\"\\/\b\f\n\r\t");
  EXPECT_EQ(StringOf(R"("\u0041\u00e9\u20AC")"), "A\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(StringOf(R"("\uFFFF")"), "\xEF\xBF\xBF");
  EXPECT_EQ(StringOf(R"("\ud83d\ude00")"), "\xF0\x9F\x98\x80");  // U+1F600
  EXPECT_EQ(StringOf(R"("\uDBFF\uDFFF")"), "\xF4\x8F\xBF\xBF");  // U+10FFFF, the last
  EXPECT_EQ(StringOf(R"("a\u0000b")"), std::string("a\0b", 3));
}

TEST(JsonReader, BrokenEscapesAndStringsAreRefused) {
  EXPECT_EQ(ErrorOf(R"("\ud83d")"), "line 1, column 8: lone surrogate in \\u escape");
  EXPECT_EQ(ErrorOf(R"("\ud83dx")"), "line 1, column 8: lone surrogate in \\u escape");
  EXPECT_EQ(ErrorOf(R"("\ude00")"), "line 1, column 8: lone surrogate in \\u escape");
  EXPECT_EQ(ErrorOf(R"("\ud83d\u0041")"), "line 1, column 14: lone surrogate in \\u escape");
  EXPECT_EQ(ErrorOf(R"("\ud83d\ud83d")"), "line 1, column 14: lone surrogate in \\u escape");
  EXPECT_EQ(ErrorOf(R"("\u12G4")"), "line 1, column 7: bad \\u escape");
  EXPECT_EQ(ErrorOf(R"("\u12")"), "line 1, column 4: short \\u escape");
  EXPECT_EQ(ErrorOf(R"("\x")"), "line 1, column 4: bad escape '\\x'");
  EXPECT_EQ(ErrorOf(R"("\)"), "line 1, column 3: unterminated string");
  EXPECT_EQ(ErrorOf("\"abc"), "line 1, column 5: unterminated string");
  EXPECT_EQ(ErrorOf("\"a\tb\""), "line 1, column 3: control character in a string");
  EXPECT_EQ(ErrorOf("\"a\nb\""), "line 1, column 3: control character in a string");
}

TEST(JsonReader, StringsAreValidUtf8) {
  EXPECT_EQ(StringOf("\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""), "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
  for (const char* text : {"\"\x80\"",                  // a continuation byte alone
                           "\"\xC0\xAF\"",              // an overlong '/'
                           "\"\xE0\x80\xAF\"",          // the same in three bytes
                           "\"\xED\xA0\x80\"",          // a surrogate
                           "\"\xF4\x90\x80\x80\"",      // past U+10FFFF
                           "\"\xF8\x88\x80\x80\x80\"",  // a five-byte form
                           "\"\xE2\x82\"",              // cut short by the quote
                           "\"\xE2\x82"}) {             // cut short by the end
    SCOPED_TRACE(::testing::PrintToString(text));
    EXPECT_EQ(ErrorOf(text), "line 1, column 2: invalid UTF-8 in a string");
  }
  EXPECT_EQ(ErrorOf("[\"ok\", \"\xC3\"]"), "line 1, column 9: invalid UTF-8 in a string");
}

TEST(JsonReader, StructuralFaultsNameTheirLineAndColumn) {
  EXPECT_EQ(ErrorOf(""), "line 1, column 1: unexpected end of text");
  EXPECT_EQ(ErrorOf("  \n "), "line 2, column 2: unexpected end of text");
  EXPECT_EQ(ErrorOf("["), "line 1, column 2: unexpected end of text");
  EXPECT_EQ(ErrorOf("[1,]"), "line 1, column 4: unexpected character ']'");
  EXPECT_EQ(ErrorOf("[1 2]"), "line 1, column 4: expected ',' or ']'");
  EXPECT_EQ(ErrorOf("[1"), "line 1, column 3: expected ',' or ']'");
  EXPECT_EQ(ErrorOf("{"), "line 1, column 2: expected a member name in double quotes");
  EXPECT_EQ(ErrorOf("{a: 1}"), "line 1, column 2: expected a member name in double quotes");
  EXPECT_EQ(ErrorOf("{\"a\": 1,}"), "line 1, column 9: expected a member name in double quotes");
  EXPECT_EQ(ErrorOf("{\"a\" 1}"), "line 1, column 6: expected ':'");
  EXPECT_EQ(ErrorOf("{\"a\": 1 \"b\": 2}"), "line 1, column 9: expected ',' or '}'");
  EXPECT_EQ(ErrorOf("[1] x"), "line 1, column 5: unexpected text after the document");
  EXPECT_EQ(ErrorOf("[1][2]"), "line 1, column 4: unexpected text after the document");
  EXPECT_EQ(ErrorOf("tru"), "line 1, column 1: unexpected character 't'");
  EXPECT_EQ(ErrorOf("[nul]"), "line 1, column 2: unexpected character 'n'");
  EXPECT_EQ(ErrorOf("{\n  \"a\": 1,\n  \"b\": ?\n}"), "line 3, column 8: unexpected character '?'");
  // A second member of the same name is refused where it starts.
  EXPECT_EQ(ErrorOf("{\n  \"a\": 1,\n  \"a\": 2\n}"), "line 3, column 3: duplicate member \"a\"");
  EXPECT_EQ(ErrorOf("{\"a\": {\"b\": 1, \"b\": 1}}"), "line 1, column 16: duplicate member \"b\"");
  EXPECT_EQ(ErrorOf("[{\"a\": 1}, {\"a\": 2}]"), "(parsed)");  // different objects may share names
}

// 200 arrays or objects one inside the other are read; the 201st is refused where it opens.
TEST(JsonReader, NestingStopsAtTwoHundred) {
  EXPECT_EQ(ErrorOf(std::string(200, '[') + "1" + std::string(200, ']')), "(parsed)");
  EXPECT_EQ(ErrorOf(std::string(201, '[') + std::string(201, ']')), "line 1, column 201: nesting is too deep");
  std::string objects;
  for (int i = 0; i < 200; ++i) objects += "{\"a\":";
  EXPECT_EQ(ErrorOf(objects + "1" + std::string(200, '}')), "(parsed)");
  EXPECT_EQ(ErrorOf(objects + "{}" + std::string(200, '}')), "line 1, column 1001: nesting is too deep");
  // Far deeper than the limit still ends in the error, not in the stack's end.
  EXPECT_EQ(ErrorOf(std::string(100000, '[')), "line 1, column 201: nesting is too deep");
}

TEST(JsonWriter, IndentsByTwoAndKeepsListsOfScalarsOnOneLine) {
  const Json doc = ParseJson(R"({"name":"x","list":[1,2.5,"t",null,true],"nested":[{"a":null},[]],"empty":{}})");
  EXPECT_EQ(WriteJson(doc),
            "{\n"
            "  \"name\": \"x\",\n"
            "  \"list\": [1, 2.5, \"t\", null, true],\n"
            "  \"nested\": [\n"
            "    {\n"
            "      \"a\": null\n"
            "    },\n"
            "    []\n"
            "  ],\n"
            "  \"empty\": {}\n"
            "}\n");
}

TEST(JsonWriter, EscapesWhatJsonCannotHoldAndReadsBackTheSame) {
  const std::string text = std::string("q\"b\\n\nr\rt\t\x01\x7F\0z", 14);
  EXPECT_EQ(WriteJson(Json(text)), "\"q\\\"b\\\\n\\nr\\rt\\t\\u0001\\u007f\\u0000z\"\n");
  EXPECT_EQ(WriteJson(Json(std::string("\0", 1))), "\"\\u0000\"\n");
  EXPECT_EQ(ParseJson(WriteJson(Json(text))).AsString(), text);
  EXPECT_EQ(WriteJson(Json(0.1)), "0.10000000000000001\n");
  EXPECT_EQ(std::get<double>(ParseJson(WriteJson(Json(0.1))).Raw()), 0.1);
  EXPECT_EQ(WriteJson(Json(int64_t{-9007199254740993})), "-9007199254740993\n");
}

TEST(DisplayText, ControlBytesShowAsHexAndTheRestAsWindows1252) {
  EXPECT_EQ(DisplayText("a\x01" "b\x7F\x80\xE9"), "a\\x01b\\x7F\xE2\x82\xAC\xC3\xA9");
}

}  // namespace
}  // namespace vitrine::tool
