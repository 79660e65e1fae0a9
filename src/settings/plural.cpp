#include "settings/plural.h"

#include <initializer_list>
#include <string>

namespace {

// The language's own code, lower case, without its region; with it where
// the region's rule differs ("pt-pt").
std::string LanguageCode(std::string_view language) {
  std::string code;
  for (const char c : language) code += c == '_' ? '-' : (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  return code == "pt-pt" ? code : code.substr(0, code.find('-'));
}

bool Among(const std::string& code, std::initializer_list<const char*> codes) {
  for (const char* c : codes) {
    if (code == c) return true;
  }
  return false;
}

}  // namespace

PluralForm PluralFormOf(std::string_view language, uint32_t n) {
  const std::string code = LanguageCode(language);
  const uint32_t last = n % 10, last_two = n % 100;
  const bool teen = last_two >= 11 && last_two <= 19;
  if (Among(code, {"ja", "zh", "ko", "vi", "th", "id", "ms", "lo", "my", "km"})) return PluralForm::kOther;
  if (Among(code, {"fr", "pt", "hi", "bn", "fa", "am", "zu"})) return n <= 1 ? PluralForm::kOne : PluralForm::kOther;
  if (Among(code, {"ru", "uk", "be"})) {
    if (last == 1 && last_two != 11) return PluralForm::kOne;
    if (last >= 2 && last <= 4 && (last_two < 12 || last_two > 14)) return PluralForm::kFew;
    return PluralForm::kMany;
  }
  if (code == "pl") {
    if (n == 1) return PluralForm::kOne;
    if (last >= 2 && last <= 4 && (last_two < 12 || last_two > 14)) return PluralForm::kFew;
    return PluralForm::kMany;
  }
  if (Among(code, {"hr", "sr", "bs"})) {
    if (last == 1 && last_two != 11) return PluralForm::kOne;
    if (last >= 2 && last <= 4 && (last_two < 12 || last_two > 14)) return PluralForm::kFew;
    return PluralForm::kOther;
  }
  if (Among(code, {"cs", "sk"})) {
    return n == 1 ? PluralForm::kOne : n >= 2 && n <= 4 ? PluralForm::kFew : PluralForm::kOther;
  }
  if (code == "ar") {
    if (n <= 2) return n == 0 ? PluralForm::kZero : n == 1 ? PluralForm::kOne : PluralForm::kTwo;
    if (last_two >= 3 && last_two <= 10) return PluralForm::kFew;
    if (last_two >= 11) return PluralForm::kMany;
    return PluralForm::kOther;
  }
  if (code == "he") return n == 1 ? PluralForm::kOne : n == 2 ? PluralForm::kTwo : PluralForm::kOther;
  if (code == "ro") {
    if (n == 1) return PluralForm::kOne;
    return n == 0 || (last_two >= 1 && last_two <= 19) ? PluralForm::kFew : PluralForm::kOther;
  }
  if (code == "lt") {
    if (last == 1 && !teen) return PluralForm::kOne;
    return last >= 2 && !teen ? PluralForm::kFew : PluralForm::kOther;
  }
  if (code == "lv") {
    if (last == 0 || teen) return PluralForm::kZero;
    return last == 1 ? PluralForm::kOne : PluralForm::kOther;
  }
  if (code == "sl") {
    if (last_two == 1) return PluralForm::kOne;
    if (last_two == 2) return PluralForm::kTwo;
    return last_two == 3 || last_two == 4 ? PluralForm::kFew : PluralForm::kOther;
  }
  return n == 1 ? PluralForm::kOne : PluralForm::kOther;
}
