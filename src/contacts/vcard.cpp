#include "contacts/vcard.h"

#include "store/cp932.h"
#include "store/textforms.h"

namespace vcard {
namespace {

QByteArray quotedPrintableDecoded(const QByteArray &in) {
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c == '=' && i + 2 < in.size()) {
            bool ok = false;
            const int byte = in.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out.append(static_cast<char>(byte));
                i += 2;
                continue;
            }
        }
        out.append(c);
    }
    return out;
}

// Text in the card's character set; without one, UTF-8 if the bytes are
// UTF-8, otherwise code page 932 (older Japanese phones name no charset).
QString decodedText(const QByteArray &bytes, const QString &charset) {
    const QString cs = charset.toUpper();
    if (cs == QLatin1String("SHIFT_JIS") || cs == QLatin1String("SJIS") || cs == QLatin1String("CP932") ||
        cs == QLatin1String("WINDOWS-31J") || cs == QLatin1String("MS_KANJI") || cs == QLatin1String("SHIFT-JIS"))
        return cp932::decode(bytes);
    if (cs == QLatin1String("ISO-8859-1") || cs == QLatin1String("LATIN1") || cs == QLatin1String("US-ASCII"))
        return QString::fromLatin1(bytes);
    if (cs == QLatin1String("UTF-8"))
        return QString::fromUtf8(bytes);
    return textforms::decodeUtf8OrCp932(bytes);
}

// Splits on `separator` outside double quotes.
QList<QByteArray> splitOutsideQuotes(const QByteArray &text, char separator) {
    QList<QByteArray> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == '"')
            quoted = !quoted;
        else if (text.at(i) == separator && !quoted) {
            parts.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.mid(start));
    return parts;
}

QString unescaped(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar next = text.at(++i);
            out += (next == u'n' || next == u'N') ? QChar(u'\n') : next;
        } else {
            out += c;
        }
    }
    return out;
}

QStringList splitUnescaped(const QString &value, QChar separator) {
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == u'\\') {
            ++i;
        } else if (value.at(i) == separator) {
            parts.append(unescaped(QStringView(value).mid(start, i - start)));
            start = i + 1;
        }
    }
    parts.append(unescaped(QStringView(value).mid(start)));
    return parts;
}

// Whether a property's parameters (the line up to its first ":") name quoted-printable.
bool isQuotedPrintableHeader(QByteArrayView line) {
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return false;
    const QByteArrayView head = line.first(colon);
    for (qsizetype i = 0; i + 16 <= head.size(); ++i)
        if (qstrnicmp(head.data() + i, "QUOTED-PRINTABLE", 16) == 0)
            return true;
    return false;
}

// Physical lines joined into logical ones, handed to visit(line) one at a
// time: a line beginning with white space continues the one before; a
// quoted-printable value ending in "=" goes on in the next line. Whether a
// logical line is quoted-printable is decided once, from its first physical
// line, so joining stays linear however long the line grows.
template <typename Visit> void forEachLogicalLine(QByteArrayView bytes, Visit visit) {
    bytes = textforms::withoutUtf8Bom(bytes);
    QByteArray current;
    bool started = false;
    bool quotedPrintable = false;
    for (qsizetype at = 0; at <= bytes.size();) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = bytes.sliced(at, end - at);
        if (line.endsWith('\r'))
            line.chop(1);
        at = end + 1;
        const bool continues = line.startsWith(' ') || line.startsWith('\t');
        if (started && quotedPrintable && current.endsWith('=')) {
            current.chop(1);
            current.append(continues ? line.sliced(1) : line);
        } else if (started && continues) {
            current.append(line.sliced(1));
        } else {
            if (started)
                visit(current);
            current = line.toByteArray();
            started = true;
            quotedPrintable = isQuotedPrintableHeader(line);
        }
    }
    if (started)
        visit(current);
}

std::optional<Property> parseLine(const QByteArray &line) {
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == '"')
            quoted = !quoted;
        else if (line.at(i) == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon <= 0)
        return std::nullopt;
    const QList<QByteArray> head = splitOutsideQuotes(line.left(colon), ';');
    Property property;
    QString name = QString::fromLatin1(head.first()).trimmed();
    if (const qsizetype dot = name.indexOf(QLatin1Char('.')); dot >= 0) {
        property.group = name.left(dot);
        name = name.mid(dot + 1);
    }
    property.name = name.toUpper();
    QString encoding;
    QString charset;
    for (qsizetype i = 1; i < head.size(); ++i) {
        const QString param = QString::fromUtf8(head.at(i)).trimmed();
        const qsizetype eq = param.indexOf(QLatin1Char('='));
        if (eq < 0) { // 2.1: a bare value is a type, or the encoding
            const QString bare = param.toUpper();
            if (bare == QLatin1String("QUOTED-PRINTABLE") || bare == QLatin1String("BASE64"))
                encoding = bare;
            else
                property.types.append(bare);
            continue;
        }
        const QString key = param.left(eq).trimmed().toUpper();
        QString value = param.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        if (key == QLatin1String("TYPE")) {
            for (const QString &type : value.split(QLatin1Char(','), Qt::SkipEmptyParts))
                property.types.append(type.trimmed().toUpper());
        } else if (key == QLatin1String("ENCODING")) {
            encoding = value.toUpper();
        } else if (key == QLatin1String("CHARSET")) {
            charset = value;
        } else {
            property.params.append({key, value});
        }
    }
    QByteArray raw = line.mid(colon + 1);
    if (encoding == QLatin1String("QUOTED-PRINTABLE")) {
        raw = quotedPrintableDecoded(raw);
    } else if (encoding == QLatin1String("B") || encoding == QLatin1String("BASE64")) {
        // Pictures, sounds and keys stay undecoded; they never become fields.
        // A base64 text (some phones write N and FN so) is decoded.
        static const QStringList binaries = {QStringLiteral("PHOTO"), QStringLiteral("LOGO"), QStringLiteral("SOUND"),
                                             QStringLiteral("KEY")};
        if (binaries.contains(property.name)) {
            property.binary = true;
            return property;
        }
        raw = QByteArray::fromBase64(raw.trimmed());
    }
    property.value = decodedText(raw, charset);
    return property;
}

} // namespace

QString Property::param(const QString &key) const {
    for (const auto &[k, v] : params)
        if (k == key)
            return v;
    return {};
}

QString Property::text() const {
    return unescaped(value);
}

QStringList Property::components() const {
    return splitUnescaped(value, u';');
}

QStringList Property::list() const {
    return splitUnescaped(value, u',');
}

const Property *Card::first(const QString &name) const {
    for (const Property &p : properties)
        if (p.name == name)
            return &p;
    return nullptr;
}

QList<const Property *> Card::all(const QString &name) const {
    QList<const Property *> found;
    for (const Property &p : properties)
        if (p.name == name)
            found.append(&p);
    return found;
}

int forEachCard(const QByteArray &bytes, const std::function<void(const Card &)> &visit) {
    Card card;
    int cards = 0;
    bool inCard = false;
    int depth = 0;
    forEachLogicalLine(bytes, [&](const QByteArray &line) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.compare("BEGIN:VCARD", Qt::CaseInsensitive) == 0) {
            if (inCard) { // a card inside a card (AGENT): skipped
                ++depth;
                return;
            }
            inCard = true;
            card = Card{++cards, {}};
            return;
        }
        if (trimmed.compare("END:VCARD", Qt::CaseInsensitive) == 0) {
            if (depth > 0) {
                --depth;
            } else if (inCard) {
                inCard = false;
                visit(card);
                card = Card{};
            }
            return;
        }
        if (!inCard || depth > 0 || trimmed.isEmpty())
            return;
        if (std::optional<Property> property = parseLine(line))
            card.properties.append(std::move(*property));
    });
    return inCard ? card.number : 0;
}

QString escaped(const QString &text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A line break in a note is the only control character a value can hold.
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out += QStringLiteral("\\n");
            continue;
        }
        if (c == u'\\' || c == u';' || c == u',')
            out += u'\\';
        out += c;
    }
    return out;
}

QByteArray folded(const QString &line) {
    const QByteArray utf8 = line.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + utf8.size() / 70 * 3 + 2);
    qsizetype lineLength = 0;
    for (qsizetype i = 0; i < utf8.size();) {
        // The whole UTF-8 sequence of one character goes together.
        qsizetype length = 1;
        const auto lead = static_cast<unsigned char>(utf8.at(i));
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        length = qMin(length, utf8.size() - i);
        if (lineLength + length > 75) {
            out.append("\r\n ", 3);
            lineLength = 1;
        }
        out.append(utf8.constData() + i, length);
        lineLength += length;
        i += length;
    }
    out.append("\r\n", 2);
    return out;
}

} // namespace vcard
