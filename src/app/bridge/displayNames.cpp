#include "app/bridge/displayNames.h"

#include <QSet>

bool DisplayNames::isValidUtf8(const std::string& bytes)
{
    const QByteArray raw = QByteArray::fromStdString(bytes);
    return QString::fromUtf8(raw).toUtf8() == raw;
}

QStringList DisplayNames::assign(const std::vector<std::string>& names)
{
    _substitutes.clear();

    QSet<QString> exactTexts;
    for (const std::string& name : names) {
        if (isValidUtf8(name))
            exactTexts.insert(QString::fromStdString(name));
    }

    QStringList shown;
    shown.reserve(int(names.size()));
    for (const std::string& name : names) {
        const QString decoded = QString::fromStdString(name);
        if (isValidUtf8(name)) {
            shown.append(decoded);
            continue;
        }
        QString candidate = decoded;
        for (int n = 2; exactTexts.contains(candidate) || _substitutes.contains(candidate); ++n)
            candidate = decoded + QStringLiteral(" (%1)").arg(n);
        _substitutes.insert(candidate, name);
        shown.append(candidate);
    }
    return shown;
}

std::string DisplayNames::keyFor(const QString& shown) const
{
    auto found = _substitutes.constFind(shown);
    if (found != _substitutes.constEnd())
        return found.value();
    return shown.toStdString();
}
