#include "core/String.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace lumavine;

TEST(String, NarrowAndWideRoundTripKeepsNonAsciiText)
{
    // "Grüße € " and a character outside the 16-bit plane, in UTF-8.
    const std::string narrow = "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC \xF0\x9F\x98\x80";
    String wide(narrow);
    ASSERT_EQ(wide.size(), 10u);
    EXPECT_EQ(wide[2], u'\u00FC');
    EXPECT_EQ(wide[6], u'\u20AC');
    EXPECT_EQ(wide[8], char16_t(0xD83D));
    EXPECT_EQ(wide[9], char16_t(0xDE00));
    EXPECT_EQ(wide.toNarrow(), narrow);

    String untouched(u"keep");
    untouched.assignNarrow("bad \xC3(");
    EXPECT_EQ(untouched, u"keep");
    untouched.assignNarrow("\xE0\x80\x80");
    EXPECT_EQ(untouched, u"keep");

    String lone(u"a");
    lone.push_back(char16_t(0xD800));
    lone.push_back(u'b');
    EXPECT_EQ(lone.toNarrow(), "a?b");

    EXPECT_EQ(String::fromLatin1("\xE9t\xE9"), u"\u00E9t\u00E9");
    // UTF-8 whatever the locale, and nothing for bytes that are none.
    EXPECT_EQ(
        String::fromUtf8("\xC3\xA9t\xE2\x82\xAC\xF0\x9F\x98\x80"), std::optional<String>(u"\u00E9t\u20AC\U0001F600"));
    EXPECT_EQ(String::fromUtf8("\xE9t\xE9"), std::nullopt);
    EXPECT_EQ(String::fromUtf8("\xC0\xAF"), std::nullopt);
    EXPECT_TRUE(String(static_cast<const char16_t*>(nullptr)).empty());
}

TEST(String, LosslessNarrowTextKeepsEveryByte)
{
    // Valid UTF-8 converts as always; every other byte is kept as U+DC00 + byte.
    String name = String::fromNarrowLossless("caf\xe9 \xC3\xA9 \xF0\x9F\x98\x80 \xC3( \xE0\x80\x80 \xED\xB2\x80");
    EXPECT_EQ(name, String(u"caf\xDCE9 \u00e9 \U0001F600 \xDCC3( \xDCE0\xDC80\xDC80 \xDCED\xDCB2\xDC80"));
    EXPECT_EQ(name.toNarrow(), "caf\xe9 \xC3\xA9 \xF0\x9F\x98\x80 \xC3( \xE0\x80\x80 \xED\xB2\x80");
    EXPECT_EQ(String::fromNarrowLossless("plain"), u"plain");
    EXPECT_EQ(String::fromNarrowLossless(""), u"");

    // Every byte sequence comes back byte for byte.
    unsigned state = 7;
    for (int round = 0; round < 5000; ++round) {
        std::string bytes;
        size_t length = round % 13;
        for (size_t i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            bytes.push_back(char((state >> 16) & 0xFF));
        }
        ASSERT_EQ(String::fromNarrowLossless(bytes).toNarrow(), bytes) << round;
    }

    // Strict conversion is unchanged, and other lone surrogates still give '?'.
    String untouched(u"keep");
    untouched.assignNarrow("caf\xe9");
    EXPECT_EQ(untouched, u"keep");
    String lone(u"a");
    for (char16_t c : { char16_t(0xDC7F), char16_t(0xDD00), char16_t(0xD800) })
        lone.push_back(c);
    lone.push_back(u'b');
    EXPECT_EQ(lone.toNarrow(), "a???b");
}

TEST(String, NumbersAndComparison)
{
    String s(u"x=");
    s.appendInt(-1234567);
    EXPECT_EQ(s, u"x=-1234567");
    s.setInt(std::numeric_limits<long long>::min());
    EXPECT_EQ(s, u"-9223372036854775808");
    EXPECT_EQ(String::number(1000000), u"1000000");

    EXPECT_TRUE(String(u"Width").equalsIgnoreCase(u"wIDTH"));
    EXPECT_FALSE(String(u"Width").equalsIgnoreCase(u"Widths"));
    EXPECT_FALSE(String(u"\u00C4").equalsIgnoreCase(u"\u00E4"));
    EXPECT_TRUE(String(u"abc").equals(u"abc"));
    EXPECT_FALSE(String(u"abc").equals(u"ABC"));

    String t(u"hello");
    EXPECT_EQ(t.substring(1, 3), u"el");
    EXPECT_EQ(t.substring(3), u"lo");
    EXPECT_EQ(t.substring(9), u"");
    EXPECT_EQ(t.substring(2, 99), u"llo");
    EXPECT_EQ(t.substring(4, 2), u"");
}

TEST(String, TrimModesRemoveOnlyBlanksAndTabs)
{
    String start(u" \t a b \t\n ");
    EXPECT_EQ(start.trim(String::TrimStart), u"a b \t\n ");
    String end(u" \t a b \t ");
    EXPECT_EQ(end.trim(String::TrimEnd), u" \t a b");
    String both(u"\t\n x \t");
    EXPECT_EQ(both.trim(String::TrimBoth), u"\n x");
    String blank(u" \t ");
    EXPECT_EQ(blank.trim(), u"");
}

TEST(String, CaseAndReplacement)
{
    String s(u"Mixed Case \u00E9");
    EXPECT_EQ(String(s).toUpper(), u"MIXED CASE \u00E9");
    EXPECT_EQ(String(s).toLower(), u"mixed case \u00E9");

    String r(u"aaaa");
    EXPECT_EQ(r.replaceAll(u"aa", u"b"), u"bb");
    String grow(u"a.b.c");
    EXPECT_EQ(grow.replaceAll(u".", u".."), u"a..b..c");
    String none(u"abc");
    EXPECT_EQ(none.replaceAll(u"", u"x"), u"abc");
    EXPECT_EQ(none.replaceAll(u"zz", u"x"), u"abc");

    String path(u"C:\\a\\b");
    EXPECT_EQ(path.replaceChar(u'\\', u'/'), u"C:/a/b");
    String any(u"a b;c,d");
    EXPECT_EQ(any.replaceAnyOf(u" ;,", u'_'), u"a_b_c_d");
}

TEST(String, XmlEscapingUsesCode146ForTheApostrophe)
{
    String s(u"a<b & 'c'");
    EXPECT_EQ(s.escapeXml(), u"a&lt;b &amp; &#146;c&#146;");
    String q(u"\"x\" > y");
    EXPECT_EQ(q.escapeXml(), u"&quot;x&quot; &gt; y");
    String plain(u"plain");
    EXPECT_EQ(plain.escapeXml(), u"plain");

    String u1(u"&lt;&nbsp;&gt;");
    EXPECT_EQ(u1.unescapeXml(), u"<>");
    String u2(u"x &amp");
    EXPECT_EQ(u2.unescapeXml(), u"x &amp");
    String u3(u"&quot;&#146;&amp;lt;&#39;");
    EXPECT_EQ(u3.unescapeXml(), u"\"'&lt;");

    String roundTrip(u"<tag attr=\"v\">Tom's & Jerry</tag>");
    String escaped = roundTrip;
    escaped.escapeXml();
    EXPECT_EQ(escaped.unescapeXml(), roundTrip);
}

TEST(String, FormatThousandsGroupsTheIntegerPart)
{
    auto formatted = [](std::u16string_view text) { return String(text).formatThousands(); };
    EXPECT_EQ(formatted(u"1000000"), u"1,000,000");
    EXPECT_EQ(formatted(u"1234567.891"), u"1,234,567.891");
    EXPECT_EQ(formatted(u"-123"), u"-123");
    EXPECT_EQ(formatted(u"-123456"), u"-123,456");
    EXPECT_EQ(formatted(u"999"), u"999");
    EXPECT_EQ(formatted(u"0.12345"), u"0.12345");
    EXPECT_EQ(formatted(u""), u"");

    // 786 digits give 786 + 261 commas = 1,047 characters: still fits.
    String fits(std::u16string(786, u'1'));
    fits.formatThousands();
    EXPECT_EQ(fits.size(), 1047u);
    EXPECT_EQ(fits.substr(0, 4), u"111,");
    String tooLong(std::u16string(787, u'1'));
    EXPECT_EQ(tooLong.formatThousands(), u"NaN");
}

TEST(String, ReadIntAcceptsSeparatorsAndRejectsJunkAndOverflow)
{
    int value = 7;
    EXPECT_TRUE(String(u"1,000").readInt(value));
    EXPECT_EQ(value, 1000);
    EXPECT_TRUE(String(u"-5").readInt(value));
    EXPECT_EQ(value, -5);
    EXPECT_TRUE(String(u"2147483647").readInt(value));
    EXPECT_EQ(value, 2147483647);
    EXPECT_TRUE(String(u"-2,147,483,648").readInt(value));
    EXPECT_EQ(value, std::numeric_limits<int>::min());

    value = 7;
    EXPECT_FALSE(String(u"12a").readInt(value));
    EXPECT_FALSE(String(u"").readInt(value));
    EXPECT_FALSE(String(u"-").readInt(value));
    EXPECT_FALSE(String(u",").readInt(value));
    EXPECT_FALSE(String(u"5-").readInt(value));
    EXPECT_FALSE(String(u" 5").readInt(value));
    EXPECT_FALSE(String(u"+5").readInt(value));
    EXPECT_FALSE(String(u"2147483648").readInt(value));
    EXPECT_FALSE(String(u"99999999999999999999999").readInt(value));
    EXPECT_EQ(value, 7);
}

TEST(String, ReadDoubleCountsFractionDigits)
{
    double value = 0;
    int digits = -1;
    EXPECT_TRUE(String(u"3.250").readDouble(value, &digits));
    EXPECT_DOUBLE_EQ(value, 3.25);
    EXPECT_EQ(digits, 3);
    EXPECT_TRUE(String(u"-0.5").readDouble(value, &digits));
    EXPECT_DOUBLE_EQ(value, -0.5);
    EXPECT_EQ(digits, 1);
    EXPECT_TRUE(String(u"42").readDouble(value));
    EXPECT_DOUBLE_EQ(value, 42);

    value = 9;
    digits = 9;
    EXPECT_FALSE(String(u"1.5.2").readDouble(value, &digits));
    EXPECT_FALSE(String(u"").readDouble(value, &digits));
    EXPECT_FALSE(String(u".").readDouble(value, &digits));
    EXPECT_FALSE(String(u"1e5").readDouble(value, &digits));
    EXPECT_FALSE(String(u"1,5").readDouble(value, &digits));
    EXPECT_FALSE(String(u"1-").readDouble(value, &digits));
    EXPECT_FALSE(String(std::u16string(400, u'9')).readDouble(value, &digits));
    EXPECT_EQ(value, 9);
    EXPECT_EQ(digits, 9);
}
