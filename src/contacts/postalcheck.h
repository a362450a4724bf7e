#pragma once

#include "store/postalcodes.h"

#include <QString>

// Whether an entry's postal code and address agree, as Japan Post's table has them.
namespace postalcheck {

// What is wrong with the entry line's postal code and address: empty when
// they agree; else one sentence, with what the table suggests.
QString problemOf(const QString &line, const postalcodes::Table &table);

} // namespace postalcheck
