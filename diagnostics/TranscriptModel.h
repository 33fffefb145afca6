#pragma once
// The transcript as a table for a view that asks only for the rows it shows, so megabytes of
// traffic cost the window nothing until they are scrolled to.

#include "diagnostics/Transcript.h"

#include <QAbstractTableModel>

namespace diagnostics {

class TranscriptModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, DirectionColumn, HexColumn, TextColumn, CommandColumn, ColumnCount };

    explicit TranscriptModel(CommandNamer namer = {}, QObject* parent = nullptr);

    void append(Direction direction, std::string_view bytes, std::string_view note = {},
        Transcript::Clock::time_point time = Transcript::Clock::now());
    void clear();
    const Transcript& transcript() const { return m_transcript; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Transcript m_transcript;
    int m_shownRows = 0;
};

} // namespace diagnostics
