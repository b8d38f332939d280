// The list windows keep their elements in proportion to their size.
#include "platform/twips.h"
#include "shell/listwindow.h"
#include "shell/mains.h"
#include "shell/module1.h"
#include "shell/treeview.h"
#include "windowdriver.h"

#include <QLabel>
#include <QMdiArea>
#include <QtTest>

using namespace trovix;
using namespace trovix::ProportionalLayout;

Q_DECLARE_METATYPE(trovix::ChildWindow)

namespace {

// The elements' geometry in twips, by name, to compare one layout with another.
QMap<QString, QRect> layoutOf(ListWindow* window)
{
    QMap<QString, QRect> geometry;
    for (QWidget* element : window->findChildren<QWidget*>()) {
        if (!element->objectName().isEmpty())
            geometry.insert(element->objectName(), element->geometry());
    }
    return geometry;
}

void resizeTo(ListWindow* window, double width, double height)
{
    window->resize(twips::toPixels(width, height));
    QCoreApplication::processEvents();
}

bool isHorizontal(Coordinate c)
{
    return c == Left || c == Width;
}

} // namespace

class LayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void rulesYieldTheirValues_data();
    void rulesYieldTheirValues();
    void designExamples_data();
    void designExamples();
    void minimizeAndRestoreKeepTheLayout_data();
    void minimizeAndRestoreKeepTheLayout();
    void timeRowFollowsATallerWindow();
};

void LayoutTest::rulesYieldTheirValues_data()
{
    QTest::addColumn<ChildWindow>("which");
    QTest::addColumn<double>("widthFactor");
    QTest::addColumn<double>("heightFactor");
    const QList<std::pair<const char*, ChildWindow>> windows = {{"softwares", ChildWindow::Softwares},
                                                                {"games", ChildWindow::Games},
                                                                {"windows", ChildWindow::Windows},
                                                                {"documents", ChildWindow::Documents},
                                                                {"reminders", ChildWindow::Reminders}};
    for (const auto& [name, which] : windows) {
        QTest::newRow(qPrintable(QStringLiteral("%1 at its design size").arg(name))) << which << 1.0 << 1.0;
        QTest::newRow(qPrintable(QStringLiteral("%1 twice as wide").arg(name))) << which << 2.0 << 1.0;
        QTest::newRow(qPrintable(QStringLiteral("%1 twice as large").arg(name))) << which << 2.0 << 2.0;
        QTest::newRow(qPrintable(QStringLiteral("%1 half as large").arg(name))) << which << 0.5 << 0.5;
    }
}

// Every rule gives the window's width or height times its design value over the design size: at the
// design size the value itself, twice it for a width rule of a window twice as wide, and the same as
// before for a height rule. The tree never leaves its corner.
void LayoutTest::rulesYieldTheirValues()
{
    QFETCH(ChildWindow, which);
    QFETCH(double, widthFactor);
    QFETCH(double, heightFactor);
    WindowRun run;
    run.mains->resize(1400, 1200);
    ListWindow* window = run.show(which);
    const QPoint treeCorner = window->TreeView1->pos();
    resizeTo(window, DesignWidth * widthFactor, DesignHeight * heightFactor);
    const QSize outer(qRound(twips::fromPixelsX(window->width())), qRound(twips::fromPixelsY(window->height())));
    // Windows too stand at whole pixels.
    QVERIFY(qAbs(outer.width() - DesignWidth * widthFactor) <= 15);
    QVERIFY(qAbs(outer.height() - DesignHeight * heightFactor) <= 15);

    int rules = 0;
    for (const Statement& s : window->design().resize) {
        if (!s.terms.isEmpty())
            continue;
        ++rules;
        // At the design size a rule gives its value, but for the two widths divided by the design height.
        const double size = isHorizontal(s.coordinate) ? outer.width() : outer.height();
        const double divisor = s.divisor != 0 ? s.divisor : (isHorizontal(s.coordinate) ? DesignWidth : DesignHeight);
        const double expected = size * s.value / divisor;
        const double actual = coordinate(window, s.element, s.coordinate);
        // The hour box may give up room for a time row wider than its frame.
        const bool mayGiveWay = QByteArray(s.element) == "Text1(1)" && s.coordinate == Width;
        // Elements stand at whole pixels, 15 twips each.
        QVERIFY2(mayGiveWay ? actual <= expected + 15 : qAbs(actual - expected) <= 15,
                 qPrintable(QStringLiteral("%1 %2: %3, not %4")
                                    .arg(s.element)
                                    .arg(s.coordinate)
                                    .arg(actual)
                                    .arg(expected)));
    }
    QVERIFY(rules >= 14);
    QCOMPARE(window->TreeView1->pos(), treeCorner);
}

void LayoutTest::designExamples_data()
{
    QTest::addColumn<ChildWindow>("which");
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("coordinate");
    QTest::addColumn<double>("atDesign");
    QTest::addColumn<double>("twiceAsWide");
    QTest::newRow("games frame top moves from its design 2640")
            << ChildWindow::Games << "Frame1" << int(Top) << 2900.0 << 2900.0;
    QTest::newRow("path box width, over the design height")
            << ChildWindow::Softwares << "Text1(1)" << int(Width) << 7170 * 1200 / 4875.0 << 2 * 7170 * 1200 / 4875.0;
    QTest::newRow("reminders frame width") << ChildWindow::Reminders << "Frame1" << int(Width) << 3600.0 << 7200.0;
    QTest::newRow("documents application frame") << ChildWindow::Documents << "Frame2" << int(Left) << 3480.0 << 6960.0;
    QTest::newRow("windows heading width") << ChildWindow::Windows << "Label3" << int(Width) << 3465.0 << 6930.0;
}

void LayoutTest::designExamples()
{
    QFETCH(ChildWindow, which);
    QFETCH(QString, element);
    QFETCH(int, coordinate);
    QFETCH(double, atDesign);
    QFETCH(double, twiceAsWide);
    WindowRun run;
    run.mains->resize(1400, 1200);
    ListWindow* window = run.show(which);
    const QByteArray name = element.toLatin1();
    resizeTo(window, DesignWidth, DesignHeight);
    QVERIFY(qAbs(ProportionalLayout::coordinate(window, name, Coordinate(coordinate)) - atDesign) <= 15);
    resizeTo(window, 2 * DesignWidth, DesignHeight);
    QVERIFY(qAbs(ProportionalLayout::coordinate(window, name, Coordinate(coordinate)) - twiceAsWide) <= 15);
}

void LayoutTest::minimizeAndRestoreKeepTheLayout_data()
{
    QTest::addColumn<ChildWindow>("which");
    QTest::newRow("softwares") << ChildWindow::Softwares;
    QTest::newRow("documents") << ChildWindow::Documents;
    QTest::newRow("reminders") << ChildWindow::Reminders;
}

void LayoutTest::minimizeAndRestoreKeepTheLayout()
{
    QFETCH(ChildWindow, which);
    WindowRun run;
    run.mains->resize(1400, 1200);
    ListWindow* window = run.show(which);
    resizeTo(window, DesignWidth * 1.3, DesignHeight * 1.2);
    const QMap<QString, QRect> before = layoutOf(window);
    window->showMinimized();
    QCoreApplication::processEvents();
    window->showNormal();
    QCoreApplication::processEvents();
    QCOMPARE(layoutOf(window), before);
    window->showMaximized();
    QCoreApplication::processEvents();
    QVERIFY(window->TreeView1->width() > before.value(QStringLiteral("TreeView1")).width());
}

// The time row has no rule of its own: it follows the message box, whose height follows the window's.
void LayoutTest::timeRowFollowsATallerWindow()
{
    WindowRun run;
    run.mains->resize(1400, 1200);
    ListWindow* window = run.show(ChildWindow::Reminders);
    resizeTo(window, DesignWidth, DesignHeight);
    const auto top = [&](const char* element) { return coordinate(window, element, Top); };
    const double messageBottom = top("Text1(0)") + coordinate(window, "Text1(0)", Height);
    QVERIFY(qAbs(top("DTPicker1") - (messageBottom + 50)) <= 15);
    const double timeRow = top("Label2(2)");
    QVERIFY(qAbs(timeRow - (top("DTPicker1") + coordinate(window, "DTPicker1", Height) + 70)) <= 15);
    for (const char* element : {"Text1(1)", "Text1(2)", "Combo1", "Label1"})
        QCOMPARE(top(element), timeRow);
    QCOMPARE(top("Label4"), timeRow + 75); // 70 twips, at whole pixels
    // Left to right, each right after the one before it.
    QCOMPARE(coordinate(window, "Label1", Left),
             coordinate(window, "Text1(1)", Left) + coordinate(window, "Text1(1)", Width));
    QCOMPARE(coordinate(window, "Text1(2)", Width), coordinate(window, "Text1(1)", Width));
    // "HH:MM" is whole, inside the frame, and the hour box still shows two digits.
    auto* hhmm = window->findChild<QLabel*>(QStringLiteral("Label4"));
    auto* frame = window->findChild<QWidget*>(QStringLiteral("Frame1"));
    QVERIFY(hhmm->width() >= hhmm->sizeHint().width());
    QVERIFY2(hhmm->geometry().right() < frame->width(), qPrintable(QString::number(hhmm->geometry().right())));
    auto* hour = window->findChild<QWidget*>(QStringLiteral("Text1(1)"));
    QVERIFY(hour->width() > hour->fontMetrics().horizontalAdvance(QStringLiteral("12")));

    resizeTo(window, DesignWidth, DesignHeight * 1.5);
    // The message box grows by half its 640 twips, and the row moves down with it.
    QVERIFY(qAbs(top("Label2(2)") - timeRow - 320) <= 30);
    QCOMPARE(top("Combo1"), top("Label2(2)"));
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
