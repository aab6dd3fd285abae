#include "drawingcheck.h"

#include "batchtool.h"
#include "sourcesgiven.h"
#include "tooloptions.h"
#include "toolwords.h"
#include "writereason.h"

namespace batchtool {
namespace {

QString version(const QString &code)
{
    const QStringView name = drawing::versionName(code);
    return name.isEmpty() ? code : name + QStringLiteral(" (") + code + u')';
}

QString described(const drawing::Head &head)
{
    using drawing::Kind;
    switch (head.kind) {
    case Kind::Missing: return TessivaBatch::tr("not there");
    case Kind::Unreadable: return TessivaBatch::tr("cannot be read: %1").arg(englishReason(head.reason));
    case Kind::Empty: return TessivaBatch::tr("an empty file");
    case Kind::NotADrawing: return TessivaBatch::tr("not a drawing");
    case Kind::Dwg: return TessivaBatch::tr("a DWG drawing of %1, not a DXF").arg(version(head.version));
    case Kind::AsciiDxf:
        return head.version.isEmpty() ? TessivaBatch::tr("a DXF that states no version ($ACADVER)")
                                      : TessivaBatch::tr("a DXF of %1").arg(version(head.version));
    case Kind::BinaryDxf:
        return head.version.isEmpty() ? TessivaBatch::tr("a binary DXF that states no version ($ACADVER)")
                                      : TessivaBatch::tr("a binary DXF of %1").arg(version(head.version));
    }
    return QString();
}

} // namespace

saveflow::SourceCheck drawingCheck(const Environment &env, QIODevice &err, const Sources &sources)
{
    return [&env, &err, &sources](const ConversionJob &job) -> Result<SaveOutcome, drawing::Findings> {
        drawing::Findings findings = *drawing::readSources(job, env.pathStyle);
        const QString taken = version(conversionKind(job.kind).sourceVersion.toString());
        for (const drawing::Finding &f : findings.sources) {
            const QString source = QStringLiteral("'%1' (%2): ").arg(sources.given(f.line), sources.place(f.line));
            if (f.verdict == drawing::Verdict::Unusable)
                say(env, err, kProgram + QStringLiteral(": ") + source + described(f.head));
            else
                say(env, err,
                    kProgram + QStringLiteral(": ")
                        + TessivaBatch::tr("warning: %1%2; %3 converts a DXF of %4")
                              .arg(source, described(f.head), keyword(job.kind), taken));
        }
        if (findings.unchecked > 0)
            say(env, err,
                kProgram + QStringLiteral(": ")
                    + TessivaBatch::tr("sources not read: %1, whose paths name no file of this system (a drive "
                                       "letter, say)")
                          .arg(findings.unchecked));
        if (findings.count(drawing::Verdict::Unusable) == 0)
            return findings;
        // Each source was named above; the status line names the first.
        SaveOutcome outcome = drawing::stopped(findings, job);
        outcome.line = -1;
        return outcome;
    };
}

} // namespace batchtool
