#include "common/datadir.h"
#include "common/testmain.h"
#include "contacts/contact.h"
#include "contacts/csv.h"
#include "contacts/readings.h"
#include "contacts/exporter.h"
#include "contacts/importer.h"
#include "contacts/phonenumbers.h"
#include "store/mdlDim.h"
#include "store/singleinstance.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The entry lines and report of importing `bytes` as one file into the installed categories.
contactimport::Result importBytes(const QByteArray &bytes, const QString &name = QStringLiteral("in.vcf"),
                                  const QStringList &book = {}) {
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
    return contactimport::toEntries(contacts, book, categories, 1);
}

// The text as a UTF-16 file with its byte-order mark, as some spreadsheets save.
QByteArray utf16le(const QString &text) {
    return QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
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
    // `report`: a line the report must hold (empty: none asked).
    void vcardStyles_data() {
        QTest::addColumn<QByteArray>("card");
        QTest::addColumn<QString>("line"); // empty: skipped
        QTest::addColumn<QString>("report");
        QTest::newRow("Japanese phone, 2.1 Shift_JIS quoted-printable, half-width kana reading, folded address")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\n"
                          "N;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=8E=52=93=63;=91=BE=98=59;;;\r\n"
                          "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS:\xd4\xcf\xc0\xde;\xc0\xdb\xb3;;;\r\n"
                          "TEL;CELL:09012345678\r\nTEL;HOME:03-1234-5678\r\n"
                          "ADR;HOME;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:;;=93=8C=8B=9E=93=73=90=E7=91=E3=93=63="
                          "8B=E6=\r\n"
                          "=90=E7=91=E3=93=63;;;100-0001;\r\nEND:VCARD\r\n")
            << QStringLiteral("やまだたろう|山田　太郎|100-0001|東京都千代田区千代田|03-1234-5678||090-1234-5678||1|F")
            << QString();
        QTest::newRow("docomo: an empty TEL;CELL first, a group name")
            << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Lee;Ann\r\nSOUND;X-IRMC-N:Lee;Ann;;;\r\nTEL;CELL:\r\n"
                          "TEL;CELL:090-1111-2222\r\nX-GN:友人\r\nEND:VCARD\r\n")
            << QStringLiteral("Lee Ann|Lee　Ann|||||090-1111-2222||2|F") << QString();
        QTest::newRow("iPhone: seven numbers, the preferred and the kinds decide, the rest named")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nN:鈴木;花子;;;\nFN:鈴木 花子\n"
                          "X-PHONETIC-LAST-NAME:スズキ\nX-PHONETIC-FIRST-NAME:ハナコ\n"
                          "item1.TEL;type=VOICE:045 123 4567\nTEL;TYPE=WORK,VOICE:0422-51-1234\n"
                          "item2.TEL;TYPE=VOICE,pref:+81 3 9876 5432\nTEL;TYPE=CELL:080 1111 2222\n"
                          "TEL;TYPE=IPHONE,CELL,pref:090-3333-4444\nTEL;TYPE=HOME,FAX:03-5555-6666\n"
                          "TEL;TYPE=CELL:+49 351 1234567\nitem1.X-ABLabel:other\n"
                          "EMAIL;type=INTERNET;type=HOME:hanako@example.jp\nEMAIL;type=WORK:h@example.com\n"
                          "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD\n  /2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsL\n"
                          "CATEGORIES:友人\nEND:VCARD\n")
            << QStringLiteral("すずきはなこ|鈴木　花子|||03-9876-5432|03-5555-6666|090-3333-4444|hanako@example.jp|2|F")
            << QStringLiteral("\"+49 351 1234567\" left out: a number of another country (+49)");
        QTest::newRow("kanji only: the reading guessed")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nN:山本;健二;;;\nFN:山本 健二\nEND:VCARD\n")
            << QStringLiteral("やまもとけんじ|山本　健二|||||||1|F") << QStringLiteral("reading guessed: やまもとけんじ");
        QTest::newRow("company card: ORG and its reading")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nORG:株式会社テルボラ;営業部\nX-PHONETIC-ORG:テルボラ\n"
                          "TEL;TYPE=WORK:0120123456\nEND:VCARD\n")
            << QStringLiteral("てるぼら|株式会社テルボラ|||0120-123-456||||1|F") << QString();
        QTest::newRow("4.0: SORT-AS with \";\", a tel: URI with an extension, ALTID variants")
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nN;ALTID=1;LANGUAGE=en:Tanaka;Jiro;;;\r\n"
                          "N;ALTID=1;LANGUAGE=ja;SORT-AS=\"たなか;じろう\":田中;次郎;;;\r\nFN:田中次郎\r\n"
                          "TEL;VALUE=uri;TYPE=\"voice,home\":tel:+81-6-1111-2222;ext=12\r\nEND:VCARD\r\n")
            << QStringLiteral("たなかじろう|田中　次郎|||06-1111-2222||||1|F")
            << QStringLiteral("telephone \"tel:+81-6-1111-2222;ext=12\": extension 12 left out");
        QTest::newRow("Latin phonetic parts joined with a space")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nN:Dow;Jon;;;\nX-PHONETIC-LAST-NAME:Dow\n"
                          "X-PHONETIC-FIRST-NAME:Jon\nEND:VCARD\n")
            << QStringLiteral("Dow Jon|Dow　Jon|||||||1|F") << QString();
        QTest::newRow("vu reading, an accented name, a base64 N")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nN;ENCODING=BASE64:") +
                   QStringLiteral("Müller;Jürgen;;;").toUtf8().toBase64() +
                   QByteArray("\nX-PHONETIC-LAST-NAME:ヴェルナー\nEND:VCARD\n")
            << QStringLiteral("う゛ぇるなー|Muller　Jurgen|||||||1|F")
            << QStringLiteral("name \"Müller　Jürgen\" written as \"Muller　Jurgen\": accents the phone book cannot store");
        QTest::newRow("a character the code page lacks: 𠮷 is 吉")
            << QByteArray("BEGIN:VCARD\nVERSION:3.0\nN:𠮷田;一;;;\nX-PHONETIC-LAST-NAME:よしだ\nEND:VCARD\n")
            << QStringLiteral("よしだ|吉田　一|||||||1|F") << QString();
        QTest::newRow("UTF-16 file") << utf16le(QStringLiteral("BEGIN:VCARD\r\nN:Lee;Ann;;;\r\nEND:VCARD\r\n"))
                                     << QStringLiteral("Lee Ann|Lee　Ann|||||||1|F") << QString();
        QTest::newRow("an unknown group goes to the default and is named")
            << QByteArray("BEGIN:VCARD\nN:Kim;Bo;;;\nCATEGORIES:Golf\nEND:VCARD\n")
            << QStringLiteral("Kim Bo|Kim　Bo|||||||1|F")
            << QStringLiteral("category \"Golf\" is none of the book's: put in category 1");
    }
    void vcardStyles() {
        QFETCH(QByteArray, card);
        QFETCH(QString, line);
        QFETCH(QString, report);
        const contactimport::Result result = importBytes(card);
        QCOMPARE(result.lines, line.isEmpty() ? QStringList() : QStringList{line});
        QCOMPARE(result.skipped, line.isEmpty() ? 1 : 0);
        if (!report.isEmpty())
            QVERIFY2(result.report.join('\n').contains(report), qPrintable(result.report.join('\n')));
    }

    // The CSV files of the common exporters, by their headers. Each gives one
    // contact; the other values are named in the report.
    void exporterFiles_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("report");
        QTest::newRow("Google Contacts, current")
            << QStringLiteral("First Name,Middle Name,Last Name,Phonetic First Name,Phonetic Middle Name,Phonetic "
                              "Last Name,Organization Name,Labels,E-mail 1 - Label,E-mail 1 - Value,Phone 1 - "
                              "Label,Phone 1 - Value,Phone 2 - Label,Phone 2 - Value,Address 1 - Label,Address 1 - "
                              "Formatted,Address 1 - Street,Address 1 - City,Address 1 - PO Box,Address 1 - Region,"
                              "Address 1 - Postal Code,Address 1 - Extended Address\n"
                              "太郎,,山田,たろう,,やまだ,,* myContacts ::: 友人,* Home,taro@example.jp ::: t2@example.jp,"
                              "Mobile,090-1234-5678,Home,03-1234-5678 ::: 03-8765-4321,Home,,千代田1-1,千代田区,,東京都,"
                              "100-0001,テルボラビル\n")
                   .toUtf8()
            << QStringLiteral("やまだたろう|山田　太郎|100-0001|東京都千代田区千代田1-1テルボラビル|03-1234-5678||090-1234-"
                              "5678|taro@example.jp|2|F")
            << QStringList{"number \"03-8765-4321\" left out: a second number in one cell",
                           "e-mail \"t2@example.jp\" left out: a second e-mail in one cell"};
        QTest::newRow("Google Contacts, older")
            << QStringLiteral("Name,Given Name,Family Name,Yomi Name,Given Name Yomi,Family Name Yomi,Group "
                              "Membership,E-mail 1 - Type,E-mail 1 - Value,Phone 1 - Type,Phone 1 - Value,Phone 2 - "
                              "Type,Phone 2 - Value\n"
                              "佐藤 花子,花子,佐藤,,ハナコ,サトウ,* My Contacts ::: お店,* Home,hanako@example.jp,Work,"
                              "06-1111-2222,Work Fax,06-1111-3333\n")
                   .toUtf8()
            << QStringLiteral("さとうはなこ|佐藤　花子|||06-1111-2222|06-1111-3333||hanako@example.jp|3|F") << QStringList();
        QTest::newRow("Outlook, Japanese, code page 932")
            << DataDir::sjis(QStringLiteral(
                   "姓,名,姓フリガナ,名フリガナ,会社名,自宅電話,会社電話,携帯電話,自宅 FAX,番地 (自宅),市町村 (自宅),"
                   "都道府県 (自宅),郵便番号 (自宅),番地 (会社),電子メール アドレス,分類項目\r\n"
                   "鈴木,一郎,スズキ,イチロウ,テルボラ,045-123-4567,045-765-4321,080-1111-2222,045-123-9999,"
                   "中区1-2,横浜市,神奈川県,231-0001,本町3,ichiro@example.jp,仕事;友人\r\n"))
            << QStringLiteral("すずきいちろう|鈴木　一郎|231-0001|神奈川県横浜市中区1-2|045-123-4567|045-123-9999|080-"
                              "1111-2222|ichiro@example.jp|4|F")
            << QStringList{"telephone \"045-765-4321\" left out: another telephone is kept",
                           "address \"本町3\" left out: no slot for a second address"};
        QTest::newRow("Outlook, English")
            << QStringLiteral("First Name,Last Name,Company,Home Phone,Business Phone,Mobile Phone,Home Fax,Business "
                              "Fax,Home Street,Home City,Home State,Home Postal Code,E-mail Address,Categories\r\n"
                              "Ann,Lee,,,03-3333-4444,,,03-3333-5555,,,,,ann@example.com,病院\r\n")
                   .toUtf8()
            << QStringLiteral("Lee Ann|Lee　Ann|||03-3333-4444|03-3333-5555||ann@example.com|5|F") << QStringList();
        QTest::newRow("Thunderbird")
            << QStringLiteral("First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Work "
                              "Phone,Home Phone,Fax Number,Pager Number,Mobile Number,Home Address,Home Address 2,Home "
                              "City,Home State,Home ZipCode\n"
                              "Bo,Kim,Bo Kim,,bo@example.com,bo2@example.com,,011-222-3333,,,,大通西4,,札幌市,北海道,"
                              "0600042\n")
                   .toUtf8()
            << QStringLiteral("Kim Bo|Kim　Bo|060-0042|北海道札幌市大通西4|011-222-3333|||bo@example.com|1|F")
            << QStringList{"e-mail \"bo2@example.com\" left out: another e-mail is kept"};
        QTest::newRow("Japanese spreadsheet, UTF-16 with its mark")
            << utf16le(QStringLiteral(
                   "氏名,フリガナ,〒,都道府県,市区町村,番地,建物名,電話,携帯,メール,グループ\r\n"
                   "木村 彩,キムラ アヤ,9800811,宮城県,仙台市青葉区,一番町4-1,\"ハイツ\"\"青葉\"\"\","
                   "022-123-4567 / 022-123-0000,070-1234-5678,aya@example.jp,趣味\r\n,,,,\r\n"))
            << QStringLiteral("きむらあや|木村　彩|980-0811|宮城県仙台市青葉区一番町4-1ハイツ\"青葉\"|022-123-4567||070-1234-"
                              "5678|aya@example.jp|7|F")
            << QStringList{"number \"022-123-0000\" left out: a second number in one cell"};
        QTest::newRow("a stray quote in an unquoted field stays text")
            << QStringLiteral("氏名,ふりがな,電話\nAl \"Bo,ある,0312345678\nCy,さい,0311112222\n").toUtf8()
            << QStringLiteral("ある|Al　\"Bo|||03-1234-5678||||1|F") << QStringList();
    }
    void exporterFiles() {
        QFETCH(QByteArray, file);
        QFETCH(QString, line);
        QFETCH(QStringList, report);
        const contactimport::Result result = importBytes(file, QStringLiteral("contacts.csv"));
        QVERIFY2(!result.lines.isEmpty(), qPrintable(result.report.join('\n')));
        QCOMPARE(result.lines.first(), line);
        for (const QString &expected : report)
            QVERIFY2(result.report.join('\n').contains(expected), qPrintable(result.report.join('\n')));
    }

    // What is no contacts file is named, and nothing is imported.
    void notAContactsFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        QTest::newRow("a CSV of something else") << QByteArray("date,amount\n2026-01-01,300\n") << "連絡先のファイルではありません";
        QTest::newRow("a CSV that mentions begin:vcard in a cell")
            << QByteArray("date,memo\n2026-01-01,begin:vcard\n") << "連絡先のファイルではありません";
    }
    void notAContactsFile() {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QFile out(dir.filePath("x.csv"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
        out.close();
        QString message;
        QVERIFY(contactimport::readFile(out.fileName(), message).isEmpty());
        QVERIFY2(message.contains(error) && message.contains("x.csv"), qPrintable(message));
    }

    void cutOffCardIsReported() {
        QTemporaryDir dir;
        QFile out(dir.filePath("cut.vcf"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("begin:vcard\nN:Lee;Ann;;;\nEND:VCARD\nBEGIN:VCARD\nN:Kim;Bo;;;\n");
        out.close();
        QStringList notes;
        int contacts = 0;
        QCOMPARE(contactimport::forEachContact(out.fileName(), [&](const Contact &) { ++contacts; }, notes), QString());
        QCOMPARE(contacts, 1);
        QVERIFY2(notes.join('\n').contains("card 2: BEGIN:VCARD without END:VCARD"), qPrintable(notes.join('\n')));
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

    // Readings MeCab gives for kanji names.
    void guessedReadings_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reading");
        const QList<QPair<QString, QString>> names = {
            {"山田太郎", "やまだたろう"}, {"佐々木健二", "ささきけんじ"},   {"長谷川美咲", "はせがわみさき"},
            {"渡辺", "わたなべ"},         {"東海林", "しょうじ"},           {"高橋　誠", "たかはしまこと"},
            {"伊藤さくら", "いとうさくら"}, {"中村", "なかむら"}};
        for (const auto &[name, reading] : names)
            QTest::newRow(qPrintable(name)) << name << reading;
    }
    void guessedReadings() {
        QFETCH(QString, name);
        QFETCH(QString, reading);
        QCOMPARE(readings::guess(name), reading);
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
        QTest::newRow("Yokohama") << "0451234567" << tel << "045-123-4567";
        QTest::newRow("Hachijo 04996, five-digit area code") << "0499621234" << tel << "04996-2-1234";
        QTest::newRow("Oshima 04992") << "0499221234" << tel << "04992-2-1234";
        QTest::newRow("free dial 0120") << "0120123456" << tel << "0120-123-456";
        QTest::newRow("navi dial 0570") << "0570123456" << tel << "0570-123-456";
        QTest::newRow("mobile") << "09012345678" << mobile << "090-1234-5678";
        QTest::newRow("IP phone 050") << "05012345678" << mobile << "050-1234-5678";
        QTest::newRow("+81 mobile") << "+81 90-1234-5678" << mobile << "090-1234-5678";
        QTest::newRow("+81 (0)") << "+81 (0)3 1234 5678" << tel << "03-1234-5678";
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
            cards += QByteArray("BEGIN:VCARD\nN:山田;太郎;;;\nX-PHONETIC-LAST-NAME:やまだ\nTEL:") + tel +
                     "\nEND:VCARD\n";
        const contactimport::Result result = importBytes(cards, QStringLiteral("in.vcf"), {book});
        QCOMPARE(result.lines, QStringList{QStringLiteral("やまだ|山田　太郎|||03-3333-4444||||1|F")});
        QCOMPARE(result.duplicates, 2);
        const QString report = result.report.join('\n');
        QVERIFY2(report.contains("duplicate in.vcf, card 1: 山田　太郎 is an entry of the book already"), qPrintable(report));
        QVERIFY2(report.contains("duplicate in.vcf, card 3: 山田　太郎 is in.vcf, card 2 already"), qPrintable(report));
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

    // An export never harms the book or a file it was not told to replace.
    void exportRefusals_data() {
        QTest::addColumn<QString>("out"); // relative to the book's folder
        QTest::addColumn<QString>("made"); // what is there before: "", "file", "link"
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("message");
        QTest::newRow("the book's own entry file, even with --force") << "VexaTel.txt" << "" << true << "電話帳のファイル";
        QTest::newRow("the category file") << "VexaType.txt" << "" << false << "電話帳のファイル";
        QTest::newRow("an existing file without --force") << "out.csv" << "file" << false << "--force";
        QTest::newRow("a link, even with --force") << "out.csv" << "link" << true << "シンボリックリンク";
        QTest::newRow("a missing folder") << "no/such/out.csv" << "" << false << "を保存できません";
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
        std::unique_ptr<QProcess> again(runContacts({"export", "--force", "--dir", dir.path(), "--format", "csv", out}));
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
        QVERIFY2(refused->readAllStandardError().contains("entry 2"), "the entry is named");
        QVERIFY(!QFileInfo::exists(cp932));
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
