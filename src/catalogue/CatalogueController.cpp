#include "CatalogueController.h"

#include "CatalogueDisplay.h"
#include "CatalogueTexts.h"
#include "Dialogs.h"
#include "FreedMemory.h"

#include <QThreadPool>

CatalogueController::CatalogueController(CatalogueDisplay &display, Dialogs &dialogs, QNetworkAccessManager &network,
                                         const QString &copyFile, Hooks hooks, QObject *parent)
    : QObject(parent), m_display(display), m_dialogs(dialogs), m_hooks(std::move(hooks)), m_loader(network, copyFile) {
    connect(&m_loader, &CatalogueLoader::progress, this, [this](int permille) { m_display.setLoadProgress(permille); });
    connect(&m_loader, &CatalogueLoader::fetchFailed, this,
            [this](int code) { m_dialogs.error(CatalogueTexts::kFetchFailed.arg(code)); });
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
    QString text = CatalogueTexts::kConnectedWithObjects.arg(objectCount());
    if (m_tree && m_tree->leftOutObjects() > 0)
        text += CatalogueTexts::kLeftOutNote.arg(QString::number(m_tree->leftOutObjects()));
    if (m_tree && m_tree->foldedObjects() > 0)
        text +=
            CatalogueTexts::kFoldedNote.arg(QString::number(m_tree->foldedObjects()), QString::number(kMaxFolderDepth));
    return text;
}

void CatalogueController::onFinished(std::shared_ptr<const CatalogueTree> tree) {
    const bool cut = tree && tree->leftOutObjects() > 0;
    if (tree) {
        std::shared_ptr<const CatalogueTree> old = std::exchange(m_tree, std::move(tree));
        m_display.showCatalogue(m_tree);
        // Freeing a large tree takes a while; the window need not wait for it. Its memory goes back to
        // the system, so that reloads do not add up.
        if (old)
            QThreadPool::globalInstance()->start([old = std::move(old)]() mutable {
                old.reset();
                FreedMemory::returnToSystem();
            });
    }
    // Polling runs again after a load, also when it was off before.
    if (m_hooks.pausePolling)
        m_hooks.pausePolling(false);
    if (m_hooks.statusText)
        m_hooks.statusText(statusText());
    m_display.setLoading(false);
    // Told once the load is over, so that the open box holds neither the button nor polling.
    if (cut)
        m_dialogs.information(CatalogueTexts::kLeftOutBox.arg(QString::number(m_tree->objectCount()),
                                                              QString::number(m_tree->leftOutObjects())));
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
