#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated values as RFC 4180 has them: quoted fields may hold commas,
// quotes (doubled) and line breaks; rows end in CR LF or LF.
namespace csv {

// The text of a CSV file: UTF-8 (with or without its byte-order mark) or,
// when the bytes are not UTF-8, code page 932 as Excel writes it.
QString decodeFile(const QByteArray &bytes);

// The separator of a file: TAB when its first line holds more tabs than
// commas (Excel's "Unicode テキスト"), else ",".
QChar separatorOf(const QString &text);

QList<QStringList> parse(const QString &text, QChar separator = u',');

// One row, fields quoted where they need it, ended by CR LF.
QString row(const QStringList &fields);

} // namespace csv
