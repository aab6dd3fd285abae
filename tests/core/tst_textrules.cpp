#include "core/text/cp932.h"
#include "core/text/textrules.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace textrules;

class TestTextRules : public QObject
{
    Q_OBJECT

private slots:
    void encoding_data();
    void encoding();
    void unencodable();
    void trimmedText_data();
    void trimmedText();
    void caseMapping();
    void pathParts_data();
    void pathParts();
    void baseNames_data();
    void baseNames();
    void trailingBackslash_data();
    void trailingBackslash();
    void fileCount_data();
    void fileCount();
    void errorText_data();
    void errorText();
    void windowsNames_data();
    void windowsNames();
    void tablesMatchTheConverter();
    void decodeMarksWhatIsNotText_data();
    void decodeMarksWhatIsNotText();
};

void TestTextRules::encoding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("backslash") << QStringLiteral("\\") << QByteArray("\x5c");
    QTest::newRow("hyo: second byte 0x5C") << QStringLiteral(u"表") << QByteArray("\x95\x5c");
    QTest::newRow("kei: second byte 'v'") << QStringLiteral(u"計") << QByteArray("\x8c\x76");
    QTest::newRow("half-width katakana") << QStringLiteral(u"ﾊﾞｲﾅﾘ") << QByteArray("\xca\xde\xb2\xc5\xd8");
    QTest::newRow("full-width blank") << QStringLiteral(u"\u3000") << QByteArray("\x81\x40");
    QTest::newRow("wave dash as Windows maps it") << QStringLiteral(u"～") << QByteArray("\x81\x60");
}

void TestTextRules::encoding()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(cp932::encode(text), bytes);
    QCOMPARE(cp932::decode(bytes), text);
    QVERIFY(cp932::canEncode(text));
}

void TestTextRules::tablesMatchTheConverter()
{
    // ASCII is ASCII, control characters included (the converter's IBM
    // table would swap 0x1A and 0x7F; Windows does not).
    for (int u = 0; u < 0x80; ++u) {
        const QString c{QChar(char16_t(u))};
        QCOMPARE(cp932::encode(c), QByteArray(1, char(u)));
        QCOMPARE(cp932::decode(QByteArray(1, char(u))), c);
    }
    // Every other UTF-16 unit: the table encodes exactly what the toolkit's
    // converter encodes and decodes back to the same character. A toolkit
    // without one (no ICU: the Windows build) has the tables made on the
    // build machine, and only the count below to hold them to.
    const bool toolkitConverter = QStringEncoder("Shift_JIS").isValid();
    int encodable = 0;
    for (int u = 0x80; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        if (!toolkitConverter) {
            encodable += cp932::canEncode(QString(QChar(char16_t(u))));
            continue;
        }
        // A converter of its own for each: a converter's error stays set.
        QStringEncoder encoder("Shift_JIS");
        QStringDecoder decoder("Shift_JIS");
        const QString c{QChar(char16_t(u))};
        const QByteArray theirs = encoder.encode(c);
        const bool roundTrip = !encoder.hasError() && decoder.decode(theirs) == c && !decoder.hasError();
        QVERIFY2(cp932::canEncode(c) == roundTrip, qPrintable(QString::number(u, 16)));
        if (roundTrip) {
            ++encodable;
            QVERIFY2(cp932::encode(c) == theirs, qPrintable(QString::number(u, 16)));
            QCOMPARE(cp932::decode(theirs), c);
        }
    }
    QVERIFY(encodable > 7000); // JIS X 0208 and the Windows extensions
}

void TestTextRules::decodeMarksWhatIsNotText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("text") << QByteArray("C:\\\x95\x5c.dxf") << QStringLiteral(u"C:\\表.dxf") << true;
    QTest::newRow("lead byte at the end") << QByteArray("a\x81") << QStringLiteral(u"a\uFFFD") << false;
    QTest::newRow("lead byte before a line end") << QByteArray("\x81\n") << QStringLiteral(u"\uFFFD\n") << false;
    QTest::newRow("unassigned pair") << QByteArray("\x85\x40") << QStringLiteral(u"\uFFFD@") << false;
    QTest::newRow("byte 0x80") << QByteArray("\x80") << QStringLiteral(u"\uFFFD") << false;
}

void TestTextRules::decodeMarksWhatIsNotText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    bool ok = !valid;
    QCOMPARE(cp932::decode(bytes, &ok), text);
    QCOMPARE(ok, valid);
}

void TestTextRules::unencodable()
{
    QVERIFY(!cp932::canEncode(QStringLiteral(u"C:\\caf\u00e9\\a.dxf")));
    QVERIFY(!cp932::canEncode(QStringLiteral(u"\U0001F600")));
    QVERIFY(!cp932::canEncode(QStringLiteral(u"\uFFFD")));
    QVERIFY(cp932::canEncode(QStringLiteral(u"C:\\計画\\表.dxf")));
}

void TestTextRules::trimmedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("precision") << QStringLiteral("  6") << QStringLiteral("6");
    QTest::newRow("tabs and controls") << QStringLiteral("\t\x01 12 \r\n") << QStringLiteral("12");
    QTest::newRow("full-width blank stays") << QStringLiteral(u"\u30006") << QStringLiteral(u"\u30006");
    QTest::newRow("only blanks") << QStringLiteral("   ") << QString();
}

void TestTextRules::trimmedText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(trimmed(text), expected);
}

void TestTextRules::caseMapping()
{
    QCOMPARE(upperCased(QStringLiteral(u"c:\\計画\\plan.dxf ﾊﾞｲﾅﾘ ａｂ é")),
             QStringLiteral(u"C:\\計画\\PLAN.DXF ﾊﾞｲﾅﾘ ａｂ é"));
    QCOMPARE(lowerCased(QStringLiteral(u"C:\\TOOLS\\TESSIVA.INI Ａ")), QStringLiteral(u"c:\\tools\\tessiva.ini Ａ"));
}

void TestTextRules::pathParts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ext");
    QTest::newRow("plain") << QStringLiteral("C:\\A\\x.dxf") << QStringLiteral("C:\\A\\") << QStringLiteral("x.dxf")
                           << QStringLiteral(".dxf");
    QTest::newRow("drive only") << QStringLiteral("D:plan.dxf") << QStringLiteral("D:") << QStringLiteral("plan.dxf")
                                << QStringLiteral(".dxf");
    QTest::newRow("no extension") << QStringLiteral("C:\\A\\plan") << QStringLiteral("C:\\A\\")
                                  << QStringLiteral("plan") << QString();
    QTest::newRow("dot in folder only") << QStringLiteral("C:\\a.b\\plan") << QStringLiteral("C:\\a.b\\")
                                        << QStringLiteral("plan") << QString();
    QTest::newRow("hyo is no separator") << QStringLiteral(u"C:\\DRAW\\表.dxf") << QStringLiteral("C:\\DRAW\\")
                                         << QStringLiteral(u"表.dxf") << QStringLiteral(".dxf");
    QTest::newRow("folder ends in hyo") << QStringLiteral(u"C:\\図表") << QStringLiteral("C:\\")
                                        << QStringLiteral(u"図表") << QString();
    QTest::newRow("slash is no separator")
        << QStringLiteral("C:/a/b.dxf") << QStringLiteral("C:") << QStringLiteral("/a/b.dxf") << QStringLiteral(".dxf");
}

void TestTextRules::pathParts()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, ext);
    QCOMPARE(folderPart(path), folder);
    QCOMPARE(namePart(path), name);
    QCOMPARE(extension(path), ext);
}

void TestTextRules::baseNames_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("base");
    QTest::newRow("plain") << QStringLiteral("C:\\DRAW\\plan1.dxf") << QStringLiteral("plan1");
    QTest::newRow("extension twice") << QStringLiteral("C:\\DRAW\\a.dxf.dxf") << QStringLiteral("a");
    QTest::newRow("case-sensitive search") << QStringLiteral("C:\\a.DXF.dxf") << QStringLiteral("a.DXF");
    QTest::newRow("blank in name") << QStringLiteral("C:\\My Work\\site b.DXF") << QStringLiteral("site b");
    QTest::newRow("double-byte") << QStringLiteral(u"C:\\DRAW\\表.dxf") << QStringLiteral(u"表");
    QTest::newRow("no extension") << QStringLiteral("C:\\DRAW\\plan") << QStringLiteral("plan");
}

void TestTextRules::baseNames()
{
    QFETCH(QString, path);
    QFETCH(QString, base);
    // The base name ends where the first occurrence of the extension starts.
    const textrules::PathParts parts = textrules::pathParts(path);
    QCOMPARE(QStringView(path).mid(parts.nameStart, parts.baseEnd - parts.nameStart), base);
}

void TestTextRules::trailingBackslash_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("appended") << QStringLiteral("C:\\DXF") << QStringLiteral("C:\\DXF\\");
    QTest::newRow("kept") << QStringLiteral("C:\\DXF\\") << QStringLiteral("C:\\DXF\\");
    QTest::newRow("root") << QStringLiteral("D:\\") << QStringLiteral("D:\\");
    QTest::newRow("drive") << QStringLiteral("D:") << QStringLiteral("D:\\");
    QTest::newRow("share") << QStringLiteral("\\\\srv\\share") << QStringLiteral("\\\\srv\\share\\");
    QTest::newRow("slash") << QStringLiteral("C:\\DXF/") << QStringLiteral("C:\\DXF/\\");
    QTest::newRow("ends in hyo") << QStringLiteral(u"C:\\図表") << QStringLiteral(u"C:\\図表\\");
    QTest::newRow("trailing blanks") << QStringLiteral("C:\\A  ") << QStringLiteral("C:\\A  \\");
    QTest::newRow("empty stays empty") << QString() << QString();
}

void TestTextRules::trailingBackslash()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(ensureTrailingBackslash(text), expected);
    QCOMPARE(ensureTrailingBackslash(expected), expected);
}

void TestTextRules::fileCount_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << QStringLiteral("       0");
    QTest::newRow("99") << 99 << QStringLiteral("      99");
    QTest::newRow("123") << 123 << QStringLiteral("     123");
    QTest::newRow("8 digits") << 12345678 << QStringLiteral("12345678");
    QTest::newRow("9 digits, never cut") << 123456789 << QStringLiteral("123456789");
    QTest::newRow("negative") << -5 << QStringLiteral("      -5");
}

void TestTextRules::fileCount()
{
    QFETCH(int, count);
    QFETCH(QString, text);
    QCOMPARE(formatFileCount(count), text);
}

void TestTextRules::errorText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << QStringLiteral("Out of memory") << QStringLiteral("Out of memory.");
    QTest::newRow("full stop") << QStringLiteral("Failed.") << QStringLiteral("Failed.");
    QTest::newRow("exclamation") << QStringLiteral("Failed!") << QStringLiteral("Failed!");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("slash is above the stop") << QStringLiteral("a/") << QStringLiteral("a/.");
}

void TestTextRules::errorText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(errorBoxText(message), shown);
}

void TestTextRules::windowsNames_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("a to z") << QStringLiteral("plan.dxf") << QStringLiteral("PLAN.DXF") << true;
    QTest::newRow("full-width Latin") << QStringLiteral(u"ａｂ") << QStringLiteral(u"ＡＢ") << true;
    QTest::newRow("full-width is not half-width") << QStringLiteral(u"Ａ") << QStringLiteral("A") << false;
    QTest::newRow("Greek") << QStringLiteral(u"αβ") << QStringLiteral(u"ΑΒ") << true;
    QTest::newRow("Cyrillic") << QStringLiteral(u"дом") << QStringLiteral(u"ДОМ") << true;
    QTest::newRow("Roman numerals") << QStringLiteral(u"ⅲ") << QStringLiteral(u"Ⅲ") << true;
    QTest::newRow("kana stay apart") << QStringLiteral(u"あ") << QStringLiteral(u"ア") << false;
    QTest::newRow("lengths differ") << QStringLiteral("a") << QStringLiteral("a ") << false;
}

void TestTextRules::windowsNames()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(sameWindowsName(a, b), same);
    QCOMPARE(windowsFolded(a) == windowsFolded(b), same);
}

QTEST_GUILESS_MAIN(TestTextRules)
#include "tst_textrules.moc"
