#include "WorkArea.h"

#include "AppTexts.h"
#include "CatalogueController.h"
#include "CatalogueTreeView.h"
#include "ImageLists.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
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
    button->setAccessibleName(AppTexts::kShowBusMonitor);
    button->setToolTip(AppTexts::kShowBusMonitorHint);
    button->setAccessibleDescription(button->toolTip());
    button->setFixedWidth(32);
    return button;
}

// A tab page with its contents on top and the ">>" button at the bottom right.
QWidget *page(QTabWidget *tabs, const QString &title, QPushButton **toggle, const QString &toggleName) {
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

    m_loadButton = new QPushButton(ImageLists::systemImage(8), QStringLiteral("OV Struktur laden"), this);
    m_loadButton->setObjectName(QStringLiteral("OVxmlLoadbtn"));
    m_loadButton->setAccessibleName(m_loadButton->text());
    m_loadButton->setToolTip(QStringLiteral("Läd die Komunikationsobjekte vom OV"));

    m_tree = new CatalogueTreeView(this);

    m_loadBar = new QProgressBar(this);
    m_loadBar->setObjectName(QStringLiteral("loadxmlbar"));
    m_loadBar->setAccessibleName(QStringLiteral("OV Struktur laden"));
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

    menuPage = page(this, AppTexts::kMenuTab, &showbusmoni, QStringLiteral("showbusmoni"));
    loadReplacePage = page(this, AppTexts::kLoadReplaceTab, &showbusmoni2, QStringLiteral("showbusmoni2"));
    emailPage = page(this, AppTexts::kEmailTab, &busmoni3, QStringLiteral("busmoni3"));
    systemPage = page(this, AppTexts::kSystemTab, &TeButton2, QStringLiteral("TeButton2"));

    parapanel2 = parameterPanel(QStringLiteral("parapanel2"), loadReplacePage);

    for (QPushButton *button : {showbusmoni, showbusmoni2, busmoni3, TeButton2})
        connect(button, &QPushButton::clicked, this, &WorkTabs::busMonitorToggleClicked);
    loadReplacePage->installEventFilter(this);
    menuPage->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(menuPage, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { emit menuPreviewRequested(menuPage->mapToGlobal(pos)); });
    applySizes(kExpandedSizes);
}

void WorkTabs::placeMenuEditor(QWidget *editor) {
    auto *layout = static_cast<QVBoxLayout *>(menuPage->layout());
    // The editor takes the room the empty page kept above the button.
    delete layout->takeAt(0);
    layout->insertWidget(0, editor, 1);
}

void WorkTabs::setEmailPanel(QWidget *panel) {
    static_cast<QVBoxLayout *>(emailPage->layout())->insertWidget(0, panel, 1);
}

bool WorkTabs::flipBusMonitorToggle() {
    const bool show = showbusmoni->text() == AppTexts::kShowBusMonitor;
    showbusmoni->setText(show ? AppTexts::kHideBusMonitor : AppTexts::kShowBusMonitor);
    showbusmoni->setAccessibleName(showbusmoni->text());
    showbusmoni->setToolTip(show ? AppTexts::kHideBusMonitorHint : AppTexts::kShowBusMonitorHint);
    showbusmoni->setAccessibleDescription(showbusmoni->toolTip());
    return show;
}

void WorkTabs::applySizes(const WorkAreaSizes &sizes) {
    m_sizes = sizes;
    placePanels();
}

bool WorkTabs::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Resize)
        placePanels();
    return QTabWidget::eventFilter(watched, event);
}

void WorkTabs::placePanels() {
    // The panel keeps its height whatever room the page has, as laid over the list.
    parapanel2->setGeometry(0, 0, loadReplacePage->width(), m_sizes.parapanel2);
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
    busmoni->setModel(model);
}

void BusMonitorColumn::applySizes(const WorkAreaSizes &sizes) {
    busmoni->setFixedHeight(sizes.busmoni);
}
