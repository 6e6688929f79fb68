#pragma once

#include "LoadReplaceDownloads.h"
#include "LoadReplaceEntry.h"
#include "Subsystem.h"

#include <QNetworkAccessManager>
#include <QPointer>
#include <memory>

class LoadReplacePanel;

// Load & Replace in the program: the rules with their file "quendraload.ini", the downloads the
// received values start (after the menu has seen each value), and the editor on the tab
// "Load && Replace".
class LoadReplaceWiring : public Subsystem {
public:
    explicit LoadReplaceWiring(DownloadLimits limits = {});
    ~LoadReplaceWiring() override;

    const LoadReplaceList &rules() const { return m_rules; }
    // Present once attached.
    LoadReplaceDownloads *downloads() const { return m_downloads.get(); }

    void attach(Frame &frame) override;
    // `load_rlist`; also removes what an interrupted download left beside the rules' files.
    void load(const QString &folder) override;
    // `save_rlist`.
    bool save(const QString &folder) override;

private:
    DownloadLimits m_limits;
    Frame *m_frame = nullptr;
    LoadReplaceList m_rules;
    QNetworkAccessManager m_network;
    std::unique_ptr<LoadReplaceDownloads> m_downloads;
    QPointer<LoadReplacePanel> m_panel; // owned by its tab
};
