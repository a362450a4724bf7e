// Random text as a telephone number, as a phone or a spreadsheet may give
// it, through the reading and the fitting for each kind of box. Checks what
// must hold for any text: a kept number is three digit groups joined by "-"
// holding exactly the national digits read, and nothing is both kept and
// called a problem.
#include "contacts/phonenumbers.h"
#include "fuzzcheck.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > 256)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const phonenumbers::Number number = phonenumbers::read(text);
    for (const QChar d : number.digits)
        check(d >= u'0' && d <= u'9', "the national digits are ASCII digits");
    for (phonenumbers::Slot slot :
         {phonenumbers::Slot::Telephone, phonenumbers::Slot::Fax, phonenumbers::Slot::Mobile}) {
        const phonenumbers::Parsed parsed = phonenumbers::fitted(number, slot);
        check(parsed.stored.isEmpty() || parsed.problem.isEmpty(), "kept and called a problem at once");
        if (parsed.stored.isEmpty())
            continue;
        const QStringList groups = parsed.stored.split(u'-');
        check(groups.size() == 3, "three groups");
        QString digits;
        for (const QString &group : groups) {
            for (const QChar c : group)
                check(c >= u'0' && c <= u'9', "groups of ASCII digits");
            digits += group;
        }
        check(digits == number.digits, "the digits kept are the digits read, no more and no fewer");
        check(phonenumbers::parse(text, slot).stored == parsed.stored, "parse is read then fitted");
    }
    return 0;
}
