#include "common/testmain.h"
#include "store/mdlDim.h"
#include "ui/centerform.h"
#include "ui/imagebutton.h"
#include "ui/skin.h"
#include "ui/titleimage.h"
#include "ui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

class TestSkin : public QObject {
    Q_OBJECT
private slots:
    void dragMovesWindowByTheSameTwips_data() {
        QTest::addColumn<QPoint>("grab");
        QTest::addColumn<QPoint>("shiftTwips");
        QTest::newRow("300 right") << QPoint(40, 10) << QPoint(300, 0);
        QTest::newRow("300 left, 150 down") << QPoint(200, 5) << QPoint(-300, 150);
    }
    void dragMovesWindowByTheSameTwips() {
        QFETCH(QPoint, grab);
        QFETCH(QPoint, shiftTwips);
        QWidget window;
        skin::setUpWindow(&window, "frmTest", 5715, 3000);
        auto *title = new TitleImage(&window, 5715, "テスト");
        window.move(200, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint start = window.pos();

        QTest::mousePress(title, Qt::LeftButton, {}, grab);
        QVERIFY(title->dragging());
        QCOMPARE(title->grabbedAt(), QPoint(twips::fromPx(grab.x()), twips::fromPx(grab.y())));
        const QPoint shiftPx(twips::toPx(shiftTwips.x()), twips::toPx(shiftTwips.y()));
        QTest::mouseMove(title, grab + shiftPx);
        QCOMPARE(twips::fromPx(window.x() - start.x()), shiftTwips.x());
        QCOMPARE(twips::fromPx(window.y() - start.y()), shiftTwips.y());
        // The grabbed point is under the pointer again: a move to it changes nothing.
        QTest::mouseMove(title, grab);
        QCOMPARE(window.pos(), start + shiftPx);
        QTest::mouseRelease(title, Qt::LeftButton, {}, grab);
        QVERIFY(!title->dragging());

        // Without a press, moving over the title moves nothing.
        const QPoint after = window.pos();
        QTest::mouseMove(title, grab + QPoint(30, 4));
        QCOMPARE(window.pos(), after);
    }

    void buttonClickNeedsPressAndReleaseOnIt() {
        QWidget window;
        skin::setUpWindow(&window, "frmTest", 3000, 3000);
        auto *button = new ImageButton(&window, "imgTest");
        twips::place(button, 0, 0, 900, 300);
        button->setPositions(QPoint(450, 600), QPoint(470, 610));
        window.show();
        QSignalSpy clicks(button, &ImageButton::clicked);

        QTest::mousePress(button, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
        QCOMPARE(twips::pos(button), QPoint(470, 610));
        QTest::mouseRelease(button, Qt::LeftButton, Qt::ShiftModifier, QPoint(500, 5));
        QCOMPARE(twips::pos(button), QPoint(450, 600));
        QCOMPARE(clicks.count(), 0);

        // Only the left button acts.
        for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton}) {
            QTest::mousePress(button, other, {}, QPoint(5, 5));
            QCOMPARE(twips::pos(button), QPoint(450, 600));
            QTest::mouseRelease(button, other, {}, QPoint(5, 5));
        }
        QCOMPARE(clicks.count(), 0);

        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(twips::pos(button), QPoint(450, 600));

        // Placed elsewhere at run time, the first release puts it at rest.
        twips::move(button, 450, 550);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(twips::pos(button), QPoint(450, 600));
    }

    void buttonWithPicturesKeepsItsPlace() {
        QWidget window;
        auto *button = new ImageButton(&window, "imgClose");
        twips::place(button, 5430, 30, 255, 255);
        QPixmap atRest(17, 17), pressed(17, 17);
        atRest.fill(Qt::white);
        pressed.fill(Qt::black);
        button->setPictures(atRest, pressed);
        window.show();
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(button->pixmap().toImage().pixelColor(1, 1), QColor(Qt::black));
        QCOMPARE(twips::pos(button), QPoint(5430, 30));
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(button->pixmap().toImage().pixelColor(1, 1), QColor(Qt::white));
    }

    void centerFormCentresAndAllowsNegative_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("small") << QSize(200, 100);
        QTest::newRow("larger than the screen") << QSize(5000, 4000);
    }
    void centerFormCentresAndAllowsNegative() {
        QFETCH(QSize, size);
        QWidget window;
        window.setFixedSize(size);
        mdlDim::CenterForm(&window);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(window.x(), screen.x() + (screen.width() - size.width()) / 2);
        QCOMPARE(window.y(), screen.y() + (screen.height() - size.height()) / 2);
        QCOMPARE(window.size(), size);
        if (size.width() > screen.width())
            QVERIFY(window.x() < 0);
    }
};

TELBORA_TEST(TestSkin)
#include "tst_skin.moc"
