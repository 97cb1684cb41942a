#ifndef HORATAB_APP_CONTROLLER_FONTARCHIVE_H
#define HORATAB_APP_CONTROLLER_FONTARCHIVE_H

#include <QByteArray>

#include <optional>

#include "app/controller/AppPlatform.h"

// The bytes under the "excelFont" preference: a tag, a format version, the
// family and the point size. Only this application reads them back.
QByteArray archiveFont(const FontDescriptor& font);

// Empty unless the bytes are exactly one archived font with a family and a
// positive, finite size.
std::optional<FontDescriptor> unarchiveFont(const QByteArray& bytes);

#endif  // HORATAB_APP_CONTROLLER_FONTARCHIVE_H
