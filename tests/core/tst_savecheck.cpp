#include "core/savecheck.h"

#include <QTest>

namespace {
ConversionJob goodJob()
{
    ConversionJob job;
    job.autocadFolder = QStringLiteral("C:\\ACAD\\");
    job.destinationFolder = QStringLiteral("C:\\OUT\\");
    job.sources = {QStringLiteral("C:\\A\\x.dxf"), QStringLiteral("C:\\A\\y.Dxf"), QStringLiteral("C:\\A\\z.DXF")};
    return job;
}
} // namespace

class TestSaveCheck : public QObject
{
    Q_OBJECT

private slots:
    void checks_data();
    void checks();
    void unencodableTextNamed();
    void targetTexts_data();
    void targetTexts();
};

void TestSaveCheck::checks_data()
{
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("acad");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("problem");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");

    const QString acad = QStringLiteral("C:\\ACAD\\");
    const QString out = QStringLiteral("C:\\OUT\\");
    const QStringList good = goodJob().sources;
    const int r12 = int(BatchKind::R13ToR12);
    const QString notDxf = QStringLiteral(u"DXFﾌｧｲﾙではありません！");
    const QString same = QStringLiteral(u"変換元と変換先のﾌｫﾙﾀﾞ名が同一です！変換先ﾌｫﾙﾀﾞを変更してください。");

    QTest::newRow("passes") << good << out << acad << r12 << int(JobProblem::None) << -1 << QString();
    QTest::newRow("empty list first, folders empty too")
        << QStringList() << QString() << QString() << r12 << int(JobProblem::NoSource) << -1
        << QStringLiteral(u"変換元ﾌｧｲﾙが一つも選択されていません！");
    QTest::newRow("blank destination") << good << QStringLiteral("   ") << QString() << r12
                                       << int(JobProblem::NoDestination) << -1
                                       << QStringLiteral(u"変換先ﾌｫﾙﾀﾞが指定されていません！");
    QTest::newRow("blank AutoCAD folder") << good << out << QStringLiteral(" \t") << r12
                                          << int(JobProblem::NoAutocadFolder) << -1
                                          << QStringLiteral(u"AutoCadｲﾝｽﾄｰﾙﾌｫﾙﾀﾞが指定されていません！");
    QTest::newRow("dwg") << QStringList{QStringLiteral("C:\\A\\x.dxf"), QStringLiteral("C:\\A\\plan.dwg")}
                         << out << acad << r12 << int(JobProblem::NotDxf) << 1 << notDxf;
    QTest::newRow("no extension") << QStringList{QStringLiteral("C:\\A\\plan")} << out << acad << r12
                                  << int(JobProblem::NotDxf) << 0 << notDxf;
    QTest::newRow("same folder reported before a later bad extension")
        << QStringList{QStringLiteral("C:\\OUT\\a.dxf"), QStringLiteral("C:\\A\\b.txt")}
        << QStringLiteral("c:\\out\\") << acad << r12 << int(JobProblem::SameFolder) << 0 << same;
    QTest::newRow("destination without backslash is another text")
        << QStringList{QStringLiteral("C:\\OUT\\a.dxf")} << QStringLiteral("C:\\OUT") << acad << r12
        << int(JobProblem::None) << -1 << QString();
    QTest::newRow("destination not trimmed for the folder test")
        << QStringList{QStringLiteral("C:\\OUT\\a.dxf")} << QStringLiteral("C:\\OUT\\ ") << acad << r12
        << int(JobProblem::None) << -1 << QString();
    QTest::newRow("two drawings onto one")
        << QStringList{QStringLiteral("C:\\A\\plan.dxf"), QStringLiteral("C:\\B\\x.dxf"),
                       QStringLiteral("C:\\C\\PLAN.DXF")}
        << out << acad << r12 << int(JobProblem::DuplicateDestination) << 2
        << QStringLiteral(u"変換先ﾌｧｲﾙ( C:\\OUT\\PLAN.DXF )が重複しています！");
    QTest::newRow("the same source twice is harmless")
        << QStringList{QStringLiteral("C:\\A\\plan.dxf"), QStringLiteral("c:\\a\\PLAN.dxf")} << out << acad
        << r12 << int(JobProblem::None) << -1 << QString();
    QTest::newRow("unencodable source")
        << QStringList{QStringLiteral("C:\\A\\a.dxf"), QStringLiteral(u"C:\\caf\u00e9\\b.dxf")} << out << acad
        << r12 << int(JobProblem::Unencodable) << 1
        << QStringLiteral(u"変換元ﾌｧｲﾙ( C:\\caf\u00e9\\b.dxf )に使用できない文字が含まれています！");
    QTest::newRow("line break in a source name")
        << QStringList{QStringLiteral("C:\\A\\a\r\nDEL C:\\b.dxf")} << out << acad << r12
        << int(JobProblem::Unencodable) << 0
        << QStringLiteral(u"変換元ﾌｧｲﾙ( C:\\A\\a\r\nDEL C:\\b.dxf )に使用できない文字が含まれています！");
    QTest::newRow("double quote in a folder")
        << good << QStringLiteral("C:\\OUT\" & DEL X\\") << acad << r12 << int(JobProblem::Unencodable) << -1
        << QStringLiteral(u"変換先ﾌｫﾙﾀﾞ( C:\\OUT\" & DEL X\\ )に使用できない文字が含まれています！");
    QTest::newRow("unencodable destination")
        << good << QStringLiteral(u"C:\\\u00c5\\") << acad << r12 << int(JobProblem::Unencodable) << -1
        << QStringLiteral(u"変換先ﾌｫﾙﾀﾞ( C:\\\u00c5\\ )に使用できない文字が含まれています！");
}

void TestSaveCheck::checks()
{
    QFETCH(QStringList, sources);
    QFETCH(QString, destination);
    QFETCH(QString, acad);
    QFETCH(int, kind);
    QFETCH(int, problem);
    QFETCH(int, line);
    QFETCH(QString, text);
    ConversionJob job;
    job.kind = BatchKind(kind);
    job.sources = sources;
    job.destinationFolder = destination;
    job.autocadFolder = acad;
    const JobCheck check = checkJob(job);
    QCOMPARE(int(check.problem), problem);
    QCOMPARE(check.line, line);
    QCOMPARE(check.statusText, text);
}

void TestSaveCheck::unencodableTextNamed()
{
    // A parameter file is only checked where the kind uses it.
    ConversionJob job = goodJob();
    job.r12ToGx3Parameter = QStringLiteral(u"\u00e9.DXT");
    QVERIFY(checkJob(job).ok());
    job.kind = BatchKind::R12ToGX3;
    QCOMPARE(checkJob(job).statusText,
             QStringLiteral(u"R12->GX3ﾊﾟﾗﾒｰﾀﾌｧｲﾙ( \u00e9.DXT )に使用できない文字が含まれています！"));
}

void TestSaveCheck::targetTexts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("bat");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::newRow("windows txt") << QStringLiteral("C:\\WORK\\JOB.TXT") << false << QStringLiteral("C:\\WORK\\")
                                 << QStringLiteral("JOB.TXT");
    QTest::newRow("lower-case bat") << QStringLiteral("C:\\WORK\\job.bat") << true
                                    << QStringLiteral("C:\\WORK\\") << QStringLiteral("job.bat");
    QTest::newRow("native unix") << QStringLiteral("/home/a.b/JOB") << false << QStringLiteral("/home/a.b/")
                                 << QStringLiteral("JOB");
    QTest::newRow("native unix bat") << QStringLiteral("/tmp/R13TO12.BAT") << true << QStringLiteral("/tmp/")
                                     << QStringLiteral("R13TO12.BAT");
}

void TestSaveCheck::targetTexts()
{
    QFETCH(QString, path);
    QFETCH(bool, bat);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QCOMPARE(savetarget::isBatPath(path), bat);
    QCOMPARE(savetarget::folderOf(path), folder);
    QCOMPARE(savetarget::notBatText(path),
             QStringLiteral(u"拡張子が.BATでないため( ") + name + QStringLiteral(u" )では保存できません！"));
    QCOMPARE(savetarget::savedText(path), QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") + path + QStringLiteral(u"を保存しました！"));
    QCOMPARE(savetarget::cannotSaveText(path),
             QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") + path + QStringLiteral(u"を保存できません！"));
}

QTEST_GUILESS_MAIN(TestSaveCheck)
#include "tst_savecheck.moc"
