#include "strings/format_sections.h"

#include <algorithm>

namespace vorn {

namespace {

// Bytes of the UTF-8 character starting at text[i] (1 for a stray byte).
size_t CharLength(std::string_view text, size_t i) {
  auto lead = static_cast<unsigned char>(text[i]);
  size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  size_t end = i + 1;
  while (end < text.size() && end < i + length &&
         (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
    ++end;
  }
  return end - i;
}

void AddText(Section& section, std::string_view text) {
  if (text.empty()) return;
  if (!section.tokens.empty() && section.tokens.back().kind == TokenKind::Text) {
    section.tokens.back().text.append(text);
  } else {
    section.tokens.push_back({TokenKind::Text, std::string(text)});
  }
}

}  // namespace

std::vector<std::string_view> SplitSections(std::string_view format) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (quoted) {
      quoted = c != '"';
    } else if (c == '"') {
      quoted = true;
    } else if (c == '\\') {
      if (i + 1 < format.size()) i += CharLength(format, i + 1);
    } else if (c == ';') {
      sections.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(format.substr(start));
  return sections;
}

Section ParseSection(std::string_view text) {
  Section section;
  bool afterPoint = false;
  int32_t firstIntegerZero = -1;
  for (size_t i = 0; i < text.size();) {
    char c = text[i];
    if (c == '\\') {
      ++i;
      if (i < text.size()) {
        size_t length = CharLength(text, i);
        AddText(section, text.substr(i, length));
        i += length;
      }
      continue;
    }
    if (c == '"') {
      size_t end = text.find('"', i + 1);
      if (end == std::string_view::npos) end = text.size();
      AddText(section, text.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    if ((c == 'E' || c == 'e') && !section.scientific && i + 1 < text.size() &&
        (text[i + 1] == '+' || text[i + 1] == '-' || text[i + 1] == '0')) {
      Token exponent{TokenKind::Exponent, std::string(1, c)};
      size_t j = i + 1;
      if (text[j] == '+' || text[j] == '-') exponent.plus = text[j++] == '+';
      int32_t zeros = 0;
      while (j < text.size() && (text[j] == '0' || text[j] == '#')) zeros += text[j++] == '0';
      exponent.minDigits = std::max(zeros, 1);
      section.tokens.push_back(exponent);
      section.scientific = true;
      i = j;
      continue;
    }
    switch (c) {
      case '0':
      case '#':
        if (afterPoint) {
          ++section.fractionPlaces;
          if (c == '0') section.minFractionDigits = section.fractionPlaces;
          section.tokens.push_back({TokenKind::FractionDigit, {}});
        } else {
          if (c == '0' && firstIntegerZero < 0) firstIntegerZero = section.integerPlaces;
          ++section.integerPlaces;
          section.tokens.push_back({TokenKind::IntegerDigit, {}});
        }
        break;
      case '.':
        if (afterPoint) {
          AddText(section, ".");
        } else {
          afterPoint = true;
          section.tokens.push_back({TokenKind::Point, {}});
        }
        break;
      case ',':
        if (!afterPoint) section.grouping = true;
        break;
      case '%':
        ++section.percents;
        section.tokens.push_back({TokenKind::Percent, "%"});
        break;
      case '+':
      case '-':
        section.hasSign = true;
        section.tokens.push_back({TokenKind::Sign, {}, c == '+'});
        break;
      default: {
        size_t length = CharLength(text, i);
        AddText(section, text.substr(i, length));
        i += length;
        continue;
      }
    }
    ++i;
  }
  if (firstIntegerZero >= 0) section.minIntegerDigits = section.integerPlaces - firstIntegerZero;
  return section;
}

FormatSections ParseFormatSections(std::string_view format) {
  const std::vector<std::string_view> texts = SplitSections(format);
  FormatSections parsed;
  for (size_t i = 0; i < texts.size() && i < 3; ++i) parsed.sections.push_back(ParseSection(texts[i]));
  parsed.hasNegative = texts.size() >= 2 && !texts[1].empty();
  parsed.hasZero = texts.size() >= 3 && !texts[2].empty();
  return parsed;
}

}  // namespace vorn
