#include "jobchecktest.h"

// The save's refusals of a tree job, its destinations, the work names a
// checked run adds to a path, and the longest lines against cmd.exe's.
class TestJobCheckTree : public QObject
{
    Q_OBJECT

private slots:
    void treeRefusals_data();
    void treeRefusals();
    void treeDestinations();
    void workNamesCountTowardsTheLimit_data();
    void workNamesCountTowardsTheLimit();
    void longestLinesStayWithinCmd_data();
    void longestLinesStayWithinCmd();
};

void TestJobCheckTree::treeRefusals_data()
{
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("skip");
    const QString root = QStringLiteral("C:\\PROJECT\\");
    const QString out = QStringLiteral("D:\\OUT\\");
    QTest::newRow("one name in two folders")
        << QStringList{QStringLiteral("C:\\PROJECT\\FLOOR1\\plan.dxf"), QStringLiteral("C:\\project\\floor2\\plan.dxf")}
        << out << kPasses << -1 << 0 << false;
    QTest::newRow("one destination twice")
        << QStringList{QStringLiteral("C:\\PROJECT\\F1\\plan.dxf"), QStringLiteral("C:\\project\\f1\\PLAN.dxf.dxf")}
        << out << int(SaveResult::NameClash) << 1 << 0 << false;
    QTest::newRow("a source outside the root")
        << QStringList{QStringLiteral("C:\\PROJECT\\a.dxf"), QStringLiteral("C:\\OTHER\\b.dxf")} << out
        << int(SaveResult::OutsideTree) << 1 << 0 << false;
    QTest::newRow("a folder that only starts like the root")
        << QStringList{QStringLiteral("C:\\PROJECT2\\a.dxf")} << out << int(SaveResult::OutsideTree) << 0 << 0 << false;
    QTest::newRow("root case differs") << QStringList{QStringLiteral("c:\\Project\\a.dxf")} << out << kPasses << -1 << 0
                                       << false;
    QTest::newRow("the destination is the root") << QStringList{QStringLiteral("C:\\PROJECT\\F1\\a.dxf")} << root
                                                 << int(SaveResult::SameFolder) << 0 << 0 << false;
    QTest::newRow("a source in a folder another drawing goes to")
        << QStringList{QStringLiteral("C:\\PROJECT\\a.dxf"), QStringLiteral("C:\\PROJECT\\OUT\\SUB\\b.dxf"),
                       QStringLiteral("C:\\PROJECT\\SUB\\c.dxf")}
        << QStringLiteral("C:\\PROJECT\\OUT\\") << int(SaveResult::SameFolder) << 1 << 0 << false;
    // No folder the batch file makes may take the name of a file it
    // writes, deletes or moves.
    const int clash = int(SaveResult::NameClash);
    const int r13gx3 = int(BatchKind::R13ToGX3);
    QTest::newRow("a folder named like a drawing")
        << QStringList{QStringLiteral("C:\\PROJECT\\a.dxf"), QStringLiteral("C:\\PROJECT\\A.DXF\\b.dxf")} << out
        << clash << 0 << 0 << false;
    QTest::newRow("a folder named like the intermediate file")
        << QStringList{QStringLiteral("C:\\PROJECT\\dummy.dxf\\a.dxf")} << out << clash << 0 << r13gx3 << false;
    QTest::newRow("one pass makes no intermediate file")
        << QStringList{QStringLiteral("C:\\PROJECT\\dummy.dxf\\a.dxf")} << out << kPasses << -1 << 0 << false;
    QTest::newRow("skipping, the intermediate file is in the work folder")
        << QStringList{QStringLiteral("C:\\PROJECT\\dummy.dxf\\a.dxf")} << out << kPasses << -1 << r13gx3 << true;
    // Windows drops a folder's trailing dots and blanks: these folders
    // would be DUMMY.DXF, ~TESSIVA~A.DXF and A.DXF.
    const int otherName = int(SaveResult::UnusableText);
    QTest::newRow("the intermediate file's name and a dot")
        << QStringList{QStringLiteral("C:\\PROJECT\\dummy.dxf.\\a.dxf")} << out << otherName << 0 << r13gx3 << false;
    QTest::newRow("a temporary drawing's name and a dot")
        << QStringList{QStringLiteral("C:\\PROJECT\\a.dxf"), QStringLiteral("C:\\PROJECT\\~tessiva~a.dxf.\\b.dxf")}
        << out << otherName << 1 << 0 << true;
    QTest::newRow("a folder below the root named like a short name")
        << QStringList{QStringLiteral("C:\\PROJECT\\a.dxf"), QStringLiteral("C:\\PROJECT\\X\\FLOOR~12\\b.dxf")} << out
        << otherName << 1 << 0 << false;
    QTest::newRow("a drawing's name and a blank")
        << QStringList{QStringLiteral("C:\\PROJECT\\a.dxf"), QStringLiteral("C:\\PROJECT\\a.dxf \\b.dxf")} << out
        << otherName << 1 << 0 << false;
    // A checked run holds the destination by its work folder: one name
    // for every run there, which no folder of a tree may take.
    QTest::newRow("skipping, a folder named like the work folder")
        << QStringList{QStringLiteral("C:\\PROJECT\\a.dxf"), QStringLiteral("C:\\PROJECT\\~tessiva~\\b.dxf")} << out
        << clash << 1 << 0 << true;
    QTest::newRow("skipping, that name deeper down")
        << QStringList{QStringLiteral("C:\\PROJECT\\X\\~TESSIVA~\\b.dxf")} << out << kPasses << -1 << 0 << true;
    QTest::newRow("no skipping, no work folder")
        << QStringList{QStringLiteral("C:\\PROJECT\\~TESSIVA~\\b.dxf")} << out << kPasses << -1 << 0 << false;
    QTest::newRow("no drawing is made under a temporary name beside its own")
        << QStringList{QStringLiteral("C:\\PROJECT\\a.dxf"), QStringLiteral("C:\\PROJECT\\~tessiva~a.dxf\\b.dxf")}
        << out << kPasses << -1 << 0 << true;
}

void TestJobCheckTree::treeRefusals()
{
    QFETCH(QStringList, sources);
    QFETCH(QString, destination);
    QFETCH(int, result);
    QFETCH(int, line);
    QFETCH(int, kind);
    QFETCH(bool, skip);
    ConversionJob j = jobOf(sources, destination);
    j.treeRoot = QStringLiteral("C:\\PROJECT\\");
    j.kind = BatchKind(kind);
    j.skipExisting = skip;
    const Checked checked = checkJob(j);
    QCOMPARE(resultOf(checked), result);
    const SaveOutcome outcome = checked.refused() ? checked.why() : SaveOutcome{};
    QCOMPARE(outcome.line, line);
    if (result == int(SaveResult::OutsideTree))
        QCOMPARE(outcome.statusText,
                 QStringLiteral(u"変換元ﾌｧｲﾙ( ") + sources.at(line)
                     + QStringLiteral(u" )が変換元ﾌｫﾙﾀﾞ( C:\\PROJECT\\ )の下にありません！"));
    if (result == int(SaveResult::NameClash) && sources.at(line).contains(QStringLiteral("~tessiva~")))
        QCOMPARE(
            outcome.statusText,
            QStringLiteral(u"変換先ﾌｫﾙﾀﾞ( D:\\OUT\\~TESSIVA~\\ )は作業用のﾌｫﾙﾀﾞなので、図面をそこへ変換できません！"));
}

void TestJobCheckTree::treeDestinations()
{
    ConversionJob j = jobOf({QStringLiteral("C:\\P\\dummy.dxf"), QStringLiteral("C:\\P\\SUB\\dummy1.dxf")},
                            QStringLiteral("D:\\OUT\\"));
    j.treeRoot = QStringLiteral("c:\\p\\");
    const job::JobPlan plan(j);
    QCOMPARE(plan.destination(1), QStringLiteral("D:\\OUT\\SUB\\dummy1.DXF"));
    QCOMPARE(plan.below(0), QStringView());
    QCOMPARE(plan.below(1), QStringView(u"SUB\\"));
    // Only a drawing in the destination folder itself can take the
    // intermediate file's name.
    QCOMPARE(plan.intermediateName(), QStringLiteral("dummy1.dxf"));
}

void TestJobCheckTree::workNamesCountTowardsTheLimit_data()
{
    // A destination of D:\ and `length` o's: skipping or reporting, a
    // drawing is made in the work folder first (~TESSIVA~\DRAWING.DXF, 21
    // more); in parallel, in a worker's folder in the run's own folder
    // there (~TESSIVA~\32767\2\DRAWING.DXF, 29 more), and each drawing is
    // claimed by a folder (~TESSIVA~\32767\C\1, 19 more), which Windows
    // makes only up to 247 bytes.
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("skip");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("limit");
    const int tooLong = int(SaveResult::TooLong);
    QTest::newRow("plain, a long destination") << 245 << false << 1 << kPasses << 0;
    QTest::newRow("skipping, its work file") << 245 << true << 1 << tooLong << 259;
    QTest::newRow("skipping, at the limit") << 234 << true << 1 << kPasses << 0;
    QTest::newRow("in parallel, a claim folder") << 225 << false << 2 << tooLong << 247;
    QTest::newRow("in parallel, at the limit") << 224 << false << 2 << kPasses << 0;
    QTest::newRow("sixteen workers, a worker's file") << 226 << false << 16 << tooLong << 259;
}

void TestJobCheckTree::workNamesCountTowardsTheLimit()
{
    QFETCH(int, length);
    QFETCH(bool, skip);
    QFETCH(int, jobs);
    QFETCH(int, result);
    QFETCH(int, limit);
    ConversionJob j = jobOf({QStringLiteral("C:\\A\\p.dxf")}, QStringLiteral("D:\\") + QString(length, u'o') + u'\\');
    j.skipExisting = skip;
    j.jobs = jobs;
    const Checked checked = checkJob(j);
    QCOMPARE(resultOf(checked), result);
    if (checked.refused())
        QVERIFY2(checked.why().statusText.endsWith(QStringLiteral(u"%1ﾊﾞｲﾄまでです。").arg(limit)),
                 qPrintable(checked.why().statusText));
}

void TestJobCheckTree::longestLinesStayWithinCmd_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("skip");
    for (int kind = 0; kind < 3; ++kind) {
        QTest::addRow("kind %d", kind) << kind << false;
        QTest::addRow("kind %d, tree, skipping", kind) << kind << true;
    }
}

void TestJobCheckTree::longestLinesStayWithinCmd()
{
    // Every path at the limit, made of the characters that take the most
    // room in a line (%, doubled, and a blank that asks for quotes): the
    // checks pass it, and no line comes near what cmd.exe runs.
    QFETCH(int, kind);
    QFETCH(bool, skip);
    const auto filled = [](const QString &head, qsizetype bytes, const QString &tail) {
        QString text = head;
        while (cp932::encodedLength(text) + tail.size() < bytes)
            text += text.size() % 2 ? u'%' : u' ';
        if (text.endsWith(u' ')) // Windows would drop a folder's trailing blank
            text.back() = u'%';
        return QString(text + tail);
    };
    ConversionJob j;
    j.kind = BatchKind(kind);
    j.skipExisting = skip;
    j.autocadFolder = filled(QStringLiteral("C:\\"), 259 - 9, QStringLiteral("\\"));
    j.r13ToR12Parameter = j.r12ToGx3Parameter = QStringLiteral("P.DXT");
    j.destinationFolder = QStringLiteral("D:\\O%\\");
    if (skip)
        j.treeRoot = QStringLiteral("C:\\R\\");
    j.sources = {filled(QStringLiteral("C:\\R\\"), 259 - 16, QStringLiteral("\\a%.dxf"))};
    QVERIFY(checkJob(j).passed());
    const QByteArray bytes = batchFileBytes(j);
    QVERIFY(!bytes.isEmpty());
    for (const QByteArray &line : bytes.split('\n'))
        QVERIFY2(line.size() <= kMaxCmdLineBytes, qPrintable(QString::number(line.size())));
}

QTEST_GUILESS_MAIN(TestJobCheckTree)
#include "tst_jobchecktree.moc"
