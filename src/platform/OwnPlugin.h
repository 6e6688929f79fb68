#pragma once

#include <QObject>
#include <QString>

// A plugin library of this program (a part loaded only when first needed, so the program that
// starts at login does not load its libraries): its file, the interface it must offer, and the
// German sentences that say why it cannot be used.
namespace OwnPlugin {
struct Texts {
    QString missing;     // %1 the file
    QString notLoadable; // %1 the file, %2 the loader's reason
    QString foreign;     // %1 the file, %2 the program's version
};

// The plugin's root object, loaded once per process and never unloaded (what it made may still be
// in use). Null when the file is missing or does not load; why then says why.
QObject *loadRoot(const QString &file, const Texts &texts, QString &why);

// The plugin's interface; null with why set when it cannot be used, also when the file is a
// plugin of another kind or of another build (the interface's name carries the version).
template <class Interface> Interface *load(const QString &file, const Texts &texts, QString &why) {
    QObject *root = loadRoot(file, texts, why);
    if (!root)
        return nullptr;
    auto *offered = qobject_cast<Interface *>(root);
    if (!offered)
        why = texts.foreign.arg(file, QStringLiteral(QUENDRA_VERSION));
    return offered;
}
} // namespace OwnPlugin
