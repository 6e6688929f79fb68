#include "EventListPanel.h"

#include "EventListModel.h"
#include "History.h"
#include "HistoryTexts.h"
#include "MuteList.h"
#include "NamedWidgets.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

using NamedWidgets::buddyLabel;
using NamedWidgets::button;
using NamedWidgets::named;

namespace {
// The shown mutes end by themselves; the line follows within this time.
constexpr int kMutedRefreshMs = 30000;
} // namespace

EventListPanel::EventListPanel(History &history, QWidget *parent) : QWidget(parent), m_history(history) {
    setObjectName(QStringLiteral("eventListPanel"));
    auto *layout = new QVBoxLayout(this);

    kindFilter = named(new QComboBox(this), QStringLiteral("kindFilter"), HistoryTexts::kKindFilter);
    kindFilter->addItem(HistoryTexts::kAllKinds);
    for (EventKind kind : EventKinds::all())
        kindFilter->addItem(EventKinds::name(kind), int(kind));
    objectFilter = named(new QComboBox(this), QStringLiteral("objectFilter"), HistoryTexts::kObjectFilter);
    objectFilter->addItem(HistoryTexts::kAllObjects);
    objectFilter->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    searchField = named(new QLineEdit(this), QStringLiteral("searchField"), HistoryTexts::kSearch);
    searchField->setClearButtonEnabled(true);
    auto *filters = new QHBoxLayout;
    filters->addWidget(buddyLabel(HistoryTexts::kKindFilter, kindFilter, this));
    filters->addWidget(kindFilter);
    filters->addWidget(buddyLabel(HistoryTexts::kObjectFilter, objectFilter, this));
    filters->addWidget(objectFilter);
    filters->addWidget(buddyLabel(HistoryTexts::kSearch, searchField, this));
    filters->addWidget(searchField, 1);
    layout->addLayout(filters);

    m_model = new EventListModel(this);
    eventList = named(new QTreeView(this), QStringLiteral("eventList"), HistoryTexts::kEventList);
    eventList->setModel(m_model);
    eventList->setRootIsDecorated(false);
    eventList->setUniformRowHeights(true);
    eventList->setSelectionMode(QAbstractItemView::SingleSelection);
    eventList->setContextMenuPolicy(Qt::CustomContextMenu);
    eventList->header()->setStretchLastSection(true);
    layout->addWidget(eventList, 1);
    listNote = named(new QLabel(this), QStringLiteral("listNote"), QString());
    listNote->setWordWrap(true);
    listNote->hide();
    layout->addWidget(listNote);

    markAllRead = button(QStringLiteral("markAllRead"), HistoryTexts::kMarkAllRead, {}, this);
    mutedObjects = named(new QLabel(this), QStringLiteral("mutedObjects"), QString());
    mutedObjects->setWordWrap(true);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(mutedObjects, 1);
    bottom->addWidget(markAllRead);
    layout->addLayout(bottom);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("eventMenu"));
    m_muteHour = m_menu->addAction(HistoryTexts::kMuteHour);
    m_muteMorning = m_menu->addAction(HistoryTexts::kMuteMorning);
    m_unmute = m_menu->addAction(HistoryTexts::kUnmute);
    m_menu->addSeparator();
    m_showChart = m_menu->addAction(HistoryTexts::kShowChart);

    connect(kindFilter, &QComboBox::currentIndexChanged, this, &EventListPanel::refresh);
    connect(objectFilter, &QComboBox::currentIndexChanged, this, &EventListPanel::refresh);
    connect(searchField, &QLineEdit::textChanged, this, &EventListPanel::refresh);
    connect(&m_history, &History::eventsChanged, this, &EventListPanel::refresh);
    connect(markAllRead, &QPushButton::clicked, &m_history, &History::markAllRead);
    connect(eventList, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        const QModelIndex row = eventList->indexAt(at);
        // The event clicked on becomes the chosen one, as a left click would make it.
        if (row.isValid())
            eventList->setCurrentIndex(row);
        openContextMenu(at);
    });
    eventList->installEventFilter(this);
    connect(eventList->selectionModel(), &QItemSelectionModel::currentChanged, this, &EventListPanel::updateActions);
    connect(m_muteHour, &QAction::triggered, this, [this] {
        mute([this](const QString &gan, const QDateTime &now) { return m_history.mutes().muteForOneHour(gan, now); });
    });
    connect(m_muteMorning, &QAction::triggered, this, [this] {
        mute([this](const QString &gan, const QDateTime &now) { return m_history.mutes().muteUntilMorning(gan, now); });
    });
    connect(m_unmute, &QAction::triggered, this, [this] {
        mute([this](const QString &gan, const QDateTime &now) { return m_history.mutes().unmute(gan, now); });
    });
    connect(m_showChart, &QAction::triggered, this, [this] { emit chartRequested(currentObject()); });
    connect(&m_history.mutes(), &MuteList::changed, this, &EventListPanel::updateMuted);
    auto *mutedRefresh = new QTimer(this);
    connect(mutedRefresh, &QTimer::timeout, this, &EventListPanel::updateMuted);
    mutedRefresh->start(kMutedRefreshMs);
    updateActions();
    updateMuted();
    refresh();
}

void EventListPanel::setObjectNamer(std::function<QString(const QString &)> namer) {
    m_model->setObjectNamer(std::move(namer));
}

EventFilter EventListPanel::filter() const {
    EventFilter filter;
    if (kindFilter->currentIndex() > 0)
        filter.kind = EventKind(kindFilter->currentData().toInt());
    if (objectFilter->currentIndex() > 0)
        filter.gan = objectFilter->currentText();
    filter.search = searchField->text();
    return filter;
}

void EventListPanel::refresh() {
    // Only the newest question's answer is shown.
    const quint64 generation = ++m_generation;
    m_history.queryEvents(filter(), this, [this, generation](const EventPage &page) {
        if (generation == m_generation)
            showPage(page);
    });
    m_history.queryObjects(this, [this](const QStringList &objects) { showObjects(objects); });
}

void EventListPanel::showPage(const EventPage &page) {
    // The chosen event stays chosen when it is still listed.
    const EventRecord *current = m_model->eventAt(eventList->currentIndex().row());
    const qint64 currentId = current ? current->id : -1;
    m_model->setEvents(page.events);
    for (int row = 0; row < page.events.size(); ++row)
        if (page.events[row].id == currentId)
            eventList->setCurrentIndex(m_model->index(row, 0));
    QStringList notes;
    const QLocale german(QLocale::German);
    if (page.moreThanLimit)
        notes << HistoryTexts::kMoreThanLimit.arg(german.toString(page.events.size()));
    if (page.searchCutAfter > 0)
        notes << HistoryTexts::kSearchCut.arg(german.toString(page.searchCutAfter));
    listNote->setText(notes.join(u' '));
    listNote->setAccessibleName(listNote->text());
    listNote->setVisible(!notes.isEmpty());
    updateActions();
}

void EventListPanel::showObjects(const QStringList &objects) {
    const QString chosen = objectFilter->currentIndex() > 0 ? objectFilter->currentText() : QString();
    const QSignalBlocker quiet(objectFilter);
    objectFilter->clear();
    objectFilter->addItem(HistoryTexts::kAllObjects);
    objectFilter->addItems(objects.mid(0, kMaxListedObjects));
    if (objects.size() > kMaxListedObjects) {
        // The list is cut: the last row says so, and the search finds the others by number.
        objectFilter->addItem(HistoryTexts::kMoreObjects);
        if (auto *items = qobject_cast<QStandardItemModel *>(objectFilter->model()))
            items->item(objectFilter->count() - 1)->setEnabled(false);
    }
    if (!chosen.isEmpty()) {
        if (objectFilter->findText(chosen) < 0)
            objectFilter->addItem(chosen);
        objectFilter->setCurrentIndex(objectFilter->findText(chosen));
    }
}

QString EventListPanel::currentObject() const {
    const EventRecord *event = m_model->eventAt(eventList->currentIndex().row());
    return event ? event->gan : QString();
}

void EventListPanel::updateActions() {
    const QString gan = currentObject();
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(m_history.now());
    const bool muted = !gan.isEmpty() && m_history.mutes().isMuted(gan, now);
    m_muteHour->setEnabled(!gan.isEmpty());
    m_muteMorning->setEnabled(!gan.isEmpty());
    m_unmute->setEnabled(muted);
    m_showChart->setEnabled(!gan.isEmpty());
}

bool EventListPanel::eventFilter(QObject *watched, QEvent *event) {
    // Not every platform turns these keys into a context menu event.
    if (watched == eventList && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool menuKey = key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier;
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        if (menuKey || shiftF10) {
            openContextMenu(std::nullopt);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void EventListPanel::openContextMenu(std::optional<QPoint> at) {
    updateActions();
    const QModelIndex current = eventList->currentIndex();
    const QPoint where = at ? *at : (current.isValid() ? eventList->visualRect(current).bottomLeft() : QPoint());
    m_menu->popup(eventList->viewport()->mapToGlobal(where));
}

void EventListPanel::mute(const std::function<bool(const QString &, const QDateTime &)> &how) {
    const QString gan = currentObject();
    if (!gan.isEmpty())
        how(gan, QDateTime::fromMSecsSinceEpoch(m_history.now()));
    updateActions();
}

void EventListPanel::updateMuted() {
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(m_history.now());
    QStringList parts;
    for (const auto &[gan, until] : m_history.mutes().active(now)) {
        const QDateTime local = until.toLocalTime();
        const QString end = local.date() == now.toLocalTime().date() ? local.toString(QStringLiteral("HH:mm"))
                                                                     : local.toString(QStringLiteral("dd.MM. HH:mm"));
        parts << HistoryTexts::kMutedUntil.arg(m_model->objectText(gan), end);
    }
    mutedObjects->setText(parts.isEmpty() ? HistoryTexts::kMutedNone
                                          : HistoryTexts::kMutedList.arg(parts.join(QStringLiteral(", "))));
    mutedObjects->setAccessibleName(mutedObjects->text());
    updateActions();
}
