#include "cli/sourcelistfile.h"
#include "cli/wildcards.h"
#include "core/text/cp932.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using sourcelistfile::Encoding;
using sourcelistfile::List;

// The list of tessiva-batch: its lines, their numbers, and each line read in
// its own encoding.
class TestSourceListFile : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void oneEncodingForTheWholeList();
    void wildcards_data();
    void wildcards();
};

void TestSourceListFile::wildcards_data()
{
    // Arguments as a Windows program expands them, in a folder holding
    // b.DXF, a.dxf, c.dwg and ab.dxf: "$" stands for the folder.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("sources"); // empty: refused
    QTest::addColumn<QString>("unmatched");
    const QString d = QStringLiteral("$/");
    QTest::newRow("a star, in any case, in the order of the names")
        << QStringList{d + QStringLiteral("*.dxf")}
        << QStringList{d + QStringLiteral("a.dxf"), d + QStringLiteral("ab.dxf"), d + QStringLiteral("b.DXF")}
        << QString();
    QTest::newRow("a question mark") << QStringList{d + QStringLiteral("?.dxf")}
                                     << QStringList{d + QStringLiteral("a.dxf"), d + QStringLiteral("b.DXF")}
                                     << QString();
    QTest::newRow("no wildcard: as it is, there or not")
        << QStringList{d + QStringLiteral("zz.dxf"), d + QStringLiteral("a.dxf")}
        << QStringList{d + QStringLiteral("zz.dxf"), d + QStringLiteral("a.dxf")} << QString();
    QTest::newRow("a pattern that matches nothing")
        << QStringList{d + QStringLiteral("a.dxf"), d + QStringLiteral("*.dwf")} << QStringList()
        << d + QStringLiteral("*.dwf");
    QTest::newRow("a wildcard in a folder is a folder's name")
        << QStringList{QStringLiteral("$*/a.dxf")} << QStringList{QStringLiteral("$*/a.dxf")} << QString();
}

void TestSourceListFile::wildcards()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, sources);
    QFETCH(QString, unmatched);
    QTemporaryDir dir;
    for (const char *name : {"b.DXF", "a.dxf", "c.dwg", "ab.dxf"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const auto inFolder = [&dir](QStringList list) {
        for (QString &text : list)
            text.replace(QStringLiteral("$"), dir.path());
        return list;
    };
    QString missing;
    const std::optional<QStringList> expanded = wildcards::expanded(inFolder(arguments), &missing);
    QCOMPARE(expanded.value_or(QStringList()), inFolder(sources));
    QCOMPARE(missing, unmatched.isEmpty() ? QString() : inFolder({unmatched}).constFirst());
}

void TestSourceListFile::lines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("numbers");
    // Refused: the first line of neither encoding; the first line read as
    // two names, and those two; the first lines not UTF-8 and not 932.
    QTest::addColumn<int>("bad");
    QTest::addColumn<QStringList>("twoReadings");
    QTest::addColumn<QList<int>>("mixed");
    const int automatic = int(Encoding::Auto);
    const QByteArray te = "C:\\LST\\\xc3\xb7.DXF"; // ﾃｷ in code page 932, ÷ in UTF-8
    const QByteArray kanji = cp932::encode(QStringLiteral(u"C:\\LST\\平面図1.dxf"));
    QTest::newRow("CR LF, a blank line, no last line end")
        << QByteArray("a.dxf\r\n \r\nb.dxf") << automatic
        << QStringList{QStringLiteral("a.dxf"), QStringLiteral("b.dxf")} << QList<int>{1, 3} << 0 << QStringList()
        << QList<int>();
    QTest::newRow("a byte-order mark says UTF-8") << QByteArray("\xEF\xBB\xBF") + te + "\r\n"
                                                  << automatic << QStringList{QStringLiteral(u"C:\\LST\\÷.DXF")}
                                                  << QList<int>{1} << 0 << QStringList() << QList<int>();
    QTest::newRow("UTF-8 throughout") << QByteArray("C:\\\xe3\x81\x82.dxf\nC:\\\xe8\xa1\xa8.dxf\n") << automatic
                                      << QStringList{QStringLiteral(u"C:\\あ.dxf"), QStringLiteral(u"C:\\表.dxf")}
                                      << QList<int>{1, 2} << 0 << QStringList() << QList<int>();
    QTest::newRow("code page 932 throughout, a line that alone reads as UTF-8")
        << kanji + "\r\n" + te + "\r\n"
        << automatic << QStringList{QStringLiteral(u"C:\\LST\\平面図1.dxf"), QStringLiteral(u"C:\\LST\\ﾃｷ.DXF")}
        << QList<int>{1, 2} << 0 << QStringList() << QList<int>();
    QTest::newRow("text of both, read as other names")
        << QByteArray("a.dxf\r\n") + te + "\r\n"
        << automatic << QStringList() << QList<int>() << 0
        << QStringList{QStringLiteral(u"C:\\LST\\÷.DXF"), QStringLiteral(u"C:\\LST\\ﾃｷ.DXF")} << QList<int>();
    QTest::newRow("ﾊｼ, text of both") << QByteArray("C:\\LST\\\xca\xbc.DXF") << automatic << QStringList()
                                      << QList<int>() << 0
                                      << QStringList{QStringLiteral(u"C:\\LST\\ʼ.DXF"),
                                                     QStringLiteral(u"C:\\LST\\ﾊｼ.DXF")}
                                      << QList<int>();
    QTest::newRow("cp932 named") << te << int(Encoding::Cp932) << QStringList{QStringLiteral(u"C:\\LST\\ﾃｷ.DXF")}
                                 << QList<int>{1} << 0 << QStringList() << QList<int>();
    QTest::newRow("utf-8 named") << te << int(Encoding::Utf8) << QStringList{QStringLiteral(u"C:\\LST\\÷.DXF")}
                                 << QList<int>{1} << 0 << QStringList() << QList<int>();
    QTest::newRow("utf-8 named: a code page 932 line is an error")
        << QByteArray("a.dxf\n\n\x95\x5c.dxf\n") << int(Encoding::Utf8) << QStringList{} << QList<int>{} << 3
        << QStringList() << QList<int>();
    QTest::newRow("a line of each") << QByteArray("C:\\\xe3\x81\x82.dxf\nC:\\\xb1.dxf\n") << automatic << QStringList()
                                    << QList<int>() << 0 << QStringList() << QList<int>{2, 1};
    QTest::newRow("neither") << QByteArray("a.dxf\n\x81\n") << automatic << QStringList{} << QList<int>{} << 2
                             << QStringList() << QList<int>();
    QTest::newRow("neither, after a line of code page 932")
        << QByteArray("C:\\\xb1.dxf\na.dxf\n\x81\n") << automatic << QStringList{} << QList<int>{} << 3 << QStringList()
        << QList<int>();
    // An empty standard input, a find that matched nothing.
    QTest::newRow("no bytes at all") << QByteArray() << automatic << QStringList{} << QList<int>{} << 0 << QStringList()
                                     << QList<int>();
    QTest::newRow("a long ASCII line") << QByteArray(1000, 'a') << automatic << QStringList{QString(1000, u'a')}
                                       << QList<int>{1} << 0 << QStringList() << QList<int>();
}

void TestSourceListFile::lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, numbers);
    QFETCH(int, bad);
    QFETCH(QStringList, twoReadings);
    QFETCH(QList<int>, mixed);
    const List list = List::parse(bytes, Encoding(encoding));
    QCOMPARE(list.badLine(), bad);
    const QStringList read
        = list.ambiguous().line > 0 ? QStringList{list.ambiguous().utf8, list.ambiguous().cp932} : QStringList();
    QCOMPARE(read, twoReadings);
    const QList<int> where
        = list.mixed().notUtf8 > 0 ? QList<int>{list.mixed().notUtf8, list.mixed().notCp932} : QList<int>();
    QCOMPARE(where, mixed);
    QCOMPARE(list.refused(), bad > 0 || !twoReadings.isEmpty() || !mixed.isEmpty());
    QStringList gotTexts;
    QList<int> gotNumbers;
    for (qsizetype i = 0; i < list.size(); ++i) {
        gotTexts << list.text(i);
        gotNumbers << list.number(i);
    }
    QCOMPARE(gotTexts, texts);
    QCOMPARE(gotNumbers, numbers);
}

void TestSourceListFile::oneEncodingForTheWholeList()
{
    // Random pairs of lines, mostly near-UTF-8 and near code page 932: a
    // list is refused, or every line reads in one encoding, the same for
    // all; read as UTF-8, exactly where it is valid UTF-8 (a sequence cut at
    // the end of the first line never joins the second), as the toolkit
    // reads it.
    QRandomGenerator random(20261207);
    static const unsigned char pieces[][4]
        = {{'a'},  {0xC3, 0xA9}, {0xE8, 0xA1, 0xA8}, {0xF0, 0x9F, 0x98, 0x80}, {0xED, 0xA0, 0x80}, {0xC0, 0xAF},
           {0x80}, {0xB1},       {0x95, 0x5C}};
    static const int lengths[] = {1, 2, 3, 4, 3, 2, 1, 1, 2};
    const auto randomLine = [&] {
        QByteArray line;
        const int count = int(random.bounded(1, 24));
        for (int i = 0; i < count; ++i) {
            const int piece = int(random.bounded(int(std::size(lengths))));
            int n = lengths[piece];
            if (random.bounded(10) == 0)
                n = int(random.bounded(1, n + 1)); // cut short
            line.append(reinterpret_cast<const char *>(pieces[piece]), n);
        }
        return line;
    };
    for (int round = 0; round < 3000; ++round) {
        const QByteArray lines[] = {randomLine(), randomLine()};
        const QByteArray bytes = lines[0] + '\n' + lines[1];
        const List utf8 = List::parse(bytes, Encoding::Utf8);
        const bool isUtf8 = QByteArrayView(bytes).isValidUtf8();
        QCOMPARE(utf8.badLine(), isUtf8 ? 0 : QByteArrayView(lines[0]).isValidUtf8() ? 2 : 1);
        const List list = List::parse(bytes, Encoding::Auto);
        if (list.refused())
            continue;
        bool isCp932 = false;
        const QString asCp932 = cp932::decode(bytes, &isCp932);
        const QString whole = isUtf8 ? QString::fromUtf8(bytes) : asCp932;
        QVERIFY2(isUtf8 || isCp932, bytes.toHex(' ').constData());
        QVERIFY2(!isUtf8 || !isCp932 || whole == asCp932, bytes.toHex(' ').constData());
        QStringList read;
        for (qsizetype i = 0; i < list.size(); ++i)
            read << list.text(i);
        QStringList expected;
        for (const QString &line : whole.split(u'\n')) {
            if (!line.trimmed().isEmpty())
                expected << line;
        }
        QCOMPARE(read, expected);
    }
}

QTEST_GUILESS_MAIN(TestSourceListFile)
#include "tst_sourcelistfile.moc"
