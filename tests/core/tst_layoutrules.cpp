// The placement arithmetic of the main window's children, in twips.

#include "core/layoutrules.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<int>)

class TestLayoutRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placements_data()
    {
        QTest::addColumn<int>("mainWidth");
        QTest::addColumn<int>("mainHeight");
        QTest::addColumn<int>("innerHeight");
        QTest::addColumn<int>("historyHeight");
        QTest::addColumn<int>("paneHeight"); // -1: not set
        QTest::addColumn<int>("paneWidth");
        QTest::addColumn<int>("historyTop");
        QTest::newRow("normal") << 12000 << 9000 << 7400 << 2010 << 5420 << 5800 << 5380;
        QTest::newRow("odd width halves down")
            << 12001 << 9000 << 7400 << 2010 << 5420 << 5800 << 5380;
        QTest::newRow("exactly fits") << 12000 << 3580 << 2000 << 2010 << 0 << 5800 << -20;
        QTest::newRow("too small: heights unchanged")
            << 12000 << 3000 << 1400 << 2010 << -1 << 5800 << -620;
        QTest::newRow("too narrow: widths unchanged")
            << 300 << 9000 << 7400 << 2010 << 5420 << -1 << 5380;
    }

    void placements()
    {
        QFETCH(int, mainWidth);
        QFETCH(int, mainHeight);
        QFETCH(int, innerHeight);
        QFETCH(int, historyHeight);
        QFETCH(int, paneHeight);
        QFETCH(int, paneWidth);
        QFETCH(int, historyTop);
        const MainSizes main{mainWidth, mainHeight, innerHeight};
        const auto expectSize = [](int v) {
            return v < 0 ? std::optional<int>() : std::optional<int>(v);
        };

        const Placement local = LocalPlacement(main, historyHeight);
        QCOMPARE(local.height, expectSize(paneHeight));
        QCOMPARE(local.width, expectSize(paneWidth));
        QVERIFY(!local.left && !local.top);

        const Placement strip = StripPlacement(main, historyHeight);
        QCOMPARE(strip.height, expectSize(paneHeight));
        QCOMPARE(strip.width, std::optional<int>(400));
        QCOMPARE(strip.left, std::optional<int>(mainWidth / 2 - 200));
        QCOMPARE(strip.top, std::optional<int>(0));

        const Placement server = ServerPlacement(main, historyHeight, 5800);
        QCOMPARE(server.left, std::optional<int>(6200));
        QCOMPARE(server.height, expectSize(paneHeight));
        QCOMPARE(server.width, expectSize(paneWidth));

        const Placement history = HistoryOnlyPlacement(main, historyHeight);
        QCOMPARE(history.top, std::optional<int>(historyTop));
        QCOMPARE(history.width, expectSize(mainWidth));
    }

    void stripToolbarsAreNotAdjacent()
    {
        const int inner = 5000, height = 300;
        const int up = UploadToolbarTop(inner, height);
        const int down = DownloadToolbarTop(inner, height);
        QCOMPARE(up + height, inner / 2);   // upload ends at the middle
        QCOMPARE(down, inner / 2 + height); // download begins one height below it
        QVERIFY(down > up + height);
    }
};

QTEST_GUILESS_MAIN(TestLayoutRules)
#include "tst_layoutrules.moc"
