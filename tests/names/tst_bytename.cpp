// A name's bytes survive the trip through the program's strings, whatever
// they are, and only the shown text carries replacement characters.
#include "platform/pure/bytename.h"

#include <QTest>

class tst_ByteName : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void distinctBytesStayDistinct();
};

void tst_ByteName::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("raw");
    const QString fffd(QChar(0xFFFD));
    QTest::newRow("ascii") << QByteArray("a.txt") << QStringLiteral("a.txt") << false;
    QTest::newRow("utf8 umlaut") << QByteArray("H\xc3\xb6rb.txt") << QStringLiteral("Hörb.txt")
                                 << false;
    QTest::newRow("utf8 replacement char")
        << QByteArray("a\xef\xbf\xbd.txt") << "a" + fffd + ".txt" << false;
    QTest::newRow("supplementary")
        << QByteArray("\xf0\x90\x82\x80") << QString::fromUtf8("\xf0\x90\x82\x80") << false;
    QTest::newRow("latin1 byte") << QByteArray("a\xe9.txt") << "a" + fffd + ".txt" << true;
    QTest::newRow("truncated sequence") << QByteArray("x\xe2\x82") << "x" + fffd + fffd << true;
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << fffd + fffd << true;
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xb2\x80") << fffd + fffd + fffd << true;
    QTest::newRow("above U+10FFFF")
        << QByteArray("\xf4\x90\x80\x80") << QString(4, QChar(0xFFFD)) << true;
    QTest::newRow("lone continuation") << QByteArray("\x80z") << fffd + "z" << true;
    QTest::newRow("empty") << QByteArray() << QString() << false;
}

void tst_ByteName::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QFETCH(bool, raw);
    const QString name = ByteName::fromBytes(bytes);
    QCOMPARE(ByteName::toBytes(name), bytes);
    QCOMPARE(ByteName::shown(name), shown);
    QCOMPARE(ByteName::hasRawBytes(name), raw);
}

void tst_ByteName::distinctBytesStayDistinct()
{
    // Both show as "a?.txt"; as carried names they must stay apart, or a
    // command on one would act on the other.
    const QString latin = ByteName::fromBytes("a\xe9.txt");
    const QString replacement = ByteName::fromBytes("a\xef\xbf\xbd.txt");
    QCOMPARE(ByteName::shown(latin), ByteName::shown(replacement));
    QVERIFY(latin != replacement);
}

QTEST_GUILESS_MAIN(tst_ByteName)
#include "tst_bytename.moc"
