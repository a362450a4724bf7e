#include "contacts/csv.h"

#include "store/textforms.h"

#include <QStringDecoder>

namespace csv {

QString decodeFile(const QByteArray &bytes) {
    if (bytes.startsWith(textforms::Utf8Bom))
        return QString::fromUtf8(bytes.mid(textforms::Utf8Bom.size()));
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringConverter::Utf16LE)(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringConverter::Utf16BE)(bytes.mid(2));
    return textforms::decodeUtf8OrCp932(bytes);
}

QChar separatorOf(const QString &text) {
    const QStringView first = QStringView(text).left(text.indexOf(u'\n'));
    return first.count(u'\t') > first.count(u',') ? QChar(u'\t') : QChar(u',');
}

QList<QStringList> parse(const QString &text, QChar separator) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false; // a quote opens quoting only at the start of a field
    const auto endField = [&] {
        row.append(field);
        field.clear();
        fieldStarted = false;
    };
    const auto endRow = [&] {
        endField();
        // A row of separators only is no row.
        bool empty = true;
        for (const QString &f : std::as_const(row))
            empty = empty && f.isEmpty();
        if (!empty)
            rows.append(row);
        row.clear();
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
        if (c == u'"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            endRow();
        } else {
            // A quote inside an unquoted field is text, as spreadsheets read it.
            field += c;
            fieldStarted = true;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
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
