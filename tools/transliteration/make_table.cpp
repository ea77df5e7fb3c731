// parvel-transliteration CLDR_TRANSFORMS_DIR OUTPUT
//
// Runs Unicode CLDR's transforms (Greek-Latin, Cyrillic-Latin, Latin-ASCII,
// and de-ASCII for German users) with ICU over every character of the Basic
// Multilingual Plane beyond ASCII, and writes as C++ the plain ASCII form of
// each character that has one: the form before a lower-case letter where the
// rules make it differ ("Ä" -> "Ae" in "Äpfel", "AE" elsewhere), and whether
// the character is itself a lower-case letter, which decides that context for
// the character before it. The add-in compiles the table in; it needs no ICU.
#include <unicode/errorcode.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
}

// The rules of the file's one forward transform, as ICU's rule syntax.
std::string RulesOf(const std::string& path) {
  const std::string xml = ReadFile(path);
  const std::size_t open = xml.find("<tRule>");
  const std::size_t close = xml.find("</tRule>");
  if (open == std::string::npos || close == std::string::npos || close < open) {
    throw std::runtime_error(path + " holds no <tRule>");
  }
  std::string rules = xml.substr(open + 7, close - open - 7);
  const std::size_t cdata = rules.find("<![CDATA[");
  if (cdata != std::string::npos) {
    const std::size_t end = rules.rfind("]]>");
    return rules.substr(cdata + 9, end - cdata - 9);
  }
  ReplaceAll(rules, "&lt;", "<");
  ReplaceAll(rules, "&gt;", ">");
  ReplaceAll(rules, "&quot;", "\"");
  ReplaceAll(rules, "&apos;", "'");
  ReplaceAll(rules, "&amp;", "&");
  return rules;
}

std::unique_ptr<icu::Transliterator> FromRules(const std::string& id, const std::string& rules) {
  UParseError where{};
  icu::ErrorCode status;
  std::unique_ptr<icu::Transliterator> transliterator(icu::Transliterator::createFromRules(
      icu::UnicodeString::fromUTF8(id), icu::UnicodeString::fromUTF8(rules), UTRANS_FORWARD, where,
      status));
  if (status.isFailure()) {
    throw std::runtime_error(id + ": " + status.errorName() + " at line " +
                             std::to_string(where.line) + ", offset " +
                             std::to_string(where.offset));
  }
  return transliterator;
}

// Latin-ASCII after the Greek and Cyrillic scripts are made Latin; for
// German, de-ASCII's own rules first. de-ASCII ends in "::Any-ASCII;", which
// is this same chain.
class Transforms {
 public:
  explicit Transforms(const std::string& folder)
      : greek_(FromRules("Greek-Latin", RulesOf(folder + "/Greek-Latin.xml"))),
        cyrillic_(FromRules("Cyrillic-Latin", RulesOf(folder + "/Cyrillic-Latin.xml"))),
        ascii_(FromRules("Latin-ASCII", RulesOf(folder + "/Latin-ASCII.xml"))) {
    std::string german = RulesOf(folder + "/de-ASCII.xml");
    const std::size_t chain = german.find("::Any-ASCII;");
    if (chain == std::string::npos)
      throw std::runtime_error("de-ASCII no longer ends in Any-ASCII");
    german.erase(chain, 12);
    german_ = FromRules("de-ASCII", german);
  }

  icu::UnicodeString Latin(icu::UnicodeString text) const {
    greek_->transliterate(text);
    cyrillic_->transliterate(text);
    ascii_->transliterate(text);
    return text;
  }

  icu::UnicodeString German(icu::UnicodeString text) const {
    german_->transliterate(text);
    return Latin(text);
  }

 private:
  std::unique_ptr<icu::Transliterator> greek_;
  std::unique_ptr<icu::Transliterator> cyrillic_;
  std::unique_ptr<icu::Transliterator> ascii_;
  std::unique_ptr<icu::Transliterator> german_;
};

bool PlainAscii(const icu::UnicodeString& text) {
  for (int32_t i = 0; i < text.length(); ++i) {
    if (text[i] < 0x20 || text[i] > 0x7E) return false;
  }
  return true;
}

std::string Narrow(const icu::UnicodeString& ascii) {
  std::string text;
  ascii.toUTF8String(text);
  return text;
}

struct Form {
  std::string plain;         // at the end of a text, before a blank, a capital, a digit
  std::string before_lower;  // before a lower-case letter
};

// The forms of one character by one chain, or none when the chain leaves it
// without a plain ASCII form.
template <typename Chain>
std::optional<Form> FormsOf(UChar32 ch, const Chain& chain) {
  const icu::UnicodeString character(ch);
  const icu::UnicodeString alone = chain(character);
  if (alone == character || !PlainAscii(alone)) {
    // A combining mark has a form only after the letter it marks: Latin-ASCII
    // drops it there ("e" + U+0301 -> "e").
    if (u_charType(ch) != U_NON_SPACING_MARK ||
        chain(icu::UnicodeString(u'e') + character) != icu::UnicodeString(u'e')) {
      return std::nullopt;
    }
    return Form{};
  }
  icu::UnicodeString before = chain(character + icu::UnicodeString(u'x'));
  if (!before.endsWith(icu::UnicodeString(u'x')) || !PlainAscii(before)) return std::nullopt;
  before.truncate(before.length() - 1);
  return Form{Narrow(alone), Narrow(before)};
}

struct Entry {
  UChar32 code;
  Form form;
  bool lowercase;
};

// One pool of the forms' texts, each text once.
class Pool {
 public:
  std::size_t Offset(const std::string& text) {
    if (text.empty()) return 0;
    const auto known = offsets_.find(text);
    if (known != offsets_.end()) return known->second;
    const std::size_t offset = text_.size();
    text_ += text;
    offsets_.emplace(text, offset);
    return offset;
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  std::map<std::string, std::size_t> offsets_;
};

std::string CharLiteral(const std::string& text) {
  std::string literal;
  for (const char ch : text) {
    if (ch == '"' || ch == '\\') literal += '\\';
    literal += ch;
    // Keeps trigraph-like and "??" runs apart without changing the text.
    if (ch == '?') literal += "\"\"";
  }
  return literal;
}

void WriteEntries(std::ostream& out, const char* name, const std::vector<Entry>& entries,
                  Pool& pool) {
  out << "inline constexpr TransliterationEntry " << name << "[] = {\n";
  for (const Entry& entry : entries) {
    const std::size_t plain = pool.Offset(entry.form.plain);
    const std::size_t lower = pool.Offset(entry.form.before_lower);
    char line[96];
    std::snprintf(line, sizeof line, "    {0x%04X, %zu, %zu, %s, %zu, %zu},\n",
                  static_cast<unsigned>(entry.code), plain, entry.form.plain.size(),
                  entry.lowercase ? "true" : "false", lower, entry.form.before_lower.size());
    out << line;
  }
  out << "};\n\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: parvel-transliteration CLDR_TRANSFORMS_DIR OUTPUT\n";
    return 2;
  }
  try {
    const Transforms transforms(argv[1]);
    const auto latin = [&](const icu::UnicodeString& text) { return transforms.Latin(text); };
    const auto german = [&](const icu::UnicodeString& text) { return transforms.German(text); };

    std::vector<Entry> latin_entries;
    std::vector<Entry> german_entries;
    // The planes with letters and symbols; the ideographs beyond have no form.
    for (UChar32 ch = 0x80; ch <= 0x1FFFF; ++ch) {
      // Surrogate halves and private use have no meaning of their own.
      const std::int8_t type = u_charType(ch);
      if (type == U_UNASSIGNED || type == U_SURROGATE || type == U_PRIVATE_USE_CHAR) continue;
      const bool lowercase = u_hasBinaryProperty(ch, UCHAR_LOWERCASE);
      const std::optional<Form> plain = FormsOf(ch, latin);
      if (plain) latin_entries.push_back({ch, *plain, lowercase});
      const std::optional<Form> in_german = FormsOf(ch, german);
      if (in_german && (!plain || in_german->plain != plain->plain ||
                        in_german->before_lower != plain->before_lower)) {
        german_entries.push_back({ch, *in_german, lowercase});
      }
    }

    std::ostringstream out;
    Pool pool;
    out << "// Written by parvel-transliteration from Unicode CLDR's transforms "
           "(Greek-Latin,\n// Cyrillic-Latin, Latin-ASCII, de-ASCII) as ICU "
        << U_ICU_VERSION << " runs them. Do not edit.\n\n";
    std::ostringstream entries;
    WriteEntries(entries, "kLatinForms", latin_entries, pool);
    WriteEntries(entries, "kGermanForms", german_entries, pool);
    out << "inline constexpr char kFormText[] = \"" << CharLiteral(pool.Text()) << "\";\n\n"
        << entries.str();

    std::ofstream file(argv[2], std::ios::binary);
    file << out.str();
    if (!file) throw std::runtime_error(std::string("cannot write ") + argv[2]);
    std::cout << "parvel-transliteration: " << latin_entries.size() << " characters, "
              << german_entries.size() << " of them German, " << pool.Text().size()
              << " bytes of forms\n";
  } catch (const std::exception& error) {
    std::cerr << "parvel-transliteration: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
