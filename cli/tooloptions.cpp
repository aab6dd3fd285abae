#include "tooloptions.h"

#include "toolwords.h"

namespace batchtool {

QString keyword(BatchKind kind) { return conversionKind(kind).keyword.toString(); }
QString keyword(OutputFormat format) { return outputFormatKind(format).keyword.toString(); }

bool parseKind(const QString &text, BatchKind *kind)
{
    for (const ConversionKind &k : kConversionKinds) {
        if (text.compare(k.keyword, Qt::CaseInsensitive) == 0 || text == QString::number(int(k.kind))) {
            *kind = k.kind;
            return true;
        }
    }
    return false;
}

QString description()
{
    return TessivaBatch::tr("Writes the DOS batch file that runs AutoCAD's DXFIX.EXE once for every source\n"
                            "drawing, exactly as the Tessiva window does. The folders and parameter file\n"
                            "names default to the ones last set in the window.");
}

} // namespace batchtool
