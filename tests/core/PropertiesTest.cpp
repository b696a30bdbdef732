#include "core/Properties.h"
#include "core/Tokenizer.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lumavine;

namespace {

std::vector<String> tokensOf(Tokenizer& tokenizer)
{
    std::vector<String> tokens;
    while (const String* token = tokenizer.next())
        tokens.push_back(*token);
    return tokens;
}

}

TEST(Tokenizer, DefaultsSkipEmptyTokensAndLeadingBlanks)
{
    Tokenizer spaces(u"  a  bb   c ");
    EXPECT_EQ(spaces.flags(), 13u);
    EXPECT_EQ(tokensOf(spaces), (std::vector<String> { u"a", u"bb", u"c" }));
    EXPECT_EQ(spaces.next(), nullptr);

    Tokenizer commas(u"a,, \t b,c ,", u",");
    EXPECT_EQ(tokensOf(commas), (std::vector<String> { u"a", u"b", u"c " }));

    Tokenizer keepEmpty(u"a,,b,", u",");
    keepEmpty.setFlag(Tokenizer::SkipEmpty, false);
    EXPECT_EQ(tokensOf(keepEmpty), (std::vector<String> { u"a", u"", u"b" }));

    Tokenizer keepBlanks(u"a, b", u",");
    keepBlanks.setFlag(Tokenizer::SkipLeadingBlanks, false);
    EXPECT_EQ(tokensOf(keepBlanks), (std::vector<String> { u"a", u" b" }));

    Tokenizer empty(u"");
    EXPECT_EQ(empty.next(), nullptr);
    Tokenizer onlyDelimiters(u",,,", u",");
    EXPECT_EQ(onlyDelimiters.next(), nullptr);
}

TEST(Tokenizer, EqualQuoteSetsToggleAndDifferentSetsNest)
{
    Tokenizer toggling(u"a \"b c\" 'x y' d\"e f\"g", u" ");
    toggling.setQuotes(u"\"", u"\"");
    EXPECT_TRUE(toggling.flags() & Tokenizer::ToggleQuotes);
    EXPECT_EQ(tokensOf(toggling), (std::vector<String> { u"a", u"\"b c\"", u"'x", u"y'", u"d\"e f\"g" }));

    Tokenizer dropped(u"k=\"v w\";x", u";=");
    dropped.setQuotes(u"\"", u"\"");
    dropped.setFlag(Tokenizer::KeepQuotes, false);
    EXPECT_EQ(tokensOf(dropped), (std::vector<String> { u"k", u"v w", u"x" }));

    Tokenizer nesting(u"f(a (b c) d) g)h i", u" ");
    nesting.setQuotes(u"(", u")");
    EXPECT_FALSE(nesting.flags() & Tokenizer::ToggleQuotes);
    // A stray closing quote at depth 0 is kept but changes nothing.
    EXPECT_EQ(tokensOf(nesting), (std::vector<String> { u"f(a (b c) d)", u"g)h", u"i" }));

    Tokenizer unclosed(u"a \"b c", u" ");
    unclosed.setQuotes(u"\"", u"\"");
    EXPECT_EQ(tokensOf(unclosed), (std::vector<String> { u"a", u"\"b c" }));
}

TEST(Tokenizer, SkipCountSplitAllNextIntAndLastDelimiter)
{
    Tokenizer skipping(u"a b c d e");
    ASSERT_NE(skipping.next(2), nullptr);
    EXPECT_EQ(skipping.token(), u"c");
    EXPECT_EQ(*skipping.next(), u"d");
    EXPECT_EQ(skipping.next(1), nullptr);

    Tokenizer delimiters(u"a,b;c", u",;");
    delimiters.next();
    EXPECT_EQ(delimiters.lastDelimiter(), u',');
    delimiters.next();
    EXPECT_EQ(delimiters.lastDelimiter(), u';');
    delimiters.next();
    EXPECT_EQ(delimiters.lastDelimiter(), 0);

    StringList list;
    list.append(u"existing");
    Tokenizer rest(u"one two three");
    rest.next();
    EXPECT_EQ(rest.splitAll(list), 3u);
    EXPECT_EQ(list.get(1), u"two");
    EXPECT_EQ(list.get(2), u"three");

    Tokenizer numbers(u"12 x 1,000 -3");
    EXPECT_EQ(numbers.nextInt(), 12);
    EXPECT_EQ(numbers.nextInt(), 0);
    EXPECT_EQ(numbers.nextInt(), 1000);
    EXPECT_EQ(numbers.nextInt(), -3);
    EXPECT_EQ(numbers.nextInt(), 0);
}

TEST(Tokenizer, ReadBalancedCollectsUpToTheMatchingClose)
{
    Tokenizer call(u"(a(b)c) rest");
    EXPECT_TRUE(call.readBalanced(u'(', u')'));
    EXPECT_EQ(call.token(), u"a(b)c");
    EXPECT_EQ(*call.next(), u"rest");

    Tokenizer inner(u"x{y}}z", u" ");
    EXPECT_TRUE(inner.readBalanced(u'{', u'}'));
    EXPECT_EQ(inner.token(), u"x{y}");
    EXPECT_EQ(*inner.next(), u"z");

    Tokenizer unbalanced(u"(abc");
    EXPECT_TRUE(unbalanced.readBalanced(u'(', u')'));
    EXPECT_EQ(unbalanced.token(), u"abc");

    Tokenizer empty(u"()");
    EXPECT_FALSE(empty.readBalanced(u'(', u')'));

    Tokenizer same(u"'it is' after", u" ");
    EXPECT_TRUE(same.readBalanced(u'\'', u'\''));
    EXPECT_EQ(same.token(), u"it is");
    EXPECT_EQ(*same.next(), u"after");
}

TEST(Properties, PropertyTextsWithQuotesAndLeadingValue)
{
    Properties quoted(u"a:1;b:\"x;y\";c", u";", u":");
    EXPECT_EQ(quoted.count(), 3u);
    EXPECT_EQ(quoted.get(u"a"), u"1");
    EXPECT_EQ(quoted.get(u"b"), u"x;y");
    EXPECT_EQ(quoted.get(u"c"), u"");
    EXPECT_TRUE(quoted.contains(u"c"));
    EXPECT_EQ(quoted.get(u"missing"), u"");
    EXPECT_TRUE(quoted.leadingValue().empty());

    Properties leading(u"top;a:1", u";", u":");
    EXPECT_EQ(leading.leadingValue(), u"top");
    EXPECT_EQ(leading.count(), 1u);
    EXPECT_EQ(leading.get(u"a"), u"1");
    EXPECT_FALSE(leading.contains(u"top"));

    // Only the first item can be the leading value.
    Properties later(u"a:1;top", u";", u":");
    EXPECT_TRUE(later.leadingValue().empty());
    EXPECT_TRUE(later.contains(u"top"));

    Properties firstWithSeparator(u"a:;b:2", u";", u":");
    EXPECT_TRUE(firstWithSeparator.leadingValue().empty());
    EXPECT_TRUE(firstWithSeparator.contains(u"a"));

    Properties blanks(u"  width: 10;;\theight:\t20 ;", u";", u":");
    EXPECT_EQ(blanks.count(), 2u);
    EXPECT_EQ(blanks.get(u"width"), u"10");
    EXPECT_EQ(blanks.get(u"height"), u"20 ");

    Properties duplicates(u"a:1;b:2;a:3", u";", u":");
    EXPECT_EQ(duplicates.count(), 2u);
    EXPECT_EQ(duplicates.get(u"a"), u"3");
    EXPECT_EQ(duplicates.firstValue(), &duplicates.get(u"a"));

    // An item without a key ends the parse.
    Properties stops(u"a:1; :;b:2", u";", u":");
    EXPECT_EQ(stops.count(), 1u);
    EXPECT_FALSE(stops.contains(u"b"));
}

TEST(Properties, DeclarationAttributesKeyCaseAndReparse)
{
    Properties declaration(u"xml version=\"1.0\" encoding=\"UTF-8\" title=\"a b=c\"", u" ", u"=");
    EXPECT_EQ(declaration.leadingValue(), u"xml");
    EXPECT_EQ(declaration.get(u"version"), u"1.0");
    EXPECT_EQ(declaration.get(u"encoding"), u"UTF-8");
    EXPECT_EQ(declaration.get(u"title"), u"a b=c");

    Properties lower(u"Width=1;HEIGHT=2", u";", u"=", Properties::KeysLower);
    EXPECT_EQ(lower.get(u"width"), u"1");
    EXPECT_EQ(lower.get(u"height"), u"2");
    EXPECT_EQ(lower.get(u"Width"), u"");
    Properties upper(u"Width=1", u";", u"=", Properties::KeysUpper);
    EXPECT_EQ(upper.get(u"WIDTH"), u"1");

    Properties reused(u";", u":");
    reused.parse(u"lead;a:1");
    reused.parse(u"b:2");
    EXPECT_EQ(reused.count(), 1u);
    EXPECT_EQ(reused.get(u"a"), u"");
    EXPECT_EQ(reused.get(u"b"), u"2");
    EXPECT_TRUE(reused.leadingValue().empty());
    reused.parse({});
    EXPECT_EQ(reused.count(), 0u);
}
