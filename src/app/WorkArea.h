#pragma once

#include "CatalogueDisplay.h"
#include "Frame.h"

#include <QPointer>
#include <QTabWidget>
#include <QWidget>
#include <array>
#include <functional>

class QAbstractItemModel;
class QLabel;
class QListView;
class QProgressBar;
class QPushButton;
class CatalogueController;
class CatalogueTreeView;
class DropTargets;

// The heights the work area takes with the settings panel rolled up or expanded.
// (The "Menü" tab's editor lays itself out in the room its page has.)
struct WorkAreaSizes {
    int busmoni;
    int parapanel2;
    int ovtree;
    int loadxmlbarTop;
};
inline constexpr WorkAreaSizes kRolledUpSizes{555, 553, 552, 595};
inline constexpr WorkAreaSizes kExpandedSizes{420, 553, 417, 460};

// The left column: the object tree `ovtree` with its load button `OVxmlLoadbtn` and progress bar
// `loadxmlbar`.
class CatalogueColumn : public QWidget, public CatalogueDisplay {
    Q_OBJECT
public:
    static constexpr int kWidth = 231;
    explicit CatalogueColumn(QWidget *parent = nullptr);
    void applySizes(const WorkAreaSizes &sizes);

    // The button loads, the tree's selection and clicks go to the catalogue's handlers.
    void attach(CatalogueController &controller);
    // The places the tree's objects can be put on from its context menu.
    DropTargets &dropTargets();

    // CatalogueDisplay
    void setLoading(bool loading) override;
    void setLoadProgress(int permille) override;
    void showCatalogue(std::shared_ptr<const CatalogueTree> tree) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeChildren();

    QPushButton *m_loadButton = nullptr;
    CatalogueTreeView *m_tree = nullptr;
    QProgressBar *m_loadBar = nullptr;
    WorkAreaSizes m_sizes = kExpandedSizes;
};

// The middle column: the tabs "Menü", "Load && Replace", "Email" and "System", each with its
// ">>" button that shows or hides the bus monitor column. The subsystems fill the tabs.
class WorkTabs : public QTabWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 320;
    explicit WorkTabs(QWidget *parent = nullptr);
    void applySizes(const WorkAreaSizes &sizes);

    // The contents of the tab, above its ">>" button; the tab takes it over. parameterPanelHeight,
    // when given, is told the height the page's parameter panel has, now and on every change (the
    // panel lies over its list with that height whatever room the page has).
    void place(WorkPage page, QWidget *panel, std::function<void(int height)> parameterPanelHeight = {});
    // A right click on the page, or the context-menu key or Shift+F10 on it (not every platform
    // turns those into a context menu event), at a global position.
    void onContextMenu(WorkPage page, Frame::PageContextMenu handler);
    // Flips the caption and hint of `showbusmoni`, the one button that holds the state; true when
    // the bus monitor column is now to be shown.
    bool flipBusMonitorToggle();

signals:
    // One of the four ">>" buttons was pressed.
    void busMonitorToggleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Page {
        QWidget *widget = nullptr;
        std::function<void(int height)> parameterPanelHeight;
        Frame::PageContextMenu contextMenu;
    };
    Page &page(WorkPage page) { return m_pages[size_t(page)]; }
    void placePanels();
    WorkAreaSizes m_sizes = kExpandedSizes;

    std::array<Page, 4> m_pages;
    QPushButton *showbusmoni = nullptr;
    // A placeholder until Load & Replace comes; its panel then lays its own `parapanel2` over its list.
    QWidget *parapanel2 = nullptr;
    QPushButton *showbusmoni2 = nullptr;
    QPushButton *busmoni3 = nullptr;
    QPushButton *TeButton2 = nullptr;
};

// The right column: the bus monitor `busmoni`.
class BusMonitorColumn : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 204;
    explicit BusMonitorColumn(QWidget *parent = nullptr);
    void applySizes(const WorkAreaSizes &sizes);
    // The bus monitor's lines in `busmoni`.
    void setModel(QAbstractItemModel *model);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void attachModel(bool attached);

    QListView *busmoni = nullptr;
    QPointer<QAbstractItemModel> m_model;
};
