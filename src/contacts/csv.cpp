#include "contacts/csv.h"

#include "store/cp932.h"

#include <QStringDecoder>

namespace csv {

QString decodeFile(const QByteArray &bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? cp932::decode(bytes) : text;
}

QList<QStringList> parse(const QString &text) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool rowHasContent = false;
    const auto endField = [&] {
        row.append(field);
        field.clear();
    };
    const auto endRow = [&] {
        endField();
        if (rowHasContent || row.size() > 1 || !row.first().isEmpty())
            rows.append(row);
        row.clear();
        rowHasContent = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text.at(i + 1) == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == u'"') {
            quoted = true;
            rowHasContent = true;
        } else if (c == u',') {
            endField();
            rowHasContent = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            endRow();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty() || rowHasContent)
        endRow();
    return rows;
}

QString row(const QStringList &fields) {
    QStringList quotedFields;
    for (const QString &f : fields) {
        if (f.contains(u',') || f.contains(u'"') || f.contains(u'\r') || f.contains(u'\n'))
            quotedFields.append(u'"' + QString(f).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"');
        else
            quotedFields.append(f);
    }
    return quotedFields.join(u',') + QStringLiteral("\r\n");
}

} // namespace csv
