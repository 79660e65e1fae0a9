#include <gtest/gtest.h>

#include "text/text.h"

TEST(FieldOf, CountsFromOneAndTreatsLowIndexesAsOne) {
  EXPECT_EQ(FieldOf("a|b|c", 1, "|"), "a");
  EXPECT_EQ(FieldOf("a|b|c", 3, "|"), "c");
  EXPECT_EQ(FieldOf("a|b|c", 0, "|"), "a");
  EXPECT_EQ(FieldOf("a|b|c", -5, "|"), "a");
  EXPECT_EQ(FieldOf("a|b|c", 4, "|"), "");
}

TEST(FieldOf, EmptyFieldsAndSeparators) {
  EXPECT_EQ(FieldOf("a||c", 2, "|"), "");
  EXPECT_EQ(FieldOf("a||c", 3, "|"), "c");
  EXPECT_EQ(FieldOf("|x", 1, "|"), "");
  EXPECT_EQ(FieldOf("x|", 2, "|"), "");
  EXPECT_EQ(FieldOf("x|", 3, "|"), "");
  EXPECT_EQ(FieldOf("", 1, "|"), "");
  // Only the first character of the separator counts.
  EXPECT_EQ(FieldOf("a,b;c", 2, ";,"), "c");
  EXPECT_EQ(FieldOf("a;b,c", 2, ";,"), "b,c");
  // An empty separator leaves the whole text as the only field.
  EXPECT_EQ(FieldOf("a|b", 1, ""), "a|b");
  EXPECT_EQ(FieldOf("a|b", 2, ""), "");
}

TEST(ReplaceAll, ScansLeftToRightWithoutRescanningInsertedText) {
  EXPECT_EQ(ReplaceAll("Close '$Titel' now|$Titel", "$Titel", "Editor"), "Close 'Editor' now|Editor");
  EXPECT_EQ(ReplaceAll("$Titel", "$Titel", "$Titel$Titel"), "$Titel$Titel");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("$titel", "$Titel", "x"), "$titel");
  EXPECT_EQ(ReplaceAll("", "x", "y"), "");
  EXPECT_EQ(ReplaceAll("axa", "x", ""), "aa");
}

TEST(LeftRightBytes, ClampToTheText) {
  EXPECT_EQ(LeftBytes("abc", 2), "ab");
  EXPECT_EQ(LeftBytes("abc", 9), "abc");
  EXPECT_EQ(LeftBytes("abc", 0), "");
  EXPECT_EQ(LeftBytes("abc", -1), "");
  EXPECT_EQ(RightBytes("C:\\", 2), ":\\");
  EXPECT_EQ(RightBytes("abc", 9), "abc");
  EXPECT_EQ(RightBytes("abc", -3), "");
  EXPECT_EQ(RightBytes("", 1), "");
}

TEST(TrimBlanks, RemovesOnlySpaces) {
  EXPECT_EQ(TrimBlanks("  a b  "), "a b");
  EXPECT_EQ(TrimBlanks("\t a \t"), "\t a \t");
  EXPECT_EQ(TrimBlanks("    "), "");
  EXPECT_EQ(TrimBlanks(""), "");
}

TEST(CaseChange, CoversAsciiAndLatin1ButNotTheSharpS) {
  EXPECT_EQ(UpperCase("abz{AZ@"), "ABZ{AZ@");
  EXPECT_EQ(UpperCase("\xE4\xFF\xDF\xF7"), "\xC4\xDF\xDF\xD7");
  EXPECT_EQ(LowerCase("ABZ[az`"), "abz[az`");
  EXPECT_EQ(LowerCase("\xC4\xDE\xDF\xD7"), "\xE4\xFE\xDF\xF7");
  EXPECT_EQ(LowerCase(std::string("A\0B", 3)), std::string("a\0b", 3));
}

TEST(CaseChange, Utf8LettersByTheirCodePoints) {
  struct Row {
    const char* lower;
    const char* upper;
  };
  const Row rows[] = {
      {"caf\xC3\xA9", "CAF\xC3\x89"},                                            // é É
      {"\xC5\x82ukasz", "\xC5\x81UKASZ"},                                        // ł Ł: capital on the odd code point
      {"\xC4\x85", "\xC4\x84"},                                                  // ą Ą: capital on the even one
      {"\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD", "\xD0\x98\xD0\x92\xD0\x90\xD0\x9D"},  // иван ИВАН
      {"\xD1\x91", "\xD0\x81"},                                                  // ё Ё
      {"\xCE\xB1\xCF\x89", "\xCE\x91\xCE\xA9"},                                  // αω ΑΩ
      {"\xE7\x8E\x8B\xF0\x9F\x98\x80", "\xE7\x8E\x8B\xF0\x9F\x98\x80"},          // 王 and an emoji have no case
  };
  for (const Row& row : rows) {
    EXPECT_EQ(UpperCase(row.lower), row.upper) << row.lower;
    EXPECT_EQ(LowerCase(row.upper), row.lower) << row.upper;
  }
  // The sharp s, the division sign and the dotless i keep their forms.
  EXPECT_EQ(UpperCase("\xC3\x9F\xC3\xB7\xC4\xB1"), "\xC3\x9F\xC3\xB7\xC4\xB1");
}

TEST(Windows1252ToUtf8, TheHighHalfByCodePoint) {
  EXPECT_EQ(Windows1252ToUtf8("a\x80\x81\x9F\xA0\xE9\xFF"), "a\xE2\x82\xAC\xC2\x81\xC5\xB8\xC2\xA0\xC3\xA9\xC3\xBF");
}

TEST(DecimalText, SignedWithoutPadding) {
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(DecimalText(42), "42");
  EXPECT_EQ(DecimalText(-7), "-7");
  EXPECT_EQ(DecimalText(2147483647), "2147483647");
  EXPECT_EQ(DecimalText(INT32_MIN), "-2147483648");
}

TEST(ParseDecimal, ReadsUpToTheFirstOtherByte) {
  EXPECT_EQ(ParseDecimal("12abc"), 12);
  EXPECT_EQ(ParseDecimal(" \t-3"), -3);
  EXPECT_EQ(ParseDecimal("+8"), 8);
  EXPECT_EQ(ParseDecimal("yes1"), 0);
  EXPECT_EQ(ParseDecimal(""), 0);
  EXPECT_EQ(ParseDecimal("-"), 0);
  EXPECT_EQ(ParseDecimal("--1"), 0);
  EXPECT_EQ(ParseDecimal("- 1"), 0);
  EXPECT_EQ(ParseDecimal("\n5"), 0);
  EXPECT_EQ(ParseDecimal("007"), 7);
}

TEST(ParseDecimal, WrapsAroundIn32Bits) {
  EXPECT_EQ(ParseDecimal("2147483647"), 2147483647);
  EXPECT_EQ(ParseDecimal("2147483648"), INT32_MIN);
  EXPECT_EQ(ParseDecimal("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseDecimal("4294967296"), 0);
  EXPECT_EQ(ParseDecimal("4294967297"), 1);
  EXPECT_EQ(ParseDecimal("-1"), -1);
  EXPECT_EQ(ParseDecimal("99999999999999999999999"), -159383553);  // the value modulo 2^32
}

TEST(DirectoryOf, KeepsTheLastSeparatorBeforeAnyBar) {
  EXPECT_EQ(DirectoryOf("C:\\Program Files\\App\\uninstall.exe"), "C:\\Program Files\\App\\");
  EXPECT_EQ(DirectoryOf("\"C:\\App\\x.exe\""), "C:\\App\\");
  EXPECT_EQ(DirectoryOf("C:/a/b"), "C:/a/");
  EXPECT_EQ(DirectoryOf("C:\\a\\b|c\\d"), "C:\\a\\");
  EXPECT_EQ(DirectoryOf("name.exe"), "");
  EXPECT_EQ(DirectoryOf("|C:\\a\\b"), "");
  EXPECT_EQ(DirectoryOf(""), "");
  EXPECT_EQ(DirectoryOf("\""), "");
}

TEST(FileNameOf, StopsAtAQuote) {
  EXPECT_EQ(FileNameOf("C:\\App\\run.exe"), "run.exe");
  EXPECT_EQ(FileNameOf("\"C:\\App\\run.exe\" -x"), "run.exe");
  EXPECT_EQ(FileNameOf("C:/App/"), "");
  EXPECT_EQ(FileNameOf("run.exe"), "run.exe");
  EXPECT_EQ(FileNameOf(""), "");
}

TEST(ExtensionOf, OnlyAfterAFinalDot) {
  EXPECT_EQ(ExtensionOf("C:\\a\\file.txt"), "txt");
  EXPECT_EQ(ExtensionOf("C:\\a.b\\file"), "");
  EXPECT_EQ(ExtensionOf("archive.tar.gz"), "gz");
  EXPECT_EQ(ExtensionOf("\"C:\\x.vbs\" arg"), "vbs");
  EXPECT_EQ(ExtensionOf("dot."), "");
  EXPECT_EQ(ExtensionOf("noext"), "");
}

TEST(TextEquals, IsExactAndCaseSensitive) {
  EXPECT_TRUE(TextEquals("C:\\App\\", "C:\\App\\"));
  EXPECT_FALSE(TextEquals("C:\\App\\", "c:\\app\\"));
  EXPECT_FALSE(TextEquals("a", std::string("a\0", 2)));
}
