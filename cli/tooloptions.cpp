#include "tooloptions.h"

#include "toolwords.h"

namespace batchtool {

QString keyword(BatchKind kind) { return conversionKind(kind).keyword.toString(); }
QString keyword(OutputFormat format) { return outputFormatKind(format).keyword.toString(); }

QString kindKeywords()
{
    QStringList keywords;
    for (const ConversionKind &k : kConversionKinds)
        keywords << k.keyword.toString();
    return keywords.join(QStringLiteral(", "));
}

Result<Usage, BatchKind> kindNamed(const QString &text)
{
    for (const ConversionKind &k : kConversionKinds) {
        if (text.compare(k.keyword, Qt::CaseInsensitive) == 0 || text == QString::number(int(k.kind)))
            return k.kind;
    }
    return Usage{TessivaBatch::tr("unknown kind '%1' (one of %2)").arg(text, kindKeywords())};
}

QString description()
{
    return TessivaBatch::tr("Writes the DOS batch file that runs AutoCAD's DXFIX.EXE once for every source\n"
                            "drawing, exactly as the Tessiva window does. The folders and parameter file\n"
                            "names default to the ones last set in the window.");
}

} // namespace batchtool
