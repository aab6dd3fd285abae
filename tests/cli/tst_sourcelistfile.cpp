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
    void utf8AsTheToolkitReadsIt();
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
    QTest::addColumn<int>("bad");
    const int automatic = int(Encoding::Auto);
    QTest::newRow("CR LF, a blank line, no last line end")
        << QByteArray("a.dxf\r\n \r\nb.dxf") << automatic
        << QStringList{QStringLiteral("a.dxf"), QStringLiteral("b.dxf")} << QList<int>{1, 3} << 0;
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFx.dxf\n") << automatic
                                     << QStringList{QStringLiteral("x.dxf")} << QList<int>{1} << 0;
    QTest::newRow("each line on its own")
        << QByteArray("C:\\\xe8\xa1\xa8.dxf\n") + cp932::encode(QStringLiteral(u"C:\\表.dxf")) << automatic
        << QStringList{QStringLiteral(u"C:\\表.dxf"), QStringLiteral(u"C:\\表.dxf")} << QList<int>{1, 2} << 0;
    QTest::newRow("cp932 named: bytes that also read as UTF-8")
        << QByteArray("\xe8\xa1\xa8.dxf") << int(Encoding::Cp932) << QStringList{QStringLiteral(u"陦ｨ.dxf")}
        << QList<int>{1} << 0;
    QTest::newRow("utf-8 named: a code page 932 line is an error")
        << QByteArray("a.dxf\n\n\x95\x5c.dxf\n") << int(Encoding::Utf8) << QStringList{} << QList<int>{} << 3;
    QTest::newRow("neither") << QByteArray("a.dxf\n\x81\n") << automatic << QStringList{} << QList<int>{} << 2;
    // An empty standard input, a find that matched nothing.
    QTest::newRow("no bytes at all") << QByteArray() << automatic << QStringList{} << QList<int>{} << 0;
    QTest::newRow("a long ASCII line") << QByteArray(1000, 'a') << automatic << QStringList{QString(1000, u'a')}
                                       << QList<int>{1} << 0;
}

void TestSourceListFile::lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, numbers);
    QFETCH(int, bad);
    const List list = List::parse(bytes, Encoding(encoding));
    QCOMPARE(list.badLine(), bad);
    if (bad)
        return;
    QStringList gotTexts;
    QList<int> gotNumbers;
    for (qsizetype i = 0; i < list.size(); ++i) {
        gotTexts << list.text(i);
        gotNumbers << list.number(i);
    }
    QCOMPARE(gotTexts, texts);
    QCOMPARE(gotNumbers, numbers);
}

void TestSourceListFile::utf8AsTheToolkitReadsIt()
{
    // Random pairs of lines, mostly near-UTF-8: each line is taken as UTF-8
    // exactly when it is valid on its own (a sequence cut at the end of the
    // first never joins the second, a first line that was not UTF-8 does
    // not make the second one code page 932), and then reads as the toolkit
    // reads it.
    QRandomGenerator random(20261207);
    static const unsigned char pieces[][4]
        = {{'a'},        {0xC3, 0xA9}, {0xE8, 0xA1, 0xA8},      {0xF0, 0x9F, 0x98, 0x80}, {0xED, 0xA0, 0x80},
           {0xC0, 0xAF}, {0x80},       {0xF4, 0x90, 0x80, 0x80}};
    static const int lengths[] = {1, 2, 3, 4, 3, 2, 1, 4};
    const auto randomLine = [&] {
        QByteArray line;
        const int count = int(random.bounded(1, 24));
        for (int i = 0; i < count; ++i) {
            const int piece = int(random.bounded(8));
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
        for (const Encoding encoding : {Encoding::Utf8, Encoding::Auto}) {
            // What each line should read as, and the first line that reads as nothing.
            QStringList expected;
            int bad = 0;
            for (int i = 0; i < 2 && !bad; ++i) {
                bool ok = QByteArrayView(lines[i]).isValidUtf8();
                QString text = QString::fromUtf8(lines[i]);
                if (!ok && encoding == Encoding::Auto)
                    text = cp932::decode(lines[i], &ok);
                if (ok)
                    expected << text;
                else
                    bad = i + 1;
            }
            const List list = List::parse(bytes, encoding);
            QVERIFY2(list.badLine() == bad, bytes.toHex(' ').constData());
            for (qsizetype i = 0; i < expected.size() && !bad; ++i)
                QCOMPARE(list.text(i), expected.at(i));
        }
    }
}

QTEST_GUILESS_MAIN(TestSourceListFile)
#include "tst_sourcelistfile.moc"
