#include "skipform.h"

#include "checkedrun.h"
#include "core/job/jobplan.h"

namespace batch {

bool writeSkipForm(const JobPlan &plan, BatchWriter &w)
{
    static const QByteArray folderThere = words(u"フォルダがあるので変換しません: ");
    static const QByteArray leftWords = words(u"消せないファイルがあるので変換しません: ");
    static const QByteArray failedWords = words(u"SET \"TESSIVA_WHY=変換できませんでした: ");
    const ConversionJob &job = plan.job();
    const JobTokens tokens(plan);
    CheckedRun run(plan, w, {.echoOff = false, .namesItself = false, .workers = false});
    run.head();
    run.holdDestination("@ECHO %TESSIVA_WHY%\r\n");
    run.clearWorkFiles();
    const bool twoPasses = convertsInTwoPasses(job.kind);
    const NamedPath &intermediate = run.intermediate();
    const NamedPath &drawing = run.drawing();
    // A crash or a Ctrl+C ends the converter with a negative status, below
    // what ERRORLEVEL 1 sees, and is a failure in any case; with
    // checkExitStatus so is any status but 0. What a converter that failed
    // otherwise made is the drawing, as this form has always taken it.
    const QByteArrayView checked
        = job.checkExitStatus ? QByteArrayView("(IF ERRORLEVEL 1 GOTO FAILED") : QByteArrayView();
    TreeFolders folders(job);
    NamedPath final;
    for (qsizetype i = 0; i < job.sources.size(); ++i) {
        if (!folders.beforeDrawing(w, plan, i))
            return false;
        final.set({job.destinationFolder, plan.below(i), plan.baseName(i), kDestinationExtension});
        const QByteArray n = labelNumber(i, tokens.labelWidth);
        const QByteArray failed = "FAILED" + n;
        const QByteArray out = "OUT" + n;
        // Each pass's status, then its output, which must be there.
        const auto made = [&](const NamedPath &output) {
            if (checked.isEmpty())
                w.line({"@(IF NOT ERRORLEVEL 0 GOTO ", failed, ")& ", run.ifExists(output, failed, {}, true)});
            else
                w.line({"@", checked, n, ")& (IF NOT ERRORLEVEL 0 GOTO ", failed, ")& ",
                        run.ifExists(output, failed, {}, true)});
        };
        w.line({"@SET \"TESSIVA_WHY=", folderThere, final.shown, "\"& ", run.lookUp(final)});
        run.goWhereItIs("OUT", "DONE", n);
        if (twoPasses)
            run.workFileGone(intermediate, folderThere, leftWords, out);
        run.workFileGone(drawing, folderThere, leftWords, out);
        const QStringView source = job.sources.at(i);
        if (twoPasses) {
            converterLine(w, tokens.r13, source, intermediate.token, {}, true);
            made(intermediate);
            converterLine(w, tokens.r12, {}, drawing.token, intermediate.token, true);
            made(drawing);
            w.put(QByteArray("@DEL " + intermediate.token + "& "));
        } else {
            converterLine(w, tokens.first, source, drawing.token, {}, true);
            made(drawing);
            w.put("@");
        }
        // The run's own machinery shows nothing: the console holds the
        // converter's lines and the outcomes.
        w.line({"MOVE /Y ", drawing.token, " ", final.token, " >NUL& ", run.ifExists(final, "DONE", n)});
        w.line({":", failed});
        const QByteArray removeIntermediate
            = twoPasses ? QByteArray("(" + run.removeIfThere(intermediate) + ")& ") : QByteArray();
        w.line({"@", removeIntermediate, "(", run.removeIfThere(drawing), ")& ", failedWords, final.shown, "\""});
        w.line({":", out});
        w.line({"@ECHO %TESSIVA_WHY%& SET \"TESSIVA_EXIT=1\""});
        w.line({":DONE", n});
    }
    w.line({"@GOTO :EOF"});
    return w.finish();
}

} // namespace batch
