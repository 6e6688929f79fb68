#include "AnalysisListModel.h"

#include "ProjectFile.h"

#include <QThreadPool>
#include <algorithm>
#include <utility>

namespace {
enum Column { Value, Start, End, ValueType, List, Conversion, Definition, KoType, KoName, ColumnCount };
}

AnalysisListModel::AnalysisListModel(QObject *parent) : QAbstractTableModel(parent) {
}

int AnalysisListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rowCount);
}

int AnalysisListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AnalysisListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    const AnalysisEntry &e = entry(index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        const QString *fields[] = {&e.value,      &e.start,      &e.end,    &e.valueType, &e.list,
                                   &e.conversion, &e.definition, &e.koType, &e.koName};
        return *fields[index.column()];
    }
    if (role == Qt::CheckStateRole && index.column() == Value)
        return m_checked.at(index.row()) ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::TextAlignmentRole && index.column() == Start)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

bool AnalysisListModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || index.column() != Value || role != Qt::CheckStateRole)
        return false;
    m_checked[index.row()] = value.value<Qt::CheckState>() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags AnalysisListModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == Value)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant AnalysisListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole) {
        if (section == Value)
            return QStringLiteral("Wert");
        if (section == Start)
            return QStringLiteral("Pos.");
        return QString();
    }
    // The columns without a caption still tell a screen reader what they hold.
    if (role == Qt::AccessibleTextRole) {
        static const QString names[ColumnCount] = {
            QStringLiteral("Wert"),       QStringLiteral("Position"), QStringLiteral("Ende"),
            QStringLiteral("Werttyp"),    QStringLiteral("Liste"),    QStringLiteral("Umrechnung"),
            QStringLiteral("Definition"), QStringLiteral("KO-Typ"),   QStringLiteral("KO-Name")};
        return names[section];
    }
    return {};
}

std::pair<qsizetype, qsizetype> AnalysisListModel::locate(int row) const {
    const auto after = std::upper_bound(m_blockStarts.cbegin(), m_blockStarts.cend(), qsizetype(row));
    const qsizetype block = after - m_blockStarts.cbegin() - 1;
    return {block, row - m_blockStarts.at(block)};
}

const AnalysisEntry &AnalysisListModel::entry(int row) const {
    const auto [block, place] = locate(row);
    return m_blocks.at(block).at(place);
}

QList<AnalysisEntry> AnalysisListModel::entries() const {
    QList<AnalysisEntry> all;
    all.reserve(m_rowCount);
    for (const QList<AnalysisEntry> &block : m_blocks)
        all += block;
    return all;
}

void AnalysisListModel::append(QList<QList<AnalysisEntry>> blocks) {
    qsizetype room = ProjectFile::kMaxEntries - m_rowCount;
    qsizetype added = 0;
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        if (blocks.at(i).size() >= room) {
            blocks[i].resize(room);
            blocks.resize(i + 1);
        }
        added += blocks.at(i).size();
        room -= blocks.at(i).size();
    }
    if (added == 0)
        return;
    const int first = static_cast<int>(m_rowCount);
    beginInsertRows({}, first, first + static_cast<int>(added) - 1);
    for (QList<AnalysisEntry> &block : blocks) {
        if (block.isEmpty())
            continue;
        m_blockStarts.append(m_rowCount);
        m_rowCount += block.size();
        m_blocks.append(std::move(block));
    }
    m_checked.resize(m_rowCount);
    endInsertRows();
}

void AnalysisListModel::append(QList<AnalysisEntry> entries) {
    QList<QList<AnalysisEntry>> blocks;
    blocks.emplaceBack(std::move(entries));
    append(std::move(blocks));
}

void AnalysisListModel::setEntry(int row, const AnalysisEntry &entry) {
    if (row < 0 || row >= m_rowCount)
        return;
    const auto [block, place] = locate(row);
    m_blocks[block][place] = entry;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void AnalysisListModel::clear() {
    if (m_rowCount == 0)
        return;
    beginResetModel();
    // A list of 100,000 rows takes longer to free than a frame lasts: it goes on a worker, the
    // window does not wait for it.
    QThreadPool::globalInstance()->start([old = std::exchange(m_blocks, {})]() mutable { old = {}; });
    m_blockStarts.clear();
    m_rowCount = 0;
    m_checked.clear();
    endResetModel();
}
