#include "common/datadir.h"
#include "common/fatstick.h"
#include "common/testmain.h"
#include "contacts/contact.h"
#include "contacts/csv.h"
#include "contacts/exporter.h"
#include "contacts/importer.h"
#include "contacts/phonenumbers.h"
#include "contacts/postalcheck.h"
#include "contacts/readings.h"
#include "store/book.h"
#include "store/cp932.h"
#include "store/linefile.h"
#include "store/mdlDim.h"
#include "store/singleinstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The entry lines and report of importing `bytes` as one file into the installed categories.
// `cardsRead`, when given, counts the contacts the file held.
contactimport::Result importBytes(const QByteArray &bytes, const QString &name = QStringLiteral("in.vcf"),
                                  const QStringList &book = {}, int *cardsRead = nullptr) {
    QTemporaryDir dir;
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    file.close();
    mdlDim::CategoryLines categories;
    const QStringList installed = DataDir::installedCategories();
    for (int s = 0; s < installed.size() && s < 11; ++s)
        categories[static_cast<size_t>(s)] = installed.at(s);
    categories[6] = QStringLiteral("7|趣味");
    contactimport::Importer importer(book, categories, 1);
    QStringList notes;
    const Failure failure = contactimport::forEachContact(
        file.fileName(),
        [&](const Contact &c) {
            importer.add(c);
            if (cardsRead)
                ++*cardsRead;
        },
        notes);
    contactimport::Result result = importer.result();
    result.report = (failure.failed() ? QStringList{describe(failure)} : notes) + result.report;
    return result;
}

QString writeVCard(const QString &path) {
    QFile vcf(path);
    if (!vcf.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    vcf.write("BEGIN:VCARD\nN:Lee;Ann;;;\nEND:VCARD\nBEGIN:VCARD\nN:Kim;Bo;;;\nEND:VCARD\n");
    return path;
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
    // Contacts as phones, mail programs, spreadsheets and address software
    // export them: each file in tests/data/contacts/ with the book lines
    // (.book) and the report lines (.report) its import must give, and where
    // there is a .people, the side data of each new entry (its number, the key
    // and the value, line ends as \n).
    void goldenFiles_data() {
        QTest::addColumn<QString>("input");
        const QDir cases(QStringLiteral(TELBORA_SOURCE_DIR "/tests/data/contacts"));
        const QStringList inputs = cases.entryList({"*.vcf", "*.csv", "*.txt"}, QDir::Files, QDir::Name);
        QVERIFY(inputs.size() >= 10);
        for (const QString &input : inputs)
            QTest::newRow(qPrintable(input)) << cases.filePath(input);
    }
    void goldenFiles() {
        QFETCH(QString, input);
        const QString stem = input.left(input.lastIndexOf(u'.'));
        int cards = 0;
        const contactimport::Result result = importBytes(readFileBytes(input), QFileInfo(input).fileName(), {}, &cards);
        // Every card in exactly one of the summary's four numbers.
        QCOMPARE(result.imported + result.updated + result.skipped + result.duplicates, cards);
        const auto expectedLines = [](const QString &path) {
            QStringList lines = QString::fromUtf8(readFileBytes(path)).split(u'\n');
            if (!lines.isEmpty() && lines.last().isEmpty())
                lines.removeLast();
            return lines;
        };
        const QStringList book = expectedLines(stem + ".book"), report = expectedLines(stem + ".report");
        QStringList people;
        for (qsizetype i = 0; i < result.lines.size(); ++i)
            for (const auto &[key, value] : people::itemsOf(result.people.value(i)))
                people.append(QStringLiteral("%1\t%2\t%3").arg(i + 1).arg(key, QString(value).replace(u'\n', "\\n")));
        if (qEnvironmentVariableIsSet("TELBORA_SHOW_GOLDEN"))
            qInfo("%s", qPrintable(result.lines.join('\n') + "\n--\n" + result.report.join('\n') + "\n--\n" +
                                   people.join('\n')));
        if (QFileInfo::exists(stem + ".people"))
            QCOMPARE(people, expectedLines(stem + ".people"));
        for (qsizetype i = 0; i < qMax(book.size(), result.lines.size()); ++i)
            QCOMPARE(result.lines.value(i), book.value(i));
        for (qsizetype i = 0; i < qMax(report.size(), result.report.size()); ++i)
            QCOMPARE(result.report.value(i), report.value(i));
    }

    // What is no contacts file is named, and nothing is imported.
    void notAContactsFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        QTest::newRow("a CSV of something else")
            << QByteArray("date,amount\n2026-01-01,300\n") << "連絡先のファイルではありません";
        QTest::newRow("a CSV that mentions begin:vcard in a cell")
            << QByteArray("date,memo\n2026-01-01,begin:vcard\n") << "連絡先のファイルではありません";
        QTest::newRow("a line over 8 MB, refused before it is read whole")
            << QByteArray("name,phone\n") + QByteArray(9 * 1024 * 1024, 'x') << "2 行目が 8 MB を超えています";
    }
    void notAContactsFile() {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QFile out(dir.filePath("x.csv"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
        out.close();
        Failure failure;
        QVERIFY(contactimport::readFile(out.fileName(), failure).isEmpty());
        QCOMPARE(failure.kind, Failure::Kind::NotContactsFile);
        const QString message = describe(failure);
        QVERIFY2(message.contains(error) && message.contains("x.csv"), qPrintable(message));
    }

    // Folded lines without a ":" cost time in proportion to their length, not its square.
    void longFoldedLineStaysLinear() {
        QByteArray card = "BEGIN:VCARD\nN:Lee;Ann;;;\nNOTE;ENCODING=QUOTED-PRINTABLE:=\n";
        for (int i = 0; i < 200000; ++i)
            card += " x\n";
        card += "END:VCARD\n";
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(importBytes(card).imported, 1);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }

    void storedReadings_data() {
        QTest::addColumn<QString>("phonetic");
        QTest::addColumn<QString>("stored");
        QTest::newRow("half-width katakana with voiced marks") << "ﾔﾏﾀﾞ ﾀﾛｳ"
                                                               << "やまだたろう";
        QTest::newRow("katakana") << "スズキ　ハナコ"
                                  << "すずきはなこ";
        QTest::newRow("vu at the start") << "ヴィクトル"
                                         << "う゛ぃくとる";
        QTest::newRow("hiragana vu") << "ゔぃくとる"
                                     << "う゛ぃくとる";
        QTest::newRow("a stored voiced mark stays") << "う゛ぃくとる"
                                                    << "う゛ぃくとる";
        QTest::newRow("small ヵ ヶ stay: no ゕ ゖ in the code page") << "イッカヵゲツ ヶ"
                                                                     << "いっかヵげつヶ";
        QTest::newRow("long vowel stays") << "コーヒー"
                                          << "こーひー";
        QTest::newRow("Latin keeps single spaces") << "  Smith   John "
                                                   << "Smith John";
    }
    void storedReadings() {
        QFETCH(QString, phonetic);
        QFETCH(QString, stored);
        QCOMPARE(contactentry::storedReading(phonetic), stored);
    }

    // Guessed readings of 300 common and hard family and given names, read as
    // names: a guess may miss, but the share right must not fall.
    void guessedReadingsOfNames_data() {
        QTest::addColumn<QString>("part");
        QTest::addColumn<double>("atLeast");
        QTest::newRow("family names") << "姓" << 0.97;
        QTest::newRow("given names") << "名" << 0.90;
        // A CSV's 姓 column with its 名 column empty, through the importer.
        QTest::newRow("family names alone in a contact") << "姓だけ" << 0.97;
    }
    void guessedReadingsOfNames() {
        QFETCH(QString, part);
        QFETCH(double, atLeast);
        const QStringList lines =
            QString::fromUtf8(readFileBytes(QStringLiteral(TELBORA_SOURCE_DIR "/tests/data/contacts/names/names.tsv")))
                .split(u'\n', Qt::SkipEmptyParts);
        int total = 0, right = 0;
        QStringList misses;
        for (const QString &line : lines) {
            const QStringList f = line.split(u'\t');
            const bool alone = part == "姓だけ";
            if (line.startsWith(u'#') || f.size() != 3 || f.at(2) != (alone ? "姓" : part))
                continue;
            ++total;
            QString guessed;
            if (alone) {
                Contact contact;
                contact.family = f.at(0);
                guessed = contactentry::toEntry(contact, {}, 1).fields.reading;
            } else {
                guessed =
                    readings::guess(f.at(0), part == "姓" ? readings::NamePart::Family : readings::NamePart::Given)
                        .reading;
            }
            QStringList accepted = f.at(1).split(u'/');
            if (alone)
                for (QString &r : accepted)
                    r = contactentry::storedReading(r);
            if (accepted.contains(guessed))
                ++right;
            else
                misses.append(f.at(0) + u'→' + guessed);
        }
        qInfo("%d of %d right; missed: %s", right, total, qPrintable(misses.join(u' ')));
        QVERIFY(total >= (part == "姓" ? 300 : 140));
        QVERIFY2(right >= atLeast * total, qPrintable(misses.join(u' ')));
    }

    // The numbering plan: the national format's groups, or the text's own when they fit.
    void numbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("stored"); // empty: not kept
        const int tel = int(phonenumbers::Slot::Telephone), mobile = int(phonenumbers::Slot::Mobile);
        QTest::newRow("own groups kept") << "0422-12-3456" << tel << "0422-12-3456";
        QTest::newRow("Tokyo") << "0312345678" << tel << "03-1234-5678";
        QTest::newRow("Musashino 0422") << "0422511234" << tel << "0422-51-1234";
        // Right after 0422: the grouping is not taken from a number that begins alike.
        QTest::newRow("Machida 042, after 0422") << "0427221234" << tel << "042-722-1234";
        QTest::newRow("Yokohama") << "0451234567" << tel << "045-123-4567";
        QTest::newRow("Hachijo 04996, five-digit area code") << "0499621234" << tel << "04996-2-1234";
        QTest::newRow("Oshima 04992") << "0499221234" << tel << "04992-2-1234";
        QTest::newRow("free dial 0120") << "0120123456" << tel << "0120-123-456";
        QTest::newRow("navi dial 0570") << "0570123456" << tel << "0570-123-456";
        QTest::newRow("mobile") << "09012345678" << mobile << "090-1234-5678";
        QTest::newRow("IP phone 050") << "05012345678" << mobile << "050-1234-5678";
        QTest::newRow("+81 mobile") << "+81 90-1234-5678" << mobile << "090-1234-5678";
        QTest::newRow("+81 (0)") << "+81 (0)3 1234 5678" << tel << "03-1234-5678";
        QTest::newRow("+81 (0) mobile, no spaces") << "+81(0)90-1234-5678" << mobile << "090-1234-5678";
        QTest::newRow("+81 with the trunk 0 kept") << "+81 03-1234-5678" << tel << "03-1234-5678";
        QTest::newRow("+81 mobile with the trunk 0 kept") << "+81 090 1234 5678" << mobile << "090-1234-5678";
        QTest::newRow("full-width digits") << "０３－１２３４－５６７８" << tel << "03-1234-5678";
        QTest::newRow("tel: URI") << "tel:+81-3-1234-5678" << tel << "03-1234-5678";
        QTest::newRow("another country") << "+49 351 1234567" << tel << "";
        QTest::newRow("too short") << "123-4567" << tel << "";
        QTest::newRow("mobile as a telephone") << "090-1234-5678" << tel << "";
    }
    void numbers() {
        QFETCH(QString, text);
        QFETCH(int, slot);
        QFETCH(QString, stored);
        const phonenumbers::Parsed parsed = phonenumbers::parse(text, phonenumbers::Slot(slot));
        QCOMPARE(parsed.stored, stored);
        QCOMPARE(parsed.problem.isEmpty(), !stored.isEmpty());
    }

    // A duplicate is the same line in every field but the mark, readings folded;
    // twins with other numbers are two people. Each duplicate is named.
    void duplicates() {
        const QString book = QStringLiteral("ヤマダ|山田　太郎|||03-1111-2222||||1|T");
        QByteArray cards;
        for (const char *tel : {"03-1111-2222", "03-3333-4444", "03-3333-4444"})
            cards +=
                QByteArray("BEGIN:VCARD\nN:山田;太郎;;;\nX-PHONETIC-LAST-NAME:やまだ\nTEL:") + tel + "\nEND:VCARD\n";
        const contactimport::Result result = importBytes(cards, QStringLiteral("in.vcf"), {book});
        QCOMPARE(result.lines, QStringList{QStringLiteral("やまだ|山田　太郎|||03-3333-4444||||1|F")});
        QCOMPARE(result.duplicates, 2);
        const QString report = result.report.join('\n');
        QCOMPARE(result.report,
                 (QStringList{"「in.vcf」1 件目：重複のため取り込みません：山田　太郎 は電話帳にあります",
                              "「in.vcf」3 件目：重複のため取り込みません：山田　太郎 は「in.vcf」2 件目と同じです"}));
    }

    // Phones keep a reading in two parts: it is split where the family
    // name's reading ends, and kept whole when that is not where it begins.
    void phoneticNameSplitForPhones_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("phonetic");
        QTest::newRow("hiragana") << "さとうみさき|佐藤　美咲|||||||1|F"
                                  << QByteArray("X-PHONETIC-LAST-NAME:さとう\r\nX-PHONETIC-FIRST-NAME:みさき\r\n");
        QTest::newRow("katakana") << "サトウミサキ|佐藤　美咲|||||||1|F"
                                  << QByteArray("X-PHONETIC-LAST-NAME:サトウ\r\nX-PHONETIC-FIRST-NAME:ミサキ\r\n");
        QTest::newRow("a nickname") << "みーちゃん|佐藤　美咲|||||||1|F"
                                    << QByteArray("X-PHONETIC-LAST-NAME:みーちゃん\r\nSORT-STRING");
        QTest::newRow("one part") << "Smith|John Smith|||||||1|F"
                                  << QByteArray("X-PHONETIC-LAST-NAME:Smith\r\nSORT-STRING");
    }
    void phoneticNameSplitForPhones() {
        QFETCH(QString, line);
        QFETCH(QByteArray, phonetic);
        const QByteArray card =
            contactexport::exportEntries({line}, mdlDim::CategoryLines{}, contactexport::Format::VCard,
                                         contactexport::Encoding::Utf8)
                .bytes;
        QVERIFY2(card.contains(phonetic), card.constData());
    }

    // CSV quoting both ways: what is written is read back the same.
    void csvQuotingRoundTrips() {
        const QStringList fields = {"a\"b", "c,d", "\"", "e\r\nf", "plain", ""};
        QCOMPARE(csv::row(fields), QStringLiteral("\"a\"\"b\",\"c,d\",\"\"\"\",\"e\r\nf\",plain,\r\n"));
        QCOMPARE(csv::parse(csv::row(fields) + csv::row(fields)), (QList<QStringList>{fields, fields}));
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
            // Some given names hold what vCard and CSV must escape or quote.
            const QString given = i % 7 ? QStringLiteral("名%1").arg(i) : QStringLiteral("名;%1,\\\"").arg(i);
            // A Latin name with one half-width space stays as it is stored.
            const QString name = families.at(f) + (families.at(f) == "Smith" ? " " : "　") + given;
            const QString phone = i % 3 ? QStringLiteral("03-%1-5678").arg(1000 + i) : QString();
            const QString mobile = i % 4 ? QString() : QStringLiteral("090-%1-0000").arg(1000 + i);
            book.append(QStringLiteral("%1%2|%3|%4|東京都港区%2, 1;2|%5|%6|%7|%8|%9|F")
                            .arg(readings.at(f), QString::number(i), name,
                                 i % 2 ? QStringLiteral("105-0011") : QString(), phone,
                                 i % 5 ? QString() : QStringLiteral("03-2222-%1").arg(1000 + i), mobile,
                                 i % 2 ? QStringLiteral("p%1@example.jp").arg(i) : QString())
                            .arg(QList<int>{1, 2, 3, 4, 5, 7, 8}.at(i % 7))); // 8 has no name
        }
        // What the editor stores and a careless reader would change.
        book += QStringList{
            QStringLiteral("スズキ|鈴木　次郎|105-0011|　東京都港区　芝公園　4-2-8 |0512-74-7410|000-665-4229|||1|F"),
            QStringLiteral("あおき |青木 ||  |1234-5678-90||||2|F"),
            QStringLiteral("ヮ|ヮさん|||||||1|F"),
            QStringLiteral("いのうえ|井上　一||||||a@example.jp;b@example.jp / c@example.jp、d@example.jp|1|F"),
            QStringLiteral("えもり|江守||||||# = ;;;;mem|1|F"),
        };
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
        QVERIFY(dryRun->readAllStandardOutput().endsWith(
            "取り込み予定 305 件、更新 0 件、見送り 0 件、重複 0 件（試しのため、電話帳には何も書いていません）\n"));
        QCOMPARE(into.entryBytes(), QByteArray()); // a dry run writes nothing
        std::unique_ptr<QProcess> importing(runContacts({"import", "--dir", into.path(), out}));
        QCOMPARE(importing->exitCode(), 0);
        QVERIFY(importing->readAllStandardOutput().endsWith(
            "メールは 53 字で入力欄（30 字）より長いため、そのまま保存しました\n取り込み 305 件、更新 0 件、見送り 0 "
            "件、重複 0 "
            "件\n"));
        const QStringList back = cp932::decode(into.entryBytes()).split(QStringLiteral("\r\n"));
        for (qsizetype i = 0; i < book.size(); ++i)
            QCOMPARE(back.value(i), book.at(i));
        QCOMPARE(into.entryBytes(), DataDir::sjisLines(book));
        // The same file again adds nothing.
        std::unique_ptr<QProcess> again(runContacts({"import", "--dir", into.path(), out}));
        QVERIFY(again->readAllStandardOutput().endsWith("取り込み 0 件、更新 0 件、見送り 0 件、重複 305 件\n"));
        QCOMPARE(into.entryBytes(), DataDir::sjisLines(book));
        if (format != "vcard")
            return;
        // Every card has a UID of its own, the same at the next export.
        const auto uids = [](const QByteArray &cards) {
            QStringList found;
            for (const QByteArray &line : cards.split('\n'))
                if (line.startsWith("UID:"))
                    found.append(QString::fromUtf8(line.trimmed()));
            return found;
        };
        const QStringList first = uids(readFileBytes(out));
        std::unique_ptr<QProcess> exportingAgain(runContacts({"export", "--force", "--dir", from.path(), out}));
        QCOMPARE(uids(readFileBytes(out)), first);
        QCOMPARE(QSet<QString>(first.begin(), first.end()).size(), book.size());
    }

    // The command on an empty folder: a dry run says what it would do and
    // makes nothing, an import makes the book; a NUL in a value cuts no report line.
    // One person stays one entry: the same person from three files of one
    // import fills the book's entry; a value differing from a filled field
    // is kept beside it, never over it; a namesake with nothing in common
    // is another person. A dry run says so and writes nothing.
    void samePersonFromThreeFilesUpdatesOneEntry() {
        DataDir dir({QStringLiteral("やまだこうじ|山田　浩二|||03-1111-2222||||1|F")});
        const auto write = [&](const QString &name, const QString &text) {
            QFile file(dir.path() + name);
            if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) != text.toUtf8().size())
                qFatal("cannot write %s", qPrintable(name));
            return file.fileName();
        };
        const QStringList files = {
            write("phone.vcf", "BEGIN:VCARD\nVERSION:3.0\nN:山田;浩二;;;\nX-PHONETIC-LAST-NAME:やまだ\n"
                               "X-PHONETIC-FIRST-NAME:こうじ\nTEL;TYPE=HOME:03-1111-2222\nTEL;TYPE=CELL:090-1234-5678\n"
                               "CATEGORIES:テニス\nEND:VCARD\n"),
            write("mail.csv", "氏名,携帯電話,メールアドレス,会社名\n山田浩二,09012345678,koji@example.jp,山田製作所\n"),
            write("later.vcf", "BEGIN:VCARD\nVERSION:3.0\nN:山田;浩二;;;\nX-PHONETIC-LAST-NAME:やまだこうじ\n"
                               "TEL;TYPE=HOME:03-9999-8888\nEMAIL:koji@example.jp\n"
                               "ADR;TYPE=HOME:;;千代田1-1;千代田区;東京都;100-0001;\nEND:VCARD\n"
                               "BEGIN:VCARD\nVERSION:3.0\nN:山田;浩二;;;\nX-PHONETIC-LAST-NAME:やまだこうじ\n"
                               "TEL;TYPE=HOME:06-5555-6666\nCATEGORIES:ゴルフ\nEND:VCARD\n")};
        const QByteArray before = dir.entryBytes();
        const contactimport::BookImport tried = contactimport::importIntoBook(testBook(), files, 1, true);
        QCOMPARE(dir.entryBytes(), before);
        QVERIFY2(tried.summary.startsWith(QStringLiteral("取り込み予定 1 件、更新 3 件、見送り 0 件、重複 0 件")),
                 qPrintable(tried.summary));

        const contactimport::BookImport done = contactimport::importIntoBook(testBook(), files, 1);
        QCOMPARE(done.summary, QStringLiteral("取り込み 1 件、更新 3 件、見送り 0 件、重複 0 件"));
        QVERIFY(testBook().load());
        QCOMPARE(testBook().entries().toList(),
                 (QStringList{"1|やまだこうじ|山田　浩二|100-0001|東京都千代田区千代田1-1|03-1111-2222||090-1234-5678|"
                              "koji@example.jp|1|F",
                              "2|やまだこうじ|山田　浩二|||06-5555-6666||||6|F"}));
        // The namesake's category is made for him; the one of a contact that only filled an entry is not.
        QCOMPARE(testBook().categoryName(5), QStringLiteral("ゴルフ"));
        QCOMPARE(testBook().categoryName(6), QString());
        QVERIFY(!testBook().attachPeople().failed());
        const people::PersonData kept = testBook().records().front().data();
        QCOMPARE(kept.phones, QStringList{"03-9999-8888"});
        QCOMPARE(kept.company, QStringLiteral("山田製作所"));
        const QString report = done.report.join(u'\n');
        for (const char *said :
             {"山田　浩二 は電話帳の人と同じ人です。携帯「090-1234-5678」を加えました",
              "メール「koji@example.jp」、会社名「山田製作所」を加えました", "ほかの電話「03-9999-8888」"})
            QVERIFY2(report.contains(QString::fromUtf8(said)), qPrintable(report));
        // The same files again bring nothing new.
        const contactimport::BookImport again = contactimport::importIntoBook(testBook(), files, 1);
        QCOMPARE(again.summary, QStringLiteral("取り込み 0 件、更新 0 件、見送り 0 件、重複 4 件"));
    }

    // Two 伊藤 彩 in the book; a card goes to the one the best evidence names
    // (a mobile or an e-mail, then a landline, then the address), a tie is
    // named and made a new entry, and a differing mobile outweighs a shared address.
    void cardMergesIntoTheRightPerson_data() {
        QTest::addColumn<QStringList>("book");
        QTest::addColumn<QString>("card"); // the lines between BEGIN and END, \n-separated
        QTest::addColumn<int>("updated");  // the book's entry that took it; -1: none
        QTest::addColumn<int>("added");
        QTest::addColumn<QString>("said");
        const QString first =
            "いとうあや|伊藤　彩|100-0001|東京都千代田区千代田1-1|03-1111-2222||090-1111-1111|a1@example.jp|1|F";
        const QString second =
            "いとうあや|伊藤　彩|100-0001|東京都千代田区千代田1-1|03-1111-2222||090-2222-2222|a2@example.jp|1|F";
        const QString name = "N:伊藤;彩;;;\nORG:さくら商事\n";
        QTest::newRow("the second's mobile, not the first's address")
            << QStringList{first, second}
            << name + "TEL;TYPE=CELL:090-2222-2222\nADR:;;千代田1-1;千代田区;東京都;100-0001;" << 1 << 0 << "";
        QTest::newRow("the second's e-mail")
            << QStringList{first, second} << name + "EMAIL:A2@example.jp" << 1 << 0 << "";
        QTest::newRow("a landline both share: a tie, named, and a new entry")
            << QStringList{first, second} << name + "TEL;TYPE=HOME:03-1111-2222" << -1 << 1
            << "がどの人か決められません";
        QTest::newRow("a shared address but another mobile: another person")
            << QStringList{first} << name + "TEL;TYPE=CELL:090-3333-3333\nADR:;;千代田1-1;千代田区;東京都;100-0001;"
            << -1 << 1 << "";
        QTest::newRow("a landline beats an address")
            << QStringList{"いとうあや|伊藤　彩|100-0001|東京都千代田区千代田1-1|||||1|F",
                           "いとうあや|伊藤　彩|||03-1111-2222||||1|F"}
            << name + "TEL;TYPE=HOME:03-1111-2222\nADR:;;千代田1-1;千代田区;東京都;100-0001;" << 1 << 0 << "";
        QTest::newRow("the same name and reading, no number: the same person")
            << QStringList{"いとうあや|伊藤　彩|||||||1|F"}
            << name + "X-PHONETIC-LAST-NAME:いとう\nX-PHONETIC-FIRST-NAME:あや\nEMAIL:aya@example.jp" << 0 << 0 << "";
        QTest::newRow("the same name and reading, another e-mail: another person")
            << QStringList{"いとうあや|伊藤　彩||||||a1@example.jp|1|F"}
            << name + "X-PHONETIC-LAST-NAME:いとう\nX-PHONETIC-FIRST-NAME:あや\nEMAIL:a9@example.jp" << -1 << 1 << "";
        QTest::newRow("two cards of one person in one export: one entry")
            << QStringList{}
            << name + "TEL;TYPE=CELL:090-4444-4444\nEND:VCARD\nBEGIN:VCARD\nN:伊藤;彩;;;\nTEL;TYPE=CELL:090-4444-"
                      "4444\nEMAIL:aya@example.jp"
            << -1 << 1 << "";
    }
    void cardMergesIntoTheRightPerson() {
        QFETCH(QStringList, book);
        QFETCH(QString, card);
        QFETCH(int, updated);
        QFETCH(int, added);
        QFETCH(QString, said);
        const QByteArray vcf = "BEGIN:VCARD\nVERSION:3.0\n" + card.toUtf8() + "\nEND:VCARD\n";
        const contactimport::Result result = importBytes(vcf, QStringLiteral("in.vcf"), book);
        const QString report = result.report.join(u'\n');
        QVERIFY2(result.updates.size() == (updated < 0 ? 0 : 1), qPrintable(report));
        if (updated >= 0)
            QCOMPARE(result.updates.first().entry, updated);
        QVERIFY2(result.lines.size() == added, qPrintable(result.lines.join(u'\n') + u'\n' + report));
        if (!said.isEmpty())
            QVERIFY2(report.contains(said), qPrintable(report));
    }

    void commandOnAnEmptyFolder() {
        QTemporaryDir dir;
        QFile csv(dir.filePath("in.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        static const char withNul[] = "氏名,ふりがな,電話\n山田 花子,やまだはなこ,03-1234-5678\0 9\n";
        csv.write(withNul, sizeof withNul - 1);
        csv.close();
        const QString book = dir.filePath("book");
        QVERIFY(QDir().mkdir(book));
        std::unique_ptr<QProcess> dryRun(runContacts({"import", "--dry-run", "--dir", book, csv.fileName()}));
        QCOMPARE(dryRun->exitCode(), 0);
        QCOMPARE(
            QString::fromUtf8(dryRun->readAllStandardOutput()).split(u'\n'),
            (QStringList{
                QStringLiteral("電話帳はまだありません（試しのため作りません）：") + book,
                QStringLiteral(
                    "「in.csv」2 行目：電話番号「03-1234-5678\u2400 9」は取り込みません：電話番号ではありません"),
                QStringLiteral("取り込む予定：やまだはなこ|山田　花子|||||||1|F"),
                QStringLiteral(
                    "取り込み予定 1 件、更新 0 件、見送り 0 件、重複 0 件（試しのため、電話帳には何も書いていません）"),
                QString()}));
        QVERIFY(QDir(book).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)); // a dry run makes nothing
        std::unique_ptr<QProcess> import(runContacts({"import", "--dir", book, csv.fileName()}));
        QCOMPARE(import->exitCode(), 0);
        QVERIFY(import->readAllStandardOutput().startsWith(("電話帳を新しく作りました：" + book).toUtf8()));
        QCOMPARE(readFileBytes(book + "/VexaTel.txt"), DataDir::sjisLines({"やまだはなこ|山田　花子|||||||1|F"}));
        QVERIFY(QFileInfo::exists(book + "/VexaType.txt"));
    }

    // A book on a USB stick (FAT: no hard links, no permission bits): an
    // import into an empty folder makes it, an export makes a new file, and a
    // UTF-8 re-save is converted with the original kept.
    void bookOnAFatStick() {
        FatStick stick;
        if (!stick.mounted())
            QSKIP(qPrintable(stick.why()));
        const QString book = stick.path() + QStringLiteral("/book");
        QVERIFY(QDir().mkdir(book));
        QTemporaryDir elsewhere;
        std::unique_ptr<QProcess> import(
            runContacts({"import", "--dir", book, writeVCard(elsewhere.filePath("two.vcf"))}));
        QCOMPARE(import->exitCode(), 0);
        QVERIFY(readFileBytes(book + "/VexaTel.txt").contains("Lee"));
        const QString out = stick.path() + QStringLiteral("/out.vcf");
        std::unique_ptr<QProcess> exported(runContacts({"export", "--dir", book, out}));
        QCOMPARE(exported->exitCode(), 0);
        QVERIFY(readFileBytes(out).contains("BEGIN:VCARD"));
        const QByteArray cp932 = readFileBytes(book + "/VexaTel.txt") + DataDir::sjisLines({"やまだ|山田|||||||1|F"});
        {
            QFile entries(book + "/VexaTel.txt");
            QVERIFY(entries.open(QIODevice::WriteOnly));
            entries.write(iconvBytes(cp932, "CP932", "UTF-8"));
        }
        std::unique_ptr<QProcess> converted(runContacts({"export", "--convert", "--force", "--dir", book, out}));
        QCOMPARE(converted->exitCode(), 0);
        QCOMPARE(readFileBytes(book + "/VexaTel.txt"), cp932);
        QCOMPARE(QDir(book).entryList({"VexaTel.txt.utf8-*"}).size(), 1);
    }

    // An export never harms the book or a file it was not told to replace.
    void exportRefusals_data() {
        QTest::addColumn<QString>("out");  // relative to the book's folder
        QTest::addColumn<QString>("made"); // what is there before: "", "file", "link"
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("message");
        QTest::newRow("the book's own entry file, even with --force") << "VexaTel.txt"
                                                                      << "" << true << "電話帳のファイル";
        QTest::newRow("the category file") << "VexaType.txt"
                                           << "" << false << "電話帳のファイル";
        QTest::newRow("an existing file without --force") << "out.csv"
                                                          << "file" << false << "--force";
        QTest::newRow("a link, even with --force") << "out.csv"
                                                   << "link" << true << "シンボリックリンク";
        QTest::newRow("the entry file under another name (hard link)") << "same-file.csv"
                                                                       << "hard link" << true << "電話帳のファイル";
        QTest::newRow("a missing folder") << "no/such/out.csv"
                                          << "" << false << "を保存できません";
    }
    void exportRefusals() {
        QFETCH(QString, out);
        QFETCH(QString, made);
        QFETCH(bool, force);
        QFETCH(QString, message);
        DataDir dir({QStringLiteral("あおき|青木|||||||1|F")});
        QTemporaryDir elsewhere;
        const QString target = dir.path() + out;
        if (made == "file") {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep me");
        }
        if (made == "link")
            QVERIFY(QFile::link(dir.entryPath(), target));
        if (made == "hard link")
            QCOMPARE(::link(QFile::encodeName(dir.entryPath()).constData(), QFile::encodeName(target).constData()), 0);
        const QByteArray entries = dir.entryBytes(), categories = dir.categoryBytes();
        QStringList args{"export", "--dir", dir.path(), "--format", "csv", target};
        if (force)
            args.insert(1, "--force");
        std::unique_ptr<QProcess> exporting(runContacts(args));
        QVERIFY(exporting->exitCode() != 0);
        const QString said = QString::fromUtf8(exporting->readAllStandardError());
        QVERIFY2(said.contains(message), qPrintable(said));
        QCOMPARE(dir.entryBytes(), entries);
        QCOMPARE(dir.categoryBytes(), categories);
        if (made == "file")
            QCOMPARE(readFileBytes(target), QByteArray("keep me"));
        QVERIFY(!QFileInfo::exists(target + "$"));
    }

    // Written whole or not at all: a full disk leaves nothing, or the old file as it was.
    void exportOnAFullDisk() {
        if (::geteuid() != 0)
            QSKIP("mounting a small tmpfs needs root");
        QTemporaryDir small;
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=16k", "tmpfs", small.path()}) != 0)
            QSKIP("tmpfs cannot be mounted here");
        QStringList book;
        for (int i = 0; i < 400; ++i)
            book.append(QStringLiteral("あ%1|名前%1|||03-1234-%2||||1|F").arg(i).arg(1000 + i));
        DataDir dir(book);
        const QString out = small.filePath("out.vcf");
        {
            QFile old(out);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old export");
        }
        std::unique_ptr<QProcess> exporting(runContacts({"export", "--force", "--dir", dir.path(), out}));
        const QString said = QString::fromUtf8(exporting->readAllStandardError());
        const QByteArray after = readFileBytes(out);
        const bool leftover = QFileInfo::exists(out + "$");
        QProcess::execute("umount", {small.path()});
        QVERIFY(exporting->exitCode() != 0);
        QVERIFY2(said.contains("ディスクの空きが足りません"), qPrintable(said));
        QCOMPARE(after, QByteArray("old export"));
        QVERIFY(!leftover);
    }

    // A private book gives a private export; what code page 932 cannot write is an error naming the entry.
    void exportKeepsPrivacyAndRefusesWhatItCannotWrite() {
        DataDir dir({QStringLiteral("あおき|青木|||||||1|F")});
        QCOMPARE(::chmod(QFile::encodeName(dir.entryPath()), 0600), 0);
        const QString out = dir.path() + "out.csv";
        std::unique_ptr<QProcess> exporting(runContacts({"export", "--dir", dir.path(), "--format", "csv", out}));
        QCOMPARE(exporting->exitCode(), 0);
        QCOMPARE(QFileInfo(out).permissions() & 0x0077, 0);
        // A file of the user's named like the export's copy is left alone.
        {
            QFile mine(out + "$");
            QVERIFY(mine.open(QIODevice::WriteOnly));
            mine.write("mine");
        }
        std::unique_ptr<QProcess> again(
            runContacts({"export", "--force", "--dir", dir.path(), "--format", "csv", out}));
        QCOMPARE(again->exitCode(), 0);
        QCOMPARE(readFileBytes(out + "$"), QByteArray("mine"));
        QVERIFY(!QFileInfo::exists(out + "$1"));

        // Line 2's name holds a byte pair that is no character (81 39).
        dir.writeEntries(DataDir::sjisLines({QStringLiteral("あおき|青木|||||||1|F")}) +
                         QByteArray("\x82\xa0|\x81\x39|||||||1|F\r\n"));
        const QString cp932 = dir.path() + "out932.csv";
        std::unique_ptr<QProcess> refused(
            runContacts({"export", "--dir", dir.path(), "--format", "csv", "--encoding", "cp932", cp932}));
        QVERIFY(refused->exitCode() != 0);
        QVERIFY2(QString::fromUtf8(refused->readAllStandardError()).contains("2 件目"), "the entry is named");
        QVERIFY(!QFileInfo::exists(cp932));
    }

    // All or nothing, and never while another program holds the book: it is named.
    void importThatCannotWriteChangesNothing_data() {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<QString>("message");
        QTest::newRow("entry file read-only") << ""
                                              << "読み取り専用";
        QTest::newRow("book open in telbora") << "telbora"
                                              << "telbora で開いています";
        QTest::newRow("book held by another import") << "telbora-contacts"
                                                     << "telbora-contacts が";
    }
    void importThatCannotWriteChangesNothing() {
        QFETCH(QString, holder);
        QFETCH(QString, message);
        DataDir dir({QStringLiteral("あおき|青木|||||||1|F")});
        const QString vcf = writeVCard(dir.path() + "new.vcf");
        const QByteArray before = dir.entryBytes();
        SingleInstance other(dir.path(), holder);
        if (!holder.isEmpty())
            QCOMPARE(other.acquire(), SingleInstance::State::Acquired);
        else
            QCOMPARE(::chmod(QFile::encodeName(dir.entryPath()), 0444), 0);
        std::unique_ptr<QProcess> importing(runContacts({"import", "--dir", dir.path(), vcf}));
        QVERIFY(importing->exitCode() != 0);
        const QString said = QString::fromUtf8(importing->readAllStandardError());
        QVERIFY2(said.contains(message), qPrintable(said));
        QCOMPARE(dir.entryBytes(), before);
    }

    // A book a text editor re-saved as UTF-8: an import is refused, named,
    // until --convert; an export only reads, so it reads a converted copy and
    // leaves the book's folder as it was.
    void bookInAnotherEncoding() {
        DataDir dir;
        const QByteArray utf8 =
            iconvBytes(DataDir::sjisLines({QStringLiteral("あおき|青木|||||||1|F")}), "CP932", "UTF-8");
        dir.writeEntries(utf8);
        const QString vcf = writeVCard(dir.path() + "new.vcf");
        const QStringList folderBefore = QDir(dir.path()).entryList(QDir::Files);
        std::unique_ptr<QProcess> refused(runContacts({"import", "--dir", dir.path(), vcf}));
        QVERIFY(refused->exitCode() != 0);
        const QString said = QString::fromUtf8(refused->readAllStandardError());
        QVERIFY2(said.contains("VexaTel.txt は UTF-8") && said.contains("--convert"), qPrintable(said));
        QCOMPARE(dir.entryBytes(), utf8);
        const QString out = QTemporaryDir().path() + "-out.vcf";
        std::unique_ptr<QProcess> exported(runContacts({"export", "--dir", dir.path(), out}));
        QCOMPARE(exported->exitCode(), 0);
        QVERIFY(QString::fromUtf8(exported->readAllStandardError()).contains("変換したものから読みます"));
        QVERIFY(QString::fromUtf8(readFileBytes(out)).contains(QStringLiteral("青木")));
        QFile::remove(out);
        QCOMPARE(dir.entryBytes(), utf8);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), folderBefore);

        // Said on standard error, so that an export to standard output would stay the export alone.
        std::unique_ptr<QProcess> converting(runContacts({"import", "--convert", "--dir", dir.path(), vcf}));
        QCOMPARE(converting->exitCode(), 0);
        QVERIFY(QString::fromUtf8(converting->readAllStandardError()).contains("Shift_JIS に戻しました"));
        QVERIFY(!QString::fromUtf8(converting->readAllStandardOutput()).contains("Shift_JIS"));
        const QStringList kept = QDir(dir.path()).entryList({"VexaTel.txt.utf8-*"});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readFileBytes(dir.path() + kept.first()), utf8);
        QVERIFY(dir.entryBytes().startsWith(DataDir::sjisLines({QStringLiteral("あおき|青木|||||||1|F")})));
        QCOMPARE(linefile::splitLines(dir.entryBytes()).size(), 3);
    }

    // On a read-only mount: export works, import says why it cannot write.
    void readOnlyBook() {
        if (::geteuid() != 0)
            QSKIP("a read-only mount needs root; file modes are tested without it");
        QTemporaryDir mountPoint;
        const QByteArray point = QFile::encodeName(mountPoint.path());
        QCOMPARE(::mount("tmpfs", point.constData(), "tmpfs", 0, "size=1m"), 0);
        const auto unmount = qScopeGuard([&] { ::umount2(point.constData(), MNT_DETACH); });
        const QString book = mountPoint.path() + "/";
        const QByteArray entries = DataDir::sjisLines({QStringLiteral("あおき|青木|||||||1|F")});
        QFile file(book + "VexaTel.txt");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(entries);
        file.close();
        QFile categories(book + "VexaType.txt");
        QVERIFY(categories.open(QIODevice::WriteOnly));
        categories.write(DataDir::sjisLines(DataDir::installedCategories()));
        categories.close();
        QCOMPARE(::mount(nullptr, point.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);

        QTemporaryDir out;
        std::unique_ptr<QProcess> exporting(runContacts({"export", "--dir", book, out.filePath("book.vcf")}));
        QCOMPARE(exporting->exitCode(), 0);
        QVERIFY(readFileBytes(out.filePath("book.vcf")).contains("FN:青木"));
        std::unique_ptr<QProcess> importing(
            runContacts({"import", "--dir", book, writeVCard(out.filePath("new.vcf"))}));
        QVERIFY(importing->exitCode() != 0);
        const QString said = QString::fromUtf8(importing->readAllStandardError());
        QVERIFY2(said.contains("読み取り専用") && said.contains("読み取り専用の場所です"), qPrintable(said));
        QCOMPARE(readFileBytes(book + "VexaTel.txt"), entries);
    }

    // A kill while the import's working copy is being written, made certain
    // by strace killing the program at its first fsync: the next start
    // removes the copy the killed one noted, and keeps a user's file.
    void killedRewriteLeavesNoWorkingCopy() {
        if (QStandardPaths::findExecutable("strace").isEmpty())
            QSKIP("strace is installed by scripts/install-deps.sh");
        DataDir dir({QStringLiteral("あおき|青木|||||||1|F")});
        // The side file made first, so that the import's first fsync is the entry file's copy.
        {
            Book book(dir.path());
            QVERIFY(book.load());
            QVERIFY(!book.attachPeople().failed());
            QVERIFY(QFileInfo::exists(book.peoplePath()));
        }
        const QByteArray before = dir.entryBytes();
        QFile usersOwn(dir.categoryPath() + "$");
        QVERIFY(usersOwn.open(QIODevice::WriteOnly));
        usersOwn.write("mine");
        usersOwn.close();
        QProcess killed;
        killed.start("strace", {"-o", "/dev/null", "-e", "trace=fsync", "-e", "inject=fsync:signal=KILL",
                                QStringLiteral(TELBORA_CONTACTS_BINARY), "import", "--dir", dir.path(),
                                writeVCard(dir.path() + "new.vcf")});
        QVERIFY(killed.waitForFinished(30000));
        if (!QFileInfo::exists(dir.entryPath() + "$"))
            QSKIP("strace could not stop the program here (ptrace not permitted)");
        QCOMPARE(dir.entryBytes(), before);

        std::unique_ptr<QProcess> next(runContacts({"export", "--dir", dir.path(), "-"}));
        QCOMPARE(next->exitCode(), 0);
        QVERIFY(!QFileInfo::exists(dir.entryPath() + "$"));
        QCOMPARE(readFileBytes(dir.categoryPath() + "$"), QByteArray("mine"));
        QCOMPARE(dir.entryBytes(), before);
    }

    // telbora-contacts check: postal code and address against Japan Post's table.
    void postalCheck_data() {
        QTest::addColumn<QString>("postal");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("problem");
        QTest::newRow("agree") << "100-0001"
                               << "東京都千代田区千代田１－１"
                               << "";
        QTest::newRow("agree without prefecture") << "100-0001"
                                                  << "千代田区千代田１"
                                                  << "";
        QTest::newRow("a full-width code") << "１００－０００１"
                                           << "東京都千代田区千代田１"
                                           << "";
        QTest::newRow("a code of several towns") << "987-0403"
                                                 << "宮城県登米市南方町王塚１"
                                                 << "";
        QTest::newRow("disagree") << "100-0001"
                                  << "北海道札幌市北区北十条西"
                                  << "郵便番号 100-0001 は東京都千代田区千代田の番号で、住所と合いません";
        QTest::newRow("no code, address unique") << ""
                                                 << "東京都千代田区千代田"
                                                 << "郵便番号がありません（住所からは 100-0001）";
        QTest::newRow("no code, address ambiguous") << ""
                                                    << "北海道札幌市北区北十条西"
                                                    << "郵便番号がありません";
        QTest::newRow("no address") << "100-0001"
                                    << ""
                                    << "住所がありません（100-0001 は東京都千代田区千代田）";
        QTest::newRow("neither") << ""
                                 << ""
                                 << "郵便番号も住所もありません";
        QTest::newRow("unknown code") << "000-0001"
                                      << "東京都"
                                      << "郵便番号 000-0001 は日本郵便の表にありません";
    }
    void postalCheck() {
        QFETCH(QString, postal);
        QFETCH(QString, address);
        QFETCH(QString, problem);
        const postalcodes::Table *table = postalcodes::Table::installed();
        QVERIFY2(table, qPrintable(postalcodes::Table::installedPath()));
        const QString line = QStringLiteral("よみ|名|%1|%2|||||1|F").arg(postal, address);
        QCOMPARE(postalcheck::problemOf(line, *table), problem);
    }
    // A truth set of codes and addresses written as people write them: check
    // flags the wrong codes and leaves the right ones.
    void postalCheckTruthSet() {
        const postalcodes::Table *table = postalcodes::Table::installed();
        QVERIFY2(table, qPrintable(postalcodes::Table::installedPath()));
        QFile file(QStringLiteral(TELBORA_SOURCE_DIR "/tests/data/contacts/postal-check.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        int flaggedWrong = 0, flaggedRight = 0, missedWrong = 0, rows = 0;
        for (const QString &row : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            if (row.startsWith(u'#'))
                continue;
            const QStringList f = row.split(u'\t');
            QCOMPARE(f.size(), 4);
            ++rows;
            const bool wrong = f[0] == QStringLiteral("合わない");
            const QString problem =
                postalcheck::problemOf(QStringLiteral("よみ|名|%1|%2|||||1|F").arg(f[1], f[2]), *table);
            if (!problem.isEmpty() && wrong)
                ++flaggedWrong;
            else if (!problem.isEmpty())
                ++flaggedRight, qInfo("flagged a right code: %s (%s)", qPrintable(row), qPrintable(problem));
            else if (wrong)
                ++missedWrong, qInfo("missed a wrong code: %s", qPrintable(row));
        }
        QVERIFY(rows >= 50);
        const double precision = double(flaggedWrong) / (flaggedWrong + flaggedRight);
        const double recall = double(flaggedWrong) / (flaggedWrong + missedWrong);
        qInfo("check on %d entries: precision %.3f, recall %.3f", rows, precision, recall);
        QVERIFY(precision >= 0.95);
        QVERIFY(recall >= 0.95);
    }
    void checkCommandListsEntries() {
        DataDir book({"あ|甲|100-0001|東京都千代田区千代田|||||1|F", "い|乙|100-0001|北海道札幌市北区|||||2|F",
                      "う|丙||||||||1|F"});
        std::unique_ptr<QProcess> check(runContacts({"check", "--dir", book.path()}));
        QCOMPARE(check->exitCode(), 0);
        QCOMPARE(QString::fromUtf8(check->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{"2 行目 乙：郵便番号 100-0001 は東京都千代田区千代田の番号で、住所と合いません",
                              "3 行目 丙：郵便番号も住所もありません", "2 件"}));
    }
};

TELBORA_TEST(TestContacts)
#include "tst_contacts.moc"
