#include "printing/addressmedium.h"

#include <algorithm>

namespace addressmedium {

QString caption(Kind kind) {
    switch (kind) {
    case Kind::Postcard:
        return QStringLiteral("はがき");
    case Kind::LongEnvelope:
        return QStringLiteral("封筒 長形3号");
    case Kind::WesternEnvelope:
        return QStringLiteral("封筒 洋形2号");
    case Kind::Labels24:
        return QStringLiteral("ラベル 24 面");
    case Kind::Labels12:
        return QStringLiteral("ラベル 12 面");
    }
    return {};
}

QString paperName(Kind kind) {
    switch (kind) {
    case Kind::Postcard:
        return QStringLiteral("はがき");
    case Kind::LongEnvelope:
        return QStringLiteral("長形3号の封筒");
    case Kind::WesternEnvelope:
        return QStringLiteral("洋形2号の封筒");
    case Kind::Labels24:
    case Kind::Labels12:
        return QStringLiteral("A4 ラベル用紙");
    }
    return {};
}

CardPrinter::Sheet sheet(Kind kind) {
    switch (kind) {
    case Kind::Postcard:
        return CardPrinter::Sheet::Postcard;
    case Kind::LongEnvelope:
        return CardPrinter::Sheet::LongEnvelope;
    case Kind::WesternEnvelope:
        return CardPrinter::Sheet::WesternEnvelope;
    case Kind::Labels24:
    case Kind::Labels12:
        return CardPrinter::Sheet::LabelSheet;
    }
    return CardPrinter::Sheet::Postcard;
}

postcard::Form form(Kind kind) {
    switch (kind) {
    case Kind::LongEnvelope:
        return postcard::Form::LongEnvelope;
    case Kind::WesternEnvelope:
        return postcard::Form::WesternEnvelope;
    default:
        return postcard::Form::Postcard;
    }
}

int labelsPerSheet(Kind kind) {
    return kind == Kind::Labels24 ? 24 : kind == Kind::Labels12 ? 12 : 0;
}

bool marksSent(Kind kind) {
    return kind == Kind::Postcard || labelsPerSheet(kind) > 0;
}

int labelCell(Kind kind, int firstLabel, qsizetype sheet, qsizetype k) {
    const int perSheet = labelsPerSheet(kind);
    return int(k) + (sheet == 0 && perSheet > 0 ? std::clamp(firstLabel, 1, perSheet) - 1 : 0);
}

QList<QList<qsizetype>> sheetsOf(qsizetype addressees, Kind kind, int firstLabel) {
    QList<QList<qsizetype>> sheets;
    const int perSheet = labelsPerSheet(kind);
    qsizetype next = 0;
    // A partly used sheet of labels: its first free label on.
    int cell = labelCell(kind, firstLabel, 0, 0);
    while (next < addressees) {
        QList<qsizetype> sheet;
        for (; next < addressees && (sheet.isEmpty() || cell < perSheet); ++next, ++cell)
            sheet.append(next);
        sheets.append(sheet);
        cell = 0;
    }
    return sheets;
}

} // namespace addressmedium
