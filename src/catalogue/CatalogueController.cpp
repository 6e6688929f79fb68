#include "CatalogueController.h"

#include "CatalogueDisplay.h"
#include "Dialogs.h"

#include <QThreadPool>

namespace {
// What the budgets did to the shown tree, after the count in the status text; and the box for a
// tree that lacks objects of the document, since a tree that looks complete would mislead.
const QString kLeftOutNote = u" / %1 weitere KO nicht gezeigt"_qs;
const QString kFoldedNote = u" / %1 KO mit mehr als %2 Ordnerebenen im tiefsten Ordner"_qs;
const QString kLeftOutBox = u"Der Baum zeigt nur die ersten %1 KO des Katalogs; %2 weitere KO fehlen darin."_qs;
} // namespace

CatalogueController::CatalogueController(CatalogueDisplay &display, Dialogs &dialogs, QNetworkAccessManager &network,
                                         const QString &copyFile, Hooks hooks, QObject *parent)
    : QObject(parent), m_display(display), m_dialogs(dialogs), m_hooks(std::move(hooks)), m_loader(network, copyFile) {
    connect(&m_loader, &CatalogueLoader::progress, this, [this](int permille) { m_display.setLoadProgress(permille); });
    connect(&m_loader, &CatalogueLoader::fetchFailed, this, [this](int code) {
        m_dialogs.error(u"XML feheler "_qs + QString::number(code) + u"\rKonnte die Datei vom Orvanel nicht laden!"_qs);
    });
    connect(&m_loader, &CatalogueLoader::copyFailed, this,
            [this](const QString &message) { m_dialogs.error(message); });
    connect(&m_loader, &CatalogueLoader::finished, this, &CatalogueController::onFinished);
}

int CatalogueController::objectCount() const {
    return m_tree ? m_tree->objectCount() : 0;
}

void CatalogueController::OVxmlLoadbtnClick() {
    if (m_loader.isLoading())
        return;
    m_display.setLoading(true);
    if (m_hooks.pausePolling)
        m_hooks.pausePolling(true);
    UpdateTree();
}

void CatalogueController::UpdateTree() {
    m_loader.load(m_hooks.host ? m_hooks.host() : QString(), m_hooks.webPort ? m_hooks.webPort() : QString());
}

QString CatalogueController::statusText() const {
    QString text = u"Mit OV verbunden / "_qs + QString::number(objectCount()) + u" KO gefunden"_qs;
    if (m_tree && m_tree->leftOutObjects() > 0)
        text += kLeftOutNote.arg(QString::number(m_tree->leftOutObjects()));
    if (m_tree && m_tree->foldedObjects() > 0)
        text += kFoldedNote.arg(QString::number(m_tree->foldedObjects()), QString::number(kMaxFolderDepth));
    return text;
}

void CatalogueController::onFinished(std::shared_ptr<const CatalogueTree> tree) {
    const bool cut = tree && tree->leftOutObjects() > 0;
    if (tree) {
        std::shared_ptr<const CatalogueTree> old = std::exchange(m_tree, std::move(tree));
        m_display.showCatalogue(m_tree);
        // Freeing a large tree takes a while; the window need not wait for it.
        if (old)
            QThreadPool::globalInstance()->start([old = std::move(old)]() mutable { old.reset(); });
    }
    // Polling runs again after a load, also when it was off before.
    if (m_hooks.pausePolling)
        m_hooks.pausePolling(false);
    if (m_hooks.statusText)
        m_hooks.statusText(statusText());
    m_display.setLoading(false);
    // Told once the load is over, so that the open box holds neither the button nor polling.
    if (cut)
        m_dialogs.information(
            kLeftOutBox.arg(QString::number(m_tree->objectCount()), QString::number(m_tree->leftOutObjects())));
    emit loadFinished();
}

void CatalogueController::OVTreeChanging(int nodeId) {
    const CommObject *object = m_tree ? m_tree->objectOf(nodeId) : nullptr;
    // An object cut short before its number has no "GA/N:" line to take it from.
    if (object && object->detailsRead > 2)
        m_selectedGan = object->ganum;
}

void CatalogueController::OVTreeClick(int nodeId) {
    const CommObject *object = m_tree ? m_tree->objectOf(nodeId) : nullptr;
    if (object && m_hooks.statusText)
        m_hooks.statusText(object->name);
}
