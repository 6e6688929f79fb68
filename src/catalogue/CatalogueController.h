#pragma once

#include "CatalogueLoader.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class CatalogueDisplay;
class Dialogs;
class QNetworkAccessManager;

// The catalogue's handlers: "OV Struktur laden" with polling paused, the error box, the status
// text with the count, and `selectedGan`, the number of the object last selected in the tree.
class CatalogueController : public QObject {
    Q_OBJECT
public:
    // What the program provides: the address and web port texts of the settings, pausing polling
    // (Timer1) during a load, and panel 0 of the status bar.
    struct Hooks {
        std::function<QString()> host;
        std::function<QString()> webPort;
        std::function<void(bool paused)> pausePolling;
        std::function<void(const QString &text)> statusText;
    };

    CatalogueController(CatalogueDisplay &display, Dialogs &dialogs, QNetworkAccessManager &network,
                        const QString &copyFile, Hooks hooks, QObject *parent = nullptr);

    CatalogueLoader &loader() { return m_loader; }
    const QString &selectedGan() const { return m_selectedGan; }
    // The tree shown (nullptr before the first load that built one).
    const CatalogueTree *tree() const { return m_tree.get(); }
    int objectCount() const;

    void OVxmlLoadbtnClick();
    // The node about to be selected (a node id of tree(), or -1 for a detail line).
    void OVTreeChanging(int nodeId);
    // A click on the tree; nodeId as above, for the selected node.
    void OVTreeClick(int nodeId);

signals:
    // A load has ended and its tree (if any) is shown.
    void loadFinished();

private:
    void UpdateTree();
    void onFinished(std::shared_ptr<const CatalogueTree> tree);
    // "Mit OV verbunden / n KO gefunden", with what the budgets left out of the shown tree or folded.
    QString statusText() const;

    CatalogueDisplay &m_display;
    Dialogs &m_dialogs;
    Hooks m_hooks;
    CatalogueLoader m_loader;
    std::shared_ptr<const CatalogueTree> m_tree;
    QString m_selectedGan;
};
