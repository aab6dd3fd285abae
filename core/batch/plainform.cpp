#include "plainform.h"

#include "core/job/jobplan.h"

namespace batch {

bool writePlainForm(const JobPlan &plan, BatchWriter &w)
{
    const ConversionJob &job = plan.job();
    const JobTokens tokens(plan);
    // A drawing's lines are its source and destination between these,
    // which are the same for every drawing.
    QByteArray head = tokens.first;
    QByteArray middle = " ";
    QByteArray tail = "\r\n";
    if (convertsInTwoPasses(job.kind)) {
        const QByteArray intermediate = token({job.destinationFolder, plan.intermediateName()});
        middle = ' ' + intermediate + "\r\n" + tokens.r12 + intermediate + ' ';
        tail = "\r\nDEL " + intermediate + "\r\n";
    }
    TreeFolders folders(job);
    if (!job.treeRoot.isEmpty())
        folders.make(w, {});
    for (qsizetype i = 0; i < job.sources.size(); ++i) {
        if (!folders.beforeDrawing(w, plan, i))
            return false;
        w.put(head);
        appendToken(w.out(), {job.sources.at(i)});
        w.put(middle);
        appendToken(w.out(), {plan.below(i), plan.baseName(i), kDestinationExtension}, tokens.folder,
                    tokens.folderQuoted);
        w.put(tail);
    }
    return w.finish();
}

} // namespace batch
