#pragma once

#include "store/people.h"

#include <QDate>
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

// The New Year the cards are for: next year's in December, this year's otherwise.
int defaultYear(const QDate &today);

QString caption(Filter filter);
bool chooses(Filter filter, const people::NewYear &year);
// The year's marks as the lists show them: 「出」「受」「喪」「寒」「×」.
QString marks(const people::NewYear &year);

} // namespace newyearchoice
