#pragma once

#include "testfiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// What the suites of tessiva-batch as a process share: a run of the tool
// with its words in a locale of the test's choosing, a folder of the
// suite's own, and an empty settings file.

struct ToolRun
{
    int code = -1;
    QByteArray out;
    QString err;
};

const QStringList kSources{QStringLiteral("C:\\DRAW\\plan1.dxf"), QStringLiteral("C:\\My Work\\site b.DXF")};

class ToolTest : public QObject
{
protected:
    // The empty settings file, so that no developer's settings get in.
    bool startUp()
    {
        m_none = m_dir.filePath(QStringLiteral("none.ini"));
        return testfiles::writeAll(m_none, QByteArray());
    }
    ToolRun run(const QStringList &args, const QByteArray &input = QByteArray(),
                const QString &program = QStringLiteral(TESSIVA_BATCH_EXE), const QString &workingFolder = QString());
    // Runs `shell` in bash with the tool and `arguments` as "$@", in the
    // test's folder, or in a new folder `ownFolder`-TAG for the data row.
    ToolRun runInShell(const QString &shell, const QStringList &arguments, const QString &ownFolder = QString());
    // No settings file, and no source read: the sources of these runs are
    // paths and files made for what each case is about, not drawings
    // (tst_drawingcheck reads them).
    QStringList noSettings() const
    {
        return {QStringLiteral("--settings"), m_none, QStringLiteral("--no-drawing-check")};
    }
    QTemporaryDir m_dir;
    QString m_none;
    QString m_locale = QStringLiteral("C.UTF-8");
};

inline ToolRun ToolTest::run(const QStringList &args, const QByteArray &input, const QString &program,
                             const QString &workingFolder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("xdg")));
    env.insert(QStringLiteral("LC_ALL"), m_locale);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workingFolder.isEmpty() ? m_dir.path() : workingFolder);
    p.start(program, args);
    if (!p.waitForStarted())
        return {};
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError()).trimmed()};
}

inline ToolRun ToolTest::runInShell(const QString &shell, const QStringList &arguments, const QString &ownFolder)
{
    QString folder;
    if (!ownFolder.isEmpty()) {
        folder = m_dir.filePath(ownFolder + u'-' + QString::fromLatin1(QTest::currentDataTag()));
        if (!QDir().mkpath(folder))
            return {};
    }
    return run(QStringList{QStringLiteral("-c"), shell, QStringLiteral("bash"), QStringLiteral(TESSIVA_BATCH_EXE)}
                   + arguments,
               QByteArray(), QStringLiteral("/bin/bash"), folder);
}
