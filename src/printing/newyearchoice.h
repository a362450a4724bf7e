#pragma once

#include "store/people.h"

#include <QString>
#include <QStringList>

// Who gets a New Year card this year: the postcard choices of the print
// set-up's filter, on each person's record of the year.
namespace newyearchoice {

enum class Filter {
    AllButMourning, // everyone but those in mourning (喪中) or marked 出さない
    RepliesDue,     // a card arrived (受) and none was sent (出)
    NoReply,        // sent, and none arrived
    NotYetSent,     // not sent yet, and not in mourning
};
inline constexpr Filter Filters[] = {Filter::AllButMourning, Filter::RepliesDue, Filter::NoReply, Filter::NotYetSent};

QString caption(Filter filter);
bool chooses(Filter filter, const people::NewYear &year);
// The year's marks as the lists show them: 「出」「受」「喪」「寒」「×」.
QString marks(const people::NewYear &year);

} // namespace newyearchoice
