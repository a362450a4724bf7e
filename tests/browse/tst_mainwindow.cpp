#include "browse/entrylistpage.h"
#include "browse/frmLogo.h"
#include "browse/frmMain.h"
#include "common/boxanswerer.h"
#include "common/datadir.h"
#include "common/exchangesort.h"
#include "common/recordingtarget.h"
#include "common/testmain.h"
#include "common/windows.h"
#include "editor/frmEdit.h"
#include "editor/frmPerson.h"
#include "printing/frmPrint.h"
#include "printing/frmPrintSet.h"
#include "store/mdlDim.h"
#include "store/selection.h"
#include "ui/frameline.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/picturebox.h"
#include "ui/twips.h"

#include "browse/frmImport.h"
#include "ui/titleimage.h"
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

using Kind = RecordingTarget::Kind;

namespace {
QString entry(const QString &reading, const QString &name, int category, const QString &address = {}) {
    return QStringLiteral("%1|%2||%3|||||%4|F").arg(reading, name, address).arg(category);
}

QStringList entries(int count, int category = 1) {
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << entry(QStringLiteral("よみ%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("名前%1").arg(i),
                       category);
    return lines;
}

QPoint listPoint(int xTwips, int yTwips) {
    return QPoint(twips::toPx(xTwips), twips::toPx(yTwips));
}

void closeTopLevels() {
    // Deleting a window deletes its pop-ups too, so hold them by guarded pointers.
    QList<QPointer<QWidget>> opened;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmEdit" || w->objectName() == "frmPrintSet")
            opened.append(w);
    for (const QPointer<QWidget> &w : opened)
        delete w.data();
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    static QStringList readingsOfTable() {
        QStringList readings;
        for (const QString &element : std::as_const(testBook().entries()))
            readings.append(selection::readingOf(element));
        return readings;
    }

    std::unique_ptr<DataDir> dir;
    std::unique_ptr<frmMain> window;
    RecordingTarget recorder;

    void open(const QStringList &lines, const QStringList &categories = DataDir::installedCategories()) {
        window.reset();
        dir = std::make_unique<DataDir>(lines);
        dir->writeCategories(DataDir::sjisLines(categories));
        window = std::make_unique<frmMain>(testBook());
        window->picList0->setRecorder(&recorder);
        recorder.reset();
        window->show();
    }

    // The entry the shown editor opened on; -2 when no editor is shown.
    static int openedEntry() {
        const frmEdit *editor = shownWindow<frmEdit>();
        return editor ? editor->editedEntry() : -2;
    }

    // The list painted now, as the recorder sees it.
    void paintList() {
        recorder.reset();
        window->picList0->viewport()->grab();
    }

    QList<RecordingTarget::Call> rowTexts(int row) {
        paintList();
        QList<RecordingTarget::Call> texts;
        for (const auto &call : recorder.ofKind(Kind::Text))
            if (call.from.y() == row * 300 + 90)
                texts.append(call);
        return texts;
    }

private slots:
    void cleanup() {
        closeTopLevels();
        window.reset();
        dir.reset();
        recorder.reset();
    }

    void fiveEntriesDrawFiveRows() {
        open(entries(5));
        window->ViewTelList(0);
        paintList();
        const auto lines = recorder.ofKind(Kind::Line);
        QCOMPARE(lines.size(), 20 + 4 + 4);
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(lines.at(i).from, QPoint(0, i * 300));
            QCOMPARE(lines.at(i).to, QPoint(5330, i * 300));
            QCOMPARE(lines.at(i).pen, (PenSpec{Qt::SolidLine, 1, QColor(172, 172, 172)}));
        }
        QCOMPARE(lines.at(20).from, QPoint(370, 0));
        QCOMPARE(lines.at(23).to, QPoint(4650, 5700));
        QCOMPARE(recorder.ofKind(Kind::Text).size(), 5 * 4);
        QCOMPARE(recorder.ofKind(Kind::Picture).size(), 5 * 2);
        QCOMPARE(window->fsbList->maximum(), 0);
        QCOMPARE(window->lblCount->text(), QStringLiteral("現在 5 件"));
    }

    void rowTextPositions() {
        open({entry("いとう", "伊藤", 2, "東京都港区"), entry("あべ", "阿部", 1, "大阪府大阪市北区")});
        window->ViewTelList(0);
        const auto row0 = rowTexts(0);
        QCOMPARE(row0.size(), 4);
        const QList<QPair<QString, QPoint>> expected = {
            {"あ", {140, 90}}, {"親戚", {450, 90}}, {"阿部", {890, 90}}, {"大阪府大阪市...", {3480, 90}}};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(row0.at(i).text, expected.at(i).first);
            QCOMPARE(row0.at(i).from, expected.at(i).second);
            QCOMPARE(row0.at(i).font, (FontSpec{"MS UI Gothic", 8, false}));
            QCOMPARE(row0.at(i).colour, QColor(0, 0, 0));
        }
        const auto row1 = rowTexts(1);
        QCOMPARE(row1.at(3).text, QStringLiteral("東京都港区"));
        QCOMPARE(row1.at(3).from, QPoint(3480, 390));
        const auto pictures = recorder.ofKind(Kind::Picture);
        QCOMPARE(pictures.at(0).area, QRect(380, 10, 430, 290));
        QCOMPARE(pictures.at(0).pictureKey, window->imgPicture[1].cacheKey());
        QCOMPARE(pictures.at(1).area, QRect(4660, 10, 410, 290));
        QCOMPARE(pictures.at(1).pictureKey, window->imgPicture[11].cacheKey());
        QCOMPARE(pictures.at(2).pictureKey, window->imgPicture[2].cacheKey());
    }

    void shortening_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("shownCategory");
        QTest::addColumn<int>("categoryX");
        QTest::addColumn<QString>("shownAddress");
        QTest::newRow("two characters, seven") << "ab"
                                               << "1234567"
                                               << "ab" << 450 << "1234567";
        QTest::newRow("three characters, eight") << "歯医者"
                                                 << "12345678"
                                                 << "歯医..." << 420 << "123456...";
        QTest::newRow("empty name") << ""
                                    << ""
                                    << "" << 450 << "";
    }
    void shortening() {
        QFETCH(QString, category);
        QFETCH(QString, address);
        QFETCH(QString, shownCategory);
        QFETCH(int, categoryX);
        QFETCH(QString, shownAddress);
        QStringList categories = DataDir::installedCategories();
        categories[6] = "7|" + category;
        open({entry("あ", "名", 7, address)}, categories);
        window->ViewTelList(0);
        const auto row = rowTexts(0);
        QCOMPARE(row.at(1).text, shownCategory);
        QCOMPARE(row.at(1).from.x(), categoryX);
        QCOMPARE(row.at(3).text, shownAddress);
    }

    void handEditedCategoryDrawsNoTag() {
        open({"あ|名||住所|||||x|F", entry("い", "名", 11)});
        QCOMPARE(testBook().entryCount(), 2);
        window->ViewTelList(0);
        paintList();
        QCOMPARE(recorder.ofKind(Kind::Picture).size(), 2); // open buttons only
        QCOMPARE(rowTexts(0).size(), 3);
        QCOMPARE(rowTexts(0).at(1).text, QStringLiteral("名"));
    }

    void scrollMaximum_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("categoryMode");
        QTest::addColumn<int>("maximum");
        QTest::newRow("all, 20") << 20 << false << 1;
        QTest::newRow("all, 19") << 19 << false << 0;
        QTest::newRow("category, 18") << 18 << true << 1;
        QTest::newRow("category, 17") << 17 << true << 0;
        QTest::newRow("all, 300") << 300 << false << 281;
    }
    void scrollMaximum() {
        QFETCH(int, count);
        QFETCH(bool, categoryMode);
        QFETCH(int, maximum);
        open(entries(count));
        if (categoryMode)
            click(window->imgQQ);
        QCOMPARE(window->fsbList->maximum(), maximum);
    }

    // The book unreadable mid-session: said, the window stays with what it
    // showed and a notice; once mended, the next click reads it again.
    void loadFailureMidSessionKeepsWindow() {
        open(entries(3));
        const QByteArray bytes = dir->entryBytes();
        QVERIFY(QFile::remove(dir->entryPath()));
        BoxAnswerer answerer;
        recorder.reset();
        click(window->imgQQ);
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY2(answerer.seen.first().contains("VexaTel.txt"), qPrintable(answerer.seen.first()));
        const auto drawn = [&](const QString &text) {
            paintList();
            const auto texts = recorder.ofKind(Kind::Text);
            return std::any_of(texts.begin(), texts.end(), [&](const auto &call) { return call.text == text; });
        };
        QVERIFY(drawn(QStringLiteral("電話帳を読み込めませんでした。直したら分類のボタンで読み直します")));
        QVERIFY(window->isVisible());
        dir->writeEntries(bytes);
        recorder.reset();
        click(window->imgAll);
        QCOMPARE(window->lblCount->text(), QStringLiteral("現在 3 件"));
        QVERIFY(!drawn(QStringLiteral("電話帳を読み込めませんでした。直したら分類のボタンで読み直します")));
    }

    void emptySelectionKeepsScrollMaximum() {
        open(entries(30));
        QCOMPARE(window->fsbList->maximum(), 11);
        recorder.reset();
        window->cboIndex->setCurrentIndex(1); // 英字: nothing matches
        QCOMPARE(testBook().entryCount(), 0);
        QCOMPARE(window->lblCount->text(), QStringLiteral("現在 0 件"));
        paintList();
        QCOMPARE(recorder.ofKind(Kind::Line).size(), 24);
        QCOMPARE(recorder.ofKind(Kind::Text).size(), 0);
        QCOMPARE(window->fsbList->maximum(), 11);
    }

    void scrollingRedrawsFromTheValue() {
        open(entries(40));
        window->fsbList->setValue(10);
        QCOMPARE(rowTexts(0).at(2).text, QStringLiteral("名前10"));
        // A new selection starts the page and the scroll bar at 0 together.
        recorder.reset();
        click(window->imgAll);
        QCOMPARE(window->fsbList->value(), 0);
        QCOMPARE(rowTexts(0).at(2).text, QStringLiteral("名前0"));
    }

    void clickOpensEntryByRowAndScrollValue_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("twice");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("highlighted");
        QTest::newRow("on the open button") << 4700 << Qt::LeftButton << false << true << -1;
        QTest::newRow("left of it: highlighted") << 4600 << Qt::LeftButton << false << false << 12;
        QTest::newRow("double click on the name") << 2000 << Qt::LeftButton << true << true << 12;
        QTest::newRow("right button") << 4700 << Qt::RightButton << false << false << -1;
        QTest::newRow("middle button") << 4700 << Qt::MiddleButton << false << false << -1;
    }
    void clickOpensEntryByRowAndScrollValue() {
        QFETCH(int, x);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, twice);
        QFETCH(bool, opens);
        QFETCH(int, highlighted);
        open(entries(40));
        window->fsbList->setValue(10);
        QTest::mouseClick(window->picList0->viewport(), button, {}, listPoint(x, 2 * 300 + 150));
        if (twice)
            QTest::mouseDClick(window->picList0->viewport(), button, {}, listPoint(x, 2 * 300 + 150));
        QCOMPARE(window->picList0->highlighted(), highlighted);
        QCOMPARE(openedEntry(), opens ? 12 : -2);
        QCOMPARE(window->isVisible(), !opens);
    }

    // The wheel scrolls as the scroll bar does: three rows a notch, a page with Shift.
    void wheelOverTheList_data() {
        QTest::addColumn<int>("notches"); // positive: towards the end
        QTest::addColumn<bool>("shift");
        QTest::addColumn<int>("value");
        QTest::newRow("one notch down") << 1 << false << 13;
        QTest::newRow("two notches up") << -2 << false << 4;
        QTest::newRow("Shift, one notch down") << 1 << true << 10 + 19;
        QTest::newRow("up past the top") << -9 << false << 0;
    }
    void wheelOverTheList() {
        QFETCH(int, notches);
        QFETCH(bool, shift);
        QFETCH(int, value);
        open(entries(60));
        window->fsbList->setValue(10);
        recorder.reset();
        const QPoint at = listPoint(2000, 1000);
        QWheelEvent wheel(at, window->picList0->viewport()->mapToGlobal(at), {}, QPoint(0, -120 * notches),
                          Qt::NoButton, shift ? Qt::ShiftModifier : Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(window->picList0->viewport(), &wheel);
        QCOMPARE(window->fsbList->value(), value);
        QCOMPARE(rowTexts(0).at(2).text, QStringLiteral("名前%1").arg(value));
    }

    // With the focus, the keys move a highlighted row and Enter opens it.
    void keysOnTheList_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("highlighted");
        QTest::addColumn<int>("top"); // the scroll bar's value
        QTest::newRow("Down: the first row shown") << QList<int>{Qt::Key_Down} << 0 << 0;
        QTest::newRow("Down three times") << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down} << 2 << 0;
        QTest::newRow("Up stays at the top") << QList<int>{Qt::Key_Down, Qt::Key_Up} << 0 << 0;
        QTest::newRow("Page Down") << QList<int>{Qt::Key_Down, Qt::Key_PageDown} << 19 << 1;
        QTest::newRow("End") << QList<int>{Qt::Key_End} << 59 << 41;
        QTest::newRow("End, Page Up") << QList<int>{Qt::Key_End, Qt::Key_PageUp} << 40 << 40;
        QTest::newRow("End, Home") << QList<int>{Qt::Key_End, Qt::Key_Home} << 0 << 0;
    }
    void keysOnTheList() {
        QFETCH(QList<int>, keys);
        QFETCH(int, highlighted);
        QFETCH(int, top);
        open(entries(60));
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QVERIFY(window->picList0->hasFocus()); // the window starts there
        for (int key : keys)
            QTest::keyClick(window->picList0, Qt::Key(key));
        QCOMPARE(window->picList0->highlighted(), highlighted);
        QVERIFY(!window->picList0->testAttribute(Qt::WA_InputMethodEnabled)); // keys, not composing
        QCOMPARE(window->fsbList->value(), top);
        // The band lies under the ruled lines and the text of its row.
        window->ViewTelList(window->fsbList->value());
        paintList();
        const auto calls = recorder.calls;
        QCOMPARE(calls.at(0).kind, Kind::Clear);
        QCOMPARE(calls.at(1).kind, Kind::Picture);
        QCOMPARE(calls.at(1).area, QRect(0, (highlighted - top) * 300, 5330, 300));
        QCOMPARE(calls.at(2).kind, Kind::Line);

        QTest::keyClick(window->picList0, Qt::Key_Return);
        QCOMPARE(openedEntry(), highlighted);
    }

    // "現在 100000 件" ends before 行音フィルター begins, in both layouts.
    void countFitsBesideTheRowFilter_data() {
        QTest::addColumn<bool>("categoryMode");
        QTest::newRow("all entries") << false;
        QTest::newRow("one category") << true;
    }
    void countFitsBesideTheRowFilter() {
        QFETCH(bool, categoryMode);
        open(entries(1));
        window->TypeMode(categoryMode);
        window->lblCount->setText(QStringLiteral("現在 100000 件"));
        const QLabel *count = window->lblCount, *index = window->lblIndex;
        const int textWidth = count->fontMetrics().horizontalAdvance(count->text());
        QVERIFY2(textWidth <= count->width(), qPrintable(QString::number(textWidth)));
        const int indexText = index->x() + index->contentsRect().left();
        QVERIFY2(count->x() + textWidth < indexText,
                 qPrintable(QStringLiteral("%1 + %2 vs %3").arg(count->x()).arg(textWidth).arg(indexText)));
        QVERIFY(count->geometry().right() < index->x() || !index->isVisible());
        // The search box is clear of every control of the layout.
        for (QWidget *other : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (other != static_cast<QWidget *>(window->txtFind) && other != static_cast<QWidget *>(window->imgTitle) &&
                other->isVisible())
                QVERIFY2(!other->geometry().intersects(window->txtFind->geometry()), qPrintable(other->objectName()));
    }

    // Typing finds in the whole book, whatever the category and row; Esc or an
    // empty box brings the selection back.
    void findAsYouType_data() {
        QTest::addColumn<int>("clearKey"); // 0: delete the text
        QTest::newRow("cleared by Esc") << int(Qt::Key_Escape);
        QTest::newRow("cleared by deleting") << 0;
    }
    void findAsYouType() {
        QFETCH(int, clearKey);
        open({entry("やまだ", "山田一", 2), entry("サトウ", "佐藤", 1, "山田町"), entry("やまだ", "山田二", 5),
              entry("すずき", "鈴木", 2)});
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        click(window->imgYR);
        window->cboIndex->setCurrentIndex(4); // さ行
        QCOMPARE(window->lblCount->text(), QStringLiteral("現在 1 件"));
        QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(window->txtFind->hasFocus());
        window->txtFind->insert(QStringLiteral("山田")); // as an input method commits it
        QCOMPARE(window->lblCount->text(), QStringLiteral("現在 3 件"));
        QCOMPARE(window->lblType->text(), QStringLiteral("検索：山田"));
        // In reading order, equal readings as a selection orders them.
        QCOMPARE(readingsOfTable(), (QStringList{"やまだ", "やまだ", "サトウ"}));
        QCOMPARE(testBook().entries().at(0), referenceSelect(testBook().entries().toList(), 0, 0).at(0));

        if (clearKey)
            QTest::keyClick(window->txtFind, Qt::Key(clearKey));
        else
            for (int i = 0; i < 2; ++i)
                QTest::keyClick(window->txtFind, Qt::Key_Backspace);
        QVERIFY(window->txtFind->text().isEmpty());
        QCOMPARE(window->lblType->text(), QStringLiteral("友人"));
        QCOMPARE(window->cboIndex->currentIndex(), 4);
        QCOMPARE(window->lblCount->text(), QStringLiteral("現在 1 件"));

        // "/" from anywhere in the window.
        window->picList0->setFocus();
        QTest::keyClick(window->picList0, Qt::Key_Slash);
        QVERIFY(window->txtFind->hasFocus());
        QVERIFY(window->txtFind->text().isEmpty());
    }

    // The input method's composing text is searched as it changes; Enter
    // leads to the first row found, and Enter there opens it.
    void findWhileComposingThenEnter() {
        open({entry("やまだ", "山田一", 2), entry("さとう", "佐藤", 1), entry("やまもと", "山本", 5)});
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->txtFind->setFocus();
        const auto compose = [&](const QString &preedit, const QString &commit) {
            QInputMethodEvent event(preedit, {});
            event.setCommitString(commit);
            QCoreApplication::sendEvent(window->txtFind, &event);
            QCoreApplication::processEvents();
        };
        compose(QStringLiteral("やま"), {});
        QCOMPARE(window->lblCount->text(), QStringLiteral("現在 2 件"));
        compose(QStringLiteral("やまも"), {});
        QCOMPARE(window->lblCount->text(), QStringLiteral("現在 1 件"));
        compose({}, QStringLiteral("やまだ"));
        QCOMPARE(window->txtFind->text(), QStringLiteral("やまだ"));
        QCOMPARE(window->lblCount->text(), QStringLiteral("現在 1 件"));
        QTest::keyClick(window->txtFind, Qt::Key_Return);
        QVERIFY(window->picList0->hasFocus());
        QCOMPARE(window->picList0->highlighted(), 0);
        QTest::keyClick(window->picList0, Qt::Key_Return);
        QVERIFY(shownWindow<frmEdit>());
        QCOMPARE(mdlDim::GetField(testBook().entries().at(openedEntry()), QStringLiteral("|"), 3),
                 QStringLiteral("山田一"));
    }

    // An empty book says how to fill it; contact files dropped on the window
    // are imported, the report is shown and the list is read again.
    void dropContactsOnAnEmptyBook() {
        open({});
        QCOMPARE(window->picList0->accessibleDescription(),
                 QStringLiteral("まだ登録がありません。「新規登録」で追加するか、連絡先のファイル（vCard・CSV）をここに"
                                "ドロップして下さい。"));
        QTemporaryDir elsewhere;
        QFile vcf(elsewhere.filePath("phone.vcf"));
        QVERIFY(vcf.open(QIODevice::WriteOnly));
        vcf.write("BEGIN:VCARD\nN:山田;花子;;;\nX-PHONETIC-LAST-NAME:やまだ\nTEL:555-1234\nEND:VCARD\n");
        vcf.close();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(vcf.fileName())});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QStringList shown;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto *report = shownWindow<frmImport>();
            if (!report || !report->isVisible())
                return;
            answer.stop();
            shown = report->txtReport->toPlainText().split(u'\n');
            shown.append(report->lblSummary->text());
            click(report->imgOK);
        });
        answer.start(10);
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &drop);
        QTRY_VERIFY(!shown.isEmpty());
        QCOMPARE(shown, (QStringList{"「phone.vcf」1 件目：電話番号「555-1234」は取り込みません：0 "
                                     "で始まらない番号です（外国の番号か、市外局番がありません）",
                                     "取り込み 1 件、更新 0 件、見送り 0 件、重複 0 件"}));
        QCOMPARE(window->lblCount->text(), QStringLiteral("現在 1 件"));
        QVERIFY(window->picList0->accessibleDescription().isEmpty());
        QCOMPARE(dir->entryBytes(), DataDir::sjisLines({QStringLiteral("やまだ|山田　花子|||||||1|F")}));
    }

    // A screen reader sees image buttons as push buttons it can press, and
    // a message box by its question.
    void screenReaderPressesImageButtons() {
        open(entries(3));
        QAccessibleInterface *button = QAccessible::queryAccessibleInterface(window->imgNew);
        QVERIFY(button);
        QCOMPARE(button->role(), QAccessible::Button);
        QCOMPARE(button->text(QAccessible::Name), QStringLiteral("新規登録"));
        QVERIFY(button->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        QTimer::singleShot(0, this, [] {
            auto *box = frmMsgBox::loaded();
            QVERIFY(box);
            QCOMPARE(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name),
                     QStringLiteral("印刷できるリストがありません。"));
            QAccessible::queryAccessibleInterface(box->picYes)
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::pressAction());
        });
        frmMsgBox::ask(QStringLiteral("印刷できるリストがありません。"), MsgButtons::Yes);
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(!shownWindow<frmEdit>()); // the press returns first: a window or question may follow
        QTRY_VERIFY(shownWindow<frmEdit>());
        for (QWidget *w : {static_cast<QWidget *>(window.get()), static_cast<QWidget *>(shownWindow<frmEdit>())})
            for (QWidget *stop : w->findChildren<QWidget *>())
                if (stop->focusPolicy() & Qt::TabFocus && !stop->objectName().isEmpty()) // the program's own
                    QVERIFY2(!stop->accessibleName().isEmpty(), qPrintable(stop->objectName()));
    }

    // The drawn list is a table of its shown rows for a screen reader.
    void screenReaderReadsTheListAsATable() {
        open({entry("やまだ", "山田一", 2, "東京都港区"), entry("さとう", "佐藤", 1)});
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(window->picList0);
        QCOMPARE(list->role(), QAccessible::Table);
        QAccessibleTableInterface *table = list->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->columnCount(), 4);
        QStringList row;
        for (int column = 0; column < 4; ++column)
            row.append(table->cellAt(1, column)->text(QAccessible::Name));
        QCOMPARE(row, (QStringList{"やまだ", "山田一", "友人", "東京都港区"}));
        QCOMPARE(table->columnDescription(1), QStringLiteral("氏名"));
        QVERIFY(table->selectRow(1));
        QCOMPARE(window->picList0->highlighted(), 1);
        QCOMPARE(table->selectedRows(), QList<int>{1});
        // Another selection is another table: its rows, none selected.
        click(window->imgQQ);
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->cellAt(0, 1)->text(QAccessible::Name), QStringLiteral("佐藤"));
        QVERIFY(table->selectedRows().isEmpty());
        click(window->imgAll);
        QCOMPARE(table->rowCount(), 2);
        // A reader selects a row and opens it with Enter, as anyone does.
        QVERIFY(table->selectRow(0));
        QTest::keyClick(window->picList0, Qt::Key_Return);
        QCOMPARE(openedEntry(), 0);
    }

    // Moving the highlight with the keys moves the focus a screen reader
    // follows (the events that tell it are heard through AT-SPI: tests/atspi).
    void screenReaderFollowsTheHighlight() {
        open({entry("あおき", "青木", 1), entry("いとう", "伊藤", 1), entry("うえだ", "上田", 1)});
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->picList0->setFocus();
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(window->picList0);
        QStringList focused;
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) {
            QTest::keyClick(window->picList0, key);
            QAccessibleInterface *cell = list->focusChild();
            QVERIFY(cell && cell->state().focused);
            focused.append(cell->text(QAccessible::Name));
        }
        QCOMPARE(focused, (QStringList{"あおき", "いとう", "うえだ", "いとう"}));
    }

    // Tab reaches the image buttons, which show their focus and act on Space.
    void tabAndSpaceOnAnImageButton() {
        open(entries(3));
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        const QImage unfocused = window->imgNew->grab().toImage();
        for (int tabs = 0; tabs < 40 && QApplication::focusWidget() != window->imgNew; ++tabs)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window.get(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window->imgNew);
        QVERIFY(window->imgNew->grab().toImage() != unfocused); // the focus frame
        QTest::keyClick(window->imgNew, Qt::Key_Space);
        QVERIFY(shownWindow<frmEdit>());
        QVERIFY(!window->isVisible());
    }

    // Every image button and picture a screen reader meets has a name: its caption.
    void accessibleNames() {
        open(entries(3), {"1|親戚", "2|友人", "3|お店", "4|仕事", "5|病院", "6|趣味", "7|", "8|", "9|", "10|"});
        window->TypeMode(true);
        QList<QWidget *> windows{window.get()};
        windows.append(window->openEditor(frmEdit::NewEntry));
        auto *setup = new frmPrintSet(testBook(), 0);
        windows << setup << setup->preview();
        frmMsgBox *prompt = frmMsgBox::preparePaperPrompt();
        windows << prompt;
        std::unique_ptr<frmLogo> logo(new frmLogo(testBook()));
        logo->timStart->stop();
        windows << logo.get();
        for (QWidget *w : std::as_const(windows)) {
            for (ImageButton *button : w->findChildren<ImageButton *>())
                QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
            for (QLabel *label : w->findChildren<QLabel *>())
                if (label->text().isEmpty() && !label->pixmap().isNull())
                    QVERIFY2(!label->accessibleName().isEmpty(), qPrintable(label->objectName()));
        }
        QCOMPARE(window->imgYR->accessibleName(), QStringLiteral("友人"));
        QCOMPARE(window->pciNewType.at(0)->accessibleName(), QStringLiteral("趣味"));
        QCOMPARE(window->imgClose->accessibleName(), QStringLiteral("閉じる"));
        QCOMPARE(window->picList0->accessibleName(), QStringLiteral("リスト"));
        QCOMPARE(prompt->picNo->accessibleName(), QStringLiteral("キャンセル"));
        QCOMPARE(setup->preview()->imgUp->accessibleName(), QStringLiteral("前のカード"));
        QCOMPARE(setup->preview()->imgDown->accessibleName(), QStringLiteral("次のカード"));
        // Windows are frames, dialogs dialogs; combo boxes are labelled by their labels.
        for (QWidget *w : {windows.at(0), windows.at(1), static_cast<QWidget *>(setup->preview())})
            QCOMPARE(QAccessible::queryAccessibleInterface(w)->role(), QAccessible::Window);
        QCOMPARE(QAccessible::queryAccessibleInterface(prompt)->role(), QAccessible::Dialog);
        const std::pair<QWidget *, const char16_t *> labelled[] = {
            {window->cboIndex, u"行音フィルター"},
            {windows.at(1)->findChild<QWidget *>(QStringLiteral("cboType")), u"分   類"},
            {setup->cboSelect, u"リストフィルター"},
            {setup->cboStartInfo, u"行目から印刷開始"}};
        for (const auto &[combo, label] : labelled) {
            const auto relations = QAccessible::queryAccessibleInterface(combo)->relations(QAccessible::Label);
            QVERIFY2(!relations.isEmpty(), qPrintable(combo->objectName()));
            QCOMPARE(relations.first().first->text(QAccessible::Name), QString::fromUtf16(label));
        }
        prompt->unload();
    }

    void pointerShowsTheOpenButton() {
        open(entries(3));
        QTest::mouseMove(window->picList0->viewport(), listPoint(4800, 100));
        QCOMPARE(window->picList0->viewport()->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseMove(window->picList0->viewport(), listPoint(2000, 100));
        QCOMPARE(window->picList0->viewport()->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseMove(window->picList0->viewport(), listPoint(4800, 10 * 300 + 100)); // a row with no entry
        QCOMPARE(window->picList0->viewport()->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(window->imgNew->cursor().shape(), Qt::PointingHandCursor);
    }

    void pressedOpenButtonUntilRelease_data() {
        QTest::addColumn<QPoint>("releaseAt");
        QTest::newRow("released on it") << listPoint(4800, 3 * 300 + 100);
        QTest::newRow("released elsewhere") << listPoint(1000, 100);
    }
    void pressedOpenButtonUntilRelease() {
        QFETCH(QPoint, releaseAt);
        open(entries(5));
        window->ViewTelList(0);
        // The pictures drawn over the fourth row's open button, last one on top.
        const auto buttonDrawn = [&] {
            paintList();
            QList<qint64> keys;
            for (const auto &call : recorder.ofKind(Kind::Picture))
                if (call.area == QRect(4660, 910, 410, 290))
                    keys.append(call.pictureKey);
            return keys;
        };
        QTest::mousePress(window->picList0->viewport(), Qt::LeftButton, {}, listPoint(4800, 3 * 300 + 100));
        QCOMPARE(window->picList0->PressedButtonTop, 910);
        QCOMPARE(buttonDrawn().last(), window->imgPicture[12].cacheKey());
        QTest::mouseMove(window->picList0->viewport(), releaseAt);
        QTest::mouseRelease(window->picList0->viewport(), Qt::LeftButton, {}, releaseAt);
        QCOMPARE(buttonDrawn(), QList<qint64>{window->imgPicture[11].cacheKey()});
        QCOMPARE(window->picList0->PressedButtonTop, -1);
    }

    void pressOnEmptyRowDrawsNothing() {
        open(entries(2));
        QTest::mousePress(window->picList0->viewport(), Qt::LeftButton, {}, listPoint(4800, 5 * 300 + 100));
        QCOMPARE(window->picList0->PressedButtonTop, -1);
        QTest::mouseRelease(window->picList0->viewport(), Qt::LeftButton, {}, listPoint(4800, 5 * 300 + 100));
        QCOMPARE(window->picList0->highlighted(), -1);
        paintList();
        QCOMPARE(recorder.ofKind(Kind::Picture).size(), 2 * 2); // the two rows' tags and open buttons
        QVERIFY(window->isVisible());
    }

    void fixedCategoryButton() {
        open({entry("あ", "一", 3), entry("い", "二", 1), entry("う", "三", 3)});
        QTest::mouseClick(window->imgOD, Qt::RightButton, {}, QPoint(3, 3));
        QCOMPARE(window->currentCategory(), 0);
        click(window->imgOD);
        QCOMPARE(window->lblType->text(), QStringLiteral("お店"));
        QCOMPARE(window->currentCategory(), 3);
        QVERIFY(window->picTypeList->isVisible());
        QVERIFY(!window->imgNew->isVisible());
        QCOMPARE(testBook().entryCount(), 2);
        for (const QString &e : std::as_const(testBook().entries()))
            QCOMPARE(mdlDim::GetField(e, "|", 10), QStringLiteral("3"));

        click(window->imgAll);
        QCOMPARE(window->lblType->text(), QStringLiteral("全リスト表示"));
        QVERIFY(window->imgNew->isVisible());
        QVERIFY(!window->picTypeList->isVisible());
        QCOMPARE(testBook().entryCount(), 3);
        QCOMPARE(twips::geometry(window->picMain), QRect(200, 1320, 5330, 6030));
    }

    void userCategoryNames_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typeCaption");
        QTest::addColumn<QString>("buttonCaption");
        QTest::newRow("long name") << 1 << "歯医者"
                                   << "歯医者"
                                   << "歯医..";
        QTest::newRow("two letters") << 1 << "ab"
                                     << "ab"
                                     << "ab";
        QTest::newRow("unnamed first") << 0 << ""
                                       << "新規1"
                                       << "新規";
        QTest::newRow("unnamed fifth") << 4 << ""
                                       << "新規5"
                                       << "新規";
    }
    void userCategoryNames() {
        QFETCH(int, button);
        QFETCH(QString, name);
        QFETCH(QString, typeCaption);
        QFETCH(QString, buttonCaption);
        QStringList categories = DataDir::installedCategories();
        categories[5 + button] = QString::number(6 + button) + "|" + name;
        open({entry("あ", "一", 6 + button), entry("い", "二", 1)}, categories);
        QCOMPARE(window->lblNew[button]->text(), buttonCaption);
        // Pressing the label moves its picture box.
        QTest::mousePress(window->lblNew[button], Qt::LeftButton, {}, QPoint(2, 2));
        const QPoint atRest = twips::pos(window->pciNewType[button]);
        QTest::mouseRelease(window->lblNew[button], Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(twips::pos(window->pciNewType[button]) - atRest, QPoint(-10, -10));
        QCOMPARE(window->lblType->text(), typeCaption);
        QCOMPARE(window->currentCategory(), 6 + button);
        QCOMPARE(testBook().entryCount(), 1);
        QCOMPARE(window->WriteType(6 + button), name);
    }

    void writeTypeOutsideRange() {
        open({});
        QCOMPARE(window->WriteType(1), QStringLiteral("親戚"));
        QCOMPARE(window->WriteType(6), QString());
        QCOMPARE(window->WriteType(0), QString());
        QCOMPARE(window->WriteType(12), QString());
    }

    void typeModeLayout_data() {
        QTest::addColumn<bool>("categoryMode");
        QTest::addColumn<QPoint>("lblIndex");
        QTest::addColumn<QPoint>("cboIndex");
        QTest::addColumn<QRect>("picMain");
        QTest::addColumn<QRect>("fsbList");
        QTest::newRow("category") << true << QPoint(3800, 620) << QPoint(4720, 540) << QRect(200, 1940, 5330, 5420)
                                  << QRect(5060, 300, 240, 5090);
        QTest::newRow("all entries") << false << QPoint(2520, 620) << QPoint(3480, 540) << QRect(200, 1320, 5330, 6030)
                                     << QRect(5060, 300, 240, 5700);
    }
    void typeModeLayout() {
        QFETCH(bool, categoryMode);
        QFETCH(QPoint, lblIndex);
        QFETCH(QPoint, cboIndex);
        QFETCH(QRect, picMain);
        QFETCH(QRect, fsbList);
        open({});
        window->TypeMode(categoryMode);
        QCOMPARE(window->size(), QSize(twips::toPx(5715), twips::toPx(7515)));
        QCOMPARE(twips::pos(window->lblIndex), lblIndex);
        QCOMPARE(twips::pos(window->cboIndex), cboIndex);
        QCOMPARE(twips::pos(window->picTypeList), QPoint(0, 1280));
        QCOMPARE(window->picTypeList->isVisible(), categoryMode);
        QCOMPARE(twips::geometry(window->picMain), picMain);
        QCOMPARE(twips::geometry(window->picList0), QRect(0, 300, 5060, 5700));
        QCOMPARE(twips::geometry(window->fsbList), fsbList);
        const int xs[] = {1060, 1530, 2000, 2480, 2940};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(window->categoryLines[i]->isVisible(), categoryMode);
            QCOMPARE(window->categoryLines[i]->twipLine(), QLine(xs[i], 1180, xs[i], 1290));
        }
        QCOMPARE(window->imgNew->isVisible(), !categoryMode);
    }

    void kanaRowKeptAcrossCategories() {
        open({entry("かい", "一", 3), entry("あい", "二", 3), entry("かわ", "三", 1)});
        window->cboIndex->setCurrentIndex(3);
        QCOMPARE(testBook().entryCount(), 2);
        click(window->imgOD);
        QCOMPARE(window->cboIndex->currentIndex(), 3);
        QCOMPARE(testBook().entryCount(), 1);
        QCOMPARE(window->lblCount->text(), QStringLiteral("現在 1 件"));
    }

    void emptyEntryFileOpensEmpty() {
        open({});
        QVERIFY(window->isVisible());
        QCOMPARE(window->lblCount->text(), QStringLiteral("現在 0 件"));
        QCOMPARE(window->cboIndex->currentText(), QStringLiteral("全表示"));
        QVERIFY(window->imgNew->isVisible());
        // No rows; the hint, line by line.
        window->ViewTelList(0);
        paintList();
        QStringList hint;
        for (const auto &call : recorder.ofKind(Kind::Text))
            hint.append(call.text);
        QVERIFY(hint.size() >= 3);
        QCOMPARE(hint.join(QString()), window->picList0->accessibleDescription());
    }

    void cardFormatButtonWithEmptySelection() {
        open({entry("あ", "一", 1)});
        click(window->imgBY);
        QCOMPARE(testBook().entryCount(), 0);
        QString shown;
        QTimer::singleShot(0, [&] {
            frmMsgBox *box = frmMsgBox::loaded();
            QVERIFY(box);
            shown = box->message();
            QVERIFY(!box->picNo->isVisible());
            click(box->picYes);
        });
        click(window->imgTypeB);
        QCOMPARE(shown, QStringLiteral("印刷できるリストがありません。"));
        QVERIFY(window->isVisible());
        QVERIFY(!shownWindow<frmPrintSet>());
    }

    void cardFormatButtonsSetFormat_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("format");
        QTest::newRow("imgType") << "imgType" << 0;
        QTest::newRow("imgTypeA") << "imgTypeA" << 1;
        QTest::newRow("imgTypeB") << "imgTypeB" << 2;
        QTest::newRow("imgTypeC") << "imgTypeC" << 3;
    }
    void cardFormatButtonsSetFormat() {
        QFETCH(QString, button);
        QFETCH(int, format);
        open({entry("あ", "一", 1)});
        click(window->imgQQ);
        click(window->findChild<QWidget *>(button));
        QVERIFY(shownWindow<frmPrintSet>());
        QCOMPARE(shownWindow<frmPrintSet>()->settings().cardFormat, format);
        QVERIFY(!window->isVisible());
    }

    void newEntryOpensEditor() {
        open({});
        click(window->imgNew);
        QCOMPARE(openedEntry(), frmEdit::NewEntry);
        QVERIFY(!window->isVisible());
    }

    // Read-only: the title and the list's last row say so; every writing
    // action says why it cannot write; an opened entry is shown, not edited.
    void readOnlyBookIsShownNotWritten() {
        open(entries(30));
        testBook().setReadOnlyReason(
            QStringLiteral("フォルダー「/media/cd」に書き込めません。読み取り専用の場所です。"));
        const auto writable = qScopeGuard([] { testBook().setReadOnlyReason({}); });
        window = std::make_unique<frmMain>(testBook());
        window->picList0->setRecorder(&recorder);
        window->show();
        const QByteArray before = dir->entryBytes();
        window->ViewTelList(0);
        paintList();
        QVERIFY(window->windowTitle().contains("読み取り専用"));
        QCOMPARE(window->fsbList->pageStep(), 18);
        QCOMPARE(rowTexts(17).size(), 4);
        QVERIFY(rowTexts(18).isEmpty());
        const QList<RecordingTarget::Call> texts = recorder.ofKind(Kind::Text);
        const auto notice = std::find_if(texts.cbegin(), texts.cend(),
                                         [](const auto &call) { return call.text.startsWith("読み取り専用"); });
        QVERIFY(notice != texts.cend());
        QCOMPARE(notice->from.y(), 18 * 300 + 60);
        QVERIFY(window->picList0->accessibleDescription().contains(testBook().readOnlyReason()));

        BoxAnswerer answerer;
        click(window->imgNew);
        QVERIFY(!shownWindow<frmEdit>());
        QVERIFY(answerer.seen.last().contains(testBook().readOnlyReason()));
        auto *editor = new frmEdit(testBook(), 0);
        editor->show();
        QVERIFY(editor->txtName->isReadOnly());
        QVERIFY(!editor->cboType->isEnabled());
        for (ImageButton *write : {editor->imgSave, editor->imgDelList}) {
            const int shown = answerer.seen.size();
            click(write);
            QCOMPARE(answerer.seen.size(), shown + 1);
            QVERIFY(answerer.seen.last().contains("読み取り専用で開いています"));
        }
        // 詳細 shows what is kept and offers no way to change it.
        bool shownOnly = false;
        QTimer::singleShot(0, this, [&shownOnly] {
            auto *details = qobject_cast<frmPerson *>(QApplication::activeModalWidget());
            shownOnly = details && details->txtCompany->isReadOnly() && !details->imgPersonOk->isVisible();
            if (details)
                click(details->imgPersonCancel);
        });
        click(editor->imgPerson);
        QVERIFY(shownOnly);
        QCOMPARE(dir->entryBytes(), before);
        QVERIFY(!QFile::exists(dir->path() + people::FileName));
    }

    void closeButtonEndsProgram() {
        open({});
        QSignalSpy closing(window.get(), &frmMain::closeRequested);
        QTest::mousePress(window->imgClose, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(window->imgClose->pixmap().cacheKey(), window->imgPicture[13].cacheKey());
        QTest::mouseRelease(window->imgClose, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(window->imgClose->pixmap().cacheKey(), window->imgPicture[14].cacheKey());
        QCOMPARE(closing.count(), 1);
    }
};

TELBORA_TEST(TestMainWindow)
#include "tst_mainwindow.moc"
