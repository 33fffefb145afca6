#pragma once
// The transcript as a table for a view that asks only for the rows it shows, so megabytes of
// traffic cost the window nothing until they are scrolled to. Laid out for the pane's width:
// the time over the direction, and the hex (kHexPerLine bytes a line) over the command's name,
// the note on received bytes ("reply to DLE EOT 1") or the printable text.

#include "diagnostics/Transcript.h"

#include <QAbstractTableModel>

namespace diagnostics {

class TranscriptModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, BytesColumn, ColumnCount };
    static constexpr int kHexPerLine = 8;
    // Lines of text in every row: two of hex and the name.
    static constexpr int kLinesPerRow = Transcript::kRowBytes / kHexPerLine + 1;

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
