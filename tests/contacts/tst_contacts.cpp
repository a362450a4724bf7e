#include "common/datadir.h"
#include "common/testmain.h"
#include "contacts/contact.h"
#include "contacts/exporter.h"
#include "contacts/importer.h"
#include "contacts/phonenumbers.h"
#include "store/mdlDim.h"
#include "store/singleinstance.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// The entry lines and report of importing `bytes` as one file into the installed categories.
contactimport::Result importBytes(const QByteArray &bytes, const QString &name = QStringLiteral("in.vcf")) {
    QTemporaryDir dir;
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    file.close();
    QString error;
    const QList<Contact> contacts = contactimport::readFile(file.fileName(), error);
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
    std::array<QString, 11> categories;
    const QStringList installed = DataDir::installedCategories();
    for (int s = 0; s < installed.size() && s < 11; ++s)
        categories[static_cast<size_t>(s)] = installed.at(s);
    categories[6] = QStringLiteral("7|趣味");
    return contactimport::toEntries(contacts, {}, categories, 1);
}

QProcess *runContacts(const QStringList &args) {
    auto *process = new QProcess;
    process->start(QStringLiteral(TELBORA_CONTACTS_BINARY), args);
    process->waitForFinished(30000);
    return process;
}

} // namespace

class TestContacts : public QObject {
    Q_OBJECT
private slots:
    // One card per exporter style, written as those exporters write them.
    void vcardStyles_data() {
        QTest::addColumn<QByteArray>("card");
        QTest::addColumn<QString>("line"); // empty: skipped
        QTest::newRow("Japanese phone, 2.1 Shift_JIS quoted-printable, half-width kana reading, folded address")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\n"
                          "N;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=8E=52=93=63;=91=BE=98=59;;;\r\n"
                          "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS:\xd4\xcf\xc0\xde;\xc0\xdb\xb3;;;\r\n"
                          "TEL;CELL:09012345678\r\nTEL;HOME:03-1234-5678\r\n"
                          "ADR;HOME;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:;;=93=8C=8B=9E=93=73=90=E7=91=E3=93=63="
                          "8B=E6=\r\n"
                          "=90=E7=91=E3=93=63;;;100-0001;\r\nEND:VCARD\r\n")
            << QStringLiteral("やまだたろう|山田　太郎|100-0001|東京都千代田区千代田|03-1234-5678||090-1234-5678||1|F");
        QTest::newRow("iPhone 3.0: grouped numbers, preferred first, a photo")
            << QByteArray(
                   "BEGIN:VCARD\nVERSION:3.0\nN:鈴木;花子;;;\nFN:鈴木 花子\n"
                   "X-PHONETIC-LAST-NAME:スズキ\nX-PHONETIC-FIRST-NAME:ハナコ\n"
                   "item1.TEL;type=VOICE:045 123 4567\nitem2.TEL;TYPE=VOICE,pref:+81 3 9876 5432\n"
                   "item1.X-ABLabel:other\nEMAIL;type=INTERNET;type=HOME:hanako@example.jp\n"
                   "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD\n  /2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsL\n"
                   "CATEGORIES:友人\nEND:VCARD\n")
            << QStringLiteral("すずきはなこ|鈴木　花子|||03-9876-5432|||hanako@example.jp|2|F");
        QTest::newRow("Android 2.1 UTF-8 quoted-printable phonetic names")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E4=BD=90=E8=97=A4;="
                          "E4=B8=80=E9=83=8E;;;\r\n"
                          "X-PHONETIC-FIRST-NAME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E3=81=84=E3=81=A1=E3=82=8D="
                          "E3=81=86\r\n"
                          "X-PHONETIC-LAST-NAME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E3=81=95=E3=81=A8=E3=81=86\r\n"
                          "TEL;FAX:0120123456\r\nCATEGORIES:趣味\r\nEND:VCARD\r\n")
            << QStringLiteral("さとういちろう|佐藤　一郎||||0120-123-456|||7|F");
        QTest::newRow("4.0 with SORT-AS and a tel: URI")
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nN;SORT-AS=\"たなか,じろう\":田中;次郎;;;\r\nFN:田中次郎\r\n"
                          "TEL;VALUE=uri;TYPE=\"voice,home\":tel:+81-6-1111-2222\r\nEND:VCARD\r\n")
            << QStringLiteral("たなかじろう|田中　次郎|||06-1111-2222||||1|F");
        QTest::newRow("no reading: skipped")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nN:山本;;;;\nEND:VCARD\n") << QString();
        QTest::newRow("Latin name reads as written, no VERSION, number without separators")
            << QByteArray("BEGIN:VCARD\nN:Smith;John;;;\nTEL:0312345678\nTEL;TYPE=CELL:0901234\nEND:VCARD\n")
            << QStringLiteral("Smith John|Smith　John|||03-1234-5678||||1|F");
    }
    void vcardStyles() {
        QFETCH(QByteArray, card);
        QFETCH(QString, line);
        const contactimport::Result result = importBytes(card);
        QCOMPARE(result.lines, line.isEmpty() ? QStringList() : QStringList{line});
        QCOMPARE(result.skipped, line.isEmpty() ? 1 : 0);
    }

    // Spreadsheets: UTF-8 or code page 932, the usual Japanese headers, quoting as RFC 4180.
    void csvFiles_data() {
        QTest::addColumn<QByteArray>("file");
        const QString text = QStringLiteral("フリガナ,名前,電話,住所,分類\r\n"
                                            "ヤマダ タロウ,山田　太郎,0312345678,\"東京都港区1-2,\n3階\",友人\r\n");
        QTest::newRow("code page 932 from Excel") << DataDir::sjis(text);
        QTest::newRow("UTF-8 with its mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::newRow("UTF-8, LF ends") << QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8();
    }
    void csvFiles() {
        QFETCH(QByteArray, file);
        const contactimport::Result result = importBytes(file, QStringLiteral("book.csv"));
        QCOMPARE(result.lines,
                 QStringList{QStringLiteral("やまだたろう|山田　太郎||東京都港区1-2, 3階|03-1234-5678||||2|F")});
    }

    void readings_data() {
        QTest::addColumn<QString>("phonetic");
        QTest::addColumn<QString>("stored");
        QTest::newRow("half-width katakana with voiced marks") << "ﾔﾏﾀﾞ ﾀﾛｳ"
                                                               << "やまだたろう";
        QTest::newRow("katakana") << "スズキ　ハナコ"
                                  << "すずきはなこ";
        QTest::newRow("vu stays") << "ヴィクトル"
                                  << "ヴぃくとる";
        QTest::newRow("long vowel stays") << "コーヒー"
                                          << "こーひー";
        QTest::newRow("Latin keeps single spaces") << "  Smith   John "
                                                   << "Smith John";
    }
    void readings() {
        QFETCH(QString, phonetic);
        QFETCH(QString, stored);
        QCOMPARE(contactentry::storedReading(phonetic), stored);
    }

    void numbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("stored");
        QTest::newRow("own separators kept") << "0422-12-3456" << 10 << "0422-12-3456";
        QTest::newRow("Tokyo") << "0312345678" << 10 << "03-1234-5678";
        QTest::newRow("Yokohama") << "0451234567" << 10 << "045-123-4567";
        QTest::newRow("other area") << "0123456789" << 10 << "0123-45-6789";
        QTest::newRow("free dial") << "0120123456" << 10 << "0120-123-456";
        QTest::newRow("mobile") << "09012345678" << 11 << "090-1234-5678";
        QTest::newRow("IP phone") << "05012345678" << 11 << "050-1234-5678";
        QTest::newRow("+81 mobile") << "+81 90-1234-5678" << 11 << "090-1234-5678";
        QTest::newRow("+81 (0)") << "+81 (0)3 1234 5678" << 10 << "03-1234-5678";
        QTest::newRow("full-width digits") << "０３－１２３４－５６７８" << 10 << "03-1234-5678";
        QTest::newRow("too short") << "123-4567" << 10 << "";
        QTest::newRow("mobile as a telephone") << "090-1234-5678" << 10 << "";
    }
    void numbers() {
        QFETCH(QString, text);
        QFETCH(int, digits);
        QFETCH(QString, stored);
        QCOMPARE(phonenumbers::formatted(text, digits), stored);
    }

    // A generated book exported and imported into an empty book gives its lines back.
    void roundTrip_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("encoding");
        QTest::newRow("vCard") << "vcard"
                               << "utf-8";
        QTest::newRow("CSV UTF-8") << "csv"
                                   << "utf-8";
        QTest::newRow("CSV code page 932") << "csv"
                                           << "cp932";
    }
    void roundTrip() {
        QFETCH(QString, format);
        QFETCH(QString, encoding);
        QRandomGenerator random(12);
        const QStringList families = {"山田", "佐藤", "鈴木", "Smith", "高橋"};
        const QStringList readings = {"やまだ", "さとう", "すずき", "Smith", "たかはし"};
        QStringList book;
        for (int i = 0; i < 300; ++i) {
            const int f = random.bounded(families.size());
            const QString given = QStringLiteral("名%1").arg(i);
            const QString phone = i % 3 ? QStringLiteral("03-%1-5678").arg(1000 + i) : QString();
            const QString mobile = i % 4 ? QString() : QStringLiteral("090-%1-0000").arg(1000 + i);
            book.append(QStringLiteral("%1%2|%3　%4|%5|東京都港区%2, 1;2|%6|%7|%8|%9|%10|F")
                            .arg(readings.at(f), QString::number(i), families.at(f), given,
                                 i % 2 ? QStringLiteral("105-0011") : QString(), phone,
                                 i % 5 ? QString() : QStringLiteral("03-2222-%1").arg(1000 + i), mobile,
                                 i % 2 ? QStringLiteral("p%1@example.jp").arg(i) : QString())
                            .arg(QList<int>{1, 2, 3, 4, 5, 7}.at(i % 6)));
        }
        DataDir from(book);
        QStringList categories = DataDir::installedCategories();
        categories[6] = QStringLiteral("7|趣味");
        from.writeCategories(DataDir::sjisLines(categories));
        const QString out = from.path() + QStringLiteral("out.") + format;
        std::unique_ptr<QProcess> exporting(
            runContacts({"export", "--dir", from.path(), "--format", format, "--encoding", encoding, out}));
        QCOMPARE(exporting->exitCode(), 0);

        DataDir into;
        into.writeCategories(DataDir::sjisLines(categories));
        std::unique_ptr<QProcess> dryRun(runContacts({"import", "--dry-run", "--dir", into.path(), out}));
        QVERIFY(dryRun->readAllStandardOutput().contains("300 imported"));
        QCOMPARE(into.entryBytes(), QByteArray()); // a dry run writes nothing
        std::unique_ptr<QProcess> importing(runContacts({"import", "--dir", into.path(), out}));
        QCOMPARE(importing->exitCode(), 0);
        QCOMPARE(QString::fromUtf8(importing->readAllStandardOutput()).trimmed(),
                 QStringLiteral("300 imported, 0 skipped, 0 duplicates"));
        QCOMPARE(into.entryBytes(), DataDir::sjisLines(book));
        // The same file again adds nothing.
        std::unique_ptr<QProcess> again(runContacts({"import", "--dir", into.path(), out}));
        QVERIFY(again->readAllStandardOutput().contains("0 imported, 0 skipped, 300 duplicates"));
        QCOMPARE(into.entryBytes(), DataDir::sjisLines(book));
    }

    // All or nothing, and never while the phone book is open.
    void importThatCannotWriteChangesNothing_data() {
        QTest::addColumn<bool>("bookOpen");
        QTest::newRow("entry file read-only") << false;
        QTest::newRow("phone book open in telbora") << true;
    }
    void importThatCannotWriteChangesNothing() {
        QFETCH(bool, bookOpen);
        DataDir dir({QStringLiteral("あおき|青木|||||||1|F")});
        QFile vcf(dir.path() + "new.vcf");
        QVERIFY(vcf.open(QIODevice::WriteOnly));
        vcf.write("BEGIN:VCARD\nN:Lee;Ann;;;\nEND:VCARD\nBEGIN:VCARD\nN:Kim;Bo;;;\nEND:VCARD\n");
        vcf.close();
        const QByteArray before = dir.entryBytes();
        SingleInstance telbora(dir.path());
        if (bookOpen)
            QCOMPARE(telbora.acquire(), SingleInstance::State::Acquired);
        else
            QCOMPARE(::chmod(QFile::encodeName(dir.entryPath()), 0444), 0);
        std::unique_ptr<QProcess> importing(runContacts({"import", "--dir", dir.path(), vcf.fileName()}));
        QVERIFY(importing->exitCode() != 0);
        const QString message = QString::fromUtf8(importing->readAllStandardError());
        QVERIFY2(message.contains(bookOpen ? "open in telbora" : "VexaTel.txt"), qPrintable(message));
        QCOMPARE(dir.entryBytes(), before);
    }
};

TELBORA_TEST(TestContacts)
#include "tst_contacts.moc"
