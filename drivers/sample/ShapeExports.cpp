// The entry points that select pens and brushes and print shapes, pattern fills and images.
#include "CallLog.h"
#include "DibSummary.h"
#include "DriverState.h"
#include "Exports.h"
#include "PrintCall.h"

#include <string>

using vb::sample::Instance;
using vb::sample::LogCall;
using vb::sample::PrintCommand;
using vb::sample::PrintFile;

namespace {

constexpr LONG kRectangle = 6;
constexpr LONG kEllipse = 7;
constexpr LONG kRoundRectangle = 72;
// More points than any shape of the device takes: a count beyond it is a wrong count, not a shape.
constexpr LONG kMostPoints = 16;

// " x,y" for each point.
std::wstring PointList(const POINT* points, LONG count) {
    std::wstring text;
    for (LONG i = 0; i < count; ++i) text += PrintFile::Format(L" %ld,%ld", points[i].x, points[i].y);
    return text;
}

// The named shapes take exactly their points; anything else is written as a plain list of the
// points given, so nothing is read beyond them and nothing given goes unprinted.
std::wstring ShapeCommand(LONG style, LONG count, const POINT* points) {
    const POINT* p = points;
    if ((style == kRectangle || style == kEllipse) && count == 2) {
        return PrintFile::Format(L"%ls %ld,%ld %ld,%ld", style == kRectangle ? L"RECTANGLE" : L"ELLIPSE", p[0].x, p[0].y,
                                 p[1].x, p[1].y);
    }
    if (style == kRoundRectangle && count == 3) {
        return PrintFile::Format(L"ROUNDRECT %ld,%ld %ld,%ld corner=%ld,%ld", p[0].x, p[0].y, p[1].x, p[1].y, p[2].x,
                                 p[2].y);
    }
    return PrintFile::Format(L"SHAPE style=%ld", style) + PointList(points, count);
}

std::wstring BitmapDescription(HGLOBAL packed) {
    if (!packed) return L" bitmap=none";
    auto summary = vb::sample::SummarizeDib(packed);
    if (!summary) return L" bitmap=invalid";
    return PrintFile::Format(L" bitmap=%ldx%ldx%u colors=%lu crc=%08lX", summary->width, summary->height,
                             static_cast<unsigned>(summary->bitCount), summary->colors, summary->crc);
}

}  // namespace

extern "C" {

LONG WINAPI D_SELECTPEN(DRIVERHANDLE h, const LOGPEN* pen) {
    LogCall(__func__, h);
    if (!pen) return vb::sample::RefuseArgument(h);
    return PrintCommand(h, [&](Instance& instance) {
        return instance.print.file.Command(L"PEN width=%ldx%ld color=%06lX style=%u", pen->lopnWidth.x,
                                           pen->lopnWidth.y, pen->lopnColor, pen->lopnStyle);
    });
}

LONG WINAPI D_SELECTBRUSH(DRIVERHANDLE h, const LOGBRUSH* brush) {
    LogCall(__func__, h);
    if (!brush) return vb::sample::RefuseArgument(h);
    return PrintCommand(h, [&](Instance& instance) {
        return instance.print.file.Command(L"BRUSH color=%06lX style=%u", brush->lbColor, brush->lbStyle);
    });
}

LONG WINAPI D_Output(DRIVERHANDLE h, LONG style, LONG count, const POINT* points, LONG rop) {
    LogCall(__func__, h, style, count);
    if (count < 0 || count > kMostPoints || (count > 0 && !points)) return vb::sample::RefuseArgument(h);
    const std::wstring shape = ShapeCommand(style, count, points);
    return PrintCommand(h, [&](Instance& instance) {
        return instance.print.file.Command(L"%ls rop=%ld", shape.c_str(), rop);
    });
}

LONG WINAPI D_PatBlt(DRIVERHANDLE h, const POINT* position, const SIZE* size, DWORD rop) {
    LogCall(__func__, h);
    if (!position || !size) return vb::sample::RefuseArgument(h);
    return PrintCommand(h, [&](Instance& instance) {
        return instance.print.file.Command(L"PATBLT %ld,%ld size=%ldx%ld rop=0x%06lX", position->x, position->y,
                                           size->cx, size->cy, rop);
    });
}

// The packed image stays the caller's: read here, freed by the caller.
LONG WINAPI D_PrintDIB(DRIVERHANDLE h, const POINT* position, const SIZE* size, HGLOBAL packed, DWORD rop) {
    LogCall(__func__, h, packed ? L"image" : L"none");
    if (!position || !size) return vb::sample::RefuseArgument(h);
    const std::wstring bitmap = BitmapDescription(packed);
    return PrintCommand(h, [&](Instance& instance) {
        return instance.print.file.Command(L"IMAGE %ld,%ld size=%ldx%ld rop=0x%06lX%ls", position->x, position->y,
                                           size->cx, size->cy, rop, bitmap.c_str());
    });
}

}  // extern "C"
