// Chinese_PRC_CI_AS: equality and order (case and width ignored, accents
// kept, trailing blanks ignored, Chinese by pinyin after Latin), the ASCII
// fast path agreeing with the collator, hashes and sort keys consistent with
// Compare, LIKE, and the character-level text functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/common/collation.h"

namespace orv::engine::collation {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

// The full-width form of printable ASCII (U+FF01..U+FF5E): equal under the
// collation, but it sends the text down the collator path.
std::string FullWidth(const std::string& ascii) {
  std::string out;
  for (char c : ascii) {
    if (c <= ' ' || c > '~') {
      out.push_back(c);
      continue;
    }
    char32_t wide = 0xFF01 + (c - '!');
    out.push_back(static_cast<char>(0xE0 | (wide >> 12)));
    out.push_back(static_cast<char>(0x80 | ((wide >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (wide & 0x3F)));
  }
  return out;
}

TEST(Collation, CaseInsensitiveAccentSensitive) {
  EXPECT_TRUE(Equal("abc", "ABC"));
  EXPECT_TRUE(Equal("abc", "abc  "));
  EXPECT_TRUE(Equal("", "   "));
  EXPECT_FALSE(Equal("abc", " abc"));
  EXPECT_FALSE(Equal("a", "á"));
  EXPECT_LT(Compare("a", "á"), 0);
  EXPECT_LT(Compare("á", "b"), 0);
  EXPECT_LT(Compare("resume", "résumé"), 0);
  EXPECT_TRUE(Equal("ＡＢＣ", "abc"));  // width
  EXPECT_TRUE(Equal("あ", "ア"));        // kana
}

TEST(Collation, Order) {
  EXPECT_LT(Compare("abc", "abd"), 0);
  EXPECT_GT(Compare("abd", "ABC"), 0);
  EXPECT_LT(Compare("ab", "abc"), 0);
  EXPECT_LT(Compare("9", "a"), 0);
  EXPECT_LT(Compare("01.02", "01.10"), 0);
  EXPECT_LT(Compare("1.01", "1.1.1"), 0);
  EXPECT_LT(Compare("李", "张"), 0);      // li < zhang
  EXPECT_LT(Compare("北京", "上海"), 0);  // bei < shang
  EXPECT_GT(Compare("中国", "美国"), 0);  // zhong > mei
  EXPECT_LT(Compare("张三", "张三丰"), 0);
  EXPECT_LT(Compare("z", "啊"), 0);       // Latin before Chinese
  EXPECT_LT(Compare("Zhang", "张"), 0);
}

TEST(Collation, SortingIsDeterministic) {
  std::vector<std::string> names = {"张三", "b", "李四", "A", "王五", "a", "01.10", "01.02", "赵六", "B "};
  std::stable_sort(names.begin(), names.end(), [](const std::string& x, const std::string& y) { return Compare(x, y) < 0; });
  EXPECT_EQ(names, (std::vector<std::string>{"01.02", "01.10", "A", "a", "b", "B ", "李四", "王五", "张三", "赵六"}));
  std::vector<std::string> by_key = names;
  std::reverse(by_key.begin(), by_key.end());
  std::stable_sort(by_key.begin(), by_key.end(),
                   [](const std::string& x, const std::string& y) { return SortKey(x) < SortKey(y); });
  for (size_t i = 0; i + 1 < by_key.size(); ++i) EXPECT_LE(Compare(by_key[i], by_key[i + 1]), 0);
}

TEST(Collation, AsciiFastPathAgreesWithTheCollator) {
  std::mt19937 rng(20240305);
  const std::string alphabet = " !\"#$%&'()*+,-./0123456789:;<=>?@ABCXYZ[\\]^_`abcxyz{|}~\x01";
  auto random_text = [&] {
    std::string s(rng() % 6, ' ');
    for (char& c : s) c = alphabet[rng() % alphabet.size()];
    return s;
  };
  for (int i = 0; i < 3000; ++i) {
    std::string a = random_text(), b = random_text();
    int fast = Compare(a, b);
    EXPECT_EQ(fast, Compare(FullWidth(a), b)) << '"' << a << "\" vs \"" << b << '"';
    EXPECT_EQ(Sign(SortKey(a).compare(SortKey(b))), fast) << '"' << a << "\" vs \"" << b << '"';
    EXPECT_EQ(Hash(a), Hash(FullWidth(a))) << '"' << a << '"';
    if (fast == 0) {
      EXPECT_EQ(Hash(a), Hash(b)) << '"' << a << "\" vs \"" << b << '"';
    }
  }
}

TEST(Collation, HashAndSortKeyFollowEquality) {
  EXPECT_EQ(Hash("ABC "), Hash("abc"));
  EXPECT_EQ(Hash("李 "), Hash("李"));
  EXPECT_EQ(Hash("Ａbc"), Hash("abc"));
  EXPECT_NE(Hash("abc"), Hash("abd"));
  EXPECT_NE(Hash("李"), Hash("张"));
  EXPECT_EQ(SortKey("ABC  "), SortKey("abc"));
  EXPECT_NE(SortKey("a"), SortKey("á"));
  EXPECT_LT(SortKey("李"), SortKey("张"));
}

TEST(Collation, ThreadsEachUseTheirOwnCollator) {
  auto work = [](int* errors) {
    for (int i = 0; i < 2000; ++i) {
      if (Compare("李四", "张三") >= 0 || !Equal("ＡＢＣ", "abc") || Hash("张 ") != Hash("张")) ++*errors;
    }
  };
  int errors[4] = {};
  std::vector<std::thread> threads;
  for (int& e : errors) threads.emplace_back(work, &e);
  for (std::thread& t : threads) t.join();
  for (int e : errors) EXPECT_EQ(e, 0);
}

TEST(CollationLike, Wildcards) {
  EXPECT_TRUE(Like("abc", "a%"));
  EXPECT_TRUE(Like("ABC", "a_c"));
  EXPECT_TRUE(Like("abc", "%"));
  EXPECT_TRUE(Like("", "%"));
  EXPECT_FALSE(Like("", "_"));
  EXPECT_FALSE(Like("abc", "a_"));
  EXPECT_TRUE(Like("aaab", "%ab"));
  EXPECT_TRUE(Like("mississippi", "%iss%ppi"));
  EXPECT_FALSE(Like("ab", "%b%b%"));
  EXPECT_TRUE(Like("张三丰", "张%"));
  EXPECT_TRUE(Like("张三丰", "_三_"));
  EXPECT_FALSE(Like("张三丰", "李%"));
}

TEST(CollationLike, BlanksAreSignificant) {
  EXPECT_FALSE(Like("abc", "abc "));
  EXPECT_FALSE(Like("abc ", "abc"));
  EXPECT_TRUE(Like("abc ", "abc_"));
}

TEST(CollationLike, SetsAndRanges) {
  EXPECT_TRUE(Like("abc", "a[a-c]c"));
  EXPECT_TRUE(Like("aBc", "a[a-c]c"));
  EXPECT_FALSE(Like("aBc", "a[^b]c"));
  EXPECT_TRUE(Like("adc", "a[^b]c"));
  EXPECT_TRUE(Like("B", "[a-c]"));
  EXPECT_FALSE(Like("d", "[a-c]"));
  EXPECT_TRUE(Like("5", "[0-9]"));
  EXPECT_TRUE(Like("x-", "x[-]"));
  EXPECT_TRUE(Like("a[b", "a[b"));  // no ']': a plain '['
  EXPECT_TRUE(Like("a", "[xyz,a]"));
}

TEST(CollationLike, EscapeAndCollation) {
  EXPECT_TRUE(Like("a%c", "a!%c", '!'));
  EXPECT_FALSE(Like("abc", "a!%c", '!'));
  EXPECT_TRUE(Like("a_c", "a!_c", U'!'));
  EXPECT_TRUE(Like("a]", "a[!]]", '!'));
  EXPECT_FALSE(Like("ab", "ab!", '!'));  // a trailing escape matches nothing
  EXPECT_TRUE(Like("café", "CAFÉ"));
  EXPECT_FALSE(Like("cafe", "café"));
  EXPECT_TRUE(Like("ＡＢＣ", "abc"));
  LikePattern prefix("01.%");
  EXPECT_TRUE(prefix.Matches("01.02"));
  EXPECT_FALSE(prefix.Matches("02.01"));
}

TEST(CollationText, LengthsAndOffsets) {
  EXPECT_EQ(Length("abc  "), 3);
  EXPECT_EQ(Length("张三 "), 2);
  EXPECT_EQ(Length("   "), 0);
  EXPECT_EQ(Length("  a"), 3);
  EXPECT_EQ(CharCount("ab  "), 4);
  EXPECT_EQ(CharCount("张三"), 2);
  EXPECT_EQ(ByteOffset("张三abc", 2), 6u);
  EXPECT_EQ(ByteOffset("张三abc", 3), 7u);
  EXPECT_EQ(ByteOffset("abc", 10), 3u);
  EXPECT_EQ(ByteOffset("abc", -1), 0u);
}

TEST(CollationText, CaseMappingAndRepair) {
  EXPECT_EQ(Upper("abcé"), "ABCÉ");
  EXPECT_EQ(Lower("ÀBC"), "àbc");
  EXPECT_EQ(Upper("张a"), "张A");
  EXPECT_EQ(Lower("Istanbul"), "istanbul");
  EXPECT_EQ(Sanitize("a\xff" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(Sanitize("\xE5\xBC"), "\xEF\xBF\xBD");  // cut-off sequence
  EXPECT_EQ(Sanitize("张三"), "张三");
  EXPECT_EQ(CharCount("a\xff" "b"), 3);
  EXPECT_EQ(ByteOffset("a\xff" "b", 2), 2u);
}

}  // namespace
}  // namespace orv::engine::collation
