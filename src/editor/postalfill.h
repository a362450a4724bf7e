#pragma once

#include "store/postalcodes.h"

#include <QString>

// The editor's postal code help: what an address box is filled with from a
// code, and what the user is told when a look-up finds nothing or too much.
namespace postalfill {

// The address a code stands for, as the address box may hold it: the whole
// 都道府県 + 市区町村 + 町域 (and a large office's street) when it fits the
// box, else without the parts that do not fit; for a code of several towns,
// only what they share. Empty when the code is unknown or the text is not
// one the book can store.
QString addressFor(const QList<postalcodes::Area> &areas, int limit);

// The candidates of an address that matches several codes, a line each.
QString candidatesText(const QList<postalcodes::Area> &areas, int most = 8);

} // namespace postalfill
