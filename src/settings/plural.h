// Counts in the user's language: which form of a counted text a number
// takes, by the language's plural rule.
#pragma once

#include <cstdint>
#include <string_view>

// The forms a counted text may take, named as the CLDR names them.
enum class PluralForm : uint8_t { kZero, kOne, kTwo, kFew, kMany, kOther };

// The form a whole number takes in a language given by its code ("ru",
// "pt-PT", "ar"; case and "_" or "-" alike), by the CLDR's rules for whole
// numbers of the common languages; a language without a rule here counts as
// English does: one for 1, other otherwise.
PluralForm PluralFormOf(std::string_view language, uint32_t n);
