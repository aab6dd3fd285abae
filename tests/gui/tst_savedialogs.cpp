#include "batchbytes.h"
#include "core/files/filewrite.h"
#include "platform/qtplatformservices.h"
#include "savetest.h"
#include "testfiles.h"
#include "ui/systemreason.h"

#include "workedexamples.h"

#include <QAction>
#include <QApplication>

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>

using testfiles::readAll;

// The save's dialogs through the window: what each kind proposes, the
// folder the first opens in, the window's face in the toolkit's boxes and
// the system's dialogs, their size, and a cancel that reports nothing.
class TestSaveDialogs : public SaveTest
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(openForSaving()); }
    void cleanup() { closeWindow(); }
    void dialogPerKind_data();
    void dialogPerKind();
    void installedProgramProposesDocuments_data();
    void installedProgramProposesDocuments();
    void qtsOwnBoxesInTheWindowsFace();
    void dialogsAndQuestionsInTheWindowsFace_data();
    void dialogsAndQuestionsInTheWindowsFace();
    void theSystemsDialogOpensInAFolderOfTheUsers_data();
    void theSystemsDialogOpensInAFolderOfTheUsers();
    void dialogsWideEnoughAndKeptWithinARun();
    void cancelReportsNothing();
};

void TestSaveDialogs::dialogPerKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::newRow("R13 to R12") << 0 << QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存 R13DXF to R12DXF")
                                << QStringLiteral("R13TO12.BAT");
    QTest::newRow("R13 to GX3") << 1 << QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存 R13DXF to GX3DXF")
                                << QStringLiteral("R13TOGX3.BAT");
    QTest::newRow("R12 to GX3") << 2 << QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存 R12DXF to GX3DXF")
                                << QStringLiteral("R12TOGX3.BAT");
}

void TestSaveDialogs::dialogPerKind()
{
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QString, name);
    // A program's folder that holds batch files already.
    QVERIFY(testfiles::writeAll(m_dir.filePath(QStringLiteral("bin/OLD.BAT")), QByteArray()));
    setSources({QStringLiteral("C:\\A\\x.dxf")});
    child<QRadioButton>(m_window, qPrintable(QStringLiteral("RadioGroup1Item%1").arg(kind)))->click();
    const QString first = m_dir.filePath(QStringLiteral("first/OTHER.BAT"));
    QDir().mkpath(m_dir.filePath(QStringLiteral("first")));
    m_platform.saveAnswers = {first, kCancelled};
    press();
    press();
    QCOMPARE(m_platform.saveRequests.size(), 2);
    for (const SaveFileRequest &r : m_platform.saveRequests) {
        QCOMPARE(r.title, title);
        QCOMPARE(r.proposedName, name); // never the name chosen last time
        QCOMPARE(r.defaultSuffix, QStringLiteral("BAT"));
        QCOMPARE(r.nameFilters, (QStringList{QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)"), QStringLiteral(u"BATﾌｧｲﾙ(*.BAT)")}));
    }
    // The first dialog opens in the executable's folder, the next where the last file went.
    QCOMPARE(m_platform.saveRequests.at(0).initialFolder, m_dir.filePath(QStringLiteral("bin/")));
    QCOMPARE(m_platform.saveRequests.at(1).initialFolder, m_dir.filePath(QStringLiteral("first/")));
}

void TestSaveDialogs::installedProgramProposesDocuments_data()
{
    // The program's folder, the system, and whether the first dialog opens
    // there or in the user's documents.
    QTest::addColumn<QString>("folder"); // "" for one nobody may save in, root neither: an installed program's
    QTest::addColumn<bool>("batchFiles"); // whether it holds a .BAT
    QTest::addColumn<bool>("windows");
    QTest::addColumn<bool>("there");
    QTest::newRow("installed") << QString() << false << false << false;
    QTest::newRow("a folder of the user's") << QStringLiteral("mine") << false << false << true;
    // Windows' own dialog opens in a folder of batch files, else in the
    // user's documents, even where the user may write.
    QTest::newRow("Windows, no batch file there") << QStringLiteral("mine") << false << true << false;
    QTest::newRow("Windows, batch files there") << QStringLiteral("mine") << true << true << true;
}

void TestSaveDialogs::installedProgramProposesDocuments()
{
    QFETCH(QString, folder);
    QFETCH(bool, batchFiles);
    QFETCH(bool, windows);
    QFETCH(bool, there);
    const QString programFolder = folder.isEmpty() ? QStringLiteral("/proc") : m_dir.filePath(folder);
    QVERIFY(QDir().mkpath(programFolder));
    if (batchFiles)
        QVERIFY(testfiles::writeAll(programFolder + QStringLiteral("/OLD.BAT"), QByteArray()));
    m_platform.exePath = programFolder + QStringLiteral("/tessiva");
    m_platform.documents = m_dir.filePath(QStringLiteral("Documents"));
    setSources({QStringLiteral("C:\\A\\x.dxf")});
    m_platform.style = windows ? jobpath::Style::Windows : jobpath::Style::Unix;
    m_platform.saveAnswers = {kCancelled};
    press();
    QCOMPARE(m_platform.saveRequests.at(0).initialFolder, there ? programFolder + u'/' : m_platform.documents);
}

void TestSaveDialogs::qtsOwnBoxesInTheWindowsFace()
{
    // The real message box (the close-time message) and the tooltips (the
    // status line's whole text) draw in the window's face, so that a path
    // reads there as in the window.
    const QString face = m_window->font().family();
    QString boxFace;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxFace = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))->font().family();
            box->accept();
        }
    });
    QtPlatformServices().showErrorBox(m_window, QStringLiteral("Tessiva"), QStringLiteral("C:\\OUT\\JOB.BAT"));
    QCOMPARE(boxFace, face);
    QCOMPARE(QToolTip::font().family(), face);
}

void TestSaveDialogs::dialogsAndQuestionsInTheWindowsFace_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::newRow("the save dialog and its question") << QStringLiteral("save");
    QTest::newRow("the open dialog") << QStringLiteral("open");
    QTest::newRow("the folder dialog") << QStringLiteral("folder");
}

void TestSaveDialogs::dialogsAndQuestionsInTheWindowsFace()
{
    // The real services and the real dialogs: each dialog, and the question
    // the save dialog asks before it replaces a file, in the window's face,
    // never the fixed-pitch one of the list and the folder fields.
    QFETCH(QString, dialog);
    const bool save = dialog == QLatin1String("save");
    const QFont face = m_window->font();
    QVERIFY(testfiles::writeAll(m_dir.filePath(QStringLiteral("THERE.BAT")), "REM\r\n"));
    QtPlatformServices services;
    QStringList seen; // the face of each dialog and question, as "family, pixel size"
    const auto faceOf
        = [](const QWidget *w) { return QStringLiteral("%1, %2").arg(w->font().family()).arg(w->font().pixelSize()); };
    // Each dialog or question as it comes up: looked at, then answered so
    // that the next one comes (the save dialog accepted: the name it
    // proposes is there, so it asks first), or closed.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, this, [&] {
        QWidget *shown = QApplication::activeModalWidget();
        if (auto *question = qobject_cast<QMessageBox *>(shown)) {
            seen << faceOf(question);
            question->reject();
        } else if (auto *files = qobject_cast<QFileDialog *>(shown)) {
            if (seen.isEmpty())
                seen << faceOf(files);
            if (save && seen.size() == 1)
                QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
            else
                files->reject();
        }
    });
    watch.start(10);
    if (save) {
        SaveFileRequest request;
        request.initialFolder = m_dir.path();
        request.proposedName = QStringLiteral("THERE.BAT");
        QVERIFY(services.saveFile(m_window, request).cancelled());
    } else if (dialog == QLatin1String("open")) {
        QVERIFY(services.openFiles(m_window, OpenFilesRequest{}).cancelled());
    } else {
        QVERIFY(services.browseFolder(m_window, QStringLiteral("x"), m_dir.path()).cancelled());
    }
    const QString expected = faceOf(m_window);
    QCOMPARE(seen, QStringList(save ? 2 : 1, expected));
}

void TestSaveDialogs::theSystemsDialogOpensInAFolderOfTheUsers_data()
{
    QTest::addColumn<bool>("documents"); // whether the account has a documents folder
    QTest::newRow("documents") << true;
    QTest::newRow("no documents folder: home") << false;
}

void TestSaveDialogs::theSystemsDialogOpensInAFolderOfTheUsers()
{
    // The real services and the real dialog, for an account whose home is
    // a new folder: where the dialog opens is a folder of the user's, never
    // the working folder.
    QFETCH(bool, documents);
    const QString home = m_dir.filePath(QStringLiteral("home-%1").arg(documents));
    QVERIFY(QDir().mkpath(documents ? home + QStringLiteral("/Documents") : home));
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    QtPlatformServices services;
    SaveFileRequest request;
    request.initialFolder = services.documentsFolder();
    QString opened;
    QTimer::singleShot(0, [&] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            opened = dialog->directory().absolutePath();
            dialog->reject();
        }
    });
    const Cancellable<QString> chosen = services.saveFile(m_window, request);
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
    QVERIFY(chosen.cancelled());
    QCOMPARE(opened, documents ? home + QStringLiteral("/Documents") : home);
}

void TestSaveDialogs::dialogsWideEnoughAndKeptWithinARun()
{
    // The real dialogs open wide enough for a name, its size and its type
    // (640 pixels and more), and at the size the user last gave one.
    QtPlatformServices services;
    QList<int> widths;
    const auto look = [&](int resizeTo) {
        QTimer::singleShot(0, [&widths, resizeTo] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                widths << dialog->width();
                if (resizeTo > 0)
                    dialog->resize(resizeTo, dialog->height());
                dialog->reject();
            }
        });
    };
    look(900);
    QVERIFY(services.browseFolder(m_window, QStringLiteral("folder"), m_dir.path()).cancelled());
    look(0);
    QVERIFY(services.openFiles(m_window, OpenFilesRequest{QStringLiteral("open"), {}, {}}).cancelled());
    look(0);
    QVERIFY(services.saveFile(m_window, SaveFileRequest{}).cancelled());
    QCOMPARE(widths.size(), 3);
    QVERIFY2(widths.at(0) >= 640, qPrintable(QString::number(widths.at(0))));
    QCOMPARE(widths.at(1), 900);
    QCOMPARE(widths.at(2), 900);
}

void TestSaveDialogs::cancelReportsNothing()
{
    setSources({QStringLiteral("C:\\A\\x.dxf")});
    const QString first = m_dir.filePath(QStringLiteral("JOB.BAT"));
    m_platform.saveAnswers = {first, kCancelled, kCancelled};
    press();
    QCOMPARE(m_platform.beeps, 1);
    press(); // cancelled
    QVERIFY(status().isEmpty());
    QCOMPARE(m_platform.beeps, 1);
    press();
    QCOMPARE(m_platform.saveRequests.at(2).initialFolder, m_dir.path() + u'/');
}

QTEST_MAIN(TestSaveDialogs)
#include "tst_savedialogs.moc"
