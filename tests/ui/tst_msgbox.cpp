#include "common/datadir.h"
#include "common/testmain.h"
#include "store/mdlDim.h"
#include "store/selection.h"
#include "ui/frmMsgBox.h"
#include "ui/imagebutton.h"
#include "ui/loadfailure.h"
#include "ui/twips.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTextDocument>
#include <QTextOption>
#include <QTimer>

Q_DECLARE_METATYPE(MsgButtons)

namespace {
// Answers the next modal box by clicking the named control.
void answerWith(const QString &control) {
    QTimer::singleShot(0, [control] {
        frmMsgBox *box = frmMsgBox::loaded();
        QVERIFY(box && box->isVisible());
        auto *target = box->findChild<QWidget *>(control);
        if (!target)
            box->done(0); // never leave the test waiting in the modal loop
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(3, 3));
    });
}

frmMsgBox *shownBox(const QString &text, MsgButtons mode) {
    frmMsgBox *box = frmMsgBox::prepare(text, mode);
    box->show();
    return box;
}
} // namespace

class TestMsgBox : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        while (frmMsgBox::loaded())
            frmMsgBox::loaded()->unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A question asked while another is on screen leaves the outer box alone.
    void nestedQuestionKeepsOuterBox() {
        QPointer<frmMsgBox> outer;
        bool inner = false;
        QTimer::singleShot(0, [&] {
            outer = frmMsgBox::loaded();
            answerWith("picYes");
            inner = frmMsgBox::ask("内側", MsgButtons::YesNo);
            QVERIFY(outer && outer->isVisible());
            QCOMPARE(frmMsgBox::loaded(), outer.data());
            QTest::mouseClick(outer->picNo, Qt::LeftButton, {}, QPoint(3, 3));
        });
        QCOMPARE(frmMsgBox::ask("外側", MsgButtons::YesNo), false);
        QVERIFY(inner);
        QVERIFY(!frmMsgBox::loaded());
    }

    void layouts_data() {
        QTest::addColumn<MsgButtons>("mode");
        QTest::addColumn<QPoint>("yes");
        QTest::addColumn<bool>("noShown");
        QTest::newRow("Yes") << MsgButtons::Yes << QPoint(1600, 1800) << false;
        QTest::newRow("YesNo") << MsgButtons::YesNo << QPoint(1920, 1800) << true;
    }
    void layouts() {
        QFETCH(MsgButtons, mode);
        QFETCH(QPoint, yes);
        QFETCH(bool, noShown);
        frmMsgBox *box = shownBox("質問", mode);
        QCOMPARE(twips::pos(box->picYes), yes);
        QVERIFY(box->picYes->isVisible());
        QCOMPARE(box->picNo->isVisible(), noShown);
        if (noShown)
            QCOMPARE(twips::pos(box->picNo), QPoint(3000, 1800));
        QCOMPARE(box->size(), QSize(twips::toPx(4170), twips::toPx(2295)));
        QCOMPARE(box->message(), QStringLiteral("質問"));
        QCOMPARE(box->lblYes->text(), QStringLiteral("はい"));
        QVERIFY(!box->imgPrintPaper->isVisible());
    }

    void answers_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("result");
        QTest::newRow("picYes") << "picYes" << true;
        QTest::newRow("lblYes answers like its button") << "lblYes" << true;
        QTest::newRow("picNo") << "picNo" << false;
        QTest::newRow("lblNo answers like its button") << "lblNo" << false;
    }
    void answers() {
        QFETCH(QString, control);
        QFETCH(bool, result);
        answerWith(control);
        QCOMPARE(frmMsgBox::ask("このリストを保存しますか？", MsgButtons::YesNo), result);
        QVERIFY(!frmMsgBox::loaded());
    }

    void pressedLook_data() {
        QTest::addColumn<MsgButtons>("mode");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QPoint>("pressed");
        QTest::addColumn<QPoint>("atRest");
        QTest::newRow("single yes") << MsgButtons::Yes << "picYes"
                                    << "picYes" << QPoint(1620, 1810) << QPoint(1600, 1800);
        QTest::newRow("single yes label") << MsgButtons::Yes << "lblYes"
                                          << "picYes" << QPoint(1620, 1810) << QPoint(1600, 1800);
        QTest::newRow("yes of two") << MsgButtons::YesNo << "picYes"
                                    << "picYes" << QPoint(1930, 1810) << QPoint(1920, 1800);
        QTest::newRow("no") << MsgButtons::YesNo << "picNo"
                            << "picNo" << QPoint(3010, 1810) << QPoint(3000, 1800);
        QTest::newRow("no label") << MsgButtons::YesNo << "lblNo"
                                  << "picNo" << QPoint(3010, 1810) << QPoint(3000, 1800);
    }
    void pressedLook() {
        QFETCH(MsgButtons, mode);
        QFETCH(QString, control);
        QFETCH(QString, button);
        QFETCH(QPoint, pressed);
        QFETCH(QPoint, atRest);
        frmMsgBox *box = shownBox("x", mode);
        auto *target = box->findChild<QWidget *>(control);
        auto *moved = box->findChild<QWidget *>(button);
        for (int round = 0; round < 3; ++round) { // absolute positions: no drift
            QTest::mousePress(target, Qt::LeftButton, {}, QPoint(2, 2));
            QCOMPARE(twips::pos(moved), pressed);
            // Released away from the button: it moves back and gives no answer.
            QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(-400, 2));
            QCOMPARE(twips::pos(moved), atRest);
            QCOMPARE(frmMsgBox::loaded(), box);
            QVERIFY(box->isVisible());
        }
        QPointer<frmMsgBox> answered(box);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(answered);
        QVERIFY(!answered->isVisible());
        QCOMPARE(answered->answeredYes(), control.contains("Yes"));
        QVERIFY(!frmMsgBox::loaded());
    }

    void carriageReturnGivesTwoLines() {
        frmMsgBox *box = shownBox("一行目\r二行目", MsgButtons::Yes);
        QCOMPARE(box->message().split('\n'), (QStringList{"一行目", "二行目"}));
        QCOMPARE(box->lblMsg->textFormat(), Qt::PlainText); // a file's text is never taken as markup
        const int oneLine = box->lblMsg->fontMetrics().lineSpacing();
        QVERIFY(box->lblMsg->heightForWidth(box->lblMsg->width()) >= 2 * oneLine);
    }

    // However long the message, no line runs into the buttons.
    void longMessageGrowsTheBox_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("short") << "保存しますか？";
        QTest::newRow("refused job with its reason")
            << "プリンター「TelboraPDF」が印刷を受け付けませんでした。\rThe printer is not accepting jobs "
               "because it has been closed by the administrator for maintenance until further "
               "notice.\r印刷を中止しました。";
        QTest::newRow("a long folder")
            << "「/home/user/.local/share/telbora/とても長いフォルダーの名前/さらに長い名前のフォルダー/"
               "VexaTel.txt」を開けません。\rファイルが見つかりません。";
        QTest::newRow("a kept file's long name")
            << "Shift_JIS に戻しました。元のファイルは VexaTel.txt.utf8-20261208-165244 として残してあります。";
    }
    void longMessageGrowsTheBox() {
        QFETCH(QString, text);
        frmMsgBox *box = shownBox(text, MsgButtons::YesNo);
        const int textBottom = box->lblMsg->y() + box->lblMsg->heightForWidth(box->lblMsg->width());
        QVERIFY(textBottom <= box->lblMsg->geometry().bottom() + 1);
        QVERIFY(box->lblMsg->geometry().bottom() < box->picYes->y());
        // Nor past the edges: no word is wider than the label.
        QTextDocument laidOut;
        laidOut.setDefaultFont(box->lblMsg->font());
        laidOut.setDocumentMargin(0);
        laidOut.setDefaultTextOption(QTextOption(Qt::AlignCenter)); // wraps at word boundaries, as a label does
        laidOut.setPlainText(box->lblMsg->text());
        laidOut.setTextWidth(box->lblMsg->width());
        QVERIFY2(laidOut.idealWidth() <= box->lblMsg->width(), qPrintable(box->message()));
        QVERIFY(box->picYes->geometry().bottom() < box->height());
        QCOMPARE(box->picNo->y(), box->picYes->y());
        if (text.size() < 10)
            QCOMPARE(box->size(), QSize(278, 153)); // the designed size
        answerWith("lblYes");
        QVERIFY(box->showModal());
    }

    void paperPromptAdjustsOneShowing() {
        frmMsgBox *box = frmMsgBox::prepare("紙を挿入したあとで,確認ボタン \rを押してください。", MsgButtons::YesNo);
        box->makePaperPrompt();
        box->show();
        QVERIFY(box->imgPrintPaper->isVisible());
        QVERIFY(box->ImgPrinter->isVisible());
        QCOMPARE(box->lblYes->text(), QStringLiteral("確認"));
        QCOMPARE(box->lblNo->text(), QStringLiteral("キャンセル"));
        QVERIFY(box->lblMsg->alignment() & Qt::AlignLeft);
        // Clear of the sheet picture.
        QVERIFY(twips::pos(box->lblMsg).x() > twips::geometry(box->imgPrintPaper).right());
        answerWith("lblYes");
        QVERIFY(box->showModal());

        // The next showing starts from the design state.
        frmMsgBox *next = shownBox("次", MsgButtons::YesNo);
        QCOMPARE(next->lblYes->text(), QStringLiteral("はい"));
        QCOMPARE(next->lblNo->text(), QStringLiteral("いいえ"));
        QVERIFY(!next->imgPrintPaper->isVisible());
        QVERIFY(!next->ImgPrinter->isVisible());
        QVERIFY(next->lblMsg->alignment() & Qt::AlignHCenter);
    }

    void staleBoxIsDiscarded() {
        // A box prepared and never shown stays loaded, hidden, until the next use.
        QPointer<frmMsgBox> stale = frmMsgBox::prepare("古い", MsgButtons::Yes);
        stale->makePaperPrompt();
        QCOMPARE(frmMsgBox::loaded(), stale.data());
        frmMsgBox *fresh = frmMsgBox::prepare("新しい", MsgButtons::YesNo);
        QVERIFY(fresh != stale.data());
        QCOMPARE(fresh->message(), QStringLiteral("新しい"));
        QVERIFY(fresh->picNo->isVisibleTo(fresh));
        QCOMPARE(fresh->lblYes->text(), QStringLiteral("はい"));
        QVERIFY(!fresh->imgPrintPaper->isVisibleTo(fresh));
        QTRY_VERIFY(stale.isNull());
    }

    void paperMovesBetweenTwoPositions() {
        frmMsgBox *box = frmMsgBox::prepare("紙", MsgButtons::YesNo);
        box->makePaperPrompt();
        box->show();
        QVERIFY(box->timPaperMove->isActive());
        QCOMPARE(box->timPaperMove->interval(), 500);
        QCOMPARE(twips::pos(box->imgPrintPaper).y(), 600);
        box->timPaperMove->setInterval(1);
        QTRY_COMPARE(twips::pos(box->imgPrintPaper).y(), 800);
        QVERIFY(box->PaperUp);
        QTRY_COMPARE(twips::pos(box->imgPrintPaper).y(), 600);
        QCOMPARE(twips::geometry(box->imgPrintPaper).width(), 750);
        QCOMPARE(twips::pos(box->imgPrintPaper).x(), 300); // moving only up and down
    }

    void otherMouseButtonsGiveNoAnswer() {
        QTimer::singleShot(0, [] {
            frmMsgBox *box = frmMsgBox::loaded();
            for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton})
                QTest::mouseClick(box->picYes, other, {}, QPoint(3, 3));
            QVERIFY(box->isVisible());
            QTest::mouseClick(box->picNo, Qt::LeftButton, {}, QPoint(3, 3));
        });
        QCOMPARE(frmMsgBox::ask("元に戻しますか？", MsgButtons::YesNo), false);
    }

    // Enter answers with the first button, Esc with いいえ where there is one;
    // Tab reaches the buttons, and Space presses the one with the focus.
    void keyboardAnswers_data() {
        QTest::addColumn<MsgButtons>("mode");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<bool>("answer");
        QTest::newRow("Enter, question") << MsgButtons::YesNo << QList<int>{Qt::Key_Return} << true << true;
        QTest::newRow("Esc, question") << MsgButtons::YesNo << QList<int>{Qt::Key_Escape} << true << false;
        QTest::newRow("Enter, notice") << MsgButtons::Yes << QList<int>{Qt::Key_Enter} << true << true;
        QTest::newRow("Esc, notice: its only answer") << MsgButtons::Yes << QList<int>{Qt::Key_Escape} << true << true;
        // はい has the focus first.
        QTest::newRow("Space: はい") << MsgButtons::YesNo << QList<int>{Qt::Key_Space} << true << true;
        QTest::newRow("Tab, Space: いいえ")
            << MsgButtons::YesNo << QList<int>{Qt::Key_Tab, Qt::Key_Space} << true << false;
        QTest::newRow("Tab, Enter: いいえ")
            << MsgButtons::YesNo << QList<int>{Qt::Key_Tab, Qt::Key_Return} << true << false;
        QTest::newRow("Tab twice, Space: はい")
            << MsgButtons::YesNo << QList<int>{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space} << true << true;
    }
    void keyboardAnswers() {
        QFETCH(MsgButtons, mode);
        QFETCH(QList<int>, keys);
        QFETCH(bool, answered);
        QFETCH(bool, answer);
        bool stillOpen = false;
        QTimer::singleShot(0, [&] {
            frmMsgBox *box = frmMsgBox::loaded();
            QVERIFY(QTest::qWaitForWindowActive(box));
            for (int key : keys)
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box, Qt::Key(key));
            stillOpen = box->isVisible();
            if (stillOpen)
                QTest::mouseClick(box->picYes, Qt::LeftButton, {}, QPoint(3, 3));
        });
        const bool result = frmMsgBox::ask("質問", mode);
        QCOMPARE(stillOpen, !answered);
        if (answered)
            QCOMPARE(result, answer);
    }

    void loadFailureIsShownAndTablesKept_data() {
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QString>("named");
        QTest::newRow("entry file missing") << QStringList{"VexaTel.txt"} << "VexaTel.txt";
        QTest::newRow("category file missing") << QStringList{"VexaType.txt"} << "VexaType.txt";
        QTest::newRow("both missing: the one loaded first")
            << QStringList{"VexaTel.txt", "VexaType.txt"} << "VexaTel.txt";
    }
    void loadFailureIsShownAndTablesKept() {
        QFETCH(QStringList, removed);
        QFETCH(QString, named);
        DataDir dir({"あ|一|||||||1|F"});
        QVERIFY(testBook().load());
        const QStringList loaded = testBook().entries().toList();
        for (const QString &file : removed)
            QVERIFY(QFile::remove(dir.path() + file));
        QString shown;
        QTimer::singleShot(0, [&] {
            frmMsgBox *box = frmMsgBox::loaded();
            QVERIFY(box);
            shown = box->message();
            QVERIFY(!box->picNo->isVisible());
            QTest::mouseClick(box->picYes, Qt::LeftButton, {}, QPoint(3, 3));
        });
        QVERIFY(!mdlDim::loadOrSayWhy(testBook()));
        QVERIFY(!shown.isEmpty());
        // What failed, and the folder it looked in.
        QVERIFY2(shown.startsWith("「" + named), qPrintable(shown));
        QVERIFY2(shown.contains(QDir::toNativeSeparators(QDir(dir.path()).absolutePath())), qPrintable(shown));
        QCOMPARE(testBook().entries().toList(), loaded);
        for (const QString &file : removed)
            QVERIFY(!QFile::exists(dir.path() + file));
        // The selection names the same file.
        QString selectionError;
        QVERIFY(!selection::loadSelection(testBook(), 0, 0, &selectionError));
        QVERIFY2(selectionError.contains(named), qPrintable(selectionError));
    }
};

TELBORA_TEST(TestMsgBox)
#include "tst_msgbox.moc"
