#include "printing/newyearchoice.h"

namespace newyearchoice {

int defaultYear(const QDate &today) {
    return today.month() == 12 ? today.year() + 1 : today.year();
}

QString caption(Filter filter) {
    switch (filter) {
    case Filter::AllButMourning:
        return QStringLiteral("喪中などを除く");
    case Filter::RepliesDue:
        return QStringLiteral("受あり出なし");
    case Filter::NoReply:
        return QStringLiteral("出あり受なし");
    case Filter::NotYetSent:
        return QStringLiteral("まだ出していない");
    }
    return {};
}

bool chooses(Filter filter, const people::NewYear &y) {
    const bool leftOut = y.mourning || y.doNotSend;
    switch (filter) {
    case Filter::AllButMourning:
        return !leftOut;
    case Filter::RepliesDue:
        return y.received && !y.sent;
    case Filter::NoReply:
        return y.sent && !y.received;
    case Filter::NotYetSent:
        return !y.sent && !leftOut;
    }
    return false;
}

QString marks(const people::NewYear &y) {
    QString text;
    if (y.sent)
        text += u'出';
    if (y.received)
        text += u'受';
    if (y.mourning)
        text += u'喪';
    if (y.kanchuSent)
        text += u'寒';
    if (y.doNotSend)
        text += u'×';
    return text;
}

} // namespace newyearchoice
