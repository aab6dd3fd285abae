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
        if (!w.handOnWholeChunk())
            return false;
        const QStringView below = plan.below(i);
        if (!below.isEmpty())
            folders.make(w, below);
        w.put(head);
        appendToken(w.out(), {job.sources.at(i)});
        w.put(middle);
        appendToken(w.out(), {below, plan.baseName(i), kDestinationExtension}, tokens.folder, tokens.folderQuoted);
        w.put(tail);
    }
    return w.finish();
}

} // namespace batch
