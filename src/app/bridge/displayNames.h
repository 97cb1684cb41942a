#ifndef HORATAB_APP_BRIDGE_DISPLAYNAMES_H
#define HORATAB_APP_BRIDGE_DISPLAYNAMES_H

#include <QHash>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

// Turns the core's names (UTF-8 bytes) into shown texts and back.
// A valid UTF-8 name is shown as it decodes and converts back by encoding.
// A name that is not valid UTF-8 has no exact text form: it is shown with
// replacement characters, made unique with a " (2)", " (3)"... suffix where
// needed, and remembered so that the shown text leads back to its bytes.
class DisplayNames
{
public:
    // The shown texts of `names`, in the same order; forgets earlier names.
    QStringList assign(const std::vector<std::string>& names);

    // The core's name for a shown text.
    std::string keyFor(const QString& shown) const;

    static bool isValidUtf8(const std::string& bytes);

private:
    QHash<QString, std::string> _substitutes;
};

#endif  // HORATAB_APP_BRIDGE_DISPLAYNAMES_H
