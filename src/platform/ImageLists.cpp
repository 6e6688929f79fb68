#include "ImageLists.h"

#include <QCoreApplication>
#include <QString>

#include <array>
#include <cstddef>

// The pictures live in the static library quendra_resources; resources of a static library are
// only linked in and registered when someone asks for them by name. Q_INIT_RESOURCE declares rcc's
// function where it stands, so this stays at global scope.
static void registerIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace {

struct IconCache {
    std::array<QIcon, ImageLists::kSystemCount> system;
    std::array<QIcon, ImageLists::kSymbolCount> symbols;
    QIcon application;
    QIcon offline;
    bool registered = false;
};

IconCache &storage() {
    static IconCache instance;
    return instance;
}

// The icons hold pixmaps and an icon engine from a Qt plugin: drop them while the application
// still exists instead of at static destruction.
void dropCache() {
    storage() = IconCache{};
}

IconCache &cache() {
    IconCache &icons = storage();
    if (!icons.registered) {
        registerIconResources();
        qAddPostRoutine(dropCache);
        icons.registered = true;
    }
    return icons;
}

template <std::size_t N> QIcon lookup(std::array<QIcon, N> &icons, const char *folder, int index) {
    if (index < 0 || index >= static_cast<int>(N))
        return {};
    QIcon &icon = icons[static_cast<std::size_t>(index)];
    if (icon.isNull())
        icon =
            QIcon(QStringLiteral(":/icons/%1/%2.svg").arg(QLatin1String(folder)).arg(index, 2, 10, QLatin1Char('0')));
    return icon;
}

} // namespace

QIcon ImageLists::systemImage(int index) {
    return lookup(cache().system, "system", index);
}

QIcon ImageLists::symbolImage(int index) {
    return lookup(cache().symbols, "symbole", index);
}

namespace {
QIcon cached(QIcon &icon, const QString &file) {
    if (icon.isNull())
        icon = QIcon(file);
    return icon;
}
} // namespace

QIcon ImageLists::applicationIcon() {
    return cached(cache().application, QStringLiteral(":/icons/quendra.svg"));
}

QIcon ImageLists::offlineIcon() {
    return cached(cache().offline, QStringLiteral(":/icons/quendra-offline.svg"));
}
