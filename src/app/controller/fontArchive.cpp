#include "app/controller/fontArchive.h"

#include <QDataStream>
#include <QIODevice>

#include <cmath>

namespace {

constexpr quint32 archiveTag = 0x48544654;  // "HTFT"
constexpr quint8 archiveVersion = 1;
constexpr QDataStream::Version streamVersion = QDataStream::Qt_6_0;

}  // namespace

QByteArray archiveFont(const FontDescriptor& font)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(streamVersion);
    out << archiveTag << archiveVersion << font.family << font.pointSize;
    return bytes;
}

std::optional<FontDescriptor> unarchiveFont(const QByteArray& bytes)
{
    QDataStream in(bytes);
    in.setVersion(streamVersion);

    quint32 tag = 0;
    quint8 version = 0;
    in >> tag >> version;
    if (in.status() != QDataStream::Ok || tag != archiveTag || version != archiveVersion)
        return std::nullopt;

    FontDescriptor font;
    in >> font.family >> font.pointSize;
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    if (font.family.isEmpty() || !std::isfinite(font.pointSize) || font.pointSize <= 0.0)
        return std::nullopt;
    return font;
}
