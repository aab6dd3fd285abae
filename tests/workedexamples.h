#pragma once

#include <QByteArray>

#include <initializer_list>

// Lines joined as the batch file holds them: each followed by CR LF.
inline QByteArray crlfLines(std::initializer_list<const char *> lines)
{
    QByteArray out;
    for (const char *line : lines)
        out += QByteArray(line) + "\r\n";
    return out;
}

inline QByteArray crlfLines(std::initializer_list<QByteArray> lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + "\r\n";
    return out;
}

// The three reference jobs: the AutoCAD folder "C:\ACAD\" ("C:\Program
// Files\ACAD\" in the third), the destination "D:\OUT\", the default
// parameter files, and the sources "C:\DRAW\plan1.dxf" and
// "C:\My Work\site b.DXF".
namespace worked {
inline QByteArray r13ToR12Ascii6()
{
    return crlfLines(
        {"C:\\ACAD\\DXFIX.EXE -A6 -TC:\\ACAD\\DXFIX13.DXT C:\\DRAW\\PLAN1.DXF D:\\OUT\\PLAN1.DXF",
         "C:\\ACAD\\DXFIX.EXE -A6 -TC:\\ACAD\\DXFIX13.DXT \"C:\\MY WORK\\SITE B.DXF\" \"D:\\OUT\\SITE B.DXF\""});
}

inline QByteArray r13ToGx3Binary()
{
    return crlfLines({"C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX13.DXT C:\\DRAW\\PLAN1.DXF D:\\OUT\\DUMMY.DXF",
                      "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX.DXT D:\\OUT\\DUMMY.DXF D:\\OUT\\PLAN1.DXF",
                      "DEL D:\\OUT\\DUMMY.DXF",
                      "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX13.DXT \"C:\\MY WORK\\SITE B.DXF\" D:\\OUT\\DUMMY.DXF",
                      "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX.DXT D:\\OUT\\DUMMY.DXF \"D:\\OUT\\SITE B.DXF\"",
                      "DEL D:\\OUT\\DUMMY.DXF"});
}

inline QByteArray r12ToGx3Ascii16ProgramFiles()
{
    return crlfLines({"\"C:\\PROGRAM FILES\\ACAD\\DXFIX.EXE\" -A16 -T\"C:\\PROGRAM FILES\\ACAD\\DXFIX.DXT\" "
                      "C:\\DRAW\\PLAN1.DXF D:\\OUT\\PLAN1.DXF",
                      "\"C:\\PROGRAM FILES\\ACAD\\DXFIX.EXE\" -A16 -T\"C:\\PROGRAM FILES\\ACAD\\DXFIX.DXT\" \"C:\\MY "
                      "WORK\\SITE B.DXF\" \"D:\\OUT\\SITE B.DXF\""});
}
} // namespace worked
