#pragma once

#include <QString>

#include <array>

namespace mdlDim {

inline constexpr int CategorySlots = 11;
// The category file's lines, slot k for category k + 1.
using CategoryLines = std::array<QString, CategorySlots>;

// The names categories 1 to 5 are born with; 6 to 10 are named by the user.
inline constexpr int FixedCategoryCount = 5;
inline constexpr const char16_t *FixedCategoryNames[FixedCategoryCount] = {u"親戚", u"友人", u"お店", u"仕事", u"病院"};

} // namespace mdlDim
