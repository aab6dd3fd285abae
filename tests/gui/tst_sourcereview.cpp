// The look at the sources before the save dialog, through the window: the
// heads are read by the core, from files the fake platform stands in for.
#include "savebar/sourcereview.h"
#include "savetest.h"
#include "testfiles.h"

#include <QDialog>
#include <QSemaphore>
#include <QTimer>
#include <QTreeWidget>

using drawing::Head;
using drawing::Kind;

namespace {
Head head(Kind kind, const char *version = "")
{
    Head h;
    h.kind = kind;
    h.version = QLatin1String(version);
    return h;
}

// Runs `answer` on the review dialog once it shows, from the window's own
// event loop.
void whenShown(const char *name, std::function<void(QWidget *)> answer)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, name, answer] {
        QWidget *shown = QApplication::activeModalWidget();
        if (!shown || shown->objectName() != QLatin1String(name) || !shown->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        answer(shown);
    });
    poll->start();
}
} // namespace

class TestSourceReview : public SaveTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { closeWindow(); }
    void answers_data();
    void answers();
    void aLongReadingShowsItsProgressAndCancels();
};

void TestSourceReview::init()
{
    QVERIFY(openForSaving());
    setSources({QStringLiteral("C:\\A\\fits.dxf"), QStringLiteral("C:\\A\\r14.dxf"), QStringLiteral("C:\\A\\gone.dxf"),
                QStringLiteral("C:\\A\\plan.dxf"), QStringLiteral("C:\\A\\r14b.dxf")});
}

void TestSourceReview::answers_data()
{
    QTest::addColumn<bool>("allFit");
    QTest::addColumn<bool>("goOn");
    QTest::newRow("every source fits: nothing asked") << true << false;
    QTest::newRow("go on") << false << true;
    QTest::newRow("stop") << false << false;
}

void TestSourceReview::answers()
{
    QFETCH(bool, allFit);
    QFETCH(bool, goOn);
    const QHash<QString, Head> heads{
        {QStringLiteral("C:\\A\\r14.dxf"), head(Kind::AsciiDxf, "AC1014")},
        {QStringLiteral("C:\\A\\gone.dxf"), head(Kind::Missing)},
        {QStringLiteral("C:\\A\\plan.dxf"), head(Kind::Dwg, "AC1015")},
        {QStringLiteral("C:\\A\\r14b.dxf"), head(Kind::BinaryDxf, "AC1014")},
    };
    m_platform.heads = [&](const QString &path) {
        return allFit ? head(Kind::AsciiDxf, "AC1012") : heads.value(path, head(Kind::AsciiDxf, "AC1012"));
    };
    const QString target = m_dir.filePath(QStringLiteral("JOB.BAT"));
    QFile::remove(target);
    m_platform.saveAnswers = {target};
    QStringList rows;
    QString counts;
    bool asked = false;
    whenShown(SourceReview::kDialogName, [&](QWidget *dialog) {
        asked = true;
        auto *table = dialog->findChild<QTreeWidget *>(QLatin1String(SourceReview::kListName));
        for (int i = 0; i < table->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = table->topLevelItem(i);
            rows << item->text(0) + u'|' + item->text(1) + u'|' + item->text(2);
        }
        counts = dialog->findChild<QLabel *>(QStringLiteral("countLabel"))->text();
        dialog->findChild<QPushButton *>(QLatin1String(goOn ? SourceReview::kGoOnName : SourceReview::kStopName))
            ->click();
    });
    press();
    QCOMPARE(asked, !allFit);
    if (!allFit) {
        QCOMPARE(rows,
                 (QStringList{QStringLiteral(u"C:\\A\\r14.dxf|DXF R14（AC1014）|R13のDXFを変換する設定です"),
                              QStringLiteral(u"C:\\A\\gone.dxf|ﾌｧｲﾙがありません|変換できません"),
                              QStringLiteral(u"C:\\A\\plan.dxf|DWGﾌｧｲﾙ 2000（AC1015）|DXFではないので変換できません"),
                              QStringLiteral(u"C:\\A\\r14b.dxf|ﾊﾞｲﾅﾘDXF R14（AC1014）|R13のDXFを変換する設定です")}));
        QCOMPARE(counts,
                 QStringLiteral(u"DXF R14（AC1014）: 1 個、ﾌｧｲﾙがありません: 1 個、DWGﾌｧｲﾙ 2000（AC1015）: 1 "
                                u"個、ﾊﾞｲﾅﾘDXF R14（AC1014）: 1 個"));
    }
    const bool saved = allFit || goOn;
    QCOMPARE(m_platform.saveRequests.size(), saved ? 1 : 0);
    QCOMPARE(QFileInfo::exists(target), saved);
    if (!saved) {
        // Stopped at the first source that cannot be converted, selected.
        QCOMPARE(status(), QStringLiteral(u"変換元ﾌｧｲﾙ( C:\\A\\gone.dxf )を確かめてください（ﾌｧｲﾙがありません）！"));
        QCOMPARE(selectedLine(), 2);
    }
}

void TestSourceReview::aLongReadingShowsItsProgressAndCancels()
{
    // The reading waits until the test lets it go: the progress dialog
    // shows past its second, its cancel ends the save with nothing said,
    // and the window takes events all the while.
    QSemaphore release;
    m_platform.heads = [&release](const QString &) {
        release.acquire();
        return head(Kind::AsciiDxf, "AC1012");
    };
    m_platform.saveAnswers = {m_dir.filePath(QStringLiteral("JOB.BAT"))};
    bool shown = false;
    bool windowAlive = false;
    whenShown(SourceReview::kProgressName, [&](QWidget *dialog) {
        shown = true;
        // The window paints and answers while the sources are read.
        windowAlive = m_window->isVisible() && QApplication::activeModalWidget() == dialog;
        QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
        release.release(5);
    });
    press();
    QVERIFY(shown);
    QVERIFY(windowAlive);
    QVERIFY(m_platform.saveRequests.isEmpty());
    QCOMPARE(status(), QString());
    // A second press reads again, and saves.
    m_platform.heads = [](const QString &) { return head(Kind::AsciiDxf, "AC1012"); };
    press();
    QCOMPARE(m_platform.saveRequests.size(), 1);
}

QTEST_MAIN(TestSourceReview)
#include "tst_sourcereview.moc"
