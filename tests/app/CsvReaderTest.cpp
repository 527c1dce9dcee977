// The CSV reader: RFC 4180 quoting, line ends, UTF-8, and refusals that name their line.
#include <gtest/gtest.h>
#include "TestSupport.h"
#include "app/CsvReader.h"

TEST(CsvReader, ReadsQuotedFieldsLineEndsAndUtf8) {
  using Table = TCsvTable;
  struct { QByteArray Data; Table Expected; } cases[] = {
      {"a,b,c\r\n1,2,3\r\n", {{"a", "b", "c"}, {"1", "2", "3"}}},
      {"a,b\n1,2", {{"a", "b"}, {"1", "2"}}},  // LF ends, no end at the last line
      {"\"x, y\",\"say \"\"hi\"\"\",\"two\r\nlines\"\n", {{"x, y", "say \"hi\"", "two\r\nlines"}}},
      {"\"one\nline\",z\n", {{"one\nline", "z"}}},
      {",\n,x,\n", {{"", ""}, {"", "x", ""}}},
      {"\"\"\n\"\"", {{""}, {""}}},
      {"\xEF\xBB\xBFname,\xE6\x96\xB0\xE7\xB4\xB0\xE6\x98\x8E\xE9\xAB\x94\n", {{"name", QString::fromUtf8("新細明體")}}},
      {"a,b\nc\n", {{"a", "b"}, {"c"}}},  // records may differ in length
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseCsv(c.Data), c.Expected) << c.Data.toStdString();
}

TEST(CsvReader, MalformedFilesAreRefusedWithTheirLineNumber) {
  struct { QByteArray Data; const char* Message; } cases[] = {
      {"a,b\nc,\"open\nstill open", "CSV line 2: a quoted field is not closed."},
      {"a\nb\n\"q\"x,y\n", "CSV line 3: a quoted field is followed by \"x\" instead of a comma."},
      {"a,b\"c\n", "CSV line 1: a quotation mark inside a field that is not quoted."},
      {"\"two\nlines\",ok\nbad\"\n", "CSV line 3: a quotation mark inside a field that is not quoted."},
      {"a\nb\xFF\n", "CSV line 2: the text is not UTF-8."},
      {"a\rb\n", "CSV line 1: a carriage return inside a field that is not quoted."},
  };
  for (const auto& c : cases) {
    try {
      ParseCsv(c.Data);
      ADD_FAILURE() << "accepted: " << c.Data.toStdString();
    } catch (const ECsvError& error) {
      EXPECT_EQ(error.Message(), QString::fromLatin1(c.Message));
    }
  }
}
