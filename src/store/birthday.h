#pragma once

#include <QString>

// A birthday as people write it, stored as a date: 1975-05-03, 1975/5/3,
// 19750503 and 昭和50年5月3日 are all kept as ISO "1975-05-03"; a day without
// its year ("5月3日", "--05-03") as vCard writes one, "--05-03".
namespace birthday {

enum class Reading {
    Empty,
    Date,       // `iso` holds it
    Impossible, // a date's shape, but no such day (1975-02-30)
    NotADate,
};

struct Read {
    Reading reading = Reading::Empty;
    QString iso;
};

Read read(const QString &text);

} // namespace birthday
