// The result list: its own store of whole lines, truncation, the tip of a
// clicked line, double-clicks to the parent, and lines readable by
// accessibility tools.
#include <QAccessible>
#include <QSignalSpy>

#include "controls/own_list_box.h"
#include "support/torvik_session.h"

class ListBoxTest : public QObject {
    Q_OBJECT

    std::unique_ptr<COwnListBox> list_;

    COwnListBox& list() { return *list_; }
    QPoint lineCentre(int row) { return list().visualRect(list().model()->index(row, 0)).center(); }

private slots:
    void init() {
        list_ = std::make_unique<COwnListBox>();
        list().setLineHeight(18);
        list().resize(300, 200);
        list().show();
        list().activateWindow();
        list().setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(list_.get()));
    }
    void cleanup() { list_.reset(); }

    void addItemSelectsOnlyTheNewLine() {
        QCOMPARE(list().AddItem(QStringLiteral("9000")), 1);
        QCOMPARE(list().AddItem(QStringLiteral("6A82")), 1);
        QCOMPARE(list().items(), QStringList({"9000", "6A82"}));
        const QModelIndexList selected = list().selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.front().row(), 1);
        list().clearItems();
        QCOMPARE(list().count(), 0);
        QCOMPARE(list().model()->rowCount(), 0);
    }

    void lastLineIsScrolledIntoView() {
        for (int i = 0; i < 40; ++i) list().AddItem(QString::number(i));
        const QRect last = list().visualRect(list().model()->index(39, 0));
        QVERIFY(list().viewport()->rect().contains(last));
    }

    void wideLinesAreCutWithDots() {
        const QFontMetrics fm = list().fontMetrics();
        const QString text(100, QLatin1Char('A'));
        const int a = fm.horizontalAdvance(QLatin1Char('A'));
        // Twenty characters' room: 20 - 5 characters and the dots.
        QCOMPARE(COwnListBox::elided(text, fm, 20 * a + a / 2), QString(15, QLatin1Char('A')) + " ... ");
        QCOMPARE(COwnListBox::elided(QStringLiteral("9000"), fm, 300), QStringLiteral("9000"));
        QCOMPARE(COwnListBox::elided(text, fm, 3 * a), QStringLiteral(" ... "));
        // The list keeps the whole line.
        list().AddItem(text);
        QCOMPARE(list().items().front(), text);
    }

    void tipOfALongLineHasLinesOfSixtyCharacters() {
        QString text;
        for (int i = 0; i < 130; ++i) text += QChar(u'0' + i % 10);
        QString broken;
        const QRect r = list().tipRect(QPoint(0, 0), text, &broken);
        const QStringList lines = broken.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].size(), 60);
        QCOMPARE(lines[1].size(), 60);
        QCOMPARE(lines[2].size(), 10);
        QCOMPARE(lines.join(QString()), text);
        const QFontMetrics fm = list().fontMetrics();
        QCOMPARE(r.height(), 3 * fm.height() + 3);
        QCOMPARE(r.width(), fm.horizontalAdvance(text.left(60)) + 6);
    }

    void tipStaysInsideTheList() {
        const QString text = QStringLiteral("6A82 file not found");
        QString broken;
        const QRect client = list().viewport()->rect();
        const QRect free = list().tipRect(QPoint(10, 10), text, &broken);
        QCOMPARE(free.topLeft(), QPoint(10, 10));
        QCOMPARE(broken, text);
        const QRect corner = list().tipRect(client.bottomRight() - QPoint(3, 3), text, &broken);
        QCOMPARE(corner.size(), free.size());
        QCOMPARE(corner.right(), client.right());
        QCOMPARE(corner.bottom(), client.bottom());
        QVERIFY(list().tipRect(QPoint(10, 10), QString(), &broken).isEmpty());
    }

    void clickShowsTheTipAndMovingAwayHidesIt() {
        const QString text = QStringLiteral("00A4040008A000000003000000 9000");
        list().AddItem(text);
        list().AddItem(QStringLiteral("second"));
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, lineCentre(0));
        QVERIFY2(!list().tip().isVisible(), "no tip before tips are enabled");
        list().enableTips();
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, lineCentre(0));
        CGfxListTip& tip = list().tip();
        QVERIFY(tip.isVisible());
        QCOMPARE(tip.text(), text);
        QString broken;
        const QRect r = list().tipRect(lineCentre(0), text, &broken);
        QCOMPARE(tip.geometry(),
                 QRect(list().viewport()->mapToGlobal(r.topLeft()) + QPoint(5, 0), QSize(r.width() + 3, r.height())));
        // The click selected only that line.
        QCOMPARE(list().selectionModel()->selectedRows().size(), 1);
        QCOMPARE(list().selectionModel()->selectedRows().front().row(), 0);
        // A second Show while up does nothing.
        tip.Show(QRect(0, 0, 50, 20), QStringLiteral("other"));
        QCOMPARE(tip.text(), text);
        // Inside the hover rectangle it stays; beyond it, it goes.
        QTest::mouseMove(&tip, QPoint(2, 2));
        QVERIFY(tip.isVisible());
        QMouseEvent away(QEvent::MouseMove, QPointF(r.width() + 40, r.height() + 40),
                         tip.mapToGlobal(QPointF(r.width() + 40, r.height() + 40)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&tip, &away);
        QVERIFY(!tip.isVisible());
    }

    void keyHidesTheTip() {
        list().AddItem(QStringLiteral("6A82"));
        list().enableTips();
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, lineCentre(0));
        QVERIFY(list().tip().isVisible());
        QTest::keyClick(&list(), Qt::Key_Down);
        QVERIFY(!list().tip().isVisible());
    }

    void doubleClickReportsTheWholeLine() {
        const QString text(200, QLatin1Char('F'));
        list().AddItem(QStringLiteral("first"));
        list().AddItem(text);
        QSignalSpy spy(&list(), &COwnListBox::lineDoubleClicked);
        QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, lineCentre(1));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.front().front().toString(), text);
        // Below the last line there is nothing to report.
        QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, QPoint(5, list().viewport()->height() - 3));
        QCOMPARE(spy.size(), 1);
    }

    void linesAreAccessibleItems() {
        const QString text(120, QLatin1Char('E'));
        list().AddItem(text);
        list().AddItem(QStringLiteral("9000"));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&list());
        QVERIFY(iface);
        QStringList names;
        for (int i = 0; i < iface->childCount(); ++i)
            if (QAccessibleInterface* child = iface->child(i); child && child->role() == QAccessible::ListItem)
                names << child->text(QAccessible::Name);
        QCOMPARE(names, QStringList({text, "9000"}));
    }
};

TORVIK_TEST_MAIN(ListBoxTest)
#include "list_box_test.moc"
