// How a value of the user's conditions enters report SQL. Text goes between
// the apostrophes the batch already writes, with each apostrophe inside it
// doubled so that it can never end the literal early; the item-class list
// that the level batch writes bare after "in " is checked instead.
#pragma once

#include <string>
#include <string_view>

#include "platform/variant.h"

namespace orv::toolkit {

// `v` with every ' doubled; the caller writes the surrounding quotes.
std::string QuoteText(std::string_view v);

// The item-class list written after "in ": a text made of "(", digits, commas
// and blanks, and ")" comes back as it is; a whole number comes back as its
// decimal digits. Anything else raises 13 (type mismatch), Null raises 94.
std::string ItemClassList(const platform::Variant& v);

}  // namespace orv::toolkit
