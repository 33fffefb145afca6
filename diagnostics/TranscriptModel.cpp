#include "diagnostics/TranscriptModel.h"

#include <QFontDatabase>

namespace diagnostics {

TranscriptModel::TranscriptModel(CommandNamer namer, QObject* parent)
    : QAbstractTableModel(parent)
    , m_transcript(std::move(namer))
{
}

void TranscriptModel::append(Direction direction, std::string_view bytes, std::string_view note,
    Transcript::Clock::time_point time)
{
    // Splitting the bytes tells how many rows they make; views see them only once announced.
    const auto added = static_cast<int>(m_transcript.append(direction, bytes, note, time));
    if (added == 0)
        return;
    beginInsertRows({}, m_shownRows, m_shownRows + added - 1);
    m_shownRows += added;
    endInsertRows();
}

void TranscriptModel::clear()
{
    beginResetModel();
    m_transcript.clear();
    m_shownRows = 0;
    endResetModel();
}

int TranscriptModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

int TranscriptModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TranscriptModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::FontRole)
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const auto row = m_transcript.row(static_cast<std::size_t>(index.row()));
    if (role == Qt::ToolTipRole)
        return QString::fromLatin1(Transcript::rowText(row).c_str());
    if (role != Qt::DisplayRole)
        return {};
    if (index.column() == TimeColumn)
        return QString::fromStdString(timeText(row.time) + '\n' + directionText(row.direction));
    std::string text;
    for (std::size_t at = 0; at < row.bytes.size(); at += kHexPerLine)
        text += hexText(row.bytes.substr(at, kHexPerLine)) + '\n';
    if (!row.name.empty())
        text += row.name;
    else
        text += printableText(row.bytes);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant TranscriptModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[ColumnCount] = { "Time", "Bytes" };
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(titles[section])
                                                 : QVariant();
}

} // namespace diagnostics
