#include "core/job/jobpath.h"

#include <QDir>
#include <QTest>

// The one rule that turns a path as given into the job's Windows form.
class TestJobPath : public QObject
{
    Q_OBJECT

private slots:
    void toJob_data();
    void toJob();
    void folderToJob_data();
    void folderToJob();
    void toNative_data();
    void toNative();
    void nativePartsCleanedAwayAsTheToolkitCleansThem();
    void partReadOtherwise_data();
    void partReadOtherwise();
    void shortNameShape_data();
    void shortNameShape();
    void driveRoot_data();
    void driveRoot();
    void nullDevice_data();
    void nullDevice();
};

void TestJobPath::toJob_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("working");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("job");
    const int unixStyle = int(jobpath::Style::Unix);
    const int windows = int(jobpath::Style::Windows);
    const QString cwd = QStringLiteral("/home/a/work");
    QTest::newRow("native absolute") << unixStyle << cwd << QStringLiteral("/home/a/plan.dxf")
                                     << QStringLiteral("Z:\\home\\a\\plan.dxf");
    QTest::newRow("native root") << unixStyle << cwd << QStringLiteral("/") << QStringLiteral("Z:\\");
    QTest::newRow("dot-dot folded away") << unixStyle << cwd << QStringLiteral("/srv/x/../out/./a.dxf")
                                         << QStringLiteral("Z:\\srv\\out\\a.dxf");
    QTest::newRow("relative file") << unixStyle << cwd << QStringLiteral("sub/a.dxf")
                                   << QStringLiteral("Z:\\home\\a\\work\\sub\\a.dxf");
    QTest::newRow("relative folder up") << unixStyle << cwd << QStringLiteral("../out")
                                        << QStringLiteral("Z:\\home\\a\\out");
    QTest::newRow("relative without a working folder stays relative")
        << unixStyle << QString() << QStringLiteral("out/sub") << QStringLiteral("out\\sub");
    QTest::newRow("Windows path kept") << unixStyle << cwd << QStringLiteral("C:\\DRAW\\A.DXF")
                                       << QStringLiteral("C:\\DRAW\\A.DXF");
    QTest::newRow("Windows path with slashes")
        << unixStyle << cwd << QStringLiteral("C:/DRAW/A.DXF") << QStringLiteral("C:\\DRAW\\A.DXF");
    QTest::newRow("drive alone") << unixStyle << cwd << QStringLiteral("D:") << QStringLiteral("D:");
    QTest::newRow("server share") << unixStyle << cwd << QStringLiteral("\\\\srv\\share/x")
                                  << QStringLiteral("\\\\srv\\share\\x");
    QTest::newRow("empty stays empty") << unixStyle << cwd << QString() << QString();
    QTest::newRow("a doubled slash") << unixStyle << cwd << QStringLiteral("/srv//a.dxf")
                                     << QStringLiteral("Z:\\srv\\a.dxf");
    QTest::newRow("a slash at the end") << unixStyle << cwd << QStringLiteral("/srv/out/")
                                        << QStringLiteral("Z:\\srv\\out");
    QTest::newRow("dot and dot-dot at the end")
        << unixStyle << cwd << QStringLiteral("/srv/a/./..") << QStringLiteral("Z:\\srv");
    QTest::newRow("names of dots are names")
        << unixStyle << cwd << QStringLiteral("/.a/..b/.../c.") << QStringLiteral("Z:\\.a\\..b\\...\\c.");
    QTest::newRow("hyo is no separator") << unixStyle << cwd << QStringLiteral(u"/図表/表.dxf")
                                         << QStringLiteral(u"Z:\\図表\\表.dxf");
    QTest::newRow("on Windows, slashes") << windows << QStringLiteral("C:\\Users\\a") << QStringLiteral("C:/OUT")
                                         << QStringLiteral("C:\\OUT");
    QTest::newRow("on Windows, relative")
        << windows << QStringLiteral("C:\\Users\\a") << QStringLiteral("..\\out\\x.dxf")
        << QStringLiteral("C:\\Users\\out\\x.dxf");
    QTest::newRow("on Windows, relative kept without a working folder")
        << windows << QString() << QStringLiteral("out") << QStringLiteral("out");
    // Folded before any check looks at them, never above the drive or share.
    QTest::newRow("Windows dot-dot out of a tree")
        << unixStyle << cwd << QStringLiteral("C:\\Draw\\a\\..\\..\\Out\\b\\x.dxf")
        << QStringLiteral("C:\\Out\\b\\x.dxf");
    QTest::newRow("Windows dot-dot above the drive")
        << unixStyle << cwd << QStringLiteral("C:/../.././x.dxf") << QStringLiteral("C:\\x.dxf");
    QTest::newRow("Windows folder ending in dot-dot")
        << unixStyle << cwd << QStringLiteral("C:\\OUT\\A\\..") << QStringLiteral("C:\\OUT\\");
    QTest::newRow("share keeps its root")
        << unixStyle << cwd << QStringLiteral("\\\\srv\\share\\..\\x\\.\\y") << QStringLiteral("\\\\srv\\share\\x\\y");
    QTest::newRow("relative keeps its leading dot-dot")
        << unixStyle << QString() << QStringLiteral("a\\..\\..\\x") << QStringLiteral("..\\x");
    QTest::newRow("dots in names are names")
        << unixStyle << cwd << QStringLiteral("C:\\a..b\\.x\\y..dxf") << QStringLiteral("C:\\a..b\\.x\\y..dxf");
    // Windows would read it as a separator: the name keeps a mark of it.
    QTest::newRow("a backslash inside a native name")
        << unixStyle << cwd << QStringLiteral("/bs/a\\b.dxf") << QStringLiteral("Z:\\bs\\a/b.dxf");
    QTest::newRow("a backslash inside a native name, cleaned")
        << unixStyle << cwd << QStringLiteral("/bs/./a\\b.dxf") << QStringLiteral("Z:\\bs\\a/b.dxf");
    QTest::newRow("a backslash inside a relative native name")
        << unixStyle << cwd << QStringLiteral("x\\y/a.dxf") << QStringLiteral("Z:\\home\\a\\work\\x/y\\a.dxf");
    QTest::newRow("on Windows, dot-dot folded")
        << windows << QString() << QStringLiteral("D:\\A\\.\\..\\B") << QStringLiteral("D:\\B");
    QTest::newRow("on Windows, a drive-relative path is left")
        << windows << QStringLiteral("C:\\Users\\a") << QStringLiteral("D:x.dxf") << QStringLiteral("D:x.dxf");
}

void TestJobPath::toJob()
{
    QFETCH(int, style);
    QFETCH(QString, working);
    QFETCH(QString, given);
    QFETCH(QString, job);
    QCOMPARE(jobpath::toJob(given, jobpath::Style(style), working), job);
}

void TestJobPath::folderToJob_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("job");
    QTest::newRow("gets its backslash") << QStringLiteral("D:\\OUT") << QStringLiteral("D:\\OUT\\");
    QTest::newRow("relative, from the working folder") << QStringLiteral("out") << QStringLiteral("Z:\\w\\out\\");
    QTest::newRow("blanks stay blank") << QStringLiteral("   ") << QStringLiteral("   ");
    QTest::newRow("empty stays empty") << QString() << QString();
}

void TestJobPath::folderToJob()
{
    QFETCH(QString, given);
    QFETCH(QString, job);
    QCOMPARE(jobpath::folderToJob(given, jobpath::Style::Unix, QStringLiteral("/w")), job);
}

void TestJobPath::toNative_data()
{
    QTest::addColumn<QString>("job");
    QTest::addColumn<QString>("native");
    QTest::newRow("on Z:") << QStringLiteral("Z:\\home\\a\\out") << QStringLiteral("/home/a/out");
    QTest::newRow("lower-case z") << QStringLiteral("z:\\") << QStringLiteral("/");
    QTest::newRow("another drive has no native path") << QStringLiteral("C:\\OUT") << QString();
    QTest::newRow("relative has no native path") << QStringLiteral("OUT\\") << QString();
    QTest::newRow("a backslash inside a name comes back")
        << QStringLiteral("Z:\\bs\\a/b") << QStringLiteral("/bs/a\\b");
    QTest::newRow("typed with slashes") << QStringLiteral("Z:/home/a") << QStringLiteral("/home/a");
}

void TestJobPath::toNative()
{
    QFETCH(QString, job);
    QFETCH(QString, native);
    QCOMPARE(jobpath::toNative(job, jobpath::Style::Unix), native);
}

void TestJobPath::nativePartsCleanedAwayAsTheToolkitCleansThem()
{
    // Native paths of every mix of the parts that need cleaning and names
    // that only look like them, against the toolkit's own cleaning.
    const QStringList parts{QString(),
                            QStringLiteral("."),
                            QStringLiteral(".."),
                            QStringLiteral("a"),
                            QStringLiteral(".b"),
                            QStringLiteral("..c"),
                            QStringLiteral("..."),
                            QStringLiteral("d.")};
    int checked = 0;
    for (int count = 1; count <= 4; ++count) {
        int combinations = 1;
        for (int k = 0; k < count; ++k)
            combinations *= int(parts.size());
        for (int n = 0; n < combinations; ++n) {
            QString native;
            for (int k = 0, rest = n; k < count; ++k, rest /= int(parts.size()))
                native += u'/' + parts.at(rest % parts.size());
            // A toolkit built for Windows keeps "//" at the start as a
            // server's root, which a native path of this style never is.
            if (QDir::separator() == u'\\' && native.startsWith(QStringLiteral("//")))
                continue;
            const QString expected = QStringLiteral("Z:") + QDir::cleanPath(native).replace(u'/', u'\\');
            QCOMPARE(jobpath::toJob(native, jobpath::Style::Unix), expected);
            ++checked;
        }
    }
    QVERIFY(checked >= 7 * (1 + 8 + 64 + 512));
}

void TestJobPath::partReadOtherwise_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("part"); // null: Windows reads the path as it is
    const QString none;
    QTest::newRow("plain") << QStringLiteral("C:\\DRAW\\plan.dxf") << false << none;
    QTest::newRow("a folder ending in a dot")
        << QStringLiteral("Z:\\t\\floor.\\plan.dxf") << false << QStringLiteral("floor.");
    QTest::newRow("a folder ending in a blank")
        << QStringLiteral("Z:\\t\\floor \\plan.dxf") << false << QStringLiteral("floor ");
    QTest::newRow("a name ending in a dot")
        << QStringLiteral("Z:\\t\\dummy.dxf.") << false << QStringLiteral("dummy.dxf.");
    QTest::newRow("a folder field ending in a dot") << QStringLiteral("Z:\\out.\\") << true << QStringLiteral("out.");
    QTest::newRow("a folder field's last text starts names") << QStringLiteral("C:\\OUT\\ ") << true << none;
    QTest::newRow("dot and dot-dot are no names") << QStringLiteral("..\\x\\.\\a.dxf") << false << none;
    QTest::newRow("dots inside a name") << QStringLiteral("C:\\a..b\\.x\\y..dxf") << false << none;
    QTest::newRow("CON") << QStringLiteral("Z:\\d\\con.dxf") << false << QStringLiteral("con.dxf");
    QTest::newRow("NUL without an extension") << QStringLiteral("Z:\\d\\NUL") << false << QStringLiteral("NUL");
    QTest::newRow("AUX as a folder") << QStringLiteral("Z:\\aux\\a.dxf") << false << QStringLiteral("aux");
    QTest::newRow("PRN with two extensions") << QStringLiteral("C:\\Prn.a.dxf") << false << QStringLiteral("Prn.a.dxf");
    QTest::newRow("COM1") << QStringLiteral("C:\\com1.dxf") << false << QStringLiteral("com1.dxf");
    QTest::newRow("LPT9") << QStringLiteral("C:\\LPT9.DXF") << false << QStringLiteral("LPT9.DXF");
    QTest::newRow("COM0 is a name") << QStringLiteral("C:\\com0.dxf") << false << none;
    QTest::newRow("COM10 is a name") << QStringLiteral("C:\\com10.dxf") << false << none;
    QTest::newRow("CONIN$") << QStringLiteral("C:\\conin$.dxf") << false << QStringLiteral("conin$.dxf");
    QTest::newRow("CONOUT$") << QStringLiteral("C:\\CONOUT$") << false << QStringLiteral("CONOUT$");
    QTest::newRow("CON and blanks before the dot")
        << QStringLiteral("C:\\con .dxf") << false << QStringLiteral("con .dxf");
    QTest::newRow("names that start like a device") << QStringLiteral("C:\\console.dxf\\nul_x.dxf") << false << none;
    QTest::newRow("a blank before CON is a name") << QStringLiteral("C:\\ con.dxf") << false << none;
    QTest::newRow("a backslash inside a native name")
        << QStringLiteral("Z:\\bs\\a/b.dxf") << false << QStringLiteral("a/b.dxf");
    QTest::newRow("a colon inside a name")
        << QStringLiteral("Z:\\rev 10:30.dxf") << false << QStringLiteral("rev 10:30.dxf");
    // Read from somewhere else than they name: a drive's current folder,
    // the device namespace.
    QTest::newRow("a drive-relative name") << QStringLiteral("a:b.dxf") << false << QStringLiteral("a:b.dxf");
    QTest::newRow("a drive-relative folder") << QStringLiteral("D:DRAW\\plan.dxf") << false << QStringLiteral("D:DRAW");
    QTest::newRow("a drive alone as a folder") << QStringLiteral("D:") << true << QStringLiteral("D:");
    QTest::newRow("a drive's root") << QStringLiteral("D:\\") << true << none;
    QTest::newRow("the device namespace") << QStringLiteral("\\\\.\\pipe\\x\\") << true << QStringLiteral("\\\\.\\");
    QTest::newRow("the namespace without parsing")
        << QStringLiteral("\\\\?\\C:\\x.dxf") << false << QStringLiteral("\\\\?\\");
    QTest::newRow("a share is no namespace") << QStringLiteral("\\\\srv\\x.dxf") << false << none;
    QTest::newRow("a server's name") << QStringLiteral("\\\\nul\\share\\a.dxf") << false << QStringLiteral("nul");
    QTest::newRow("a server's and share's names") << QStringLiteral("\\\\srv\\share\\a.dxf") << false << none;
}

void TestJobPath::partReadOtherwise()
{
    QFETCH(QString, path);
    QFETCH(bool, folder);
    QFETCH(QString, part);
    const QStringView found
        = jobpath::partReadOtherwise(path, folder ? jobpath::PathEnd::Folder : jobpath::PathEnd::Name);
    QCOMPARE(found.isNull(), part.isNull());
    QCOMPARE(found.toString(), part);
}

void TestJobPath::shortNameShape_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("shaped");
    QTest::newRow("eight and three") << QStringLiteral("PLANNI~1.DXF") << true;
    QTest::newRow("two digits, any case") << QStringLiteral("plann~12.dxf") << true;
    QTest::newRow("a folder without an extension") << QStringLiteral("PROGRA~1") << true;
    QTest::newRow("a short extension") << QStringLiteral("A~1.D") << true;
    QTest::newRow("a tilde alone before the digits") << QStringLiteral("~1.DXF") << true;
    QTest::newRow("nine before the dot") << QStringLiteral("PLANNIN~1.DXF") << false;
    QTest::newRow("a four-letter extension") << QStringLiteral("PLAN~1.DXFX") << false;
    QTest::newRow("no digits after the tilde") << QStringLiteral("PLAN~.DXF") << false;
    QTest::newRow("a letter after the digits") << QStringLiteral("PLAN~1A.DXF") << false;
    QTest::newRow("no tilde") << QStringLiteral("PLAN1.DXF") << false;
    QTest::newRow("the work folder") << QStringLiteral("~TESSIVA~") << false;
    QTest::newRow("a numbered work folder") << QStringLiteral("~TESSIVA1~") << false;
    QTest::newRow("double-byte, eight characters") << QStringLiteral(u"図面図面図~12.DXF") << true;
}

void TestJobPath::shortNameShape()
{
    QFETCH(QString, name);
    QFETCH(bool, shaped);
    QCOMPARE(jobpath::hasShortNameShape(name), shaped);
}

void TestJobPath::driveRoot_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("root");
    QTest::newRow("a drive's root") << QStringLiteral("D:\\") << true;
    QTest::newRow("without its backslash") << QStringLiteral("d:") << true;
    QTest::newRow("a folder on it") << QStringLiteral("D:\\OUT\\") << false;
    QTest::newRow("a drive's current folder and a name") << QStringLiteral("D:A") << false;
    QTest::newRow("a share's root") << QStringLiteral("\\\\SRV\\SHARE\\") << false;
    QTest::newRow("a name ending in a colon") << QStringLiteral("C:\\A:") << false;
    QTest::newRow("nothing") << QString() << false;
}

void TestJobPath::driveRoot()
{
    QFETCH(QString, folder);
    QFETCH(bool, root);
    QCOMPARE(jobpath::isDriveRoot(folder), root);
}

void TestJobPath::nullDevice_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("null");
    QTest::newRow("NUL") << QStringLiteral("NUL") << true;
    QTest::newRow("any case, an extension") << QStringLiteral("nul.ini") << true;
    QTest::newRow("a colon") << QStringLiteral("NUL:") << true;
    QTest::newRow("in a folder") << QStringLiteral("C:\\TEMP\\Nul") << true;
    QTest::newRow("the device namespace") << QStringLiteral("\\\\.\\NUL") << true;
    QTest::newRow("a name that starts so") << QStringLiteral("NULL.INI") << false;
    QTest::newRow("a folder of that name") << QStringLiteral("C:\\NUL\\S.INI") << false;
    QTest::newRow("another device") << QStringLiteral("CON") << false;
}

void TestJobPath::nullDevice()
{
    QFETCH(QString, path);
    QFETCH(bool, null);
    QCOMPARE(jobpath::namesNullDevice(path), null);
}

QTEST_GUILESS_MAIN(TestJobPath)
#include "tst_jobpath.moc"
