#include "jobchecktest.h"

// The save's refusals, in their order, with their texts and lines: the one
// table of them. The window and the command line test only that an outcome
// reaches their status line or exit status. A tree's refusals and the
// limits of paths and lines: tst_jobchecktree.
class TestJobCheck : public QObject
{
    Q_OBJECT

private slots:
    void refusals_data();
    void refusals();
    void parameterCheckedWhereTheKindUsesIt();
    void precisionWithinItsRange_data();
    void precisionWithinItsRange();
    void clashesAsAPlainLookupFindsThem_data();
    void clashesAsAPlainLookupFindsThem();
};

void TestJobCheck::refusals_data()
{
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("acad");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");

    const QString acad = QStringLiteral("C:\\ACAD\\");
    const QString out = QStringLiteral("C:\\OUT\\");
    const QStringList good{QStringLiteral("C:\\A\\x.dxf"), QStringLiteral("C:\\A\\y.Dxf"),
                           QStringLiteral("C:\\A\\z.DXF")};
    const int passed = kPasses;

    QTest::newRow("passes") << good << out << acad << passed << -1 << QString();
    QTest::newRow("empty list first, folders empty too")
        << QStringList() << QString() << QString() << int(SaveResult::NoSource) << -1
        << QStringLiteral(u"変換元ﾌｧｲﾙが一つも選択されていません！");
    QTest::newRow("blank destination") << good << QStringLiteral("   ") << QString() << int(SaveResult::NoDestination)
                                       << -1 << QStringLiteral(u"変換先ﾌｫﾙﾀﾞが指定されていません！");
    QTest::newRow("blank AutoCAD folder") << good << out << QStringLiteral(" \t") << int(SaveResult::NoAutocadFolder)
                                          << -1 << QStringLiteral(u"AutoCadｲﾝｽﾄｰﾙﾌｫﾙﾀﾞが指定されていません！");
    QTest::newRow("dwg") << QStringList{QStringLiteral("C:\\A\\x.dxf"), QStringLiteral("C:\\A\\plan.dwg")} << out
                         << acad << int(SaveResult::NotDxf) << 1 << kNotDxf;
    QTest::newRow("no extension") << QStringList{QStringLiteral("C:\\A\\plan")} << out << acad
                                  << int(SaveResult::NotDxf) << 0 << kNotDxf;
    QTest::newRow("full-width DXF is no .DXF")
        << QStringList{QStringLiteral(u"C:\\A\\plan.ＤＸＦ")} << out << acad << int(SaveResult::NotDxf) << 0 << kNotDxf;
    QTest::newRow("same folder reported before a later bad extension")
        << QStringList{QStringLiteral("C:\\OUT\\a.dxf"), QStringLiteral("C:\\A\\b.txt")} << QStringLiteral("c:\\out\\")
        << acad << int(SaveResult::SameFolder) << 0 << kSame;
    QTest::newRow("same folder in full-width letters of another case")
        << QStringList{QStringLiteral(u"C:\\ｏｕｔ\\a.dxf")} << QStringLiteral(u"C:\\ＯＵＴ\\") << acad
        << int(SaveResult::SameFolder) << 0 << kSame;
    QTest::newRow("destination without backslash is another text")
        << QStringList{QStringLiteral("C:\\OUT\\a.dxf")} << QStringLiteral("C:\\OUT") << acad << passed << -1
        << QString();
    QTest::newRow("destination not trimmed for the folder test")
        << QStringList{QStringLiteral("C:\\OUT\\a.dxf")} << QStringLiteral("C:\\OUT\\ ") << acad << passed << -1
        << QString();
    QTest::newRow("unusable source") << QStringList{QStringLiteral("C:\\A\\a.dxf"),
                                                    QStringLiteral(u"C:\\caf\u00e9\\b.dxf")}
                                     << out << acad << int(SaveResult::UnusableText) << 1
                                     << unusable(QStringLiteral(u"変換元ﾌｧｲﾙ"),
                                                 QStringLiteral(u"C:\\caf\u00e9\\b.dxf"));
    QTest::newRow("line break in a source name")
        << QStringList{QStringLiteral("C:\\A\\a\r\nDEL C:\\b.dxf")} << out << acad << int(SaveResult::UnusableText) << 0
        << unusable(QStringLiteral(u"変換元ﾌｧｲﾙ"), QStringLiteral("C:\\A\\a\r\nDEL C:\\b.dxf"));
    QTest::newRow("double quote in a folder")
        << good << QStringLiteral("C:\\OUT\" & DEL X\\") << acad << int(SaveResult::UnusableText) << -1
        << unusable(QStringLiteral(u"変換先ﾌｫﾙﾀﾞ"), QStringLiteral("C:\\OUT\" & DEL X\\"));
    // Characters no Windows name holds; * and ? would be wildcards to DEL.
    QTest::newRow("a wildcard in a source")
        << QStringList{QStringLiteral("C:\\A\\a.dxf"), QStringLiteral("C:\\DRAW\\*.dxf")} << out << acad
        << int(SaveResult::UnusableText) << 1
        << unusable(QStringLiteral(u"変換元ﾌｧｲﾙ"), QStringLiteral("C:\\DRAW\\*.dxf"));
    QTest::newRow("a question mark in a source")
        << QStringList{QStringLiteral("C:\\DRAW\\a?.dxf")} << out << acad << int(SaveResult::UnusableText) << 0
        << unusable(QStringLiteral(u"変換元ﾌｧｲﾙ"), QStringLiteral("C:\\DRAW\\a?.dxf"));
    QTest::newRow("< in the destination folder")
        << good << QStringLiteral("C:\\OUT<\\") << acad << int(SaveResult::UnusableText) << -1
        << unusable(QStringLiteral(u"変換先ﾌｫﾙﾀﾞ"), QStringLiteral("C:\\OUT<\\"));
    QTest::newRow("| in the AutoCAD folder")
        << good << out << QStringLiteral("C:\\A|B\\") << int(SaveResult::UnusableText) << -1
        << unusable(QStringLiteral(u"AutoCadﾌｫﾙﾀﾞ"), QStringLiteral("C:\\A|B\\"));
    QTest::newRow("yen sign has no bytes of its own")
        << good << QStringLiteral(u"C:\\\u00a5\\") << acad << int(SaveResult::UnusableText) << -1
        << unusable(QStringLiteral(u"変換先ﾌｫﾙﾀﾞ"), QStringLiteral(u"C:\\\u00a5\\"));
    // Names Windows reads as others: each field, and the source's line.
    QTest::newRow("a source in a folder ending in a dot")
        << QStringList{QStringLiteral("Z:\\t\\floor\\plan.dxf"), QStringLiteral("Z:\\t\\floor.\\plan.dxf")} << out
        << acad << int(SaveResult::UnusableText) << 1
        << otherName(QStringLiteral(u"変換元ﾌｧｲﾙ"), QStringLiteral("Z:\\t\\floor.\\plan.dxf"),
                     QStringLiteral("floor."));
    QTest::newRow("a device as the destination's folder")
        << good << QStringLiteral("D:\\con\\") << acad << int(SaveResult::UnusableText) << -1
        << otherName(QStringLiteral(u"変換先ﾌｫﾙﾀﾞ"), QStringLiteral("D:\\con\\"), QStringLiteral("con"));
    QTest::newRow("a colon in the AutoCAD folder")
        << good << out << QStringLiteral("Z:\\opt\\acad:13\\") << int(SaveResult::UnusableText) << -1
        << otherName(QStringLiteral(u"AutoCadﾌｫﾙﾀﾞ"), QStringLiteral("Z:\\opt\\acad:13\\"), QStringLiteral("acad:13"));
    QTest::newRow("a drive-relative source")
        << QStringList{QStringLiteral("C:\\A\\x.dxf"), QStringLiteral("a:b.dxf")} << out << acad
        << int(SaveResult::UnusableText) << 1
        << otherName(QStringLiteral(u"変換元ﾌｧｲﾙ"), QStringLiteral("a:b.dxf"), QStringLiteral("a:b.dxf"));
    QTest::newRow("a drive-relative destination")
        << good << QStringLiteral("D:DRAW\\") << acad << int(SaveResult::UnusableText) << -1
        << otherName(QStringLiteral(u"変換先ﾌｫﾙﾀﾞ"), QStringLiteral("D:DRAW\\"), QStringLiteral("D:DRAW"));
    QTest::newRow("a pipe as the AutoCAD folder")
        << good << out << QStringLiteral("\\\\.\\pipe\\x\\") << int(SaveResult::UnusableText) << -1
        << otherName(QStringLiteral(u"AutoCadﾌｫﾙﾀﾞ"), QStringLiteral("\\\\.\\pipe\\x\\"), QStringLiteral("\\\\.\\"));
    QTest::newRow("folders judged before the sources")
        << QStringList{QStringLiteral("Z:\\a\\nul.dxf")} << QStringLiteral("D:\\OUT \\") << acad
        << int(SaveResult::UnusableText) << -1
        << otherName(QStringLiteral(u"変換先ﾌｫﾙﾀﾞ"), QStringLiteral("D:\\OUT \\"), QStringLiteral("OUT "));
    // Windows opens a name shaped like one of its short names as the long
    // file whose short name it is; only the names the batch file makes are
    // judged, not the folders typed for it.
    QTest::newRow("a drawing named like a short name")
        << QStringList{QStringLiteral("C:\\A\\x.dxf"), QStringLiteral("C:\\A\\PLANNI~1.DXF")} << out << acad
        << int(SaveResult::UnusableText) << 1
        << otherName(QStringLiteral(u"変換元ﾌｧｲﾙ"), QStringLiteral("C:\\A\\PLANNI~1.DXF"),
                     QStringLiteral("PLANNI~1.DXF"));
    QTest::newRow("a drawing whose own name is cut to a short name")
        << QStringList{QStringLiteral("C:\\A\\ab~12.dxf.dxf")} << out << acad << int(SaveResult::UnusableText) << 0
        << otherName(QStringLiteral(u"変換元ﾌｧｲﾙ"), QStringLiteral("C:\\A\\ab~12.dxf.dxf"),
                     QStringLiteral("ab~12.dxf.dxf"));
    QTest::newRow("short names typed for the folders")
        << QStringList{QStringLiteral("C:\\PROGRA~1\\plan.dxf")} << QStringLiteral("D:\\OUT~1\\")
        << QStringLiteral("C:\\PROGRA~1\\ACAD\\") << passed << -1 << QString();
    QTest::newRow("a text no batch file carries before a name read otherwise")
        << QStringList{QStringLiteral("Z:\\a\\con.dxf"), QStringLiteral("C:\\A\\*.dxf")} << out << acad
        << int(SaveResult::UnusableText) << 1
        << unusable(QStringLiteral(u"変換元ﾌｧｲﾙ"), QStringLiteral("C:\\A\\*.dxf"));
    QTest::newRow("two drawings onto one")
        << QStringList{QStringLiteral("C:\\A\\plan.dxf"), QStringLiteral("C:\\B\\x.dxf"),
                       QStringLiteral("C:\\C\\PLAN.DXF")}
        << out << acad << int(SaveResult::NameClash) << 2 << clash(QStringLiteral("C:\\OUT\\PLAN.DXF"));
    QTest::newRow("full-width names Windows takes for one")
        << QStringList{QStringLiteral(u"C:\\A\\ａ.dxf"), QStringLiteral(u"C:\\B\\Ａ.dxf")} << out << acad
        << int(SaveResult::NameClash) << 1 << clash(QStringLiteral(u"C:\\OUT\\Ａ.DXF"));
    QTest::newRow("Greek letters of two cases")
        << QStringList{QStringLiteral(u"C:\\A\\α.dxf"), QStringLiteral(u"C:\\B\\Α.dxf")} << out << acad
        << int(SaveResult::NameClash) << 1 << clash(QStringLiteral(u"C:\\OUT\\Α.DXF"));
    QTest::newRow("the same source twice is harmless")
        << QStringList{QStringLiteral("C:\\A\\plan.dxf"), QStringLiteral("c:\\a\\PLAN.dxf")} << out << acad << passed
        << -1 << QString();
    QTest::newRow("hiragana and katakana are two names")
        << QStringList{QStringLiteral(u"C:\\A\\あ.dxf"), QStringLiteral(u"C:\\B\\ア.dxf")} << out << acad << passed
        << -1 << QString();
    // Under Z:, the root of a system that tells case apart, they are two.
    QTest::newRow("names of two cases under Z: are two drawings")
        << QStringList{QStringLiteral("Z:\\p\\Plan.dxf"), QStringLiteral("Z:\\p\\plan.DXF")} << out << acad
        << int(SaveResult::NameClash) << 1 << clash(QStringLiteral("C:\\OUT\\PLAN.DXF"));
    QTest::newRow("folders of two cases under Z:")
        << QStringList{QStringLiteral("Z:\\p\\A\\x.dxf"), QStringLiteral("Z:\\p\\a\\x.dxf")} << out << acad
        << int(SaveResult::NameClash) << 1 << clash(QStringLiteral("C:\\OUT\\X.DXF"));
    // The batch file names them as one, in upper case; Windows finds one.
    QTest::newRow("folders of one name in two cases under Z:")
        << QStringList{QStringLiteral("Z:\\p\\Floor\\a.dxf"), QStringLiteral("Z:\\p\\FLOOR\\b.dxf")} << out << acad
        << int(SaveResult::NameClash) << 1 << QStringLiteral(u"変換元ﾌｫﾙﾀﾞ( Z:\\P\\FLOOR\\ )が重複しています！");
    QTest::newRow("a drawing and a folder of one name under Z:")
        << QStringList{QStringLiteral("Z:\\p\\a.dxf"), QStringLiteral("Z:\\p\\A.DXF\\b.dxf")} << out << acad
        << int(SaveResult::NameClash) << 0 << QStringLiteral(u"変換元ﾌｧｲﾙ( Z:\\P\\A.DXF )が重複しています！");
    QTest::newRow("folders of two cases elsewhere are one folder")
        << QStringList{QStringLiteral("C:\\p\\Floor\\a.dxf"), QStringLiteral("C:\\p\\FLOOR\\b.dxf")} << out << acad
        << passed << -1 << QString();
    QTest::newRow("the same native file twice is harmless")
        << QStringList{QStringLiteral("Z:\\p\\Plan.dxf"), QStringLiteral("Z:\\p\\Plan.dxf")} << out << acad << passed
        << -1 << QString();
    // Paths the converter cannot open: 259 bytes of code page 932 at most.
    const QString root = QStringLiteral("D:\\");
    const QString at259 = QStringLiteral("C:\\") + QString(252, u'a') + QStringLiteral(".dxf");
    // Named whole, so that the file's name can be read; one of any length
    // by its start and its end.
    const QString deep = QStringLiteral("C:\\") + QString(1200, u'd') + QStringLiteral("\\plan.dxf");
    QTest::newRow("a very long source keeps its name")
        << QStringList{deep} << root << acad << int(SaveResult::TooLong) << 0
        << QStringLiteral(u"ﾊﾟｽ( ") + deep.left(499) + QStringLiteral(u"…") + deep.right(500)
            + QStringLiteral(u" )が長すぎます！259ﾊﾞｲﾄまでです。");
    QTest::newRow("a source of 259 bytes") << QStringList{at259} << root << acad << passed << -1 << QString();
    QTest::newRow("a source of 260 bytes")
        << QStringList{QStringLiteral("C:\\A\\x.dxf"),
                       QStringLiteral("C:\\") + QString(253, u'a') + QStringLiteral(".dxf")}
        << root << acad << int(SaveResult::TooLong) << 1
        << tooLong(QStringLiteral("C:\\") + QString(253, u'a') + QStringLiteral(".dxf"));
    QTest::newRow("double-byte characters count twice")
        << QStringList{QStringLiteral("C:\\") + QString(127, QChar(0x8868)) + QStringLiteral(".dxf")} << root << acad
        << int(SaveResult::TooLong) << 0
        << tooLong(QStringLiteral("C:\\") + QString(127, QChar(0x8868)) + QStringLiteral(".dxf"));
    const QString deepOut = QStringLiteral("D:\\") + QString(250, u'o') + QStringLiteral("\\");
    QTest::newRow("a destination over 259 bytes")
        << QStringList{QStringLiteral("C:\\A\\plan.dxf")} << deepOut << acad << int(SaveResult::TooLong) << 0
        << tooLong(deepOut + QStringLiteral("plan.DXF"));
    const QString deepAcad = QStringLiteral("C:\\") + QString(250, u'c') + QStringLiteral("\\");
    QTest::newRow("a converter over 259 bytes")
        << good << out << deepAcad << int(SaveResult::TooLong) << -1 << tooLong(deepAcad + QStringLiteral("DXFIX.EXE"));
}

void TestJobCheck::refusals()
{
    QFETCH(QStringList, sources);
    QFETCH(QString, destination);
    QFETCH(QString, acad);
    QFETCH(int, result);
    QFETCH(int, line);
    QFETCH(QString, text);
    const Checked checked = checkJob(jobOf(sources, destination, acad));
    QCOMPARE(resultOf(checked), result);
    const SaveOutcome outcome = checked.refused() ? checked.why() : SaveOutcome{};
    QCOMPARE(outcome.line, line);
    QCOMPARE(outcome.statusText, text);
}

void TestJobCheck::parameterCheckedWhereTheKindUsesIt()
{
    ConversionJob j = jobOf({QStringLiteral("C:\\A\\x.dxf")});
    j.r12ToGx3Parameter = QStringLiteral(u"\u00e9.DXT");
    QVERIFY(checkJob(j).passed());
    j.kind = BatchKind::R12ToGX3;
    QCOMPARE(checkJob(j).why().statusText,
             unusable(QStringLiteral(u"R12->GX3ﾊﾟﾗﾒｰﾀﾌｧｲﾙ"), QStringLiteral(u"\u00e9.DXT")));
    j.r12ToGx3Parameter = QStringLiteral("*.DXT");
    QCOMPARE(resultOf(checkJob(j)), int(SaveResult::UnusableText));
    // Named below the AutoCAD folder, a parameter file has no drive.
    j.r12ToGx3Parameter = QStringLiteral("C:DXFIX.DXT");
    QCOMPARE(
        checkJob(j).why().statusText,
        otherName(QStringLiteral(u"R12->GX3ﾊﾟﾗﾒｰﾀﾌｧｲﾙ"), QStringLiteral("C:DXFIX.DXT"), QStringLiteral("C:DXFIX.DXT")));
    j.r12ToGx3Parameter = QStringLiteral("DXFIX.DXT.");
    QCOMPARE(resultOf(checkJob(j)), int(SaveResult::UnusableText));
}

void TestJobCheck::precisionWithinItsRange_data()
{
    QTest::addColumn<QString>("precision");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("passes");
    const int ascii = int(OutputFormat::Ascii);
    QTest::newRow("a list item") << QStringLiteral(" 16") << ascii << true;
    QTest::newRow("blanks and a tab around 18") << QStringLiteral("\t18 ") << ascii << true;
    QTest::newRow("0") << QStringLiteral("0") << ascii << true;
    QTest::newRow("19") << QStringLiteral("19") << ascii << false;
    QTest::newRow("06") << QStringLiteral("06") << ascii << false;
    QTest::newRow("empty") << QString() << ascii << false;
    QTest::newRow("a letter no batch file carries") << QStringLiteral(u"1\u00e9") << ascii << false;
    QTest::newRow("6.0") << QStringLiteral("6.0") << ascii << false;
    QTest::newRow("+6") << QStringLiteral("+6") << ascii << false;
    QTest::newRow("a full-width digit") << QStringLiteral(u"６") << ascii << false;
    QTest::newRow("a full-width blank before it") << QStringLiteral(u"\u30006") << ascii << false;
    QTest::newRow("a blank inside") << QStringLiteral("1 2") << ascii << false;
    QTest::newRow("binary output too") << QStringLiteral("-1") << int(OutputFormat::Binary) << false;
}

void TestJobCheck::precisionWithinItsRange()
{
    // Judged before everything else: here the list is empty as well.
    QFETCH(QString, precision);
    QFETCH(int, format);
    QFETCH(bool, passes);
    ConversionJob j;
    j.precision = precision;
    j.outputFormat = OutputFormat(format);
    const Checked checked = checkJob(j);
    QCOMPARE(resultOf(checked), int(passes ? SaveResult::NoSource : SaveResult::BadPrecision));
    if (!passes)
        QCOMPARE(checked.why().statusText,
                 QStringLiteral(u"出力精度( ") + textrules::trimmed(precision)
                     + QStringLiteral(u" )は0から18で指定してください！"));
}

void TestJobCheck::clashesAsAPlainLookupFindsThem_data()
{
    QTest::addColumn<bool>("tree");
    QTest::addColumn<QString>("drive");
    QTest::addColumn<bool>("clashing");
    QTest::newRow("one folder") << false << QStringLiteral("C:") << true;
    // A drawing's place in the tree is its source's place: only where case
    // tells names apart can two sources make one drawing.
    QTest::newRow("tree") << true << QStringLiteral("C:") << false;
    QTest::newRow("one folder under Z:") << false << QStringLiteral("Z:") << true;
    QTest::newRow("tree under Z:") << true << QStringLiteral("Z:") << true;
}

void TestJobCheck::clashesAsAPlainLookupFindsThem()
{
    // Random jobs whose names often fold to one: the first two different
    // sources converted onto one drawing are the ones a plain table of
    // folded names finds.
    QFETCH(bool, tree);
    QFETCH(QString, drive);
    QFETCH(bool, clashing);
    QRandomGenerator random(quint32(tree ? 7 : 3) + (drive == QLatin1String("Z:")));
    static const char16_t letters[] = u"aAａＡαΑбБ表";
    const auto name = [&](int max) {
        QString out;
        const int n = int(random.bounded(1, max + 1));
        for (int i = 0; i < n; ++i)
            out += QChar(letters[random.bounded(int(std::size(letters) - 1))]);
        return out;
    };
    int clashes = 0;
    for (int round = 0; round < 300; ++round) {
        ConversionJob job;
        job.autocadFolder = QStringLiteral("C:\\ACAD\\");
        job.destinationFolder = QStringLiteral("D:\\OUT\\");
        const QString root = drive + QStringLiteral("\\S\\");
        if (tree)
            job.treeRoot = root;
        const int sources = int(random.bounded(1, 40));
        for (int i = 0; i < sources; ++i) {
            // Folders in one spelling each: folders whose names differ only
            // in case are a refusal of their own under Z:.
            const QString below = random.bounded(2) ? textrules::windowsFolded(name(2)) + u'\\' : QString();
            job.sources << root + below + name(4) + (random.bounded(2) ? u".dxf" : u".DXF");
        }

        int line = -1;
        int otherLine = -1;
        const job::JobPlan plan(job);
        QHash<QString, int> firsts;
        for (int i = 0; i < sources && line < 0; ++i) {
            const QString key = textrules::windowsFolded(QString(plan.below(i) + plan.baseName(i)));
            const auto first = firsts.constFind(key);
            if (first == firsts.cend()) {
                firsts.insert(key, i);
                continue;
            }
            const QString &a = job.sources.at(*first);
            const QString &b = job.sources.at(i);
            const bool sameFile = a == b || (drive != QLatin1String("Z:") && textrules::sameWindowsName(a, b));
            if (!sameFile) {
                line = i;
                otherLine = *first;
            }
        }
        const Checked checked = checkJob(job);
        QCOMPARE(resultOf(checked), line < 0 ? kPasses : int(SaveResult::NameClash));
        const SaveOutcome outcome = checked.refused() ? checked.why() : SaveOutcome{};
        QCOMPARE(outcome.line, line);
        QCOMPARE(outcome.otherLine, otherLine);
        clashes += line >= 0;
    }
    QVERIFY2(clashing ? clashes > 50 && clashes < 250 : clashes == 0, qPrintable(QString::number(clashes)));
}

QTEST_GUILESS_MAIN(TestJobCheck)
#include "tst_jobcheck.moc"
