#include "BrowserTab.h"

#include "AnalysisListModel.h"
#include "AnalysisListView.h"
#include "BrowserHost.h"
#include "NamedWidgets.h"
#include "PageSession.h"
#include "PageSource.h"
#include "WebCheckTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

using namespace WebCheckTexts;
using namespace NamedWidgets;

namespace {
// The analysis list as the view shows it: each value with the icon of its kind.
class KindIcons : public QIdentityProxyModel {
public:
    explicit KindIcons(QObject *parent) : QIdentityProxyModel(parent) {
        const QStyle *style = QApplication::style();
        m_text = style->standardIcon(QStyle::SP_FileIcon);
        m_link = style->standardIcon(QStyle::SP_FileLinkIcon);
        m_image = style->standardIcon(QStyle::SP_DesktopIcon);
    }

    QVariant data(const QModelIndex &index, int role) const override {
        if (role != Qt::DecorationRole || index.column() != 0)
            return QIdentityProxyModel::data(index, role);
        const auto *rows = static_cast<const AnalysisListModel *>(sourceModel());
        switch (rows->entry(index.row()).kind) {
        case AnalysisEntry::Text:
            return m_text;
        case AnalysisEntry::Link:
            return m_link;
        case AnalysisEntry::Image:
            return m_image;
        default:
            return {};
        }
    }

private:
    QIcon m_text, m_link, m_image;
};
} // namespace

BrowserTab::BrowserTab(PageSession &session, QWidget *parent) : QWidget(parent), m_session(session) {
    auto *layout = new QVBoxLayout(this);

    // The source view and the frame notice lie over the browser.
    m_browserArea = new QWidget;
    auto *area = new QGridLayout(m_browserArea);
    area->setContentsMargins(0, 0, 0, 0);
    quelltext = named(new QPlainTextEdit, u"quelltext"_qs, kQuelltext);
    quelltext->setReadOnly(true);
    quelltext->setLineWrapMode(QPlainTextEdit::NoWrap);
    quelltext->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    quelltext->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    quelltext->hide();
    framepanel = objectNamed(new QFrame, u"framepanel"_qs);
    framepanel->setAutoFillBackground(true);
    QPalette maroon = framepanel->palette();
    maroon.setColor(QPalette::Window, QColor(0x80, 0, 0));
    maroon.setColor(QPalette::WindowText, Qt::white);
    framepanel->setPalette(maroon);
    auto *notice = new QLabel(kFrameNotice);
    notice->setWordWrap(true);
    QFont bold = notice->font();
    bold.setBold(true);
    notice->setFont(bold);
    lbframes = named(new QListWidget, u"lbframes"_qs, kFrameChoose);
    auto *keep = button(u"framenein"_qs, kFrameKeep, kFrameKeep, nullptr);
    auto *panelLayout = new QVBoxLayout(framepanel);
    panelLayout->addWidget(notice);
    panelLayout->addWidget(buddyLabel(kFrameChoose, lbframes, nullptr));
    panelLayout->addWidget(lbframes);
    panelLayout->addWidget(keep);
    framepanel->hide();
    area->addWidget(quelltext, 0, 0);
    area->addWidget(framepanel, 0, 0, Qt::AlignTop);

    analysebtn = button(u"analysebtn"_qs, kAnalyseStarten, kAnalyseHint, nullptr);
    analysebtn->setEnabled(false);
    sbanalyseabr = named(new QToolButton, u"sbanalyseabr"_qs, kAnalyseAbbrechen, kAnalyseAbbrechen);
    sbanalyseabr->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    auto *options = named(new QGroupBox, u"scanoptionen"_qs, kScanOptionen);
    mtext = named(new QCheckBox(kScanText), u"mtext"_qs, kScanText);
    mbilder = named(new QCheckBox(kScanBilder), u"mbilder"_qs, kScanBilder);
    mlinks = named(new QCheckBox(kScanLinks), u"mlinks"_qs, kScanLinks);
    mtext->setChecked(true);
    auto *optionsLayout = new QHBoxLayout(options);
    for (QCheckBox *box : {mtext, mbilder, mlinks})
        optionsLayout->addWidget(box);
    quelltextbtn = button(u"quelltextbtn"_qs, kQuelltextEinblenden, kQuelltextEinblenden, nullptr);
    auto *tools = new QHBoxLayout;
    tools->addWidget(analysebtn);
    tools->addWidget(sbanalyseabr);
    tools->addWidget(options);
    tools->addWidget(quelltextbtn);
    tools->addStretch();

    auto *rows = new KindIcons(this);
    rows->setSourceModel(&session.rows());
    Liste = named(new AnalysisListView, u"Liste"_qs, kListe, kListeHint);
    Liste->setModel(rows);
    Liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Liste->horizontalHeader()->resizeSection(0, 180);
    Liste->horizontalHeader()->resizeSection(1, 80);
    auto *lower = new QWidget;
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addLayout(tools);
    lowerLayout->addWidget(Liste);

    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(m_browserArea);
    splitter->addWidget(lower);
    // The browser arrives when the window is first shown; its place is kept from the start.
    m_browserArea->setMinimumHeight(120);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({330, 220});

    auto *status = new QStatusBar;
    status->setSizeGripEnabled(false);
    m_status = objectNamed(new QLabel, u"statustext"_qs);
    // 200 pixels, wider when a text needs more.
    m_status->setMinimumWidth(200);
    progbar = named(new QProgressBar, u"progbar"_qs, kFortschritt);
    progbar->setTextVisible(false);
    status->addWidget(m_status);
    status->addWidget(progbar, 1);

    layout->addWidget(splitter, 1);
    layout->addWidget(status);

    connect(analysebtn, &QPushButton::clicked, &session, &PageSession::startAnalysis);
    connect(sbanalyseabr, &QToolButton::clicked, this, [this] {
        progbar->hide();
        progbar->setValue(0);
        m_session.cancelAnalysis();
    });
    connect(quelltextbtn, &QPushButton::clicked, this, &BrowserTab::toggleSource);
    connect(lbframes, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (!item)
            return;
        m_session.followFrame(item->text());
        framepanel->hide();
    });
    connect(keep, &QPushButton::clicked, framepanel, &QWidget::hide);
    const auto scanOptions = [this] {
        m_session.setScanOptions(ScanOptions{mtext->isChecked(), mbilder->isChecked(), mlinks->isChecked()});
    };
    for (QCheckBox *box : {mtext, mbilder, mlinks})
        connect(box, &QCheckBox::toggled, this, scanOptions);
    scanOptions();

    // A row opens the definition whenever its state changes while its check box is set.
    connect(rows, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &, const QList<int> &roles) {
                if (roles.contains(Qt::CheckStateRole))
                    rowStateChanged(from.row());
            });
    connect(Liste->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                for (const QModelIndex &index : {previous, current})
                    if (index.isValid())
                        rowStateChanged(index.row());
            });

    connect(&session, &PageSession::browserCreated, this, &BrowserTab::addBrowserView);
    connect(&session, &PageSession::stateChanged, this, [this] { analysebtn->setEnabled(m_session.canAnalyse()); });
    connect(&session, &PageSession::loadProgress, this, [this](int percent) {
        progbar->setRange(0, 100);
        progbar->setValue(percent);
    });
    connect(&session, &PageSession::framesFound, this, &BrowserTab::showFrames);
    connect(&session, &PageSession::sourceChanged, this, &BrowserTab::sourceChanged);
    connect(&session, &PageSession::analysisStarted, this, [this] {
        m_status->setText(kAnalysiere);
        progbar->setValue(0);
        progbar->show();
    });
    connect(&session, &PageSession::analysisScanning, this, [this](qsizetype length) {
        progbar->setRange(0, static_cast<int>(length));
        Liste->setUpdatesEnabled(false);
        m_progressShown.start();
    });
    connect(&session, &PageSession::analysisProgress, this, [this](qsizetype position) {
        constexpr qint64 kProgressIntervalMs = 250;
        if (!progbar->isVisible() || m_progressShown.elapsed() < kProgressIntervalMs)
            return;
        m_progressShown.restart();
        progbar->setValue(static_cast<int>(position));
    });
    connect(&session, &PageSession::analysisEnded, this, [this](const QString &text) {
        m_status->setText(text);
        progbar->hide();
        Liste->setUpdatesEnabled(true);
    });
    if (session.browser())
        addBrowserView(session.browser());
}

void BrowserTab::addBrowserView(BrowserHost *browser) {
    auto *area = static_cast<QGridLayout *>(m_browserArea->layout());
    area->addWidget(browser->view(), 0, 0);
    quelltext->raise();
    framepanel->raise();
}

void BrowserTab::showFrames(const QStringList &frames) {
    lbframes->clear();
    lbframes->addItems(frames);
    if (lbframes->count() > 0) {
        framepanel->show();
        framepanel->raise();
    }
}

void BrowserTab::toggleSource() {
    if (quelltext->isVisible()) {
        quelltext->hide();
        return;
    }
    quelltext->show();
    quelltext->raise();
    fillSourceView();
}

void BrowserTab::sourceChanged() {
    m_sourceShown = false;
    if (quelltext->isVisible())
        fillSourceView();
}

void BrowserTab::fillSourceView() {
    if (!std::exchange(m_sourceShown, true))
        quelltext->setPlainText(PageSource::viewText(m_session.source()));
}

void BrowserTab::selectInSource(const WebQueryCheck::Selection &selection) {
    if (selection.length <= 0)
        return;
    fillSourceView();
    QTextCursor cursor(quelltext->document());
    cursor.setPosition(static_cast<int>(selection.start - 1));
    cursor.setPosition(static_cast<int>(selection.start - 1 + selection.length), QTextCursor::KeepAnchor);
    quelltext->setTextCursor(cursor);
}

void BrowserTab::rowStateChanged(int row) {
    if (row >= 0 && m_session.rows().isChecked(row))
        emit entryChosen(row);
}
