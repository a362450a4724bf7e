#include "common/datadir.h"
#include "common/testmain.h"
#include "contacts/exporter.h"
#include "contacts/importer.h"
#include "store/book.h"
#include "store/linefile.h"
#include "store/mdlDim.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <cstring>
#include <map>
#include <set>

Q_DECLARE_METATYPE(contactexport::Format)

namespace {

const QString Aoki = QStringLiteral(
    "あおき|青木　一郎|100-0001|東京都千代田区千代田1-1|03-1111-2222||090-1111-2222|aoki@example.jp|1|F");
const QString Ito = QStringLiteral("いとう|伊藤　花子|||||||2|T");
const QString Ueda = QStringLiteral("うえだ|上田　健|||045-222-3333||||3|F");

mdlDim::LoadedLine loaded(int number) {
    return {number, linefile::splitLines(readFileBytes(testBook().entryPath())).value(number - 1)};
}

// The UID and data of each entry, as a new start of the program finds them.
std::vector<people::Record> atStart(QString *notice = nullptr) {
    Book book(mdlDim::AppDir());
    if (const Failure failed = book.attachPeople(notice); failed.failed())
        qWarning() << describe(failed);
    return book.records();
}

QStringList uids(const std::vector<people::Record> &records) {
    QStringList out;
    for (const people::Record &r : records)
        out.append(r.uid());
    return out;
}

people::PersonData everything() {
    people::PersonData p;
    p.honorific = QStringLiteral("先生");
    p.joint = {{QStringLiteral("花子"), {}, QStringLiteral("はなこ"), QStringLiteral("様")},
               {QStringLiteral("翔"), QStringLiteral("佐藤"), {}, QStringLiteral("くん")}};
    p.company = QStringLiteral("株式会社山田製作所");
    p.department = QStringLiteral("営業部");
    p.title = QStringLiteral("部長");
    p.birthday = QStringLiteral("1970-05-04");
    p.notes = QStringLiteral("一行目\n\t二行目 \\ 𠮷野家"); // tabs, line ends, a backslash, beyond code page 932
    p.nickname = QStringLiteral("いっちゃん");
    p.urls = {QStringLiteral("https://example.jp/a;b,c"), QStringLiteral("https://example.jp/")};
    p.phones = {QStringLiteral("03-9999-0000")};
    p.emails = {QStringLiteral("ichiro@work.example.jp")};
    p.addresses = {QStringLiteral("150-0002 東京都渋谷区渋谷2-21-1;5F")};
    p.buildingBreak = 12;
    p.yearRecord(2026).sent = true;
    p.yearRecord(2026).received = true;
    p.yearRecord(2025).mourning = true;
    return p;
}

// A person of the simulated household book.
struct Person {
    int id;
    QStringList fields; // ten
};

QString lineOf(const Person &p) {
    return p.fields.join(u'|');
}

class Household {
public:
    explicit Household(quint32 seed) : random_(seed) {}

    Person make() {
        static const QStringList families = {"佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺",   "山本",
                                             "中村", "小林", "加藤", "吉田", "山田", "佐々木", "山口",
                                             "松本", "井上", "木村", "林",   "斎藤", "清水"};
        static const QStringList familyReadings = {"さとう",   "すずき",   "たかはし", "たなか",   "いとう",
                                                   "わたなべ", "やまもと", "なかむら", "こばやし", "かとう",
                                                   "よしだ",   "やまだ",   "ささき",   "やまぐち", "まつもと",
                                                   "いのうえ", "きむら",   "はやし",   "さいとう", "しみず"};
        static const QStringList givens = {"一郎",   "花子", "健太", "美咲", "翔",   "陽子", "大輔",
                                           "真由美", "誠",   "恵",   "修",   "直子", "拓也", "愛",
                                           "浩二",   "由美", "隆",   "彩",   "剛",   "舞"};
        static const QStringList givenReadings = {
            "いちろう", "はなこ", "けんた", "みさき", "しょう", "ようこ", "だいすけ", "まゆみ", "まこと", "めぐみ",
            "おさむ",   "なおこ", "たくや", "あい",   "こうじ", "ゆみ",   "たかし",   "あや",   "つよし", "まい"};
        const int f = pick(families.size());
        const int g = pick(givens.size());
        Person p{nextId_++, {}};
        p.fields = {familyReadings[f] + givenReadings[g],
                    families[f] + u'　' + givens[g],
                    QStringLiteral("%1-%2").arg(100 + pick(800)).arg(pick(10000), 4, 10, QChar(u'0')),
                    QStringLiteral("東京都千代田区千代田%1-%2").arg(1 + pick(9)).arg(1 + pick(30)),
                    number("03"),
                    pick(3) == 0 ? number("03") : QString(),
                    pick(2) == 0 ? number("090") : QString(),
                    pick(2) == 0 ? QStringLiteral("p%1@example.jp").arg(p.id) : QString(),
                    QString::number(1 + pick(5)),
                    pick(2) == 0 ? "T" : "F"};
        return p;
    }

    // An edit a person makes to an entry: a new number, a move, a corrected reading or name.
    void edit(Person &p) {
        switch (pick(6)) {
        case 0:
            p.fields[4] = number("03");
            break;
        case 1:
            p.fields[3] = QStringLiteral("神奈川県横浜市中区%1-%2").arg(1 + pick(9)).arg(1 + pick(30));
            break;
        case 2:
            p.fields[0] = p.fields[0].left(p.fields[0].size() - 1) + u'う';
            break;
        case 3:
            p.fields[6] = number("080");
            break;
        case 4:
            p.fields[7] = QStringLiteral("new%1@example.jp").arg(pick(100000));
            break;
        default:
            p.fields[1] = p.fields[1].left(p.fields[1].size() - 1) + u'郎';
            break;
        }
    }

    int pick(qsizetype below) { return static_cast<int>(random_.bounded(static_cast<quint32>(below))); }

private:
    QString number(const char *area) {
        return QStringLiteral("%1-%2-%3").arg(QLatin1String(area)).arg(1000 + pick(9000)).arg(1000 + pick(9000));
    }
    QRandomGenerator random_;
    int nextId_ = 0;
};

// A full disk for the side file, whether it is written whole or a line is added to it.
ssize_t failSideFileWrite(int fd, const void *data, size_t size) {
    const QByteArrayView bytes(static_cast<const char *>(data), static_cast<qsizetype>(size));
    if (bytes.startsWith("@") || bytes.startsWith("#telbora-people")) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(fd, data, size);
}

} // namespace

class TestPeople : public QObject {
    Q_OBJECT
private slots:
    void sideFileKeepsEveryValue() {
        const people::Anchor anchor = people::anchorOf(Aoki);
        const people::Record written(people::randomUid(), people::lineHash(DataDir::sjis(Aoki)), anchor, everything());
        people::SideFile side;
        side.records = {written};
        people::SideFile read;
        QVERIFY(!people::SideFile::parse(side.toBytes(), read).failed());
        QCOMPARE(read.records.size(), size_t(1));
        QCOMPARE(read.records[0].uid(), written.uid());
        QCOMPARE(read.records[0].anchor(), anchor);
        QCOMPARE(read.records[0].data(), everything());
        // Columns a newer copy wrote come back as they were.
        const people::Record newer = people::Record::ofLine(written.line() + "\tfuture.key=値");
        QCOMPARE(people::Record(newer.uid(), newer.lineHash(), anchor, newer.data()).line(), newer.line());
    }

    // Sessions of a household's book edited by an older copy of the program
    // (ten fields, line order kept, new entries at the end) and by a text
    // editor (LF line ends, new entries anywhere), each followed by a start.
    void identitiesSurviveOtherProgramsEdits() {
        DataDir dir;
        Household household(20261208);
        std::vector<Person> book;
        for (int i = 0; i < 250; ++i)
            book.push_back(household.make());
        std::map<int, QString> uidOf;   // person → UID
        std::map<QString, int> ownerOf; // UID → person
        std::set<int> twins;
        int edited = 0, editedKept = 0, untouchedLost = 0;
        std::set<int> stolen; // entries that took a UID another entry had
        std::set<int> swappedTwins;
        for (int session = 0; session < 600; ++session) {
            std::set<int> editedNow;
            if (session > 0) {
                while (editedNow.size() < book.size() / 10) {
                    Person &p = book[static_cast<size_t>(household.pick(book.size()))];
                    if (editedNow.insert(p.id).second)
                        household.edit(p);
                }
                // Which of two identical lines was deleted cannot be told: twins stay.
                for (size_t n = 0, deleted = book.size() / 20; n < deleted;) {
                    const int at = household.pick(book.size());
                    if (twins.count(book[static_cast<size_t>(at)].id))
                        continue;
                    book.erase(book.begin() + at);
                    ++n;
                }
                const bool editor = session % 2 == 0;
                const bool copied = session % 10 == 0;
                for (int n = copied; n < 10; ++n) {
                    const Person added = household.make();
                    book.insert(editor ? book.begin() + household.pick(book.size() + 1) : book.end(), added);
                }
                if (copied) {
                    // A line copied as the start of a new entry: the copy just below it.
                    const int original = household.pick(book.size());
                    Person twin = household.make();
                    twin.fields = book[static_cast<size_t>(original)].fields;
                    twins.insert({twin.id, book[static_cast<size_t>(original)].id});
                    book.insert(book.begin() + original + 1, twin);
                }
            }
            QStringList lines;
            for (const Person &p : book)
                lines.append(lineOf(p));
            QByteArray bytes = DataDir::sjisLines(lines);
            if (session % 2 == 0)
                bytes.replace("\r\n", "\n");
            dir.writeEntries(bytes);
            const QStringList found = uids(atStart());
            QCOMPARE(found.size(), qsizetype(book.size()));
            for (size_t i = 0; i < book.size(); ++i) {
                const int id = book[i].id;
                const QString &uid = found[static_cast<qsizetype>(i)];
                // Copies of one line edited apart in the same session can
                // trade UIDs: nothing tells which copy was which.
                if (const auto owner = ownerOf.find(uid); owner != ownerOf.end() && owner->second != id)
                    (twins.count(id) && twins.count(owner->second) ? swappedTwins : stolen).insert(id);
                if (const auto known = uidOf.find(id); known != uidOf.end()) {
                    if (editedNow.count(id)) {
                        ++edited;
                        editedKept += known->second == uid;
                    } else {
                        untouchedLost += known->second != uid;
                    }
                }
                uidOf[id] = uid;
                ownerOf.emplace(uid, id);
            }
        }
        qInfo("edited entries that kept their UID: %d of %d; copies of one line that traded UIDs: %zu of %zu",
              editedKept, edited, swappedTwins.size(), twins.size());
        QCOMPARE(stolen.size(), size_t(0));
        QCOMPARE(untouchedLost, 0);
        QVERIFY2(editedKept * 1000 >= edited * 999, qPrintable(QStringLiteral("%1 of %2").arg(editedKept).arg(edited)));
    }

    // Each writer, after another program added a line above the entry it acts
    // on: the entry keeps its UID and data, the added line gets its own.
    void writersFollowOtherProgramsEdits_data() {
        QTest::addColumn<QString>("writer");
        for (const char *writer : {"replace", "mark printed", "delete", "append"})
            QTest::newRow(writer) << writer;
    }
    void writersFollowOtherProgramsEdits() {
        QFETCH(QString, writer);
        DataDir dir({Aoki, Ito, Ueda});
        const people::PersonData data = everything();
        Book &book = testBook();
        QVERIFY(!book.attachPeople().failed());
        const people::Record ito = book.personOf(loaded(2));
        QVERIFY(book.replaceEntry(loaded(2), Ito, &data));
        const QStringList before = uids(book.records());
        const mdlDim::LoadedLine itoLine = loaded(2);
        dir.writeEntries(DataDir::sjisLines({"えがわ|江川|||||||1|F", Aoki, Ito, Ueda}));
        EntryWriter::Result result;
        if (writer == "replace")
            result = book.replaceEntry(itoLine, QStringLiteral("いとう|伊藤　花子|||03-5555-6666||||2|T"));
        else if (writer == "mark printed")
            result = book.markPrinted({itoLine});
        else if (writer == "delete")
            result = book.deleteEntry(itoLine);
        else
            result = book.appendEntry(QStringLiteral("おおた|太田|||||||1|F"));
        QVERIFY2(result.ok && result.peopleError.isEmpty(), qPrintable(result.message + result.peopleError));
        const std::vector<people::Record> now = atStart();
        const QStringList found = uids(now);
        QVERIFY(!before.contains(found.first()));
        QCOMPARE(found.at(1), before.at(0));
        if (writer == "delete") {
            QCOMPARE(found.mid(2), QStringList{before.at(2)});
            return;
        }
        QCOMPARE(found.at(2), ito.uid());
        QCOMPARE(now[2].data(), everything());
        QCOMPARE(found.at(3), before.at(2));
    }

    // A kill between the entry file's rename and the side file's write, a
    // kill halfway through the line added to the side file, or a full disk
    // for it: the entry file holds the edit, the side file the line before
    // it, and the next start finds the entry again.
    void sideFileBehindTheBookIsCaughtUp_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("killed before the side file") << "kill";
        QTest::newRow("killed halfway through its line") << "torn";
        QTest::newRow("disk full for the side file") << "full";
    }
    void sideFileBehindTheBookIsCaughtUp() {
        QFETCH(QString, fault);
        DataDir dir({Aoki, Ito, Ueda});
        Book &book = testBook();
        const people::PersonData data = everything();
        QVERIFY(book.replaceEntry(loaded(1), Aoki, &data));
        const QStringList before = uids(book.records());
        const QByteArray sideFile = readFileBytes(book.peoplePath());
        linefile::SystemCalls &calls = linefile::systemCalls();
        const linefile::SystemCalls real = calls;
        if (fault == "full")
            calls.write = failSideFileWrite;
        const EntryWriter::Result result = book.replaceEntry(
            loaded(1), QString(Aoki).replace(QStringLiteral("03-1111-2222"), QStringLiteral("03-7777-8888")));
        calls = real;
        QVERIFY(result.ok);
        QCOMPARE(result.peopleError.isEmpty(), fault != "full");
        const QByteArray written = readFileBytes(book.peoplePath());
        QFile killed(book.peoplePath());
        if (fault == "kill")
            QVERIFY(killed.open(QIODevice::WriteOnly) && killed.write(sideFile) == sideFile.size());
        if (fault == "torn") {
            QVERIFY(written.size() > sideFile.size() + 8);
            QVERIFY(killed.resize(sideFile.size() + (written.size() - sideFile.size()) / 2));
        }
        killed.close();
        if (fault != "torn")
            QCOMPARE(readFileBytes(book.peoplePath()), sideFile);
        const std::vector<people::Record> now = atStart();
        QCOMPARE(uids(now), before);
        QCOMPARE(now[0].data(), everything());
        QVERIFY(!readFileBytes(book.peoplePath()).startsWith(sideFile)); // caught up at that start
    }

    // A store adds one line to the side file instead of writing it whole;
    // never to a file another program put in its place (a backup restored, a
    // sync tool's copy), and never more lines than a start should read.
    void storeAddsALineOnlyToItsOwnSideFile() {
        DataDir dir({Aoki, Ito, Ueda});
        Book &book = testBook();
        const auto journalLines = [&] { return readFileBytes(book.peoplePath()).count("\n@"); };
        const auto store = [&](int n) {
            return book.replaceEntry(loaded(2),
                                     QString(Ito).replace(QStringLiteral("伊藤"), QStringLiteral("伊藤%1").arg(n)));
        };
        QVERIFY(store(1)); // the side file is made whole
        QVERIFY(store(2));
        QCOMPARE(journalLines(), 1);
        const QString copy = book.peoplePath() + QStringLiteral(".copy");
        QVERIFY(QFile::copy(book.peoplePath(), copy));
        QVERIFY(::rename(QFile::encodeName(copy).constData(), QFile::encodeName(book.peoplePath()).constData()) == 0);
        QVERIFY(store(3));
        QCOMPARE(journalLines(), 0);
        for (int n = 4; n < 80; ++n)
            QVERIFY(store(n));
        QVERIFY(journalLines() > 0 && journalLines() <= 64);
        QCOMPARE(uids(atStart()), uids(book.records()));
        QCOMPARE(atStart()[1].anchor(), book.records()[1].anchor());
        // A store or delete the disk refuses leaves the records as they were.
        const std::vector<people::Record> kept = book.records();
        linefile::SystemCalls &calls = linefile::systemCalls();
        const linefile::SystemCalls real = calls;
        calls.write = [](int, const void *, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        };
        const bool refused = !store(99) && !book.deleteEntry(loaded(1));
        calls = real;
        QVERIFY(refused);
        QCOMPARE(uids(book.records()), uids(kept));
        QCOMPARE(book.records()[1].anchor(), kept[1].anchor());
    }

    void damagedSideFileIsKeptAndMadeAnew_data() {
        QTest::addColumn<QByteArray>("damage");
        QTest::addColumn<Failure::Kind>("found");
        QTest::addColumn<int>("line");
        QTest::newRow("no header") << QByteArray("garbage\r\n") << Failure::Kind::SideNoHeader << 1;
        QTest::newRow("not UTF-8") << QByteArray("\x82\xa0") << Failure::Kind::SideNotUtf8 << 0;
        QTest::newRow("bad escape") << QByteArray("\\q") << Failure::Kind::SideBadEscape << 2;
        QTest::newRow("two entries, one UID") << QByteArray("twin") << Failure::Kind::SideUidTwice << 3;
        QTest::newRow("a line cut short") << QByteArray("cut") << Failure::Kind::SideBadHash << 2;
        QTest::newRow("a line with too few columns") << QByteArray("few") << Failure::Kind::SideTooFewColumns << 2;
    }
    void damagedSideFileIsKeptAndMadeAnew() {
        QFETCH(QByteArray, damage);
        QFETCH(Failure::Kind, found);
        QFETCH(int, line);
        DataDir dir({Aoki, Ito});
        const QStringList before = uids(atStart());
        const QString path = dir.path() + people::FileName;
        QByteArray bytes = readFileBytes(path);
        const QList<QByteArray> lines = linefile::splitLines(bytes);
        if (damage == "twin")
            bytes = lines[0] + "\r\n" + lines[1] + "\r\n" + lines[1] + "\r\n";
        else if (damage == "cut")
            bytes = lines[0] + "\r\n" + lines[1].left(40) + "\r\n";
        else if (damage == "few")
            bytes = lines[0] + "\r\n" + lines[1].split('\t').mid(0, 4).join('\t') + "\r\n";
        else if (damage.startsWith('\\'))
            bytes = lines[0] + "\r\n" + lines[1] + "\t" + "notes=" + damage + "\r\n";
        else
            bytes = damage.startsWith('g') ? damage : bytes + damage;
        people::SideFile read;
        const Failure damaged = people::SideFile::parse(bytes, read);
        QCOMPARE(damaged.kind, found);
        QCOMPARE(damaged.line, line);
        QFile(path).remove();
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        out.close();
        QString notice;
        const QStringList after = uids(atStart(&notice));
        QVERIFY2(notice.contains(people::FileName) && notice.contains("broken-") && notice.contains(describe(damaged)),
                 qPrintable(notice));
        const QStringList kept = QDir(dir.path()).entryList({people::FileName + ".broken-*"});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readFileBytes(dir.path() + kept.first()), bytes);
        QCOMPARE(after, before); // unchanged lines get the UIDs they were first given
        people::SideFile remade;
        QVERIFY(!people::SideFile::parse(readFileBytes(path), remade).failed());
    }

    // Lines before and after another program's edit, paired as a person
    // would pair them: which line now continues which entry before (-1: a new one).
    void editedLinesPairWithTheirEntries_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("now");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("two empty readings are no name in common")
            << QStringList{"|山田　一郎||東京都千代田区千代田1-1|03-1111-2222||||1|F"}
            << QStringList{"|田中　次郎||東京都千代田区千代田1-1|03-1111-2222||||1|F"} << QList<int>{-1};
        QTest::newRow("a reading corrected: the same person")
            << QStringList{"やまだ|山田　一郎||東京都千代田区千代田1-1|03-1111-2222||||1|F"}
            << QStringList{"やまだいちろう|山田　一郎||東京都千代田区千代田1-1|03-1111-2222||||1|F"} << QList<int>{0};
        QTest::newRow("the only number changed in place: the same person")
            << QStringList{Ito, "さとう|佐藤　三郎|||03-7777-8888||||1|F", Ueda}
            << QStringList{Ito, "さとう|佐藤　三郎|||03-7777-9999||||1|F", Ueda} << QList<int>{0, 1, 2};
        QTest::newRow("the only number changed, and the line moved: another person")
            << QStringList{Ito, "さとう|佐藤　三郎|||03-7777-8888||||1|F", Ueda}
            << QStringList{Ito, Ueda, "さとう|佐藤　三郎|||03-7777-9999||||1|F"} << QList<int>{0, 2, -1};
        QTest::newRow("identical lines moved keep their order")
            << QStringList{Ito, Ito, Aoki, Ueda} << QStringList{Aoki, Ito, Ueda, Ito} << QList<int>{2, 0, 3, 1};
        QTest::newRow("identical lines, the first edited")
            << QStringList{Ito, Ito, Ueda}
            << QStringList{QString(Ito).replace(QStringLiteral("伊藤"), QStringLiteral("井藤")), Ito, Ueda}
            << QList<int>{0, 1, 2};
    }
    void editedLinesPairWithTheirEntries() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, now);
        QFETCH(QList<int>, expected);
        const auto anchors = [](const QStringList &lines) {
            std::vector<people::Anchor> out;
            for (const QString &line : lines)
                out.push_back(people::anchorOf(line));
            return out;
        };
        const std::vector<int> match = people::attach(anchors(before), anchors(now));
        QCOMPARE(QList<int>(match.begin(), match.end()), expected);
    }

    // One write that updates an entry and adds others: the side file on disk
    // holds both, every UID is its own even when an import brings one the
    // book has, and a printed mark toggled elsewhere leaves the side file alone.
    void sideFileAfterOneWriteOfUpdatesAndNewLines() {
        DataDir dir({Aoki, Ito});
        Book &book = testBook();
        QVERIFY(!book.attachPeople().failed());
        const QStringList was = uids(book.records());
        people::PersonData updated;
        updated.company = QStringLiteral("青木商店");
        people::DataOfNew added;
        people::PersonData newcomer;
        newcomer.nickname = QStringLiteral("けんちゃん");
        added.insert(0, newcomer);
        const QString aokiNow = QString(Aoki).replace(QStringLiteral("03-1111-2222"), QStringLiteral("03-3333-4444"));
        QVERIFY(book.updateAndAppend({{loaded(1), aokiNow, updated}}, {Ueda}, added, {was.at(1)}));
        const std::vector<people::Record> read = atStart(); // from the disk, by a new start
        QCOMPARE(read.size(), size_t(3));
        QCOMPARE(read[0].uid(), was.at(0));
        QCOMPARE(read[0].data().company, QStringLiteral("青木商店"));
        QCOMPARE(read[2].data().nickname, QStringLiteral("けんちゃん"));
        const QStringList all = uids(read);
        QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), 3); // the taken UID was not given again
        QCOMPARE(read[1].uid(), was.at(1));

        const QByteArray sideFile = readFileBytes(book.peoplePath());
        QByteArray entries = dir.entryBytes();
        const qsizetype flag = entries.indexOf("|2|T");
        QVERIFY(flag > 0);
        entries[flag + 3] = 'F';
        dir.writeEntries(entries);
        QCOMPARE(uids(atStart()), all);
        QCOMPARE(readFileBytes(book.peoplePath()), sideFile);
    }

    void readOnlyBookWritesNoSideFile() {
        DataDir dir({Aoki});
        Book book(dir.path());
        book.setReadOnlyReason(QStringLiteral("読み取り専用の場所です。"));
        QVERIFY(!book.attachPeople().failed());
        QCOMPARE(book.records().size(), size_t(1));
        QVERIFY(!QFile::exists(book.peoplePath()));
        // A write is refused as what it is, and says why.
        const QByteArray before = dir.entryBytes();
        const EntryWriter::Result written = book.appendEntry(QStringLiteral("い|伊藤|||||||1|F"));
        QVERIFY(!written);
        QCOMPARE(written.failure.kind, Failure::Kind::BookReadOnly);
        QVERIFY(written.message.contains(QStringLiteral("読み取り専用の場所です。")));
        QCOMPARE(dir.entryBytes(), before);
    }

    // Our own export into a new book and out again: the same bytes, the same
    // UIDs, the same per-person data.
    void exportAndImportCarryIdentityAndData_data() {
        QTest::addColumn<contactexport::Format>("format");
        QTest::addColumn<QString>("file");
        QTest::newRow("vCard") << contactexport::Format::VCard << "export.vcf";
        QTest::newRow("CSV") << contactexport::Format::Csv << "export.csv";
    }
    void exportAndImportCarryIdentityAndData() {
        QFETCH(contactexport::Format, format);
        QFETCH(QString, file);
        const QStringList lines{Aoki, Ito, Ueda};
        const auto exported = [&](const std::vector<people::Record> &records) {
            QList<contactexport::Entry> entries;
            for (size_t i = 0; i < records.size(); ++i)
                entries.append({lines[static_cast<qsizetype>(i)], records[i].uid(), records[i].data()});
            return contactexport::exportEntries(entries, mdlDim::CategoryLines{}, format, contactexport::Encoding::Utf8)
                .bytes;
        };
        QByteArray first;
        std::vector<people::Record> before;
        {
            DataDir dir(lines);
            Book &book = testBook();
            const people::PersonData data = everything();
            QVERIFY(book.replaceEntry(loaded(1), Aoki, &data));
            before = book.records();
            first = exported(before);
        }
        DataDir second;
        QFile out(second.path() + file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(first) == first.size());
        out.close();
        const contactimport::BookImport done = contactimport::importIntoBook(testBook(), {out.fileName()}, 1);
        QVERIFY2(done.error.isEmpty(), qPrintable(done.error));
        QCOMPARE(done.imported, 3);
        const std::vector<people::Record> back = atStart();
        QCOMPARE(back.size(), before.size());
        for (size_t i = 0; i < back.size(); ++i) {
            QCOMPARE(back[i].uid(), before[i].uid());
            QCOMPARE(back[i].data(), before[i].data());
        }
        QCOMPARE(exported(back), first);

        // A newer copy's mark in a year: the year and the marks known are
        // kept, and the report names the one that is not.
        QVERIFY(first.contains("sent received"));
        DataDir third;
        QFile newer(third.path() + file);
        const QByteArray marked = QByteArray(first).replace("sent received", "sent hologram received");
        QVERIFY(newer.open(QIODevice::WriteOnly) && newer.write(marked) == marked.size());
        newer.close();
        const contactimport::BookImport later = contactimport::importIntoBook(testBook(), {newer.fileName()}, 1);
        QCOMPARE(later.imported, 3);
        QVERIFY2(later.report.join(u'\n').contains(QStringLiteral("年賀状 2026 年の印「hologram」は取り込みません")),
                 qPrintable(later.report.join(u'\n')));
        QCOMPARE(atStart()[0].data(), before[0].data());
    }
};

TELBORA_TEST(TestPeople)
#include "tst_people.moc"
