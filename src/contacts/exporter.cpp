#include "contacts/exporter.h"

#include "contacts/csv.h"
#include "contacts/vcard.h"
#include "store/cp932.h"
#include "store/mdlDim.h"

namespace contactexport {
namespace {

QString field(const QString &line, int n) {
    return mdlDim::GetField(line, QStringLiteral("|"), n);
}

// The category's name, or its number when it has none.
QString categoryName(const QString &number, const std::array<QString, 11> &categories) {
    bool isNumber = false;
    const int n = number.toInt(&isNumber);
    if (!isNumber || n < 1 || n > 10)
        return {};
    const QString name = mdlDim::categoryNameIn(categories[static_cast<size_t>(n - 1)]);
    return name.isEmpty() ? QString::number(n) : name;
}

QByteArray card(const QString &line, const std::array<QString, 11> &categories) {
    using vcard::escaped;
    const QString name = field(line, 2);
    // The editor's entries put a full-width space between family and given names.
    const qsizetype space = name.indexOf(u'\u3000');
    const QString family = space < 0 ? name : name.left(space);
    const QString given = space < 0 ? QString() : name.mid(space + 1);
    QStringList out = {QStringLiteral("BEGIN:VCARD"),
                       QStringLiteral("VERSION:3.0"),
                       QStringLiteral("N:%1;%2;;;").arg(escaped(family), escaped(given)),
                       QStringLiteral("FN:") + escaped(name),
                       QStringLiteral("X-PHONETIC-LAST-NAME:") + escaped(field(line, 1)),
                       QStringLiteral("SORT-STRING:") + escaped(field(line, 1))};
    const auto tel = [&](int n, const char *type) {
        if (!field(line, n).isEmpty())
            out.append(QStringLiteral("TEL;TYPE=%1:%2").arg(QLatin1String(type), escaped(field(line, n))));
    };
    tel(5, "VOICE");
    tel(6, "FAX");
    tel(7, "CELL");
    if (!field(line, 3).isEmpty() || !field(line, 4).isEmpty())
        out.append(QStringLiteral("ADR:;;%1;;;%2;").arg(escaped(field(line, 4)), escaped(field(line, 3))));
    if (!field(line, 8).isEmpty())
        out.append(QStringLiteral("EMAIL:") + escaped(field(line, 8)));
    const QString category = categoryName(field(line, 9), categories);
    if (!category.isEmpty())
        out.append(QStringLiteral("CATEGORIES:") + escaped(category));
    out.append(QStringLiteral("END:VCARD"));
    QByteArray bytes;
    for (const QString &l : out)
        bytes += vcard::folded(l);
    return bytes;
}

} // namespace

QStringList csvHeader() {
    return {QStringLiteral("ふりがな"), QStringLiteral("氏名"),           QStringLiteral("郵便番号"),
            QStringLiteral("住所"),     QStringLiteral("電話番号"),       QStringLiteral("FAX"),
            QStringLiteral("携帯電話"), QStringLiteral("メールアドレス"), QStringLiteral("分類")};
}

QByteArray exportEntries(const QStringList &lines, const std::array<QString, 11> &categories, Format format,
                         Encoding encoding) {
    QByteArray out;
    if (format == Format::VCard) {
        for (const QString &line : lines)
            out += card(line, categories);
        return out;
    }
    QString text = csv::row(csvHeader());
    for (const QString &line : lines) {
        QStringList row;
        for (int n = 1; n <= 8; ++n)
            row.append(field(line, n));
        row.append(categoryName(field(line, 9), categories));
        text += csv::row(row);
    }
    if (encoding == Encoding::Utf8)
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    // The book holds only what code page 932 holds, so this always encodes.
    return cp932::encode(text).value_or(QByteArray());
}

} // namespace contactexport
