#pragma once
// The transcript in the pane: a table that builds only the rows in sight and follows the newest
// row unless the reader scrolled up, and the buttons to copy, clear and save it.

#include "diagnostics/TranscriptModel.h"

#include <QGroupBox>

class QTableView;

namespace diagnostics {

class TranscriptPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit TranscriptPanel(TranscriptModel& model, QWidget* parent = nullptr);
    QTableView* view() const { return m_view; }

    // The selected rows as text, or every row when none is selected.
    QString copyText() const;

private:
    void copy();
    void saveText();
    void saveBytes();

    TranscriptModel& m_model;
    QTableView* m_view;
    bool m_followNewest = true;
};

} // namespace diagnostics
