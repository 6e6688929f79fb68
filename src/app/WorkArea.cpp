#include "WorkArea.h"

#include "AppTexts.h"
#include "CatalogueController.h"
#include "CatalogueTreeView.h"
#include "ImageLists.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kButtonTop = 4;
constexpr int kButtonHeight = 27;
constexpr int kTreeTop = 35;
constexpr int kBarHeight = 17;

// The parameter panels lie over their tab's list when shown; hidden until an editor opens them.
QWidget *parameterPanel(const QString &name, QWidget *page) {
    auto *panel = new QFrame(page);
    panel->setObjectName(name);
    panel->setAccessibleName(AppTexts::kParameter);
    panel->setAutoFillBackground(true);
    auto *group = new QGroupBox(AppTexts::kParameterGroup, panel);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(group);
    panel->hide();
    return panel;
}

QPushButton *busMonitorButton(const QString &name, QWidget *page) {
    auto *button = new QPushButton(AppTexts::kShowBusMonitor, page);
    button->setObjectName(name);
    button->setAccessibleName(AppTexts::kShowBusMonitorName);
    button->setToolTip(AppTexts::kShowBusMonitorHint);
    button->setAccessibleDescription(button->toolTip());
    button->setFixedWidth(32);
    return button;
}

// A tab page with its contents on top and the ">>" button at the bottom right.
QWidget *addPage(QTabWidget *tabs, const QString &title, QPushButton **toggle, const QString &toggleName) {
    auto *p = new QWidget(tabs);
    auto *layout = new QVBoxLayout(p);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addStretch(1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    *toggle = busMonitorButton(toggleName, p);
    bottom->addWidget(*toggle);
    layout->addLayout(bottom);
    tabs->addTab(p, title);
    return p;
}
} // namespace

CatalogueColumn::CatalogueColumn(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("catalogueColumn"));
    setFixedWidth(kWidth);
    // The named heights are fixed; the window does not grow to make room for them.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);

    m_loadButton = new QPushButton(ImageLists::systemImage(8), AppTexts::kLoadCatalogue, this);
    m_loadButton->setObjectName(QStringLiteral("OVxmlLoadbtn"));
    m_loadButton->setAccessibleName(m_loadButton->text());
    m_loadButton->setToolTip(AppTexts::kLoadCatalogueHint);

    m_tree = new CatalogueTreeView(this);

    m_loadBar = new QProgressBar(this);
    m_loadBar->setObjectName(QStringLiteral("loadxmlbar"));
    m_loadBar->setAccessibleName(AppTexts::kLoadCatalogue);
    m_loadBar->setTextVisible(false);
    m_loadBar->setRange(0, 1000);
    m_loadBar->setValue(0);
    m_loadBar->hide();
    placeChildren();
}

void CatalogueColumn::attach(CatalogueController &controller) {
    connect(m_loadButton, &QPushButton::clicked, &controller, &CatalogueController::OVxmlLoadbtnClick);
    connect(m_tree, &CatalogueTreeView::nodeChanging, &controller, &CatalogueController::OVTreeChanging);
    connect(m_tree, &CatalogueTreeView::nodeClicked, &controller, &CatalogueController::OVTreeClick);
}

DropTargets &CatalogueColumn::dropTargets() {
    return m_tree->dropTargets();
}

void CatalogueColumn::setLoading(bool loading) {
    m_loadButton->setEnabled(!loading);
    m_loadBar->setValue(0);
    m_loadBar->setVisible(loading);
}

void CatalogueColumn::setLoadProgress(int permille) {
    m_loadBar->setValue(permille);
}

void CatalogueColumn::showCatalogue(std::shared_ptr<const CatalogueTree> tree) {
    m_tree->showCatalogue(std::move(tree));
}

void CatalogueColumn::applySizes(const WorkAreaSizes &sizes) {
    m_sizes = sizes;
    placeChildren();
}

void CatalogueColumn::resizeEvent(QResizeEvent *) {
    placeChildren();
}

void CatalogueColumn::placeChildren() {
    m_loadButton->setGeometry(4, kButtonTop, kWidth - 8, kButtonHeight);
    m_tree->setGeometry(0, kTreeTop, kWidth, m_sizes.ovtree);
    m_loadBar->setGeometry(0, m_sizes.loadxmlbarTop, kWidth, kBarHeight);
}

WorkTabs::WorkTabs(QWidget *parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("workTabs"));
    setAccessibleName(AppTexts::kMenueerstellung);
    setFixedWidth(kWidth);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);

    page(WorkPage::Menu).widget = addPage(this, AppTexts::kMenuTab, &showbusmoni, QStringLiteral("showbusmoni"));
    page(WorkPage::LoadReplace).widget =
        addPage(this, AppTexts::kLoadReplaceTab, &showbusmoni2, QStringLiteral("showbusmoni2"));
    page(WorkPage::Email).widget = addPage(this, AppTexts::kEmailTab, &busmoni3, QStringLiteral("busmoni3"));
    page(WorkPage::System).widget = addPage(this, AppTexts::kSystemTab, &TeButton2, QStringLiteral("TeButton2"));

    parapanel2 = parameterPanel(QStringLiteral("parapanel2"), page(WorkPage::LoadReplace).widget);

    for (QPushButton *button : {showbusmoni, showbusmoni2, busmoni3, TeButton2})
        connect(button, &QPushButton::clicked, this, &WorkTabs::busMonitorToggleClicked);
    for (const Page &p : m_pages)
        p.widget->installEventFilter(this);
    applySizes(kExpandedSizes);
}

void WorkTabs::place(WorkPage which, QWidget *panel, std::function<void(int height)> parameterPanelHeight) {
    Page &p = page(which);
    if (which == WorkPage::LoadReplace) {
        delete parapanel2;
        parapanel2 = nullptr;
    }
    // The content takes the room the page's stretch held above the ">>" button.
    auto *layout = static_cast<QVBoxLayout *>(p.widget->layout());
    delete layout->takeAt(0);
    layout->insertWidget(0, panel, 1);
    p.parameterPanelHeight = std::move(parameterPanelHeight);
    placePanels();
}

void WorkTabs::onContextMenu(WorkPage which, Frame::PageContextMenu handler) {
    Page &p = page(which);
    p.contextMenu = std::move(handler);
    QWidget *widget = p.widget;
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, this,
            [this, which, widget](const QPoint &pos) { page(which).contextMenu(widget->mapToGlobal(pos), false); });
}

bool WorkTabs::flipBusMonitorToggle() {
    const bool show = showbusmoni->text() == AppTexts::kShowBusMonitor;
    showbusmoni->setText(show ? AppTexts::kHideBusMonitor : AppTexts::kShowBusMonitor);
    showbusmoni->setAccessibleName(show ? AppTexts::kHideBusMonitorName : AppTexts::kShowBusMonitorName);
    showbusmoni->setToolTip(show ? AppTexts::kHideBusMonitorHint : AppTexts::kShowBusMonitorHint);
    showbusmoni->setAccessibleDescription(showbusmoni->toolTip());
    return show;
}

void WorkTabs::applySizes(const WorkAreaSizes &sizes) {
    m_sizes = sizes;
    placePanels();
}

bool WorkTabs::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        // Keys the page's widgets leave alone come here; not every platform turns them into a
        // context menu event.
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool menuKey = key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier;
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        for (const Page &p : m_pages) {
            if (watched != p.widget || !p.contextMenu || !(menuKey || shiftF10))
                continue;
            const QWidget *focus = p.widget->focusWidget() ? p.widget->focusWidget() : p.widget;
            p.contextMenu(focus->mapToGlobal(focus->rect().center()), true);
            return true;
        }
    }
    if (event->type() == QEvent::Resize)
        placePanels();
    return QTabWidget::eventFilter(watched, event);
}

void WorkTabs::placePanels() {
    if (parapanel2)
        parapanel2->setGeometry(0, 0, page(WorkPage::LoadReplace).widget->width(), m_sizes.parapanel2);
    for (const Page &p : m_pages)
        if (p.parameterPanelHeight)
            p.parameterPanelHeight(m_sizes.parapanel2);
}

BusMonitorColumn::BusMonitorColumn(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("busMonitorColumn"));
    setFixedWidth(kWidth);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);

    busmoni = new QListView(this);
    busmoni->setObjectName(QStringLiteral("busmoni"));
    busmoni->setAccessibleName(AppTexts::kBusMonitor);
    busmoni->setEditTriggers(QAbstractItemView::NoEditTriggers);
    busmoni->setUniformItemSizes(true);
    auto *label = new QLabel(AppTexts::kBusMonitor, this);
    label->setBuddy(busmoni);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 4, 0);
    layout->setSpacing(2);
    layout->addWidget(label);
    layout->addWidget(busmoni);
    layout->addStretch(1);
    applySizes(kExpandedSizes);
}

void BusMonitorColumn::setModel(QAbstractItemModel *model) {
    m_model = model;
    attachModel(isVisible());
}

// Hidden (the column folded away, the window in the tray) the list is not told about the lines: a
// busy bus would make it handle every inserted and removed row for nobody. Shown again, it takes
// the lines as they are then.
void BusMonitorColumn::showEvent(QShowEvent *event) {
    attachModel(true);
    QWidget::showEvent(event);
}

void BusMonitorColumn::hideEvent(QHideEvent *event) {
    QWidget::hideEvent(event);
    attachModel(false);
}

void BusMonitorColumn::attachModel(bool attached) {
    QAbstractItemModel *wanted = attached ? m_model.data() : nullptr;
    if (busmoni->model() == wanted)
        return;
    // The view makes a selection model of its own for every model and leaves the old one.
    QItemSelectionModel *old = busmoni->selectionModel();
    busmoni->setModel(wanted);
    if (old)
        old->deleteLater();
}

void BusMonitorColumn::applySizes(const WorkAreaSizes &sizes) {
    busmoni->setFixedHeight(sizes.busmoni);
}
