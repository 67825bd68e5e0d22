// The FTP session's pure rules.

#include "core/session.h"

#include <QTest>

class TestSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void portText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -99999: cannot be converted
        QTest::newRow("plain") << "21" << 21;
        QTest::newRow("blanks around") << "  2121 " << 2121;
        QTest::newRow("zero means the default port") << "0" << 0;
        QTest::newRow("largest") << "32767" << 32767;
        QTest::newRow("above 16 bits signed") << "32768" << -99999;
        QTest::newRow("negative stays negative") << "-5" << -5;
        QTest::newRow("half rounds to even down") << "20.5" << 20;
        QTest::newRow("half rounds to even up") << "21.5" << 22;
        QTest::newRow("empty") << "" << -99999;
        QTest::newRow("letters") << "ftp" << -99999;
        QTest::newRow("number with junk") << "21a" << -99999;
        QTest::newRow("infinity") << "inf" << -99999;
    }
    void portText()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const auto port = ConvertPortText(text);
        if (expected == -99999)
            QVERIFY(!port);
        else
            QCOMPARE(port, std::optional<int>(expected));
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
