// Benchmarks. Every figure is a ratio against a baseline measured in the
// same run, because the machine is shared and its speed varies.
#include "ui/fonts.h"
#include "app/tform1.h"
#include "core/batchcomposer.h"
#include "core/filewrite.h"
#include "core/saveflow.h"
#include "platform/qtplatformservices.h"
#include "windows/tform4.h"
#include "windows/tform5.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Row
{
    QString figure;
    double ours;
    double baseline;
    QString baselineName;
    double goal; // ratio; 0 means no ratio goal
    QString goalText;
    bool met;
};

std::vector<Row> rows;

void print()
{
    std::printf("| figure | ours (ms) | baseline (ms) | ratio | goal | met |\n|---|---|---|---|---|---|\n");
    for (const Row &r : rows) {
        std::printf("| %s | %.1f | %.1f (%s) | %.2f | %s | %s |\n", qPrintable(r.figure), r.ours, r.baseline,
                    qPrintable(r.baselineName), r.baseline > 0 ? r.ours / r.baseline : 0.0, qPrintable(r.goalText),
                    r.met ? "yes" : "no");
    }
}

ConversionJob jobOf(BatchKind kind, int sources)
{
    ConversionJob job;
    job.kind = kind;
    job.autocadFolder = QStringLiteral("C:\\Program Files\\ACAD\\");
    job.destinationFolder = QStringLiteral("D:\\CONVERTED\\R12\\");
    for (int i = 0; i < sources; ++i)
        job.sources << QStringLiteral("C:\\DRAWINGS\\PROJECT %1\\plan-%2.dxf").arg(i / 100).arg(i);
    return job;
}

void benchCompose(const QString &dir)
{
    const QString kinds[] = {QStringLiteral("R13->R12"), QStringLiteral("R13->GX3"), QStringLiteral("R12->GX3")};
    for (int k = 0; k < 3; ++k) {
        double per1000 = 0;
        for (int n : {1000, 10000, 100000}) {
            const ConversionJob job = jobOf(BatchKind(k), n);
            const QString ours = dir + QStringLiteral("/ours.bat");
            const QString plain = dir + QStringLiteral("/plain.bat");
            const QByteArray bytes = batchFileBytes(job);
            const double t = medianMs(5, [&] { saveflow::saveTo(job, ours); });
            const double base = medianMs(5, [&] {
                QFile f(plain);
                f.open(QIODevice::WriteOnly | QIODevice::Truncate);
                f.write(bytes);
                f.close();
            });
            if (n == 1000)
                per1000 = t;
            const bool last = n == 100000;
            const double growth = per1000 > 0 ? t / per1000 / (n / 1000.0) : 0;
            rows.push_back({QStringLiteral("compose+write %1, %2 sources (growth %3x linear)")
                                .arg(kinds[k]).arg(n).arg(growth, 0, 'f', 2),
                            t, base, QStringLiteral("one plain write"), last ? 1.5 : 0,
                            last ? QStringLiteral("<= 1.5x") : QStringLiteral("-"),
                            !last || t <= 1.5 * base});
            if (last) {
                // Where the time goes: composing and encoding alone, and the
                // safe write (temporary file, flush to disk, rename) alone.
                const double compose = medianMs(5, [&] { (void)batchFileBytes(job); });
                const double save = medianMs(5, [&] { writeWholeFile(ours, bytes); });
                rows.push_back({QStringLiteral("  of which compose+encode only"), compose, base,
                                QStringLiteral("one plain write"), 0, QStringLiteral("-"), true});
                rows.push_back({QStringLiteral("  of which safe write only"), save, base,
                                QStringLiteral("one plain write"), 0, QStringLiteral("-"), true});
            }
        }
    }
}

void benchDrop(const QString &dir)
{
    QtPlatformServices services;
    const int big = 100000;
    QStringList names;
    names.reserve(big);
    for (int i = 0; i < big; ++i) {
        const QString name = dir + QStringLiteral("/d%1/plan%2.dxf").arg(i / 5000).arg(i);
        if (i % 5000 == 0)
            QDir().mkpath(dir + QStringLiteral("/d%1").arg(i / 5000));
        QFile f(name);
        f.open(QIODevice::WriteOnly);
        names << name;
    }
    double small = 0;
    for (int n : {10000, 100000}) {
        const QStringList dropped = names.mid(0, n);
        TForm1 form(services);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            std::fputs("the window was not shown\n", stderr);
        const double t = medianMs(3, [&] {
            form.WMDropFiles(dropped);
            QCoreApplication::processEvents(); // let the list lay itself out
        });
        if (n == 10000)
            small = t;
        rows.push_back({QStringLiteral("drop %1 files on the list").arg(n), t, n == 100000 ? small : 0,
                        n == 100000 ? QStringLiteral("10,000 files") : QStringLiteral("-"), 0,
                        n == 100000 ? QStringLiteral("< 1000 ms, ratio ~10 (linear)") : QStringLiteral("-"),
                        n != 100000 || t < 1000});
    }
}

int startupChild(const QString &what, int argc, char **argv)
{
    QApplication app(argc, argv);
    fonts::installSubstitutions();
    QtPlatformServices services;
    if (what == QLatin1String("bare")) {
        QMainWindow window;
        window.setCentralWidget(new QWidget);
        window.show();
        return QTest::qWaitForWindowExposed(&window) ? 0 : 1;
    }
    TForm1 form(services);
    TForm4 help;
    TForm5 about(&form);
    form.show();
    return QTest::qWaitForWindowExposed(&form) ? 0 : 1;
}

void benchStartup(const QString &self)
{
    const auto runChild = [&](const QString &what) {
        return medianMs(9, [&] {
            QProcess p;
            p.start(self, {QStringLiteral("--startup-child"), what, QStringLiteral("-platform"),
                           QStringLiteral("offscreen")});
            p.waitForFinished(30000);
        });
    };
    runChild(QStringLiteral("bare")); // warm the file cache
    const double bare = runChild(QStringLiteral("bare"));
    const double ours = runChild(QStringLiteral("tessiva"));
    rows.push_back({QStringLiteral("start-up to the main window shown"), ours, bare,
                    QStringLiteral("bare QMainWindow"), 1.3, QStringLiteral("<= 1.3x"), ours <= 1.3 * bare});
}
} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--startup-child") == 0)
        return startupChild(QString::fromLocal8Bit(argv[2]), argc, argv);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    benchCompose(dir.path());
    benchDrop(dir.path());
    benchStartup(QCoreApplication::applicationFilePath());
    print();
    return 0;
}
