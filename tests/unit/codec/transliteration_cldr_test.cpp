// The table compiled into the add-in, read back against Unicode CLDR's own
// rule files: every one-character rule of Latin-ASCII, and de-ASCII's
// umlauts with their context.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "codec/transliteration.h"
#include "common/utf8.h"

namespace parvel {
namespace {

using tools::Utf8ToWide;
using tools::WideToUtf8;

std::string Rules(const char* file) {
  std::ifstream in(std::string(PARVEL_CLDR_TRANSFORMS) + "/" + file);
  EXPECT_TRUE(in) << file;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Plain(char32_t ch, bool before_lowercase, TransliterationRules rules) {
  const auto form = PlainForm(ch, before_lowercase, rules);
  return form ? std::string(*form) : "(none)";
}

TEST(TransliterationTable, HoldsEveryOneCharacterRuleOfLatinAscii) {
  // "Æ → AE ;", "\u2009 → ' ' ;", "\← → '<-' ;"
  const std::regex rule(R"(^\\?(\S+) → (?:'([^']*)'|([!-~]+)) ;)");
  std::istringstream lines(Rules("Latin-ASCII.xml"));
  int checked = 0;
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (!std::regex_search(line, match, rule)) continue;
    std::wstring source = Utf8ToWide(match[1].str());
    if (source.size() == 6 && source.starts_with(L"u")) {
      source = std::wstring(
          1, static_cast<wchar_t>(std::stoul(WideToUtf8(source.substr(1)), nullptr, 16)));
    }
    if (source.size() != 1) continue;
    std::string target = match[2].matched ? match[2].str() : match[3].str();
    // Outside quotes a backslash escapes the character after it ("\\'n").
    if (!match[2].matched) target = std::regex_replace(target, std::regex(R"(\\(.))"), "$1");
    SCOPED_TRACE(line);
    EXPECT_EQ(Plain(static_cast<char32_t>(source[0]), false, TransliterationRules::Latin), target);
    ++checked;
  }
  EXPECT_GT(checked, 700) << "the rule file's form changed";
}

TEST(TransliterationTable, GermanUmlautsFollowDeAscii) {
  const std::string rules = Rules("de-ASCII.xml");
  // "[ä {a \u0308}] → ae;" and "$AE = [Ä {A \u0308}];" with "$AE → AE;" and
  // "{$AE} [:Lowercase:] → Ae;"
  const std::regex lower(R"(\[(\S+) \{\S \\u0308\}\] → (\w+);)");
  const std::regex upper(R"(\$(\w+) = \[(\S+) \{\S \\u0308\}\];)");
  int checked = 0;
  for (auto it = std::sregex_iterator(rules.begin(), rules.end(), lower);
       it != std::sregex_iterator(); ++it) {
    const char32_t ch = static_cast<char32_t>(Utf8ToWide((*it)[1].str())[0]);
    EXPECT_EQ(Plain(ch, false, TransliterationRules::German), (*it)[2].str());
    ++checked;
  }
  for (auto it = std::sregex_iterator(rules.begin(), rules.end(), upper);
       it != std::sregex_iterator(); ++it) {
    const std::string name = (*it)[1].str();
    const char32_t ch = static_cast<char32_t>(Utf8ToWide((*it)[2].str())[0]);
    std::smatch before_lower;
    ASSERT_TRUE(std::regex_search(rules, before_lower,
                                  std::regex("\\{\\$" + name + "\\} \\[:Lowercase:\\] → (\\w+);")));
    EXPECT_EQ(Plain(ch, true, TransliterationRules::German), before_lower[1].str());
    EXPECT_NE(rules.find("$" + name + " → " + name + ";"), std::string::npos);
    EXPECT_EQ(Plain(ch, false, TransliterationRules::German), name);
    ++checked;
  }
  EXPECT_EQ(checked, 6);
  EXPECT_TRUE(IsLowercaseLetter(U'\u00E4'));
  EXPECT_FALSE(IsLowercaseLetter(U'\u00C4'));
}

}  // namespace
}  // namespace parvel
