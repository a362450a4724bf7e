#include "store/textforms.h"

#include "store/cp932.h"

#include <QStringDecoder>

namespace textforms {

QString decodeUtf8OrCp932(QByteArrayView bytes) {
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? cp932::decode(bytes) : text;
}

} // namespace textforms
