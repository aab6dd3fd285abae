#include "cli/consolewrap.h"

#include <QTest>

// Text laid out for a console: Japanese characters two columns wide, lines
// broken where Japanese and English text break, numbers kept with their word.
class TestConsoleWrap : public QObject
{
    Q_OBJECT

private slots:
    void wrapped_data();
    void wrapped();
    void joined_data();
    void joined();
};

void TestConsoleWrap::wrapped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("indent");
    QTest::addColumn<QString>("lines");
    QTest::newRow("English at blanks") << QStringLiteral("one two three four") << 10 << 2
                                       << QStringLiteral("one two\n  three\n  four");
    QTest::newRow("Japanese between characters, two columns each")
        << QStringLiteral(u"変換元の図面ごとに") << 10 << 0 << QStringLiteral(u"変換元の図\n面ごとに");
    QTest::newRow("no line starts with a closing mark")
        << QStringLiteral(u"あいう、えお") << 6 << 0 << QStringLiteral(u"あい\nう、え\nお");
    QTest::newRow("a number stays with its word")
        << QStringLiteral("precision (default 6)") << 20 << 0 << QStringLiteral("precision\n(default 6)");
    QTest::newRow("a Japanese word stays with its number")
        << QStringLiteral(u"精度 (既定 6)") << 12 << 0 << QStringLiteral(u"精度\n(既定 6)");
    QTest::newRow("and with the word after it")
        << QStringLiteral(u"長さ (259 バイト)") << 12 << 0 << QStringLiteral(u"長さ\n(259 バイト)");
    QTest::newRow("numbers and words do not chain") << QStringLiteral(u"変換元を 1 行に 1 つずつ読む") << 16 << 0
                                                    << QStringLiteral(u"変換元を 1 行に\n1 つずつ読む");
    QTest::newRow("a name ending in a digit is no number")
        << QStringLiteral(u"r12-gx3 のいずれか") << 12 << 0 << QStringLiteral(u"r12-gx3 のい\nずれか");
    QTest::newRow("a word ending in a mark lets go of its number")
        << QStringLiteral("output, 0 to 18") << 12 << 0 << QStringLiteral("output, 0\nto 18");
    QTest::newRow("a word longer than the line stands alone")
        << QStringLiteral("a --check-exit-status b") << 8 << 0 << QStringLiteral("a\n--check-exit-status\nb");
    QTest::newRow("after a Japanese mark, English may start a line")
        << QStringLiteral(u"文字、utf-8") << 8 << 0 << QStringLiteral(u"文字、\nutf-8");
}

void TestConsoleWrap::wrapped()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(int, indent);
    QFETCH(QString, lines);
    QCOMPARE(consolewrap::wrapped(text, width, indent, indent), lines);
}

void TestConsoleWrap::joined_data()
{
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("text");
    QTest::newRow("English") << QStringLiteral("one\n   two") << QStringLiteral("one two");
    QTest::newRow("Japanese") << QStringLiteral(u"コードペー\n   ジ") << QStringLiteral(u"コードページ");
    QTest::newRow("after a Japanese mark") << QStringLiteral(u"文字、\n  Windows") << QStringLiteral(u"文字、Windows");
    QTest::newRow("Japanese, then English") << QStringLiteral(u"実行する\nDOS") << QStringLiteral(u"実行する DOS");
}

void TestConsoleWrap::joined()
{
    QFETCH(QString, lines);
    QFETCH(QString, text);
    QCOMPARE(consolewrap::joined(lines), text);
}

QTEST_GUILESS_MAIN(TestConsoleWrap)
#include "tst_consolewrap.moc"
